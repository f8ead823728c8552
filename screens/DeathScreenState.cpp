#include "screens/DeathScreenState.h"

#include "engine/Audio.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "game/GameState.h"
#include "game/TexturedQuadDraw.h"
#include "gui/Paint.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"

#include <GLFW/glfw3.h>

#include <algorithm>

DeathScreenState deathScreenState;

namespace death {

namespace {

// The motif's part of the image, in texels; slices start in its left and top halves.
constexpr int motifLeft = 64, motifRight = 192, motifTop = 25, motifBottom = 153;

int uniformInt(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

}  // namespace

Fade fadeAt(float t) {
    Fade fade;
    fade.veil = std::clamp(t, 0.0f, 1.0f);
    fade.image = fade.veil == 1.0f ? std::clamp(t - 1.0f, 0.0f, 1.0f) : 0.0f;
    fade.glitches = fade.image == 1.0f;
    return fade;
}

int imageScale(int width, int height) {
    return std::max(std::min(width, height) / DeathScreenState::imageSize, 1);
}

Glitch randomGlitch(std::mt19937& random, int scale, int windowWidth, int windowHeight) {
    Glitch g;
    g.x = uniformInt(random, motifLeft, motifRight);
    g.y = uniformInt(random, motifTop, motifBottom);
    g.width = uniformInt(random, 0, motifRight - g.x);
    g.height = uniformInt(random, 0, motifBottom - g.y);
    const glm::vec2 d = gui::paint::randomInDisc(random, 100.0f * float(scale));
    g.at = {(windowWidth - g.width * scale) / 2 + int(d.x), (windowHeight - g.height * scale) / 2 + int(d.y)};
    return g;
}

bool glitchThisFrame(std::mt19937& random) {
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(random) < 0.2f;
}

}  // namespace death

void DeathScreenState::init(StateManager& s) {
    initMenu(s);
    image.texture = getTexture("death.png");
    image.shader = getShader("tex2DShader");
    image.init();

    using menu::Place;
    menu::setUpButton(retryButton, "Retry...", 350, 50, Place{menu::centred, menu::bottom, 0, -150},
                      onRetry, &s);
    menu::setUpButton(quitButton, "quit to title screen", 350, 50, Place{menu::centred, menu::bottom, 0, -50},
                      quitToTitle, &s);
    interface.addElement(&retryButton);
    interface.addElement(&quitButton);

    startTime = glfwGetTime();

    // The music stops; the next track starts once the title screen or the game plays music again.
    if (!audio::tracks.empty() && audio::isPlaying(audio::musicHandle)) audio::stop(audio::musicHandle);
    audio::loadSound("player_death_2.wav");
    audio::playSound("player_death_2.wav", "ambience");
}

void DeathScreenState::close(StateManager& s) {
    gameState.respawnPlayer();
    OverGameMenu::close(s);
}

void DeathScreenState::render(StateManager& s) {
    const death::Fade fade = death::fadeAt(float(glfwGetTime() - startTime));
    drawGameBeneath(s);
    int width, height;
    screen::windowSize(s.window, width, height);
    gui::paint::fillRect(quad, 0.0f, 0.0f, float(width), float(height),
                         glm::vec4(0.023529412f, 0.023529412f, 0.03137255f, fade.veil));  // (6, 6, 8) / 255
    // A missing image leaves the veil and the buttons.
    if (image.vao) {
        drawImage(width, height, fade.image);
        if (fade.glitches && death::glitchThisFrame(random)) drawGlitch(width, height);
    }
    interface.render();
    glDepthMask(GL_TRUE);
}

void DeathScreenState::drawImage(int width, int height, float alpha) {
    const int scale = death::imageScale(width, height), size = imageSize * scale;
    image.setTexRect(0, 0, imageSize, imageSize);
    image.setRect(float((width - size) / 2), float((height - size) / 2), float(size), float(size));
    image.setColor(1.0f, 1.0f, 1.0f, alpha);
    drawTexturedQuad(image);
}

void DeathScreenState::drawGlitch(int width, int height) {
    const int scale = death::imageScale(width, height);
    const death::Glitch g = death::randomGlitch(random, scale, width, height);
    image.setTexRect(unsigned(g.x), unsigned(g.y), unsigned(g.width), unsigned(g.height));
    const float w = float(g.width * scale), h = float(g.height * scale), shift = float(10 * scale);
    image.setRect(float(g.at.x), float(g.at.y), w, h);
    image.setColor(1.0f, 0.0f, 1.0f, 0.5f);
    drawTexturedQuad(image);
    image.setRect(float(g.at.x) + shift, float(g.at.y) + shift, w, h);
    image.setColor(0.0f, 1.0f, 1.0f, 0.5f);
    drawTexturedQuad(image);
}

void DeathScreenState::releaseGl() {
    image.release();
    OverGameMenu::releaseGl();
}

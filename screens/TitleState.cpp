#include "screens/TitleState.h"

#include "engine/Audio.h"
#include "engine/SafeWrite.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/TexturedQuadDraw.h"
#include "gui/Paint.h"
#include "gui/PixelProjection.h"
#include "screens/LoadingOverlay.h"
#include "screens/LoadingProgress.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/StackCallbacks.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <thread>

TitleState titleState;

namespace {

constexpr float twoPi = 6.2831853f;
constexpr float yawPerTick = 0.0006f;

void pushWorldList(void* manager) {
    static_cast<StateManager*>(manager)->pushState(&singlePlayerState);
}

}  // namespace

void TitleState::layout(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection3D = glm::perspective(1.5707964f, float(width) / float(height), 0.01f, 300.0f);
    bgWorld.updateFrustum(projection3D);
    projection2D = gui::pixelProjection(width, height);
    uniforms::setProjection(blockShader, projection3D);
    uniforms::setProjection(getShader("tex2DShader"), projection2D);
    uniforms::setProjection(getShader("textShader"), projection2D);
    uniforms::setProjection(quadShader, projection2D);
}

void TitleState::init(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    quadShader = getShader("quadShader");
    blockShader = getShader("blockShader");
    tiles = getTexture("tiles.png");
    layout(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    quad.shader = quadShader;
    quad.init();
    yaw = 0.0f;

    bgWorld.setPath(backgroundPath);
    bgWorld.spawnCreatures = false;
    bgWorld.saveGenerated = true;
    bgWorld.loadAround(cameraPosition);
    loadProgress = 0.0f;
    generatedStored = false;

    logo.texture = getTexture("logo.png");
    logo.shader = getShader("tex2DShader");
    logo.init();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    setUpButtons(s);
    settingsState.loadSettings(s.window);
}

void TitleState::setUpButtons(StateManager& s) {
    interface.clearElements();
    interface.quadRenderer = &quad;
    interface.textRenderer = &text;
    interface.window = s.window;

    using menu::Place;
    const int w = 300, h = 50;
    menu::setUpButton(singleplayerButton, "singleplayer", w, h, Place{menu::centred, menu::top, 0, 250},
                      pushWorldList, &s);
    menu::setUpButton(multiplayerButton, "multiplayer", w, h, Place{menu::centred, menu::top, 0, 325},
                      nullptr, &s);
    multiplayerButton.enabled = false;
    menu::setUpButton(tutorialButton, "tutorial", w, h, Place{menu::centred, menu::top, 0, 400},
                      pushTutorialState, &s);
    menu::setUpButton(settingsButton, "settings", w, h, Place{menu::centred, menu::top, 0, 475},
                      pushSettingsState, &s);
    menu::setUpButton(creditsButton, "credits", w, h, Place{menu::centred, menu::bottom, 0, -125},
                      pushCreditsState, &s);
    menu::setUpButton(quitButton, "quit game", w, h, Place{menu::centred, menu::bottom, 0, -50},
                      popStateCallback, &s);
    for (gui::Button* button : {&singleplayerButton, &multiplayerButton, &tutorialButton,
                                &settingsButton, &creditsButton, &quitButton})
        interface.addElement(button);
}

void TitleState::close(StateManager&) {
    interface.clearElements();
    stopBackgroundLoading();
    bgWorld.freeChunks();
}

void TitleState::stopBackgroundLoading() {
    // A pass still under way starts no further chunk; the ones begun finish first.
    bgWorld.stopLoading = true;
    while (!bgWorld.loadDone) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bgWorld.waitForSaves();
}

void TitleState::storeGeneratedChunks() {
    if (generatedStored) return;
    generatedStored = true;
    // Chunks read from disk come in unchanged; the generated ones are stored once, on the
    // workers, so the next start reads them instead of generating them again.
    std::vector<Chunk*> generated;
    for (const auto& [coords, chunk] : bgWorld.chunks)
        if (chunk->loaded && !chunk->unchanged) generated.push_back(chunk);
    if (generated.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(bgWorld.chunksPath, ec);
    if (ec) {
        reportWriteFailure(bgWorld.chunksPath, ec.message());
        return;
    }
    for (Chunk* chunk : generated)
        bgWorld.saveOnWorkers([this, chunk] { bgWorld.saveChunk(chunk); });
}

void TitleState::update(StateManager& s) {
    if (!bgWorld.loadDone) {
        loadProgress = loading::step(loadProgress, bgWorld.chunksLoaded, bgWorld.chunks.size());
        return;
    }
    storeGeneratedChunks();
    audio::updateMusic();
    yaw += yawPerTick;
    if (yaw >= twoPi) yaw -= twoPi;
    if (glfwWindowShouldClose(s.window)) s.popState();
}

Mat5 TitleState::cameraView(float angle) const {
    const float root5 = std::sqrt(5.0f), root2 = std::sqrt(2.0f);
    // Looking along -x, tilted downwards by atan(1/2).
    const Mat5 base = lookAt4(glm::vec4(0.0f), glm::vec4(2, 1, 0, 0) / root5,
                              glm::vec4(-1, 2, 0, 0) / root5, glm::vec4(0, 0, -1, 0),
                              glm::vec4(0, 0, 0, 1));
    const Rotor4 horizontal(wedge4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 1, 0)), angle);
    const Rotor4 fourth(wedge4(glm::vec4(1, 0, 1, 0) / root2, glm::vec4(0, 0, 0, 1)), angle);
    return base * horizontal.toMat5() * fourth.toMat5() * translate4(-cameraPosition);
}

void TitleState::renderBackground(int width, int height) {
    glDepthMask(GL_FALSE);
    gui::paint::fillVerticalGradient(quad, 0.0f, 0.0f, float(width), float(height),
                                     glm::vec4(skyTopColor, 1.0f), glm::vec4(skyBottomColor, 1.0f));
    glDepthMask(GL_TRUE);

    if (!blockShader || !tiles) return;
    glUseProgram(blockShader->program);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, tiles->id);
    glUniform1i(glGetUniformLocation(blockShader->program, "texSampler"), 2);
    glUniform2ui(glGetUniformLocation(blockShader->program, "texSize"), 96, 16);
    bgWorld.render(cameraView(yaw), false);
    glActiveTexture(GL_TEXTURE0);
}

void TitleState::drawLogo(int width) {
    int logoWidth = 0, logoHeight = 0;
    if (logo.texture && logo.vao) {
        const int scale = std::clamp(width / std::max(logo.texture->width, 1), 1, 4);
        logoWidth = logo.texture->width * scale;
        logoHeight = logo.texture->height * scale;
        logo.setRect(float((width - logoWidth) / 2), 75.0f, float(logoWidth), float(logoHeight));
        drawTexturedQuad(logo);
    }
    const int x = (width + logoWidth) / 2 - 16 * int(text.charWidth), y = 75 + logoHeight;
    gui::paint::drawText(text, "DEMO", x + 4, y + 4, 4, false, glm::vec4(0, 0, 0, 1));
    gui::paint::drawText(text, "DEMO", x, y, 4, false, glm::vec4(1, 1, 0, 1));
}

void TitleState::render(StateManager& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int width, height;
    screen::windowSize(s.window, width, height);
    if (!bgWorld.loadDone) {
        glDepthMask(GL_FALSE);
        loading::drawOverlay(text, quad, width, height, loadProgress);
        glDepthMask(GL_TRUE);
        return;
    }
    renderBackground(width, height);
    glDepthMask(GL_FALSE);
    interface.render();
    drawLogo(width);
    glDepthMask(GL_TRUE);
}

void TitleState::resume(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    layout(width, height);
}

void TitleState::windowResize(StateManager&, int width, int height) { layout(width, height); }

void TitleState::cursorPos(StateManager&, double x, double y) { interface.cursorPos(x, y); }

void TitleState::mouseButton(StateManager&, int button, int action, int mods) {
    if (!bgWorld.loadDone) return;
    interface.mouseButton(button, action, mods);
}

void TitleState::keyInput(StateManager& s, int key, int scancode, int action, int mods) {
    if (action != GLFW_PRESS) return;
    if (key == GLFW_KEY_ESCAPE) {
        s.popState();
        return;
    }
    interface.keyInput(key, scancode, action, mods);
}

void TitleState::releaseGl() {
    logo.release();
    quad.release();
    text.release();
}

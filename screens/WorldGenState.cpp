#include "screens/WorldGenState.h"

#include "engine/Math4D.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/GameState.h"
#include "gui/Paint.h"
#include "gui/PixelProjection.h"
#include "screens/LoadingOverlay.h"
#include "screens/LoadingProgress.h"
#include "screens/ScreenBasics.h"
#include "shapes/Shapes.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

WorldGenState worldGenState;

void WorldGenState::layout(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection3D = glm::perspective(1.0471976f, float(width) / float(height), 0.01f, 100.0f);
    uniforms::setProjection(shapeShader, projection3D);
    projection2D = gui::pixelProjection(width, height);
    uniforms::setProjection(getShader("quadShader"), projection2D);
    uniforms::setProjection(getShader("textShader"), projection2D);
}

void WorldGenState::init(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    shapeShader = getShader("simplexColorNormalShader");
    mvLocation = shapeShader ? glGetUniformLocation(shapeShader->program, "MV") : -1;
    layout(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    bar.shader = getShader("quadShader");
    bar.init();
    shape.init(&loadingDodecaplex);
    shape.mode = GL_LINES_ADJACENCY;

    // A new world starts with an empty bar.
    progress = 0.0f;
    spin = 0.0f;

    Player& player = gameState.player;
    auto distance = uint8_t(std::clamp(int(gameState.renderDistance), 1, 255));
    if (gameState.world.update(player.pos, player.over, distance)) player.lastLoadPos = player.pos;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void WorldGenState::update(StateManager& s) {
    World& world = gameState.world;
    int loaded = world.chunksLoaded;
    std::size_t count = world.chunks.size();
    if (loading::complete(loaded, count)) s.popState();
    spin += 0.004f;
    progress = loading::step(progress, loaded, count);
}

void WorldGenState::waitForFrameTime() {
    using namespace std::chrono;
    auto now = [] { return duration<double>(steady_clock::now().time_since_epoch()).count(); };
    const double due = lastFrameStart + 1.0 / maxFramesPerSecond;
    // Once every chunk has loaded the next tick leaves this screen: no reason to wait for it.
    const World& world = gameState.world;
    while (now() < due && !loading::complete(world.chunksLoaded, world.chunks.size()))
        std::this_thread::sleep_for(milliseconds(1));
    lastFrameStart = now();
}

void WorldGenState::render(StateManager& s) {
    waitForFrameTime();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawShape();

    glDepthMask(GL_FALSE);
    int width, height;
    screen::windowSize(s.window, width, height);
    loading::drawOverlay(text, bar, width, height, progress);

    World& world = gameState.world;
    gui::paint::drawText(text,
                         std::to_string(int(world.chunksLoaded)) + "/" +
                             std::to_string(world.chunks.size()) + " chunks loaded",
                         width / 2, height - 150, 2, true, glm::vec4(1.0f));
    glDepthMask(GL_TRUE);
}

void WorldGenState::drawShape() {
    if (!shapeShader || !shape.vao) return;
    glUseProgram(shapeShader->program);
    Mat5 mv = loading::spinningShapeTransform(glm::vec4(0.0f, 3.5f, 16.0f, 0.0f), spin);
    glUniform1fv(mvLocation, 25, mv.data());
    const float light[4] = {0, 1, 0, 0};
    glUniform4fv(glGetUniformLocation(shapeShader->program, "lightDir"), 1, light);

    shape.draw();
}

void WorldGenState::windowResize(StateManager&, int width, int height) { layout(width, height); }

void WorldGenState::releaseGl() {
    bar.release();
    shape.release();
    text.release();
}

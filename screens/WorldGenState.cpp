#include "screens/WorldGenState.h"

#include "engine/Math4D.h"
#include "engine/QuadGeometry.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "game/GameState.h"
#include "gui/Paint.h"
#include "shapes/Shapes.h"
#include "screens/LoadingProgress.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

WorldGenState worldGenState;

namespace {

void setProjection(const Shader* shader, const glm::mat4& matrix) {
    if (!shader) return;
    glUseProgram(shader->program);
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE, &matrix[0][0]);
}

glm::ivec2 jitter() {
    glm::vec2 d = gui::paint::randomInDisc(5.0f);
    return glm::ivec2(int(d.x), int(d.y));
}

void windowSize(GLFWwindow* window, int& width, int& height) {
    width = 0, height = 0;
    glfwGetWindowSize(window, &width, &height);
}

}  // namespace

void WorldGenState::layout(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection3D = glm::perspective(1.0471976f, float(width) / float(height), 0.01f, 100.0f);
    setProjection(shapeShader, projection3D);
    projection2D = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
    setProjection(getShader("quadShader"), projection2D);
    setProjection(getShader("textShader"), projection2D);
}

void WorldGenState::init(StateManager& s) {
    int width, height;
    windowSize(s.window, width, height);
    shapeShader = getShader("simplexColorNormalShader");
    mvLocation = shapeShader ? glGetUniformLocation(shapeShader->program, "MV") : -1;
    layout(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    bar.shader = getShader("quadShader");
    bar.mode = GL_TRIANGLES;
    bar.indexCount = 6;
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
    const double period = 1.0 / maxFramesPerSecond;
    auto now = [] { return duration<double>(steady_clock::now().time_since_epoch()).count(); };
    const double wait = lastFrameStart + period - now();
    if (wait > 0.0) std::this_thread::sleep_for(duration<double>(wait));
    lastFrameStart = now();
}

void WorldGenState::render(StateManager& s) {
    waitForFrameTime();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawShape();

    glDepthMask(GL_FALSE);
    int width, height;
    windowSize(s.window, width, height);
    glm::ivec2 d1 = jitter(), d2 = jitter();
    int cx = width / 2, cy = height / 2;
    text.centered = true;
    text.scale = 4;
    text.setText("Loading...");
    const struct {
        glm::ivec2 offset;
        glm::vec4 color;
    } layers[3] = {{d1, {1, 0, 1, 0.7f}}, {d2, {0, 1, 1, 0.7f}}, {{0, 0}, {1, 1, 1, 1}}};
    for (const auto& layer : layers) {
        text.x = cx + layer.offset.x;
        text.y = cy + layer.offset.y;
        text.color = layer.color;
        text.updateModel();
        text.render();
    }

    drawBar(width, height, d1, d2);

    World& world = gameState.world;
    text.setText(std::to_string(int(world.chunksLoaded)) + "/" + std::to_string(world.chunks.size()) +
                 " chunks loaded");
    text.scale = 2;
    text.x = cx;
    text.y = height - 150;
    text.color = glm::vec4(1.0f);
    text.updateModel();
    text.render();
    glDepthMask(GL_TRUE);
}

void WorldGenState::drawShape() {
    if (!shapeShader || !shape.vao) return;
    glUseProgram(shapeShader->program);
    Mat5 view = lookAt4(glm::vec4(0.0f), glm::vec4(0, 0, -1, 0), glm::vec4(0, 1, 0, 0),
                        glm::vec4(-1, 0, 0, 0), glm::vec4(0, 0, 0, 1));
    view = view * translate4(glm::vec4(0.0f, 3.5f, 16.0f, 0.0f));

    const float a = 1.0f / std::sqrt(3.0f), b = 1.0f / std::sqrt(2.0f);
    Rotor4 turn(wedge4(glm::vec4(0, a, a, a), glm::vec4(b, 0, 0, b)), spin);
    Mat5 mv = view * turn.toMat5();
    glUniform1fv(mvLocation, 25, mv.data());
    const float light[4] = {0, 1, 0, 0};
    glUniform4fv(glGetUniformLocation(shapeShader->program, "lightDir"), 1, light);

    glBindVertexArray(shape.vao);
    glDrawArrays(shape.mode, 0, GLsizei(shape.vertCount));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void WorldGenState::setBarMode(GLenum mode) {
    if (bar.mode == mode) return;
    bar.mode = mode;
    bar.indexCount = mode == GL_TRIANGLES ? 6 : 4;
    if (!bar.vao) return;
    glBindVertexArray(bar.vao);
    quad::uploadIndices(bar.ebo, mode);
    glBindVertexArray(0);
}

void WorldGenState::drawBar(int width, int height, glm::ivec2 d1, glm::ivec2 d2) {
    if (!bar.shader || !bar.vao) return;
    auto drawQuad = [&] {
        glUseProgram(bar.shader->program);
        glBindVertexArray(bar.vao);
        glDrawElements(bar.mode, bar.indexCount, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    };
    const float top = float(height - 200), barWidth = float(width - 200);

    setBarMode(GL_LINE_LOOP);
    bar.setColor(1, 1, 1, 1);
    bar.setRect(100.0f, top, barWidth, 20.0f);
    drawQuad();

    setBarMode(GL_TRIANGLES);
    float fill = float(int(barWidth * progress));
    bar.setColor(1, 0, 1, 0.7f);
    bar.setRect(100.0f + d1.x, top + d1.y, fill, 20.0f);
    drawQuad();
    bar.setColor(0, 1, 1, 0.7f);
    bar.setRect(100.0f + d2.x, top + d2.y, fill, 20.0f);
    drawQuad();
}

void WorldGenState::windowResize(StateManager&, int width, int height) { layout(width, height); }

void WorldGenState::releaseGl() {
    bar.release();
    shape.release();
    text.release();
}

#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "engine/State.h"
#include "game/DayCycle.h"
#include "game/GameState.h"
#include "screens/WorldGenState.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace testgame {

GameHarness::GameHarness() {
    manager.window = testgl::context(width, height);
    if (!manager.window) return;
    int windowWidth = 0, windowHeight = 0;
    glfwGetWindowSize(manager.window, &windowWidth, &windowHeight);
    if (windowWidth != width || windowHeight != height)
        std::fprintf(stderr, "test: the game harness needs the process's window at %d x %d\n",
                     width, height);
    ready_ = windowWidth == width && windowHeight == height && testgl::loadAllShaders();
    glfwSetWindowShouldClose(manager.window, GLFW_FALSE);
    glfwSetWindowUserPointer(manager.window, &manager);
    glsetup::applyState(manager.window);
    // The whole window, as a new window's context starts.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);

    std::string pattern =
        (std::filesystem::temp_directory_path() / "hollowmere-world-XXXXXX").string();
    if (mkdtemp(pattern.data())) worldDir = pattern;
}

GameHarness::~GameHarness() {
    if (manager.window) {
        while (!manager.states.empty()) manager.popState();
        glfwSetWindowShouldClose(manager.window, GLFW_FALSE);
        glfwSetWindowUserPointer(manager.window, nullptr);
    }
    std::error_code ec;
    if (!worldDir.empty()) std::filesystem::remove_all(worldDir, ec);
}

void GameHarness::enterWorld(float renderDistance) {
    gameState.world.setPath(worldDir.string());
    gameState.world.spawnCreatures = spawning;
    gameState.renderDistance = renderDistance;
    manager.pushState(&gameState);
    manager.pushState(&worldGenState);
}

void GameHarness::tick(int count) {
    for (int i = 0; i < count && !manager.states.empty(); ++i) {
        glfwPollEvents();
        manager.states.back()->update(manager);
    }
}

void GameHarness::frame() {
    if (manager.states.empty()) return;
    manager.states.back()->render(manager);
    glFinish();
}

bool GameHarness::finishLoading(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    World& world = gameState.world;
    int ticks = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        tick();
        if (++ticks % 10 == 0) frame();
        bool loading = !manager.states.empty() && manager.states.back() == &worldGenState;
        if (!loading && world.loadDone) {
            // Meshes built by the last pass are installed by the next tick.
            tick();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool GameHarness::settle(int maxTicks) {
    Player& player = gameState.player;
    int still = 0;
    for (int i = 0; i < maxTicks; ++i) {
        tick();
        still = std::fabs(player.velocity.y) < 1e-6f ? still + 1 : 0;
        if (still >= 20) return true;
    }
    return false;
}

bool GameHarness::finishLoadingAndSettle(double seconds) {
    return finishLoading(seconds) && settle() && finishLoading(seconds);
}

std::vector<uint8_t> GameHarness::image() const {
    testgl::readFromBackBuffer();
    return testgl::readImage(width, height);
}

glm::u8vec4 GameHarness::pixel(int x, int y) const {
    testgl::readFromBackBuffer();
    return testgl::readPixel(x, y, height);
}

std::string GameHarness::screenshot(const std::string& name) const {
    return testgl::saveOpaqueScreenshot(name, image(), width, height);
}

float shareNear(const std::vector<uint8_t>& image, int x0, int y0, int x1, int y1,
                glm::u8vec4 color, int tolerance) {
    int near = 0, total = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &image[(size_t(y) * GameHarness::width + x) * 4];
            bool close = true;
            for (int c = 0; c < 3; ++c) close = close && std::abs(int(p[c]) - int(color[c])) <= tolerance;
            near += close;
            ++total;
        }
    return total ? float(near) / float(total) : 0.0f;
}

float changedShare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x0, int y0,
                   int x1, int y1, int threshold) {
    int changed = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const size_t i = (size_t(y) * GameHarness::width + x) * 4;
            int d = 0;
            for (int c = 0; c < 3; ++c) d += std::abs(int(a[i + c]) - int(b[i + c]));
            changed += d > threshold;
        }
    return float(changed) / float((x1 - x0) * (y1 - y0));
}

glm::u8vec4 skyBytes(float timeOfDay) { return toBytes(daycycle::skyColor(daycycle::lightAt(timeOfDay))); }

glm::u8vec4 toBytes(const glm::vec4& color) {
    auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return glm::u8vec4(byte(color.r), byte(color.g), byte(color.b), byte(color.a));
}

}  // namespace testgame

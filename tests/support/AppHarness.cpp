#include "support/AppHarness.h"

#include "engine/InputCallbacks.h"
#include "engine/State.h"
#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "screens/CreateWorldState.h"
#include "screens/IntroState.h"
#include "screens/ScreenLinks.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/TitleState.h"
#include "support/GlTestContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace testapp {

namespace {

// The clock of the loop advances a little more than a tick per pass: one tick a pass, and now and
// then a second, as on a machine that keeps up.
constexpr double secondsPerPass = tickSeconds * 1.001;

// The font atlas: 16 x 16 cells of 8 x 8 texels, lit where alpha is set.
struct FontAtlas {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;

    FontAtlas() {
        int channels = 0;
        unsigned char* pixels = stbi_load("assets/textures/pixelfont.png", &width, &height, &channels, 4);
        if (!pixels) return;
        alpha.resize(size_t(width) * height);
        for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = pixels[i * 4 + 3];
        stbi_image_free(pixels);
    }
    bool lit(unsigned char c, int x, int y) const {
        if (alpha.empty()) return false;
        return alpha[size_t((c / 16) * 8 + y) * width + (c % 16) * 8 + x] > 127;
    }
};

}  // namespace

glm::u8vec4 Image::at(int x, int y) const {
    const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

AppHarness::AppHarness() {
    GLFWwindow* window = testgl::context(width, height);
    manager.window = window;
    if (!window) return;
    int windowWidth = 0, windowHeight = 0;
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
    const bool shadersBuilt = testgl::loadAllShaders();

    glfwShowWindow(window);
    glfwFocusWindow(window);
    for (int i = 0; i < 20 && !glfwGetWindowAttrib(window, GLFW_FOCUSED); ++i) glfwPollEvents();
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    glfwSetWindowUserPointer(window, &manager);
    installInputCallbacks(window);

    glsetup::applyState(window);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);

    std::string pattern = (std::filesystem::temp_directory_path() / "hollowmere-app-XXXXXX").string();
    if (mkdtemp(pattern.data())) root = pattern;
    titleState.backgroundPath = (root / "bgWorld").string();
    singlePlayerState.worldsRoot = root / "worlds";
    createWorldState.worldsRoot = root / "worlds";
    settingsState.settingsPath = root / "settings.json";
    linkScreens();

    driver.time = [this] { return clock; };
    driver.pollEvents = [this] {
        glfwPollEvents();
        deliverInput();
    };
    // The frame stays in the back buffer, where image() reads it.
    driver.swapBuffers = [this] {
        glFinish();
        GLboolean depthWrites = GL_TRUE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        framesLeavingDepthWritesOff += depthWrites ? 0 : 1;
    };
    timer = startLoopTimer(driver);

    ready_ = shadersBuilt && windowWidth == width && windowHeight == height && !root.empty() &&
             glfwGetWindowAttrib(window, GLFW_FOCUSED);
}

AppHarness::~AppHarness() {
    if (manager.window) {
        glfwSetWindowShouldClose(manager.window, GLFW_FALSE);
        while (!manager.states.empty()) manager.popState();
        glfwSetWindowUserPointer(manager.window, nullptr);
    }
    titleState.backgroundPath = TitleState().backgroundPath;
    singlePlayerState.worldsRoot = createWorldState.worldsRoot = "worlds";
    settingsState.settingsPath = "settings.json";
    std::error_code ec;
    if (!root.empty()) std::filesystem::remove_all(root, ec);
}

State* AppHarness::top() const { return manager.states.empty() ? nullptr : manager.states.back(); }

void AppHarness::start() { manager.pushState(&introState); }

void AppHarness::frame() {
    clock += secondsPerPass;
    runFrame(manager, timer, driver);
}

void AppHarness::frameWithoutTick() { runFrame(manager, timer, driver); }

bool AppHarness::runUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        frame();
    }
    return done();
}

void AppHarness::deliverInput() {
    while (!pendingInput.empty()) {
        std::function<void()> event = std::move(pendingInput.front());
        pendingInput.pop_front();
        event();
    }
}

void AppHarness::moveCursor(int x, int y) {
    pendingInput.push_back([this, x, y] {
        GLFWwindow* window = manager.window;
        // The menus read the cursor from the window system, so the real pointer goes there too.
        if (!glfwGetWindowAttrib(window, GLFW_FOCUSED)) glfwFocusWindow(window);
        glfwSetCursorPos(window, x, y);
        cursorPosCallback(window, x, y);
    });
}

void AppHarness::click(int x, int y) {
    moveCursor(x, y);
    pendingInput.push_back([this] {
        mouseButtonCallback(manager.window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        mouseButtonCallback(manager.window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    });
}

void AppHarness::drag(int fromX, int fromY, int toX, int toY) {
    auto leftButton = [this](int action) {
        pendingInput.push_back([this, action] {
            mouseButtonCallback(manager.window, GLFW_MOUSE_BUTTON_LEFT, action, 0);
        });
    };
    moveCursor(fromX, fromY);
    leftButton(GLFW_PRESS);
    moveCursor(toX, toY);
    leftButton(GLFW_RELEASE);
}

void AppHarness::wheel(double dy) {
    pendingInput.push_back([this, dy] { scrollCallback(manager.window, 0.0, dy); });
}

void AppHarness::key(int key, int mods) {
    pendingInput.push_back([this, key, mods] {
        keyCallback(manager.window, key, 0, GLFW_PRESS, mods);
        keyCallback(manager.window, key, 0, GLFW_RELEASE, mods);
    });
}

void AppHarness::holdKey(int key, bool down) {
    pendingInput.push_back([this, key, down] {
        keyCallback(manager.window, key, 0, down ? GLFW_PRESS : GLFW_RELEASE, 0);
    });
}

void AppHarness::type(const std::string& text) {
    for (char c : text) {
        pendingInput.push_back([this, c] {
            const int key = c >= 'a' && c <= 'z' ? GLFW_KEY_A + (c - 'a')
                            : c >= 'A' && c <= 'Z' ? GLFW_KEY_A + (c - 'A')
                            : c == ' '             ? GLFW_KEY_SPACE
                                                   : GLFW_KEY_UNKNOWN;
            const int mods = c >= 'A' && c <= 'Z' ? GLFW_MOD_SHIFT : 0;
            keyCallback(manager.window, key, 0, GLFW_PRESS, mods);
            charCallback(manager.window, static_cast<unsigned char>(c));
            keyCallback(manager.window, key, 0, GLFW_RELEASE, mods);
        });
    }
}

void AppHarness::requestClose() {
    pendingInput.push_back([this] { glfwSetWindowShouldClose(manager.window, GLFW_TRUE); });
}

Image AppHarness::image() const {
    testgl::readFromBackBuffer();
    return Image{width, height, testgl::readImage(width, height)};
}

std::string AppHarness::screenshot(const std::string& name) const {
    return testgl::saveOpaqueScreenshot(name, image().rgba, width, height);
}

bool containsText(const Image& image, Rect area, const std::string& text, int scale,
                  const std::function<bool(glm::u8vec4)>& ink) {
    static const FontAtlas font;
    const int textWidth = int(text.size()) * 8 * scale, textHeight = 8 * scale;
    struct Texel {
        int x, y;
        bool lit;
    };
    std::vector<Texel> texels;
    int unlitCount = 0;
    for (size_t i = 0; i < text.size(); ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool lit = font.lit(static_cast<unsigned char>(text[i]), x, y);
                texels.push_back({int(i) * 8 + x, y, lit});
                unlitCount += !lit;
            }
    // Lit texels first: most positions fail on one of them at once.
    std::stable_partition(texels.begin(), texels.end(), [](const Texel& t) { return t.lit; });

    const int x1 = std::min(area.x + area.width, image.width) - textWidth;
    const int y1 = std::min(area.y + area.height, image.height) - textHeight;
    for (int top = std::max(area.y, 0); top <= y1; ++top)
        for (int left = std::max(area.x, 0); left <= x1; ++left) {
            bool match = true;
            int strayInk = 0;
            for (const Texel& t : texels) {
                // Every pixel of the texel's block must agree.
                for (int dy = 0; dy < scale && match; ++dy)
                    for (int dx = 0; dx < scale && match; ++dx) {
                        const bool isInk = ink(image.at(left + t.x * scale + dx, top + t.y * scale + dy));
                        if (t.lit && !isInk) match = false;
                        if (!t.lit && isInk) ++strayInk;
                    }
                if (!match) break;
            }
            if (match && strayInk <= unlitCount * scale * scale / 50) return true;
        }
    return false;
}

float pictureShown(const Image& image, const std::string& file, Rect area, Rect texels) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
    if (!pixels) return 0.0f;
    if (texels.width <= 0 || texels.height <= 0) texels = {0, 0, width, height};
    int opaque = 0, shown = 0;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            const int u = texels.x + x * texels.width / area.width, v = texels.y + y * texels.height / area.height;
            const unsigned char* t = &pixels[(size_t(v) * width + u) * 4];
            const int px = area.x + x, py = area.y + y;
            if (t[3] < 255 || px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
            ++opaque;
            shown += glm::u8vec3(image.at(px, py)) == glm::u8vec3(t[0], t[1], t[2]);
        }
    stbi_image_free(pixels);
    return opaque ? float(shown) / float(opaque) : 0.0f;
}

void expectButtonsAt(const Image& image, gui::Window& window,
                     std::initializer_list<std::pair<gui::Button*, Rect>> buttons, glm::ivec2 origin) {
    for (const auto& [button, place] : buttons) {
        Rect r = rectOf(*button, window);
        r.x += origin.x, r.y += origin.y;
        EXPECT_EQ(r, place) << button->label;
        EXPECT_TRUE(containsText(image, place, button->label, 2, whiteInk)) << "no readable " << button->label;
    }
}

void PrintTo(const Rect& r, std::ostream* os) {
    *os << '{' << r.x << ", " << r.y << ", " << r.width << ", " << r.height << '}';
}

Rect rectOf(gui::Element& element, gui::Window& window) {
    Rect r;
    element.getPos(window, r.x, r.y);
    element.getSize(window, r.width, r.height);
    return r;
}

Rect rectInBox(gui::Element& element, gui::ContentBox& box, gui::Window& window) {
    const Rect outer = rectOf(box, window), inner = rectOf(element, box);
    return {outer.x + inner.x + box.scrollX, outer.y + inner.y + box.scrollY, inner.width, inner.height};
}

bool whiteInk(glm::u8vec4 p) { return p.r >= 245 && p.g >= 245 && p.b >= 245; }

bool redInk(glm::u8vec4 p) { return p.r >= 245 && p.g <= 10 && p.b <= 10; }

}  // namespace testapp

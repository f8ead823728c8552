#include "support/GlTestContext.h"
#include "support/RecordingState.h"

#include "engine/InputCallbacks.h"
#include "engine/StateManager.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>

using testing_states::RecordingState;
using Log = std::vector<std::string>;
using Viewport = std::array<GLint, 4>;

// The callbacks are called exactly as GLFW calls them, on a real window whose user pointer is
// the manager.
class InputCallbacksTest : public ::testing::Test {
protected:
    Log log;
    RecordingState a{"a", log}, b{"b", log}, c{"c", log};
    StateManager manager;
    GLFWwindow* window = nullptr;

    void SetUp() override {
        window = testgl::context();
        ASSERT_NE(window, nullptr);
        manager.window = window;
        glfwSetWindowUserPointer(window, &manager);
        glViewport(0, 0, 256, 256);
    }
    void TearDown() override { glfwSetWindowUserPointer(window, nullptr); }

    void pushBoth() {
        manager.pushState(&a);
        manager.pushState(&b);
        log.clear();
    }
    void sendInput() {
        cursorPosCallback(window, 12.5, 40);
        scrollCallback(window, 0, -1);
        mouseButtonCallback(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, GLFW_MOD_SHIFT);
        keyCallback(window, GLFW_KEY_E, 26, GLFW_RELEASE, GLFW_MOD_CONTROL);
        charCallback(window, 0x00e9);
    }
    static Viewport viewport() {
        Viewport v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
};

TEST_F(InputCallbacksTest, InputGoesToTheTopStateOnlyAndNowhereWithAnEmptyStack) {
    sendInput();
    framebufferSizeCallback(window, 300, 200);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(viewport(), (Viewport{0, 0, 300, 200}));

    pushBoth();
    sendInput();
    EXPECT_EQ(log, (Log{"b.cursorPos 12.5 40", "b.scroll 0 -1", "b.mouseButton 1 1 1",
                        "b.keyInput 69 26 0 2", "b.charInput 233"}));
}

TEST_F(InputCallbacksTest, ResizeReachesEveryStateBottomToTopAndAZeroSizeNothing) {
    pushBoth();
    framebufferSizeCallback(window, 640, 480);
    EXPECT_EQ(viewport(), (Viewport{0, 0, 640, 480}));
    EXPECT_EQ(log, (Log{"a.windowResize 640 480", "b.windowResize 640 480"}));

    log.clear();
    framebufferSizeCallback(window, 0, 768);
    framebufferSizeCallback(window, 1024, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(viewport(), (Viewport{0, 0, 640, 480}));
}

TEST_F(InputCallbacksTest, AStatePushedDuringAResizeIsResizedToo) {
    pushBoth();
    a.onResize = [this](StateManager& s) { s.pushState(&c); };
    framebufferSizeCallback(window, 320, 240);
    EXPECT_EQ(log, (Log{"a.windowResize 320 240", "b.pause", "c.init", "b.windowResize 320 240",
                        "c.windowResize 320 240"}));
}

TEST_F(InputCallbacksTest, InstallSetsAllSixCallbacks) {
    installInputCallbacks(window);
    EXPECT_EQ(glfwSetCursorPosCallback(window, nullptr), &cursorPosCallback);
    EXPECT_EQ(glfwSetScrollCallback(window, nullptr), &scrollCallback);
    EXPECT_EQ(glfwSetMouseButtonCallback(window, nullptr), &mouseButtonCallback);
    EXPECT_EQ(glfwSetKeyCallback(window, nullptr), &keyCallback);
    EXPECT_EQ(glfwSetFramebufferSizeCallback(window, nullptr), &framebufferSizeCallback);
    EXPECT_EQ(glfwSetCharCallback(window, nullptr), &charCallback);
}

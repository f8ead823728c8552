#include "screens/Fullscreen.h"

#include "screens/ScreenBasics.h"
#include "screens/Settings.h"

#include <GLFW/glfw3.h>

bool GlfwDisplayModes::primaryMode(int& width, int& height) {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) return false;
    width = mode->width;
    height = mode->height;
    return true;
}

void GlfwDisplayModes::windowSize(int& width, int& height) { screen::windowSize(window, width, height); }

void GlfwDisplayModes::enterFullscreen(int width, int height) {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (monitor) glfwSetWindowMonitor(window, monitor, 0, 0, width, height, GLFW_DONT_CARE);
}

void GlfwDisplayModes::leaveFullscreen(int x, int y, int width, int height) {
    glfwSetWindowMonitor(window, nullptr, x, y, width, height, GLFW_DONT_CARE);
}

void switchFullscreen(Settings& settings, DisplayModes& display, bool wanted) {
    if (wanted == settings.fullscreen) return;
    int modeWidth = 0, modeHeight = 0;
    if (!display.primaryMode(modeWidth, modeHeight)) return;
    settings.fullscreen = wanted;
    if (wanted) {
        int width = 0, height = 0;
        display.windowSize(width, height);
        if (width > 0 && height > 0) {
            settings.windowedWidth = width;
            settings.windowedHeight = height;
        }
        display.enterFullscreen(modeWidth, modeHeight);
        return;
    }
    display.leaveFullscreen(modeWidth / 2 - settings.windowedWidth / 2,
                            modeHeight / 2 - settings.windowedHeight / 2, settings.windowedWidth,
                            settings.windowedHeight);
}

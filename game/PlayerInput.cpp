#include "game/PlayerInput.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

void GlfwPlayerWindow::setCursorPos(GLFWwindow* window, double x, double y) {
    if (window) glfwSetCursorPos(window, x, y);
}

void GlfwPlayerWindow::setCursorCaptured(GLFWwindow* window, bool captured) {
    if (window)
        glfwSetInputMode(window, GLFW_CURSOR, captured ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
}

void GlfwPlayerWindow::getWindowSize(GLFWwindow* window, int& width, int& height) {
    width = height = 0;
    if (window) glfwGetWindowSize(window, &width, &height);
}

PlayerWindow& glfwPlayerWindow() {
    static GlfwPlayerWindow window;
    return window;
}

double glfwClockSeconds() { return glfwGetTime(); }

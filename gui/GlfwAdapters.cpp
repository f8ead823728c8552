#include "gui/GlfwAdapters.h"

#include <GLFW/glfw3.h>

namespace gui {

void GlfwAdapters::getCursorPos(double& x, double& y) {
    x = y = 0;
    if (window) glfwGetCursorPos(window, &x, &y);
}

void GlfwAdapters::getWindowSize(int& width, int& height) {
    width = height = 0;
    if (window) glfwGetWindowSize(window, &width, &height);
}

const char* GlfwAdapters::getString() { return window ? glfwGetClipboardString(window) : nullptr; }

void GlfwAdapters::setString(const std::string& text) {
    if (window) glfwSetClipboardString(window, text.c_str());
}

double GlfwAdapters::now() { return glfwGetTime(); }

}  // namespace gui

#pragma once

#include "gui/Adapters.h"

struct GLFWwindow;

namespace gui {

// The real desktop: cursor, size and clipboard of one GLFW window, and GLFW's clock.
class GlfwAdapters : public CursorSource, public SizeSource, public Clipboard, public Clock {
public:
    GLFWwindow* window = nullptr;

    explicit GlfwAdapters(GLFWwindow* window = nullptr) : window(window) {}

    void getCursorPos(double& x, double& y) override;
    void getWindowSize(int& width, int& height) override;
    const char* getString() override;
    void setString(const std::string& text) override;
    double now() override;
};

}  // namespace gui

#include "screens/ScreenBasics.h"

#include <GLFW/glfw3.h>

namespace screen {

void windowSize(GLFWwindow* window, int& width, int& height) {
    width = height = 0;
    if (window) glfwGetWindowSize(window, &width, &height);
}

}  // namespace screen

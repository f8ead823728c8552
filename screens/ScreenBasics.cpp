#include "screens/ScreenBasics.h"

#include "engine/Shader.h"

#include <GLFW/glfw3.h>

namespace screen {

void setProjection(const Shader* shader, const glm::mat4& matrix) {
    if (!shader) return;
    glUseProgram(shader->program);
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE, &matrix[0][0]);
}

void windowSize(GLFWwindow* window, int& width, int& height) {
    width = height = 0;
    if (window) glfwGetWindowSize(window, &width, &height);
}

}  // namespace screen

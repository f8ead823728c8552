#include "gui/Viewport.h"

#include "engine/Shader.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace gui {

void applyViewport(int windowHeight, const Rect& rect, glm::ivec2 offset) {
    // GL counts rows from the bottom.
    glViewport(rect.x, windowHeight - rect.y - rect.height, rect.width, rect.height);
    const glm::mat4 projection =
        glm::ortho(static_cast<float>(-offset.x), static_cast<float>(rect.width - offset.x),
                   static_cast<float>(rect.height - offset.y), static_cast<float>(-offset.y),
                   -1.0f, 1.0f);
    for (const char* name : {"quadShader", "tex2DShader", "textShader"}) {
        const Shader* shader = getShader(name);
        if (!shader) continue;
        glUseProgram(shader->program);
        glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE,
                           glm::value_ptr(projection));
    }
}

void glfwViewportCallback(void* glfwWindow, const Rect& rect, glm::ivec2 offset) {
    int width = 0, height = 0;
    glfwGetWindowSize(static_cast<GLFWwindow*>(glfwWindow), &width, &height);
    applyViewport(height, rect, offset);
}

}  // namespace gui

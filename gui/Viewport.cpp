#include "gui/Viewport.h"

#include "engine/Shader.h"
#include "gui/PixelProjection.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/type_ptr.hpp>

namespace gui {

void applyViewport(int windowHeight, const Rect& rect, glm::ivec2 offset) {
    // GL counts rows from the bottom.
    glViewport(rect.x, windowHeight - rect.y - rect.height, rect.width, rect.height);
    const glm::mat4 projection = pixelProjection(rect.width, rect.height, offset);
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

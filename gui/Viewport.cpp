#include "gui/Viewport.h"

#include "engine/Shader.h"
#include "engine/Uniforms.h"
#include "gui/PixelProjection.h"

#include <GLFW/glfw3.h>

namespace gui {

void applyViewport(int windowHeight, const Rect& rect, glm::ivec2 offset) {
    // GL counts rows from the bottom.
    glViewport(rect.x, windowHeight - rect.y - rect.height, rect.width, rect.height);
    const glm::mat4 projection = pixelProjection(rect.width, rect.height, offset);
    for (const char* name : {"quadShader", "tex2DShader", "textShader"})
        uniforms::setProjection(getShader(name), projection);
}

void glfwViewportCallback(void* glfwWindow, const Rect& rect, glm::ivec2 offset) {
    int width = 0, height = 0;
    glfwGetWindowSize(static_cast<GLFWwindow*>(glfwWindow), &width, &height);
    applyViewport(height, rect, offset);
}

}  // namespace gui

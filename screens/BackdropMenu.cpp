#include "screens/BackdropMenu.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "gui/Element.h"
#include "gui/Paint.h"
#include "gui/Viewport.h"
#include "screens/ScreenBasics.h"
#include "screens/TitleState.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

void BackdropMenu::updateProjection(int width, int height, glm::ivec2 offset) {
    if (width <= 0 || height <= 0) return;
    screen::setProjection(getShader("blockShader"),
                  glm::perspective(1.2217305f, float(width) / float(height), 0.01f, 300.0f));
    const glm::mat4 flat =
        glm::translate(glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f),
                       glm::vec3(float(offset.x), float(offset.y), 0.0f));
    screen::setProjection(getShader("textShader"), flat);
    screen::setProjection(quadShader, flat);
}

void BackdropMenu::initMenu(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    quadShader = getShader("quadShader");
    updateProjection(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    quad.shader = quadShader;
    quad.init();
    interface.clearElements();
    interface.quadRenderer = &quad;
    interface.textRenderer = &text;
    interface.window = s.window;
    interface.viewportCallback = onViewport;
    interface.viewportUserData = this;
    projectionDirty = false;
}

void BackdropMenu::onViewport(void* menu, const gui::Rect& rect, glm::ivec2 offset) {
    auto* self = static_cast<BackdropMenu*>(menu);
    gui::glfwViewportCallback(self->interface.window, rect, offset);
    self->projectionDirty = true;
}

void BackdropMenu::render(StateManager& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int width, height;
    screen::windowSize(s.window, width, height);
    titleState.renderBackground(width, height);
    glDepthMask(GL_FALSE);
    gui::paint::fillRect(quad, 0.0f, 0.0f, float(width), float(height), glm::vec4(0, 0, 0, 0.5f));
    interface.render();
    glDepthMask(GL_TRUE);
    if (projectionDirty) {
        projectionDirty = false;
        glViewport(0, 0, width, height);
        updateProjection(width, height);
    }
}

void BackdropMenu::cursorPos(StateManager&, double x, double y) { interface.cursorPos(x, y); }

void BackdropMenu::scroll(StateManager&, double dx, double dy) { interface.scroll(dx, dy); }

void BackdropMenu::mouseButton(StateManager&, int button, int action, int mods) {
    interface.mouseButton(button, action, mods);
}

void BackdropMenu::keyInput(StateManager& s, int key, int scancode, int action, int mods) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) {
        s.popState();
        return;
    }
    interface.keyInput(key, scancode, action, mods);
}

void BackdropMenu::charInput(StateManager&, unsigned codePoint) {
    if (gui::Element* selected = interface.selectedElement()) selected->charInput(interface, codePoint);
}

void BackdropMenu::releaseGl() {
    quad.release();
    text.release();
}

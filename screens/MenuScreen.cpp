#include "screens/MenuScreen.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/Element.h"
#include "gui/PixelProjection.h"
#include "gui/Viewport.h"
#include "screens/ScreenBasics.h"

#include <GLFW/glfw3.h>

void MenuScreen::setGuiProjection(int width, int height, glm::ivec2 offset) {
    if (width <= 0 || height <= 0) return;
    const glm::mat4 flat = gui::pixelProjection(width, height, offset);
    uniforms::setProjection(getShader("textShader"), flat);
    uniforms::setProjection(quadShader, flat);
}

void MenuScreen::initRenderers(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    quadShader = getShader("quadShader");
    setGuiProjection(width, height);
    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    quad.shader = quadShader;
    quad.init();
}

void MenuScreen::setUpPage(gui::Interface& page, GLFWwindow* window, bool clipping) {
    page.clearElements();
    page.quadRenderer = &quad;
    page.textRenderer = &text;
    page.window = window;
    // The page puts the whole window back itself after a widget drew into part of it.
    page.viewportCallback = clipping ? gui::glfwViewportCallback : nullptr;
    page.viewportUserData = window;
}

void MenuScreen::cursorPos(StateManager&, double x, double y) { shownPage().cursorPos(x, y); }

void MenuScreen::scroll(StateManager&, double dx, double dy) { shownPage().scroll(dx, dy); }

void MenuScreen::mouseButton(StateManager&, int button, int action, int mods) {
    shownPage().mouseButton(button, action, mods);
}

void MenuScreen::keyInput(StateManager& s, int key, int scancode, int action, int mods) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) {
        escape(s);
        return;
    }
    shownPage().keyInput(key, scancode, action, mods);
}

void MenuScreen::escape(StateManager& s) { s.popState(); }

void MenuScreen::charInput(StateManager&, unsigned codePoint) {
    gui::Interface& page = shownPage();
    if (gui::Element* selected = page.selectedElement()) selected->charInput(page, codePoint);
}

void MenuScreen::releaseGl() {
    quad.release();
    text.release();
}

bool leaveWithScreenBelowOnClose(StateManager& s) {
    if (!s.window || !glfwWindowShouldClose(s.window)) return false;
    s.popState();
    s.popState();
    return true;
}

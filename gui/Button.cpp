#include "gui/Button.h"

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Paint.h"
#include "gui/Window.h"

#include <GLFW/glfw3.h>

namespace gui {

void Button::getPos(Window& window, int& px, int& py) {
    alignInWindow(window, alignX, alignY, x, y, width, height, px, py);
}

void Button::getSize(Window&, int& w, int& h) {
    w = width;
    h = height;
}

bool Button::cursorInside(Window& window) {
    int px, py, cx, cy;
    getPos(window, px, py);
    window.getCursorPos(cx, cy);
    return insideRect(cx, cy, px, py, width, height);
}

void Button::fire() {
    pressed = false;
    if (callback) callback(userData);
}

bool Button::mouseButton(Window& window, int button, int action, int) {
    if (!enabled || button != GLFW_MOUSE_BUTTON_LEFT) return false;
    if (!cursorInside(window)) {
        selected = false;
        pressed = false;
        return false;
    }
    if (action == GLFW_PRESS) {
        pressed = true;
        return true;
    }
    if (action == GLFW_RELEASE) {
        if (pressed) fire();
        else pressed = false;
    }
    return false;
}

bool Button::keyInput(Window&, int key, int, int action, int) {
    if (!selected || action != GLFW_PRESS || key != GLFW_KEY_ENTER) return false;
    fire();
    return true;
}

void Button::render(Window& window) {
    SolidQuad* quad = window.getQuadRenderer();
    BitmapText* text = window.getTextRenderer();
    if (!quad || !text) return;
    int px, py;
    getPos(window, px, py);
    const int centreX = px + width / 2, centreY = py + height / 2;
    const glm::vec4 white{1, 1, 1, 1};

    if (!enabled) {
        paint::fillRect(*quad, px, py, width, height, {0, 0, 0, 0.2f});
        paint::outlineRect(*quad, px, py, width, height, {1, 1, 1, 0.2f});
        paint::drawText(*text, label, centreX, centreY, 2, true, {1, 1, 1, 0.5f});
        text->color = white;
        return;
    }

    const bool hovering = !pressed && cursorInside(window);
    paint::fillRect(*quad, px, py, width, height,
                    pressed ? glm::vec4{1, 1, 1, 0.7f} : glm::vec4{0, 0, 0, 0.7f});
    if (hovering) {
        const glm::vec4 tints[2] = {{1, 0, 1, 0.7f}, {0, 1, 1, 0.7f}};
        glm::vec2 offsets[2] = {paint::randomInDisc(5), paint::randomInDisc(5)};
        for (int i = 0; i < 2; ++i)
            paint::outlineRect(*quad, px + offsets[i].x, py + offsets[i].y, width, height, tints[i]);
        for (int i = 0; i < 2; ++i)
            paint::drawText(*text, label, centreX + int(offsets[i].x), centreY + int(offsets[i].y),
                            2, true, tints[i]);
    }
    paint::outlineRect(*quad, px, py, width, height, white);
    paint::drawText(*text, label, centreX, centreY, 2, true, white);
    if (selected) paint::outlineRect(*quad, px - 2, py - 2, width + 4, height + 4, white);
}

}  // namespace gui

#include "gui/Slider.h"

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Paint.h"
#include "gui/Window.h"

#include <GLFW/glfw3.h>

#include <cmath>

namespace gui {

void Slider::getPos(Window& window, int& px, int& py) {
    int windowWidth = 0, windowHeight = 0;
    window.getWindowSize(windowWidth, windowHeight);
    px = alignedPos(alignX, windowWidth, width, x);
    if (alignY == 0) py = y;
    else if (alignY == 1) py = windowHeight - height + y;
    else py = windowHeight / 2 + y - height / 2;
}

void Slider::getSize(Window&, int& w, int& h) {
    w = width;
    h = height;
}

void Slider::cursorPos(Window& window, double cx, double) {
    if (!dragging) return;
    int px, py;
    getPos(window, px, py);
    double t;
    if (cx < px) t = 0;
    else if (cx >= px + width || width <= 0) t = 1;
    else t = (cx - px) / width;
    value = static_cast<int>(std::lround(max * t));
}

bool Slider::mouseButton(Window& window, int button, int action, int) {
    if (button != GLFW_MOUSE_BUTTON_LEFT) return false;
    if (action == GLFW_PRESS) {
        int px, py, cx, cy;
        getPos(window, px, py);
        window.getCursorPos(cx, cy);
        dragging = cx >= px - 9 && cx <= px + width + 9 && cy >= py && cy < py + height;
        return dragging;
    }
    if (action == GLFW_RELEASE && dragging) {
        dragging = false;
        report();
    }
    return false;
}

bool Slider::keyInput(Window&, int key, int, int action, int) {
    if (!selected || action != GLFW_PRESS) return false;
    if ((key == GLFW_KEY_A || key == GLFW_KEY_LEFT) && value >= 1) {
        --value;
        report();
    } else if ((key == GLFW_KEY_D || key == GLFW_KEY_RIGHT) && value < max) {
        ++value;
        report();
    }
    return false;
}

void Slider::render(Window& window) {
    SolidQuad* quad = window.getQuadRenderer();
    BitmapText* text = window.getTextRenderer();
    if (!quad || !text) return;
    int px, py;
    getPos(window, px, py);
    const int filled = max > 0 ? static_cast<int>(static_cast<float>(value) / max * width) : 0;
    const glm::vec4 white{1, 1, 1, 1}, black{0, 0, 0, 1};

    paint::drawText(*text, label, px, py, 2, false, white);
    paint::fillRect(*quad, px, py + 25, width, 10, {0, 0, 0, 0.5f});
    paint::outlineRect(*quad, px, py + 25, width, 10, {1, 1, 1, 0.7f});
    if (selected) paint::outlineRect(*quad, px - 8, py + 23, width + 16, 14, white);
    paint::outlineRect(*quad, px, py + 25, filled, 10, black);
    paint::outlineRect(*quad, px, py + 25, filled, 10, {1, 0, 1, 0.7f});
    paint::fillRect(*quad, px - 9 + filled, py + 21, 18, 18, black);
    paint::outlineRect(*quad, px - 9 + filled, py + 21, 18, 18, {0, 1, 1, 0.7f});
}

}  // namespace gui

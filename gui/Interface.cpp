#include "gui/Interface.h"

#include "gui/Element.h"

#include <GLFW/glfw3.h>

namespace gui {

GlfwAdapters& Interface::glfw() {
    glfwAdapters.window = window;
    return glfwAdapters;
}

void Interface::getCursorPos(int& x, int& y) {
    double cx = 0, cy = 0;
    (cursorSource ? static_cast<CursorSource&>(*cursorSource) : glfw()).getCursorPos(cx, cy);
    x = static_cast<int>(cx);
    y = static_cast<int>(cy);
}

void Interface::getWindowSize(int& width, int& height) {
    (sizeSource ? static_cast<SizeSource&>(*sizeSource) : glfw()).getWindowSize(width, height);
}

void Interface::setViewport(const Rect& rect, glm::ivec2 offset) {
    if (!viewportCallback) return;
    viewportChanged = true;
    viewportCallback(viewportUserData, rect, offset);
}

Clipboard* Interface::getClipboard() { return clipboard ? clipboard : &glfw(); }

Clock* Interface::getClock() { return clock ? clock : &glfw(); }

void Interface::render() {
    const unsigned listVersion = changeCount;
    for (size_t i = 0; i < elements.size() && changeCount == listVersion; ++i) {
        elements[i]->render(*this);
        if (viewportChanged) {
            Rect whole;
            getWindowSize(whole.width, whole.height);
            setViewport(whole, {0, 0});
            viewportChanged = false;
        }
    }
}

void Interface::cursorPos(double x, double y) {
    const unsigned listVersion = changeCount;
    for (size_t i = 0; i < elements.size() && changeCount == listVersion; ++i)
        elements[i]->cursorPos(*this, x, y);
}

bool Interface::scroll(double dx, double dy) {
    const unsigned listVersion = changeCount;
    for (size_t i = 0; i < elements.size() && changeCount == listVersion; ++i)
        if (elements[i]->scroll(*this, dx, dy)) return true;
    return false;
}

bool Interface::mouseButton(int button, int action, int mods) {
    return routeMouseButton(*this, button, action, mods);
}

bool Interface::keyInput(int key, int scancode, int action, int mods) {
    if (elements.empty()) return false;
    const unsigned listVersion = changeCount;
    if (Element* selected = selectedElement()) {
        if (selected->keyInput(*this, key, scancode, action, mods)) return true;
        if (changeCount != listVersion) return false;
    }
    if (key != GLFW_KEY_TAB || action != GLFW_PRESS) return false;
    const int next = nextSelectable(mods & GLFW_MOD_SHIFT);
    if (next >= 0 && next != selectedIndex) moveSelection(next);
    return false;
}

int Interface::nextSelectable(bool backward) const {
    const int count = static_cast<int>(elements.size());
    const int step = backward ? count - 1 : 1;  // -1 modulo count
    int index = selectedIndex >= 0 ? selectedIndex : (backward ? 0 : count - 1);
    // With nothing selected the search starts just outside the list, so it examines all.
    const int examined = selectedIndex >= 0 ? count - 1 : count;
    for (int n = 0; n < examined; ++n) {
        index = (index + step) % count;
        if (elements[index]->canSelect()) return index;
    }
    return -1;
}

}  // namespace gui

#include "gui/ContentBox.h"

#include "engine/SolidQuad.h"
#include "gui/Paint.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace gui {

void ContentBox::getPos(Window& window, int& px, int& py) {
    alignInWindow(window, alignX, alignY, x, y, width, height, px, py);
}

void ContentBox::getSize(Window&, int& w, int& h) {
    w = width;
    h = height;
}

void ContentBox::getCursorPos(int& cx, int& cy) {
    int px, py;
    parent->getCursorPos(cx, cy);
    getPos(*parent, px, py);
    cx -= px + scrollX;
    cy -= py + scrollY;
}

void ContentBox::getWindowSize(int& w, int& h) {
    w = width;
    h = height;
}

void ContentBox::setViewport(const Rect& rect, glm::ivec2 offset) {
    const int shiftedX = rect.x + scrollX, shiftedY = rect.y + scrollY;
    const int left = std::clamp(shiftedX, 0, width);
    const int right = std::clamp(shiftedX + rect.width, 0, width);
    const int top = std::clamp(shiftedY, 0, height);
    const int bottom = std::clamp(shiftedY + rect.height, 0, height);
    int px, py;
    getPos(*parent, px, py);
    viewportChanged = true;
    parent->setViewport({px + left, py + top, right - left, bottom - top},
                        offset + glm::ivec2(shiftedX - left, shiftedY - top));
}

void ContentBox::setContentViewport(bool withScroll) {
    int px, py;
    getPos(*parent, px, py);
    parent->setViewport({px, py, width, height},
                        withScroll ? glm::ivec2(scrollX, scrollY) : glm::ivec2(0, 0));
}

void ContentBox::select() {
    selected = true;
    if (!elements.empty() && selectedIndex < 0) {
        selectedIndex = 0;
        elements[0]->select();
    }
}

void ContentBox::deselect() {
    selected = false;
    draggingX = draggingY = false;
    if (Element* child = selectedElement()) child->deselect();
    selectedIndex = -1;
}

namespace {
// A bar along an edge of `extent` pixels, shortened by 16 where it meets the other bar.
ContentBox::Bar makeBar(int extent, int overflow, int scroll, bool otherBar) {
    ContentBox::Bar bar;
    if (overflow == 0) return bar;
    bar.length = static_cast<float>(extent - 2 - (otherBar ? 16 : 0));
    bar.thumbLength = static_cast<float>(extent) / (overflow + extent) * bar.length;
    bar.thumbPos = 1 + static_cast<float>(-scroll) / overflow * (bar.length - bar.thumbLength);
    return bar;
}
}  // namespace

ContentBox::Bar ContentBox::horizontalBar() const {
    return makeBar(width, overflowX, scrollX, overflowY != 0);
}

ContentBox::Bar ContentBox::verticalBar() const {
    return makeBar(height, overflowY, scrollY, overflowX != 0);
}

int ContentBox::scrollForThumb(float thumbPos, const Bar& bar, int overflow) {
    const float travel = bar.length - bar.thumbLength;
    if (thumbPos < 0 || travel <= 0) return 0;
    if (thumbPos > travel) return -overflow;
    return static_cast<int>(thumbPos / travel * -overflow);
}

bool ContentBox::cursorOver(Window& window, int& localX, int& localY) {
    int px, py, cx, cy;
    getPos(window, px, py);
    window.getCursorPos(cx, cy);
    localX = cx - px;
    localY = cy - py;
    return insideRect(localX, localY, 0, 0, width, height);
}

bool ContentBox::mouseButton(Window& window, int button, int action, int mods) {
    // A release ends a bar drag wherever the cursor is, or the bar would stick to the cursor.
    if (action == GLFW_RELEASE) draggingX = draggingY = false;
    int localX, localY;
    if (!cursorOver(window, localX, localY)) return false;
    if (action == GLFW_PRESS) {
        const bool inBottomStrip = overflowX != 0 && localY >= height - barGrabWidth;
        const bool inRightStrip = overflowY != 0 && localX >= width - barGrabWidth;
        if (inBottomStrip && !inRightStrip) {
            draggingX = true;
            grabOffset = localX - static_cast<int>(horizontalBar().thumbPos);
            return true;
        }
        if (inRightStrip && !inBottomStrip) {
            draggingY = true;
            grabOffset = localY - static_cast<int>(verticalBar().thumbPos);
            return true;
        }
    }
    routeMouseButton(*this, button, action, mods);
    return true;
}

void ContentBox::cursorPos(Window& window, double cx, double cy) {
    int px, py;
    getPos(window, px, py);
    const int localX = static_cast<int>(cx) - px, localY = static_cast<int>(cy) - py;
    // The thumb's track starts one pixel inside the box.
    if (draggingX) scrollX = scrollForThumb(localX - grabOffset - 1, horizontalBar(), overflowX);
    if (draggingY) scrollY = scrollForThumb(localY - grabOffset - 1, verticalBar(), overflowY);
    if (draggingX || draggingY) return;
    const unsigned listVersion = changeCount;
    for (size_t i = 0; i < elements.size() && changeCount == listVersion; ++i)
        elements[i]->cursorPos(*this, localX - scrollX, localY - scrollY);
}

bool ContentBox::scroll(Window& window, double dx, double dy) {
    int localX, localY;
    if (!cursorOver(window, localX, localY)) return false;
    const unsigned listVersion = changeCount;
    for (int i = static_cast<int>(elements.size()) - 1; i >= 0; --i) {
        if (elements[i]->scroll(*this, dx, dy)) return true;
        if (changeCount != listVersion) return true;
    }
    if (overflowX != 0 && dx != 0) {
        scrollX = std::clamp(scrollX + static_cast<int>(scrollSpeed * dx), -overflowX, 0);
        return true;
    }
    if (overflowY != 0 && dy != 0) {
        scrollY = std::clamp(scrollY + static_cast<int>(scrollSpeed * dy), -overflowY, 0);
        return true;
    }
    return false;
}

bool ContentBox::keyInput(Window&, int key, int scancode, int action, int mods) {
    const unsigned listVersion = changeCount;
    if (Element* child = selectedElement()) {
        if (child->keyInput(*this, key, scancode, action, mods)) return true;
        if (changeCount != listVersion) return false;
    }
    if (key != GLFW_KEY_TAB || action != GLFW_PRESS) return false;
    const int count = static_cast<int>(elements.size());
    const int step = (mods & GLFW_MOD_SHIFT) ? -1 : 1;
    for (int i = selectedIndex + step; i >= 0 && i < count; i += step) {
        if (elements[i]->canSelect()) {
            moveSelection(i);
            return true;
        }
    }
    // Past the last child: hand the selection back to the enclosing window.
    if (Element* child = selectedElement()) child->deselect();
    selectedIndex = -1;
    return false;
}

bool ContentBox::charInput(Window&, unsigned codePoint) {
    Element* child = selectedElement();
    return child && child->charInput(*this, codePoint);
}

void ContentBox::render(Window& window) {
    SolidQuad* quad = window.getQuadRenderer();
    if (!quad) return;
    const glm::vec4 black{0, 0, 0, 1}, white{1, 1, 1, 1};
    const glm::vec4 magenta{1, 0, 1, 0.7f}, cyan{0, 1, 1, 0.7f};

    setContentViewport(false);
    paint::fillRect(*quad, 1, 1, width - 2, height - 2, {0, 0, 0, 0.3f});

    setContentViewport(true);
    const unsigned listVersion = changeCount;
    for (size_t i = 0; i < elements.size() && changeCount == listVersion; ++i) {
        viewportChanged = false;
        elements[i]->render(*this);
        if (viewportChanged) setContentViewport(true);
    }
    viewportChanged = false;

    setContentViewport(false);
    paint::outlineRect(*quad, 1, 1, width - 2, height - 2, magenta);

    if (overflowX != 0) {
        const Bar bar = horizontalBar();
        const float top = static_cast<float>(height - 16);
        paint::fillRect(*quad, 1, top, bar.length, barThickness, {0, 0, 0, 0.5f});
        paint::outlineRect(*quad, 1, top, bar.length, barThickness, white);
        paint::fillRect(*quad, bar.thumbPos, top, bar.thumbLength, barThickness, black);
        paint::outlineRect(*quad, bar.thumbPos, top, bar.thumbLength, barThickness,
                           draggingX ? magenta : cyan);
    }
    if (overflowY != 0) {
        const Bar bar = verticalBar();
        const float left = static_cast<float>(width - 16);
        paint::fillRect(*quad, left, 1, barThickness, bar.length, {0, 0, 0, 0.5f});
        paint::outlineRect(*quad, left, 1, barThickness, bar.length, white);
        paint::fillRect(*quad, left, bar.thumbPos, barThickness, bar.thumbLength, black);
        paint::outlineRect(*quad, left, bar.thumbPos, barThickness, bar.thumbLength,
                           draggingY ? magenta : cyan);
    }
}

}  // namespace gui

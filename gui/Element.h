#pragma once

#include "gui/Window.h"

namespace gui {

// A widget. Screens own their widgets; containers only point at them.
class Element {
public:
    virtual ~Element() = default;

    virtual void render(Window& window) = 0;
    // 0 left, 1 right, anything else centred.
    virtual void setAlignX(int alignment) = 0;
    // 0 top, 1 bottom, anything else centred.
    virtual void setAlignY(int alignment) = 0;
    virtual void setX(int offset) = 0;
    virtual void setY(int offset) = 0;
    // Top-left corner in the window's coordinates, after alignment.
    virtual void getPos(Window& window, int& x, int& y) = 0;
    virtual void getSize(Window& window, int& width, int& height) = 0;
    virtual void cursorPos(Window&, double, double) {}
    virtual bool scroll(Window&, double, double) { return false; }
    virtual bool mouseButton(Window&, int, int, int) { return false; }
    virtual bool keyInput(Window&, int, int, int, int) { return false; }
    virtual bool charInput(Window&, unsigned) { return false; }
    virtual bool canSelect() { return false; }
    virtual void select() {}
    virtual void deselect() {}
};

// A widget placed in its window by an alignment and an offset on each axis.
class PlacedElement : public Element {
public:
    int x = 0, y = 0;
    int alignX = 0, alignY = 0;

    void setAlignX(int alignment) override { alignX = alignment; }
    void setAlignY(int alignment) override { alignY = alignment; }
    void setX(int offset) override { x = offset; }
    void setY(int offset) override { y = offset; }
};

// Offset of a widget of size `inner` aligned in `outer` with the given offset: left/top edge,
// right/bottom edge (offset usually negative) or centre.
inline int alignedPos(int alignment, int outer, int inner, int offset) {
    if (alignment == 0) return offset;
    if (alignment == 1) return outer - inner + offset;
    return outer / 2 - inner / 2 + offset;
}

// The top-left corner of a width x height widget placed in `window` by the alignment rule.
inline void alignInWindow(Window& window, int alignX, int alignY, int x, int y, int width,
                          int height, int& px, int& py) {
    int windowWidth = 0, windowHeight = 0;
    window.getWindowSize(windowWidth, windowHeight);
    px = alignedPos(alignX, windowWidth, width, x);
    py = alignedPos(alignY, windowHeight, height, y);
}

// Left and top edges inclusive, right and bottom exclusive.
inline bool insideRect(int px, int py, int x, int y, int width, int height) {
    return px >= x && py >= y && px < x + width && py < y + height;
}

}  // namespace gui

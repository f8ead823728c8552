#pragma once

#include <glm/vec2.hpp>

class SolidQuad;
class BitmapText;
struct GLFWwindow;

namespace gui {

class Clipboard;
class Clock;

// A rectangle in window pixels, origin at the top-left, y pointing down.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// A place that widgets are drawn into: a screen's interface or a content box.
class Window {
public:
    virtual ~Window() = default;

    virtual SolidQuad* getQuadRenderer() = 0;
    virtual BitmapText* getTextRenderer() = 0;
    virtual GLFWwindow* getGLFWwindow() = 0;
    virtual void getCursorPos(int& x, int& y) = 0;
    // The size that children are aligned in.
    virtual void getWindowSize(int& width, int& height) = 0;
    // Draw from now on into rect (this window's coordinates); a point p drawn by a child lands
    // at p + offset inside rect.
    virtual void setViewport(const Rect& rect, glm::ivec2 offset) = 0;
    // The desktop's clipboard and clock, for text inputs.
    virtual Clipboard* getClipboard() = 0;
    virtual Clock* getClock() = 0;
};

}  // namespace gui

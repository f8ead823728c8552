#pragma once

#include <string>

namespace gui {

// What the toolkit needs from the desktop, each behind a small interface so that widgets can be
// driven in tests without a window. GlfwAdapters implements all four for the game.

class CursorSource {
public:
    virtual ~CursorSource() = default;
    // Cursor position in window pixels, origin at the top-left.
    virtual void getCursorPos(double& x, double& y) = 0;
};

class SizeSource {
public:
    virtual ~SizeSource() = default;
    virtual void getWindowSize(int& width, int& height) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Null when the clipboard is empty or holds no text.
    virtual const char* getString() = 0;
    virtual void setString(const std::string& text) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since some fixed moment.
    virtual double now() = 0;
};

}  // namespace gui

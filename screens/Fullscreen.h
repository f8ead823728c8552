#pragma once

struct GLFWwindow;
struct Settings;

// What switching between full screen and a window needs from the desktop: GlfwDisplayModes
// for the game's window, a fake in tests.
class DisplayModes {
public:
    virtual ~DisplayModes() = default;
    // The primary monitor's video mode; false when there is no monitor or it reports no mode.
    virtual bool primaryMode(int& width, int& height) = 0;
    // The window's present size; 0 x 0 while it is minimised.
    virtual void windowSize(int& width, int& height) = 0;
    // Puts the window on the primary monitor at (0, 0) with that size.
    virtual void enterFullscreen(int width, int height) = 0;
    // Makes the window a window again, at (x, y) with that size.
    virtual void leaveFullscreen(int x, int y, int width, int height) = 0;
};

class GlfwDisplayModes : public DisplayModes {
public:
    explicit GlfwDisplayModes(GLFWwindow* window) : window(window) {}
    bool primaryMode(int& width, int& height) override;
    void windowSize(int& width, int& height) override;
    void enterFullscreen(int width, int height) override;
    void leaveFullscreen(int x, int y, int width, int height) override;

private:
    GLFWwindow* window;
};

// Switches the window to full screen on the primary monitor or back to the size it had before,
// centred on that monitor, and records the state in the settings. Nothing changes when the state
// is already the wanted one or when no monitor mode can be had. Entering remembers the window's
// size, unless the window is minimised (a size of 0 would be restored as an invisible window).
void switchFullscreen(Settings& settings, DisplayModes& display, bool wanted);

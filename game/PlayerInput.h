#pragma once

#include <functional>

struct GLFWwindow;

// What the player needs from the desktop, behind small seams so that movement, mouse look and
// the controls run in tests without a window.

// The window as the player's mouse look and cursor mode see it.
class PlayerWindow {
public:
    virtual ~PlayerWindow() = default;
    virtual void setCursorPos(GLFWwindow* window, double x, double y) = 0;
    // Captured: hidden and unbounded for the mouse look. Released: the normal pointer.
    virtual void setCursorCaptured(GLFWwindow* window, bool captured) = 0;
    virtual void getWindowSize(GLFWwindow* window, int& width, int& height) = 0;
};

// The real window through GLFW; a null window is left alone.
class GlfwPlayerWindow final : public PlayerWindow {
public:
    void setCursorPos(GLFWwindow* window, double x, double y) override;
    void setCursorCaptured(GLFWwindow* window, bool captured) override;
    void getWindowSize(GLFWwindow* window, int& width, int& height) override;
};

// The one GLFW window adapter every player uses unless a test installs its own.
PlayerWindow& glfwPlayerWindow();

// Seconds of the game clock; glfwGetTime in the game.
using PlayerClock = std::function<double()>;
double glfwClockSeconds();

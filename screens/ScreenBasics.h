#pragma once

struct GLFWwindow;

// Steps every screen takes.
namespace screen {

// The window's size in screen coordinates; 0 x 0 when it cannot be had.
void windowSize(GLFWwindow* window, int& width, int& height);

}  // namespace screen

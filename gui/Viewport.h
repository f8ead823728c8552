#pragma once

#include "gui/Window.h"

namespace gui {

// Draws the 2D layer into rect (window pixels, top-left origin) of a window windowHeight pixels
// high: sets the GL viewport and a pixel projection "P", for which a point p lands at p + offset
// inside rect, on the quad, textured-quad and text shaders.
void applyViewport(int windowHeight, const Rect& rect, glm::ivec2 offset);

// The viewport callback of a screen's interface; userData is the screen's GLFW window.
void glfwViewportCallback(void* glfwWindow, const Rect& rect, glm::ivec2 offset);

}  // namespace gui

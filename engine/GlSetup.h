#pragma once

struct GLFWwindow;

// The window and GL state every screen of the game draws with. The game's start-up and the
// test harness that drives its screens both go through here, so the tests see what a player
// sees.
namespace glsetup {

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
constexpr int samples = 4;

// Before the window is created: 4x multisampling and an OpenGL 3.3 core, forward-compatible
// context.
void hintWindow();

// With the window's context current and GLEW initialised: sticky keys, a clear colour of 0,
// the depth test with LESS, and alpha blending (SRC_ALPHA, ONE_MINUS_SRC_ALPHA).
void applyState(GLFWwindow* window);

}  // namespace glsetup

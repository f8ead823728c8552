#pragma once

#include <functional>

struct GLFWwindow;
struct StateManager;

// What the loop needs from the window system. The game uses GLFW (glfwLoopDriver); tests
// script the clock and count polls and swaps.
struct LoopDriver {
    std::function<double()> time;      // seconds
    std::function<void()> pollEvents;  // runs the input callbacks
    std::function<void()> swapBuffers;
};

LoopDriver glfwLoopDriver(GLFWwindow* window);

// Game logic advances in ticks of exactly tickSeconds of accumulated time. A frame later than
// maxFrameSeconds runs a single tick: after a stall the lost time is dropped, not caught up.
constexpr double tickSeconds = 0.01;
constexpr double maxFrameSeconds = 0.1;

struct LoopTimer {
    double accumulator = 0.0;
    double previousTime = 0.0;
};

// A timer whose first frame measures from now.
LoopTimer startLoopTimer(const LoopDriver& driver);

// One pass of the loop: the due ticks (each polls events, then updates the top state), one
// render of the top state and one buffer swap.
void runFrame(StateManager& manager, LoopTimer& timer, const LoopDriver& driver);

// Runs frames until the stack is empty; returns at once when it is empty already.
void runMainLoop(StateManager& manager, const LoopDriver& driver);

#pragma once

struct GLFWwindow;

// The GLFW input callbacks. Each finds the StateManager through the window's user pointer and
// hands the event to the top state; a framebuffer resize goes to every state.
void cursorPosCallback(GLFWwindow* window, double x, double y);
void scrollCallback(GLFWwindow* window, double dx, double dy);
void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods);
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);
void framebufferSizeCallback(GLFWwindow* window, int width, int height);
void charCallback(GLFWwindow* window, unsigned codePoint);

// Installs the six callbacks in the order cursor, scroll, mouse button, key, framebuffer size,
// character.
void installInputCallbacks(GLFWwindow* window);

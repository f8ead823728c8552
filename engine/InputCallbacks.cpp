#include "engine/InputCallbacks.h"

#include "engine/State.h"
#include "engine/StateManager.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace {

StateManager* managerOf(GLFWwindow* window) {
    return static_cast<StateManager*>(glfwGetWindowUserPointer(window));
}

// The top state, or null when there is none to take the event.
State* topState(StateManager* manager) {
    if (!manager || manager->states.empty()) return nullptr;
    return manager->states.back();
}

}  // namespace

void cursorPosCallback(GLFWwindow* window, double x, double y) {
    StateManager* manager = managerOf(window);
    if (State* top = topState(manager)) top->cursorPos(*manager, x, y);
}

void scrollCallback(GLFWwindow* window, double dx, double dy) {
    StateManager* manager = managerOf(window);
    if (State* top = topState(manager)) top->scroll(*manager, dx, dy);
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods) {
    StateManager* manager = managerOf(window);
    if (State* top = topState(manager)) top->mouseButton(*manager, button, action, mods);
}

void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) {
    StateManager* manager = managerOf(window);
    if (State* top = topState(manager)) top->keyInput(*manager, key, scancode, action, mods);
}

void framebufferSizeCallback(GLFWwindow* window, int width, int height) {
    // A minimised window reports a zero size; keep the last viewport and layouts.
    if (width == 0 || height == 0) return;
    glViewport(0, 0, width, height);
    StateManager* manager = managerOf(window);
    if (!manager) return;
    // The size is read on every pass: a state may change the stack while it resizes.
    for (size_t i = 0; i < manager->states.size(); ++i)
        manager->states[i]->windowResize(*manager, width, height);
}

void charCallback(GLFWwindow* window, unsigned codePoint) {
    StateManager* manager = managerOf(window);
    if (State* top = topState(manager)) top->charInput(*manager, codePoint);
}

void installInputCallbacks(GLFWwindow* window) {
    glfwSetCursorPosCallback(window, cursorPosCallback);
    glfwSetScrollCallback(window, scrollCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetKeyCallback(window, keyCallback);
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);
    glfwSetCharCallback(window, charCallback);
}

#pragma once

#include <vector>

class State;
struct GLFWwindow;

// The stack of screens (top at the back) and the window. It never owns a state.
struct StateManager {
    std::vector<State*> states;
    GLFWwindow* window = nullptr;

    void pushState(State* state);
    void popState();
    void changeState(State* state);
};

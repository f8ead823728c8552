#include "engine/StateManager.h"

#include "engine/State.h"

void StateManager::pushState(State* state) {
    if (!states.empty()) states.back()->pause(*this);
    states.push_back(state);
    state->init(*this);
}

void StateManager::popState() {
    if (states.empty()) return;
    states.back()->close(*this);
    states.pop_back();
    if (!states.empty()) states.back()->resume(*this);
}

void StateManager::changeState(State* state) {
    // A hand-over, not a push over a pop: the state below sees neither resume nor pause.
    if (!states.empty()) {
        states.back()->close(*this);
        states.pop_back();
    }
    states.push_back(state);
    state->init(*this);
}

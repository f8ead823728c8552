#pragma once

#include "engine/State.h"

// The first screen on the stack. For now it only clears the window and leaves the stack when
// the window is asked to close.
class IntroState : public State {
public:
    void init(StateManager&) override {}
    void close(StateManager&) override {}
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager&) override {}
    void cursorPos(StateManager&, double, double) override {}
    void scroll(StateManager&, double, double) override {}
    void mouseButton(StateManager&, int, int, int) override {}
    void keyInput(StateManager&, int, int, int, int) override {}
    void windowResize(StateManager&, int, int) override {}
    void charInput(StateManager&, unsigned) override {}
};

extern IntroState introState;

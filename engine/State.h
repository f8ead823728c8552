#pragma once

struct StateManager;

// One screen of the game. Every screen is a global singleton that lives for the whole run;
// the stack never owns one. A screen pushed again gets init again on the same object.
class State {
public:
    virtual void init(StateManager& s) = 0;
    virtual void close(StateManager& s) = 0;
    virtual void update(StateManager& s) = 0;
    virtual void render(StateManager& s) = 0;
    virtual void pause(StateManager& s) = 0;
    virtual void resume(StateManager& s) = 0;
    virtual void cursorPos(StateManager& s, double x, double y) = 0;
    virtual void scroll(StateManager& s, double dx, double dy) = 0;
    virtual void mouseButton(StateManager& s, int button, int action, int mods) = 0;
    virtual void keyInput(StateManager& s, int key, int scancode, int action, int mods) = 0;
    virtual void windowResize(StateManager& s, int width, int height) = 0;
    virtual void charInput(StateManager& s, unsigned codePoint) = 0;

    virtual ~State() = default;
};

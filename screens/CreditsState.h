#pragma once

#include "engine/BitmapText.h"
#include "engine/State.h"

#include <glm/mat4x4.hpp>

struct Shader;

// The credits, pushed by the title screen: two lines scroll up from the bottom edge at 100
// pixels a second, and the screen leaves by itself once they have passed the top, or at once on
// Escape or the window's close request.
class CreditsState : public State {
public:
    static constexpr const char* firstLine = "-- credits --";
    static constexpr const char* secondLine = "me";
    // How far past the window's height the lines scroll before the screen leaves.
    static constexpr float runOut = 250.0f;

    glm::mat4 projection2D{1.0f};
    float offset = 0.0f;  // pixels scrolled
    BitmapText text;
    Shader* quadShader = nullptr;

    void init(StateManager& s) override;
    void close(StateManager&) override {}
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager&) override {}
    void cursorPos(StateManager&, double, double) override {}
    void scroll(StateManager&, double, double) override {}
    void mouseButton(StateManager&, int, int, int) override {}
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager&, unsigned) override {}

    void updateProjection(int width, int height);
    // One tick of scrolling in a window of that height; true once the lines have run out.
    bool advance(int windowHeight);

    // Frees the GL objects; called before the context goes away.
    void releaseGl();
};

extern CreditsState creditsState;

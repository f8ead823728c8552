#pragma once

#include "engine/BitmapText.h"
#include "engine/MeshRenderer.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

struct Shader;

// The loading screen above the game screen while the first chunks of a world load or generate:
// a turning 120-cell, "Loading..." with a colour-split shake, a progress bar and the chunk
// count. It starts the first streaming pass around the player and pops itself once every
// requested chunk has loaded. It takes no input and cannot be left before.
class WorldGenState : public State {
public:
    glm::mat4 projection2D{1.0f};
    glm::mat4 projection3D{1.0f};
    float progress = 0.0f;
    BitmapText text;
    Shader* shapeShader = nullptr;
    MeshRenderer shape;
    GLint mvLocation = -1;
    float spin = 0.0f;
    SolidQuad bar;
    // When the last frame began (steady clock, seconds): frames are drawn at most
    // maxFramesPerSecond a second.
    double lastFrameStart = 0.0;

    void init(StateManager& s) override;
    void close(StateManager&) override {}
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager&) override {}
    void cursorPos(StateManager&, double, double) override {}
    void scroll(StateManager&, double, double) override {}
    void mouseButton(StateManager&, int, int, int) override {}
    void keyInput(StateManager&, int, int, int, int) override {}
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager&, unsigned) override {}

    // Every frame not drawn leaves the processors to the workers that generate the world: they
    // run at the lowest priority, below this screen and the renderer's threads. The shape turns
    // slowly, so 20 frames a second still look smooth.
    static constexpr double maxFramesPerSecond = 20.0;

    void layout(int width, int height);
    // Frees the GL objects; called before the context goes away.
    void releaseGl();

private:
    void waitForFrameTime();
    void drawShape();
};

extern WorldGenState worldGenState;

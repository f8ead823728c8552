#pragma once

#include "engine/TexturedQuad.h"
#include "gui/Button.h"
#include "screens/OverGameMenu.h"

#include <glm/vec2.hpp>

#include <random>

// The death screen, pushed by the game screen when the player's health runs out: the frozen
// game fades behind a dark veil, the death image fades in and then flickers with coloured
// glitch copies, and the death sound plays. However it is left, the player comes back at the
// spawn point with the inventories kept: "Retry..." reloads the world from disk, Escape goes on
// in the loaded world, "quit to title screen" saves and returns to the title.
class DeathScreenState : public OverGameMenu {
public:
    // The image is this many texels square; the glitches cut their slices from the part of it
    // that holds the motif.
    static constexpr int imageSize = 256;

    TexturedQuad image;
    gui::Button retryButton;
    gui::Button quitButton;
    double startTime = 0.0;  // glfwGetTime seconds at the death
    // Where the glitches fall.
    std::mt19937 random{std::random_device{}()};

    void init(StateManager& s) override;
    // Respawns the player, then empties the interface.
    void close(StateManager& s) override;
    void render(StateManager& s) override;

    // Frees the GL objects, the image's too; called before the context goes away.
    void releaseGl();

private:
    void drawImage(int width, int height, float alpha);
    void drawGlitch(int width, int height);
};

extern DeathScreenState deathScreenState;

// The steps of the death screen's drawing that need no window.
namespace death {

// How far the veil and the image have faded in, t seconds after the death: the veil during the
// first second, the image during the second; the glitches start once the image is whole.
struct Fade {
    float veil = 0.0f;
    float image = 0.0f;
    bool glitches = false;
};
Fade fadeAt(float t);

// The whole-number scale of the image in a width x height window: as large as fits, at least 1.
int imageScale(int width, int height);

// One glitch: a slice of the image's motif (texels x, y, width, height) and where its first
// copy is drawn in the window; the second copy stands 10 x scale pixels further right and down.
struct Glitch {
    int x = 0, y = 0, width = 0, height = 0;
    glm::ivec2 at{0};
};
Glitch randomGlitch(std::mt19937& random, int scale, int windowWidth, int windowHeight);

// Whether this frame shows a glitch: one frame in five.
bool glitchThisFrame(std::mt19937& random);

}  // namespace death

#pragma once

#include "engine/GlSetup.h"
#include "engine/StateManager.h"
#include "support/GlTestContext.h"

#include <glm/vec4.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Drives the game screen as the main loop would, without the menus: a world in a temporary
// directory, the game screen and the loading screen pushed on a StateManager, ticks and frames
// on demand, input through the same callbacks GLFW calls, and screenshots of what a player
// would see. It draws into the default framebuffer of a hidden window made as the game makes
// its own (1024 x 768, 4x multisampling, the same GL state), so a frame is the player's frame.
// One harness at a time per test program (they share the one GL context).
namespace testgame {

class GameHarness {
public:
    static constexpr int width = glsetup::windowWidth;
    static constexpr int height = glsetup::windowHeight;

    StateManager manager;
    std::filesystem::path worldDir;
    // New chunks spawn no creatures unless a test asks for them (and then fixes their rolls).
    bool spawning = false;

    // Opens the context, loads the shaders and sets the GL state the game starts with.
    GameHarness();
    // Pops whatever is still on the stack (the game screen saves) and removes the world.
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // The context at the game's window size and every shader are there.
    bool ready() const { return ready_; }
    GLFWwindow* window() const { return manager.window; }

    // Points the game at the temporary world and pushes the game screen and the loading screen
    // above it, as the world list does; spawning as the harness says.
    void enterWorld(float renderDistance = 2.0f);
    // One tick of the top state, as the main loop runs it (events first).
    void tick(int count = 1);
    // The top state draws one frame into the window's back buffer (not shown: it stays there
    // to be read).
    void frame();
    // Ticks (drawing now and then) until the loading screen has gone, the streaming pass has
    // ended and its meshes are in; false when that takes longer than `seconds`.
    bool finishLoading(double seconds = 60.0);
    // Ticks until the player has come to rest on the ground; false after maxTicks.
    bool settle(int maxTicks = 3000);
    // The world loaded, the player at rest and the pass his landing may start ended: a view
    // ready to be looked at or measured. False when any of it takes too long.
    bool finishLoadingAndSettle(double seconds = 60.0);

    // The last frame, RGBA rows from the top.
    std::vector<uint8_t> image() const;
    glm::u8vec4 pixel(int x, int y) const;
    // Saves the last frame as build/screenshots/<name>.png, opaque as the window shows it.
    std::string screenshot(const std::string& name) const;

private:
    bool ready_ = false;
};

// Share of pixels of a rectangle whose colour is within `tolerance` of `color` on every channel.
float shareNear(const std::vector<uint8_t>& image, int x0, int y0, int x1, int y1,
                glm::u8vec4 color, int tolerance);
// Share of pixels of a rectangle whose colours differ by more than `threshold` (summed over
// red, green and blue) between two images.
float changedShare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x0, int y0,
                   int x1, int y1, int threshold = 30);
// Colours as the framebuffer stores them.
glm::u8vec4 toBytes(const glm::vec4& color);
// The clear colour of the sky at a time of day, as stored.
glm::u8vec4 skyBytes(float timeOfDay);

}  // namespace testgame

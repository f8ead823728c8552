#pragma once

#include "tutorial/TutorialWorld.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

// Frank the forg: a flat creature that lives in a vertical plane through the tutorial world. His
// body is the vertical segment from his feet to 0.8 above them; he walks along the plane's
// forward direction, jumps and falls, and collides with the blocks cell by cell. The plane turns
// about the vertical when the player scrolls. One tick is 0.01 s.
namespace tutorial {

enum class ForgAnim { idle = 0, walking = 1, inAir = 2 };

struct Forg {
    static constexpr float height = 0.8f;
    static constexpr float walkAcceleration = 0.005f;  // per tick
    static constexpr float jumpVelocity = 0.12f;
    static constexpr float gravity = 0.003f;  // per tick
    static constexpr float damping = 0.92f;   // horizontal, per tick
    static constexpr float gridTolerance = 1e-8f;
    static constexpr float smallestSpeed = 1e-8f;
    // A scroll unit turns the plane this far, a tenth of what remains each tick.
    static constexpr float turnPerScroll = 0.03f;
    static constexpr float turnShare = 0.1f;
    static constexpr float smallestTurn = 0.001f;
    // The sweep stops at every cell boundary it crosses, never more often than this in a tick.
    static constexpr int maxCrossingsPerTick = 16;

    glm::vec3 pos{9.5f, 12.0f, 5.5f};  // feet, in blocks
    float headY = 12.8f;
    glm::vec3 velocity{0.0f};  // blocks per tick
    glm::mat4 sliceRotation{1.0f};
    glm::vec3 forward{0.0f, 0.0f, 1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    float pendingRotation = 0.0f;  // radians still to turn
    glm::ivec3 currentBlock{9, 12, 5};
    ForgAnim animState = ForgAnim::idle;
    int facing = 0;  // 1 after a step toward +forward, 0 after one toward -forward
    double animStart = 0.0;
    bool upKey = false, leftKey = false, rightKey = false, jumpKey = false;

    // Back at the start: standing in his plane facing +z, nothing held.
    void reset(double now);

    // One tick: walking, jumping and falling, the swept move, and the plane's turn.
    void tick(const Blocks& blocks, double now);
    bool onGround(const Blocks& blocks) const;
    // Moves by the velocity, stopping at each cell boundary the leading end of the body crosses
    // to test the cells beyond.
    void move(const Blocks& blocks);
    // Stops the motion along one axis (0 x, 1 y, 2 z) when the cells the body would enter are
    // solid.
    void collide(const Blocks& blocks, const glm::vec3& feet, const glm::vec3& head, int axis);
    // The cell holding the feet; a coordinate exactly on a boundary keeps its cell.
    void updateCurrentBlock();
    // forward and up from the plane's rotation.
    void updateSlice();
    // Adds a turn of the plane, done over the next ticks.
    void scroll(double dy) { pendingRotation += float(dy) * turnPerScroll; }

private:
    void setAnim(ForgAnim state, double now);
    void turnSlice();
};

}  // namespace tutorial

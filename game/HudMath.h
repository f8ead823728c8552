#pragma once

#include "engine/Math4D.h"

#include <glm/vec4.hpp>

// Numbers of the heads-up display that tests check without a window.
namespace hud {

// Texel rows of the health bar's fill (the left half of "health.png", 48 rows high).
constexpr int healthTexels = 48;
int healthFill(float health);

// What moves the held item: the body's motion, the swing while mining and the kick after a
// placement.
struct HandMotion {
    glm::vec4 velocity{0.0f};
    glm::vec4 left{1, 0, 0, 0};
    glm::vec4 over{0, 0, 0, 1};
    bool mining = false;
    double secondsSincePress = 0.0;  // since the left button went down
    double secondsSinceUse = 1e9;    // since the last block placement
};

// The held item's model-view in camera axes (x right, y up, z backwards, w over).
Mat5 heldItemMatrix(const HandMotion& motion);

}  // namespace hud

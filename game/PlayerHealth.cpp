#include "game/Player.h"

#include <algorithm>

namespace {

// Regeneration waits this long after the last damage; the comparison is made in double
// precision against the float constant, as the game always did.
constexpr float regenerationDelay = 1.2f;
// One point per second at the fixed tick: 100 seconds from empty to full.
constexpr float regenerationPerTick = 0.01f;
constexpr float fullHealth = 100.0f;

}  // namespace

void Player::regenerate() {
    if (clock() - lastDamageTime >= double(regenerationDelay))
        health = std::min(health + regenerationPerTick, fullHealth);
}

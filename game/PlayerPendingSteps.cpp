#include "game/Player.h"

// Stand-ins for the tick steps of health, targeting, mining and dropping, which arrive with the
// item types; the files that implement them replace this one. Until then a tick only moves,
// looks and turns.

void Player::regenerate() {}

void Player::raycastBlock(World*, float) {}

void Player::dropPendingItem(World*) {}

void Player::useHands(World*) {}

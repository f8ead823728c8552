#include "game/Player.h"

// Stand-in for the health step of a tick; the file that implements it replaces this one.

void Player::regenerate() {}

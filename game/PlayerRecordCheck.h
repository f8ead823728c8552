#pragma once

#include <nlohmann/json.hpp>

#include <string>

// A saved player record comes from disk and may be partial, hand-edited or written by a broken
// build: check it before the player takes it, so that a bad record costs a fresh start and not
// the game.
namespace playerrecord {

// Empty when `record` can be loaded by Player::fromJson; otherwise a short phrase saying what
// is wrong.
std::string problemWith(const nlohmann::json& record);

}  // namespace playerrecord

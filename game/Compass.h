#pragma once

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

// The player's state as the compass display reads it; written by the player's movement,
// camera and view keys.
extern glm::vec4 compassPlayerPos;
// The horizontal view direction, the side vector and the fourth view axis.
extern glm::vec4 compassFacing;
extern glm::vec4 compassLeft;
extern glm::vec4 compassOver;
// The held compass diagram's turn (radians about its y and x axes), moved by the mouse.
extern glm::vec2 compassAngles;

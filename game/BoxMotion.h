#pragma once

#include <glm/vec4.hpp>

class World;

// Movement of the moving entities through the block grid: each is a box with the same half
// extent on every axis, moved one axis at a time and pushed out of solid blocks.
namespace boxmotion {

// A box face lying this close to a cell border does not reach into the next cell; positions
// on a border are also tested with it.
inline constexpr float borderTolerance = 0.0001f;
// Coordinates beyond this (only damaged data puts them there) touch no block.
inline constexpr float gridLimit = 1.0e9f;
// Per tick: what is left of the horizontal speed, the fall's gain and its limit.
inline constexpr float damping = 0.92f;
inline constexpr float gravity = 0.003f;
inline constexpr float maxFallSpeed = 0.8f;

// One tick of sliding and falling: the horizontal speed damped, the vertical one pulled down.
void slideAndFall(glm::vec4& velocity);

// Every coordinate lies within gridLimit.
bool onGrid(const glm::vec4& p);
// The cells a face range [lo, hi] reaches into, first to last.
void cellRange(float lo, float hi, int& first, int& last);
// pos[axis] += velocity[axis], then out of every solid cell (id 1 or more; air and unloaded
// chunks do not count) that the box overlaps. True when a block stopped it; velocity[axis] is
// then 0.
bool moveAxis(World* world, glm::vec4& pos, glm::vec4& velocity, float halfExtent, int axis);

}  // namespace boxmotion

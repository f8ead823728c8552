#pragma once

#include <glm/vec3.hpp>

#include <cstdint>
#include <random>

// Random numbers of the game logic, from the calling thread's own generator: the world's loader
// threads roll creatures at the same time as the main thread rolls drops, and the C library's
// single process-wide state would be shared between them. Tests seed a thread's generator to
// make its rolls repeatable.
namespace threadrandom {

// The calling thread's generator (seeded from the system's entropy when a thread first uses it).
std::mt19937& generator();

// A uniform 32-bit number.
uint32_t next32();
// A uniform number in [0, 1): a 32-bit number times 2^-32.
double unit();
// A uniform point in the ball of the given radius.
glm::vec3 inBall(float radius);

}  // namespace threadrandom

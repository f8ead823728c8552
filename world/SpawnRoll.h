#pragma once

#include <cstdint>

// The creature roll of a freshly loaded chunk: r uniform in [0, 100) from the calling thread's
// own generator, seeded with the integer part of (seconds since start-up x 1000 + chunk x).
// Loader threads roll at the same time, so no process-wide generator is involved: the roll
// seeds the thread's generator (threadrandom), which then goes on to roll the spider's variant.
float spawnRoll(double secondsSinceStart, int64_t chunkX);

// Seconds since the program started (a steady clock; safe on any thread).
double secondsSinceStart();

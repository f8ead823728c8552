#include "world/SpawnRoll.h"

#include "engine/ThreadRandom.h"

#include <chrono>
#include <random>

namespace {

const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();

}  // namespace

float spawnRoll(double secondsSinceStart, int64_t chunkX) {
    // The thread's own generator: whatever the chunk's creature rolls next (its variant) follows
    // from the same seed.
    std::mt19937& generator = threadrandom::generator();
    generator.seed(static_cast<std::mt19937::result_type>(
        static_cast<int64_t>(secondsSinceStart * 1000.0 + double(chunkX))));
    std::uniform_real_distribution<float> percent(0.0f, 100.0f);
    return percent(generator);
}

double secondsSinceStart() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - programStart).count();
}

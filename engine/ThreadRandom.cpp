#include "engine/ThreadRandom.h"

#include <glm/geometric.hpp>

namespace threadrandom {

std::mt19937& generator() {
    thread_local std::mt19937 random{std::random_device{}()};
    return random;
}

uint32_t next32() { return uint32_t(generator()()); }

double unit() { return double(next32()) * (1.0 / 4294967296.0); }

glm::vec3 inBall(float radius) {
    // Rejection from the enclosing cube: uniform in the ball, about two draws on average.
    std::uniform_real_distribution<float> coordinate(-radius, radius);
    for (;;) {
        const glm::vec3 p(coordinate(generator()), coordinate(generator()), coordinate(generator()));
        if (glm::dot(p, p) <= radius * radius) return p;
    }
}

}  // namespace threadrandom

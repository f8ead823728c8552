#include "world/SimplexNoise.h"

#include <glm/gtc/noise.hpp>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

// Terrain's caves come from this noise: it must give glm::simplex's value to the last bit, for
// the points generation evaluates and for any other input.

namespace {

// Inputs whose two values differ in any bit (NaN against NaN counts as equal).
std::vector<glm::vec4> differing(const std::vector<glm::vec4>& inputs) {
    std::vector<glm::vec4> found;
    for (const glm::vec4& v : inputs) {
        const float fast = simplexNoise(v), reference = glm::simplex(v);
        const bool same = std::bit_cast<uint32_t>(fast) == std::bit_cast<uint32_t>(reference) ||
                          (std::isnan(fast) && std::isnan(reference));
        if (!same && found.size() < 5) found.push_back(v);
    }
    return found;
}

TEST(SimplexNoise, GivesGlmsValueBitForBit) {
    std::vector<glm::vec4> inputs;
    // Every cell generation evaluates in chunks near and far, on both sides of the origin.
    for (glm::ivec3 chunk : {glm::ivec3(0, 0, 0), glm::ivec3(-1, -1, -1), glm::ivec3(16, -13, 5),
                             glm::ivec3(-12, -9, -7), glm::ivec3(100000, -100000, 7),
                             glm::ivec3(-262144, 3, 262143)})
        for (int x = 0; x < 8; ++x)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w)
                    for (int y = 0; y < 128; ++y)
                        inputs.emplace_back(float(chunk.x * 8 + x) / 64.0f, float(y) / 64.0f,
                                            float(chunk.y * 8 + z) / 64.0f,
                                            float(chunk.z * 8 + w) / 64.0f);
    // Anywhere in and around the world, and on the lattice of whole and half units, where the
    // corners of the simplices fall.
    std::mt19937 random(21);
    std::uniform_real_distribution<float> near(-300.0f, 300.0f), far(-2e5f, 2e5f);
    for (int i = 0; i < 300000; ++i) {
        inputs.emplace_back(near(random), near(random), near(random), near(random));
        inputs.emplace_back(far(random), near(random), far(random), far(random));
        const glm::vec4 lattice(near(random), near(random), near(random), near(random));
        inputs.push_back(glm::floor(lattice) * 0.5f);
    }
    // Every kind of float: tiny, huge, negative zero, infinities, not a number.
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 100000; ++i)
        inputs.emplace_back(std::bit_cast<float>(bits(random)), std::bit_cast<float>(bits(random)),
                            std::bit_cast<float>(bits(random)), std::bit_cast<float>(bits(random)));
    const float inf = std::numeric_limits<float>::infinity();
    for (float special : {0.0f, -0.0f, 1e-40f, -1e-40f, 8388608.0f, -8388607.5f, 1e20f, inf, -inf,
                          std::numeric_limits<float>::quiet_NaN()})
        for (int k = 0; k < 4; ++k) {
            glm::vec4 v(0.3f, -1.7f, 2.25f, 64.0f);
            v[k] = special;
            inputs.push_back(v);
        }

    const std::vector<glm::vec4> wrong = differing(inputs);
    for (const glm::vec4& v : wrong)
        ADD_FAILURE() << "differs at (" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << "): "
                      << simplexNoise(v) << " against " << glm::simplex(v);
    EXPECT_TRUE(wrong.empty()) << "of " << inputs.size() << " inputs";
}

}  // namespace

// This file is built with -ffp-contract=off (CMakeLists.txt): a fused multiply-add rounds once
// where glm rounds twice, and the noise must round exactly as glm's does.
#include "world/SimplexNoise.h"

#include <glm/glm.hpp>
#include <glm/gtc/noise.hpp>

#include <array>
#include <cmath>
#include <cstdint>

namespace {

// std::floor, inline: glm calls the library's floor for every component (a dozen calls a
// noise), which is most of its cost on processors without a rounding instruction. The same
// value for every float: integral values (and infinities, NaN) come back unchanged, and the
// sign of zero is kept (floor(-0.0) is -0.0, floor(-0.5) is -1).
inline float floorOf(float x) {
    if (!(std::fabs(x) < 8388608.0f)) return x;  // 2^23: already integral, or not a number
    float t = float(int32_t(x));
    if (t > x) t -= 1.0f;
    return std::copysign(t, x);
}

inline glm::vec4 floorOf(const glm::vec4& v) {
    return {floorOf(v.x), floorOf(v.y), floorOf(v.z), floorOf(v.w)};
}

// glm::mod with the inline floor.
inline glm::vec4 modOf(const glm::vec4& a, const glm::vec4& b) { return a - b * floorOf(a / b); }

// glm's permutation polynomial and its gradients, for the whole numbers they are applied to:
// the permutation sees sums of a permuted value (0 to 289) and a coordinate taken modulo 289,
// the gradients see permuted values. Each entry is what glm's own function gives.
constexpr int PERMUTED_ARGUMENTS = 640;
constexpr int GRADIENTS = 290;

// glm's gradient for a permuted value, times glm's estimate of its inverse length, as the noise
// scales it.
glm::vec4 glmScaledGradient(float j) {
    const glm::vec4 ip(1.0f / 294.0f, 1.0f / 49.0f, 1.0f / 7.0f, 0.0f);
    const glm::vec4 g = glm::gtc::grad4(j, ip);
    return g * glm::detail::taylorInvSqrt(glm::dot(g, g));
}

struct Tables {
    std::array<float, PERMUTED_ARGUMENTS> permuted;
    // The same values as whole numbers, to chain the permutations without rounding.
    std::array<int, PERMUTED_ARGUMENTS> permutedWhole;
    // glmScaledGradient of each.
    std::array<glm::vec4, GRADIENTS> gradient;

    Tables() {
        for (int n = 0; n < PERMUTED_ARGUMENTS; ++n) {
            permuted[n] = glm::detail::permute(float(n));
            permutedWhole[n] = int(permuted[n]);  // every value is whole, 0 to 289
        }
        for (int n = 0; n < GRADIENTS; ++n) gradient[n] = glmScaledGradient(float(n));
    }
};

const Tables& tables() {
    static const Tables built;
    return built;
}

// The whole number a float holds, when it holds one from 0 to count - 1 (an index into a table
// of count entries). The range is checked before the conversion: a float beyond int's range, or
// not a number, has no int to convert to.
inline bool wholeBelow(float x, int count, int& n) {
    if (!(x >= 0.0f && x < float(count))) return false;
    n = int(x);
    return float(n) == x;
}

// The whole number a float holds, when it holds one from 0 to 289.
inline bool wholeUpTo289(float x, int& n) { return wholeBelow(x, 290, n); }

// The table's entry when x is one of its whole numbers, else glm's function itself (only far
// outside the world, where coordinates no longer fit the modulo exactly).
inline float permute(const Tables& t, float x) {
    int n = 0;
    if (wholeBelow(x, PERMUTED_ARGUMENTS, n)) return t.permuted[n];
    return glm::detail::permute(x);
}

inline glm::vec4 permute(const Tables& t, const glm::vec4& v) {
    return {permute(t, v.x), permute(t, v.y), permute(t, v.z), permute(t, v.w)};
}

inline glm::vec4 scaledGradient(const Tables& t, float j) {
    int n = 0;
    if (wholeBelow(j, GRADIENTS, n)) return t.gradient[n];
    return glmScaledGradient(j);
}

}  // namespace

// glm::simplex(vec4) step by step (glm/gtc/noise.inl), with the floors, permutations and
// gradients above: every other operation is glm's, in glm's order.
float simplexNoise(const glm::vec4& v) {
    const Tables& t = tables();
    const glm::vec4 C(0.138196601125011,    // (5 - sqrt(5))/20  G4
                      0.276393202250021,    // 2 * G4
                      0.414589803375032,    // 3 * G4
                      -0.447213595499958);  // -1 + 4 * G4
    const float F4 = static_cast<float>(0.309016994374947451);

    // First corner
    glm::vec4 i = floorOf(v + glm::dot(v, glm::vec4(F4)));
    const glm::vec4 x0 = v - i + glm::dot(i, glm::vec4(C.x));

    // Other corners: rank sorting
    const glm::vec3 isX = glm::step(glm::vec3(x0.y, x0.z, x0.w), glm::vec3(x0.x));
    const glm::vec3 isYZ = glm::step(glm::vec3(x0.z, x0.w, x0.w), glm::vec3(x0.y, x0.y, x0.z));
    glm::vec4 i0(isX.x + isX.y + isX.z, 1.0f - isX);
    i0.y += isYZ.x + isYZ.y;
    i0.z += 1.0f - isYZ.x;
    i0.w += 1.0f - isYZ.y;
    i0.z += isYZ.z;
    i0.w += 1.0f - isYZ.z;

    const glm::vec4 i3 = glm::clamp(i0, 0.0f, 1.0f);
    const glm::vec4 i2 = glm::clamp(i0 - 1.0f, 0.0f, 1.0f);
    const glm::vec4 i1 = glm::clamp(i0 - 2.0f, 0.0f, 1.0f);

    const glm::vec4 x1 = x0 - i1 + C.x;
    const glm::vec4 x2 = x0 - i2 + C.y;
    const glm::vec4 x3 = x0 - i3 + C.z;
    const glm::vec4 x4 = x0 + C.w;

    // Permutations
    i = modOf(i, glm::vec4(289));
    glm::vec4 p0, p1, p2, p3, p4;
    glm::ivec4 c;
    if (wholeUpTo289(i.x, c.x) && wholeUpTo289(i.y, c.y) && wholeUpTo289(i.z, c.z) &&
        wholeUpTo289(i.w, c.w)) {
        // Everywhere in the world: every value of the chains is a whole number below 640, so
        // whole-number arithmetic gives glm's floats exactly.
        const auto& P = t.permutedWhole;
        auto corner = [&](const glm::ivec4& o) {
            return t.gradient[P[P[P[P[c.w + o.w] + c.z + o.z] + c.y + o.y] + c.x + o.x]];
        };
        p0 = corner(glm::ivec4(0));
        p1 = corner(glm::ivec4(i1));
        p2 = corner(glm::ivec4(i2));
        p3 = corner(glm::ivec4(i3));
        p4 = corner(glm::ivec4(1));
    } else {
        const float j0 = permute(t, permute(t, permute(t, permute(t, i.w) + i.z) + i.y) + i.x);
        const glm::vec4 j1 = permute(t, permute(t, permute(t, permute(t,
            i.w + glm::vec4(i1.w, i2.w, i3.w, 1.0f)) +
            i.z + glm::vec4(i1.z, i2.z, i3.z, 1.0f)) +
            i.y + glm::vec4(i1.y, i2.y, i3.y, 1.0f)) +
            i.x + glm::vec4(i1.x, i2.x, i3.x, 1.0f));

        // Gradients, already normalised
        p0 = scaledGradient(t, j0);
        p1 = scaledGradient(t, j1.x);
        p2 = scaledGradient(t, j1.y);
        p3 = scaledGradient(t, j1.z);
        p4 = scaledGradient(t, j1.w);
    }

    // Mix contributions from the five corners
    glm::vec3 m0 = glm::max(0.6f - glm::vec3(glm::dot(x0, x0), glm::dot(x1, x1), glm::dot(x2, x2)),
                            glm::vec3(0));
    glm::vec2 m1 = glm::max(0.6f - glm::vec2(glm::dot(x3, x3), glm::dot(x4, x4)), glm::vec2(0));
    m0 = m0 * m0;
    m1 = m1 * m1;
    const glm::vec3 ramps012(glm::dot(p0, x0), glm::dot(p1, x1), glm::dot(p2, x2));
    const glm::vec2 ramps34(glm::dot(p3, x3), glm::dot(p4, x4));
    return 49.0f * (glm::dot(m0 * m0, ramps012) + glm::dot(m1 * m1, ramps34));
}

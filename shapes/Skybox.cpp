#include "shapes/Skybox.h"

namespace {

struct Corner {
    float x, y, z, u, v;
};

constexpr float third = 1.0f / 3.0f;
constexpr float twoThirds = 2.0f / 3.0f;

// Four corners per face; each face is the triangles (c0, c1, c2) and (c1, c2, c3).
constexpr Corner faces[6][4] = {
    {{-1, 1, -1, 0.25f, 0}, {1, 1, -1, 0.5f, 0}, {-1, 1, 1, 0.25f, third}, {1, 1, 1, 0.5f, third}},
    {{-1, -1, -1, 0.25f, twoThirds}, {1, -1, -1, 0.5f, twoThirds}, {-1, -1, 1, 0.25f, 1},
     {1, -1, 1, 0.5f, 1}},
    {{-1, 1, 1, 0.25f, third}, {1, 1, 1, 0.5f, third}, {-1, -1, 1, 0.25f, twoThirds},
     {1, -1, 1, 0.5f, twoThirds}},
    // -z and +x run u from right to left so the side cells join around the cross's middle row.
    {{-1, 1, -1, 1, third}, {1, 1, -1, 0.75f, third}, {-1, -1, -1, 1, twoThirds},
     {1, -1, -1, 0.75f, twoThirds}},
    {{-1, 1, -1, 0, third}, {-1, 1, 1, 0.25f, third}, {-1, -1, -1, 0, twoThirds},
     {-1, -1, 1, 0.25f, twoThirds}},
    {{1, 1, -1, 0.75f, third}, {1, 1, 1, 0.5f, third}, {1, -1, -1, 0.75f, twoThirds},
     {1, -1, 1, 0.5f, twoThirds}}};

constexpr int triangleCorners[6] = {0, 1, 2, 1, 2, 3};

}  // namespace

constinit const std::array<float, 36 * 3> Skybox::positions = [] {
    std::array<float, 36 * 3> result{};
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 6; ++k) {
            const Corner& c = faces[f][triangleCorners[k]];
            float* out = &result[(f * 6 + k) * 3];
            out[0] = c.x;
            out[1] = c.y;
            out[2] = c.z;
        }
    return result;
}();

constinit const std::array<float, 36 * 2> Skybox::texCoords = [] {
    std::array<float, 36 * 2> result{};
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 6; ++k) {
            const Corner& c = faces[f][triangleCorners[k]];
            result[(f * 6 + k) * 2] = c.u;
            result[(f * 6 + k) * 2 + 1] = c.v;
        }
    return result;
}();

#pragma once

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <cstdint>

// The vertex data of the material models that are made here rather than taken from the shape
// meshes. No GL: the material kind uploads them.
namespace materialmesh {

inline constexpr int BAR_VERTICES = 160;
inline constexpr int FACE_VERTICES = 20;  // one box face: five tetrahedra
inline constexpr int FRAME_FACES = 16;
inline constexpr int LENS_FACES = 3;

// The unit tesseract (0,0,0,0)..(1,1,1,1) as the block models cut it: 8 cubic cells of 5
// tetrahedra, in the order -x, +x, -y, +y, -z, +z, -w, +w. Each vertex holds one component of
// its cell's outward normal (vertex k of a tetrahedron component k), -1 stored as 255.
struct BarModel {
    std::array<glm::u8vec4, BAR_VERTICES> positions;
    std::array<uint8_t, BAR_VERTICES> normals;
};
BarModel buildBarModel();

// A flat box: a unit cell's face along `axis` scaled to lo..hi (lo and hi agree on `axis`).
struct BoxFace {
    int axis;
    glm::vec4 lo, hi;
};

// The glasses in model units: a front plate at z = 0 framing three lenses, framed in w as well
// as in y, with side pieces at x = +-3.5 and w = +-2 reaching back to z = 6.
struct GlassesLenses {
    std::array<glm::vec4, LENS_FACES * FACE_VERTICES> positions;
    std::array<glm::vec3, LENS_FACES * FACE_VERTICES> colours;  // red, blue, green lens
};
std::array<glm::vec4, FRAME_FACES * FACE_VERTICES> buildGlassesFrame();
GlassesLenses buildGlassesLenses();

// The 20 vertices of one face, in the order of the face tables.
std::array<glm::vec4, FACE_VERTICES> boxFaceVertices(const BoxFace& face);

}  // namespace materialmesh

#include "items/MaterialMeshes.h"

#include "engine/Math4D.h"
#include "items/BlockModels.h"
#include "world/ChunkFaceTables.h"

#include <algorithm>

namespace materialmesh {

namespace {

constexpr int X = 0, Z = 2, W = 3;
constexpr uint8_t minusOne = 255;

constexpr BoxFace frameFaces[FRAME_FACES] = {
    {Z, {-3.5f, 0, 0, -1}, {3.5f, 1, 0, 1}},  {Z, {-3.5f, 2, 0, -1}, {3.5f, 3, 0, 1}},
    {Z, {-2, 4, 0, -1}, {2, 5, 0, 1}},        {Z, {-3.5f, 1, 0, -1}, {-2.5f, 2, 0, 1}},
    {Z, {-0.5f, 1, 0, -1}, {0.5f, 2, 0, 1}},  {Z, {2.5f, 1, 0, -1}, {3.5f, 2, 0, 1}},
    {Z, {-2, 3, 0, -1}, {-1, 4, 0, 1}},       {Z, {1, 3, 0, -1}, {2, 4, 0, 1}},
    {Z, {-3.5f, 0, 0, 1}, {3.5f, 3, 0, 2}},   {Z, {-3.5f, 0, 0, -2}, {3.5f, 3, 0, -1}},
    {Z, {-2, 3, 0, 1}, {2, 5, 0, 2}},         {Z, {-2, 3, 0, -2}, {2, 5, 0, -1}},
    {X, {-3.5f, 1, 0, -2}, {-3.5f, 3, 6, 2}}, {X, {3.5f, 1, 0, -2}, {3.5f, 3, 6, 2}},
    {W, {-3.5f, 1, 0, -2}, {3.5f, 3, 6, -2}}, {W, {-3.5f, 1, 0, 2}, {3.5f, 3, 6, 2}},
};

constexpr BoxFace lensFaces[LENS_FACES] = {
    {Z, {-2.5f, 1, 0, -1}, {-0.5f, 2, 0, 1}},
    {Z, {0.5f, 1, 0, -1}, {2.5f, 2, 0, 1}},
    {Z, {-1, 3, 0, -1}, {1, 4, 0, 1}},
};
constexpr glm::vec3 lensColours[LENS_FACES] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};

}  // namespace

BarModel buildBarModel() {
    BarModel bar{};
    bar.positions = buildBlockModel(1).positions;
    for (int v = 0; v < BAR_VERTICES; ++v) {
        const int cell = v / FACE_VERTICES;
        const int axis = cell / 2;
        const bool positiveSide = cell % 2 == 1;
        bar.normals[v] = v % 4 == axis ? (positiveSide ? 1 : minusOne) : 0;
    }
    return bar;
}

std::array<glm::vec4, FACE_VERTICES> boxFaceVertices(const BoxFace& face) {
    glm::vec4 size = face.hi - face.lo;
    size[face.axis] = 1.0f;  // the face's offsets along its own axis are all 0
    const Mat5 place = translate4(face.lo) * scale4(size);
    std::array<glm::vec4, FACE_VERTICES> vertices;
    for (int k = 0; k < FACE_VERTICES; ++k) {
        const uint8_t* d = cubeFaceTetrahedra[face.axis][k];
        vertices[k] = place.transform(glm::vec4(d[0], d[1], d[2], d[3]), 1.0f);
    }
    return vertices;
}

std::array<glm::vec4, FRAME_FACES * FACE_VERTICES> buildGlassesFrame() {
    std::array<glm::vec4, FRAME_FACES * FACE_VERTICES> frame;
    for (int f = 0; f < FRAME_FACES; ++f) {
        const auto face = boxFaceVertices(frameFaces[f]);
        std::copy(face.begin(), face.end(), frame.begin() + f * FACE_VERTICES);
    }
    return frame;
}

GlassesLenses buildGlassesLenses() {
    GlassesLenses lenses;
    for (int f = 0; f < LENS_FACES; ++f) {
        const auto face = boxFaceVertices(lensFaces[f]);
        std::copy(face.begin(), face.end(), lenses.positions.begin() + f * FACE_VERTICES);
        std::fill_n(lenses.colours.begin() + f * FACE_VERTICES, FACE_VERTICES, lensColours[f]);
    }
    return lenses;
}

}  // namespace materialmesh

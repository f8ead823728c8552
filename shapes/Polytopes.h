#pragma once

// The regular 5-cell and the tesseract: fixed tables (constant, so no start-up order applies
// to them), two constant meshes over them and two generated hollow versions.

#include "shapes/ShapeMesh.h"

#include <glm/vec4.hpp>

#include <array>

namespace polytope {
inline constexpr float a = 0.35355339059327378f;  // 1 / (2 sqrt 2)
inline constexpr float b = 0.15811388300841897f;  // sqrt 10 / 20

constexpr std::array<glm::vec4, 20> cellsOf(const std::array<glm::vec4, 5>& v) {
    constexpr int order[5][4] = {{0, 1, 2, 3}, {0, 1, 2, 4}, {0, 1, 3, 4}, {0, 2, 3, 4}, {1, 2, 3, 4}};
    std::array<glm::vec4, 20> cells{};
    for (int c = 0; c < 5; ++c)
        for (int k = 0; k < 4; ++k) cells[c * 4 + k] = v[order[c][k]];
    return cells;
}
}  // namespace polytope

// The regular 5-cell of edge 1 centred at the origin, and its five cells as vertex quadruples.
inline constexpr std::array<glm::vec4, 5> pentachoronVertices = {
    glm::vec4(0.0f, 4 * polytope::b, 0.0f, 0.0f),
    glm::vec4(polytope::a, -polytope::b, polytope::a, polytope::a),
    glm::vec4(polytope::a, -polytope::b, -polytope::a, -polytope::a),
    glm::vec4(-polytope::a, -polytope::b, -polytope::a, polytope::a),
    glm::vec4(-polytope::a, -polytope::b, polytope::a, -polytope::a)};
inline constexpr std::array<glm::vec4, 20> pentachoronCells = polytope::cellsOf(pentachoronVertices);

// The same 5-cell standing on its base: the four lower vertices at y = 0.
inline constexpr std::array<glm::vec4, 5> pentachoronBaseVertices = {
    glm::vec4(0.0f, 5 * polytope::b, 0.0f, 0.0f),
    glm::vec4(polytope::a, 0.0f, polytope::a, polytope::a),
    glm::vec4(polytope::a, 0.0f, -polytope::a, -polytope::a),
    glm::vec4(-polytope::a, 0.0f, -polytope::a, polytope::a),
    glm::vec4(-polytope::a, 0.0f, polytope::a, -polytope::a)};
inline constexpr std::array<glm::vec4, 20> pentachoronBaseCells =
    polytope::cellsOf(pentachoronBaseVertices);

// Four colours per cell, in vertex order, for the standing 5-cell.
inline constexpr std::array<float, 60> pentachoronBaseColours = [] {
    constexpr float perVertex[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}};
    std::array<float, 60> colours{};
    for (int v = 0; v < 20; ++v)
        for (int c = 0; c < 3; ++c) colours[v * 3 + c] = perVertex[v % 4][c];
    return colours;
}();

// The eight cubic cells of the tesseract with corners at +-1, eight corners per cell numbered
// by three bits: each bit steps one axis of the cell from its start value to the other sign.
inline constexpr std::array<glm::vec4, 64> hypercubeCellCorners = [] {
    struct CellAxes {
        int fixedAxis;
        float fixedValue;
        int bitAxis[3];
        float start[3];
    };
    constexpr CellAxes cells[8] = {
        {3, -1, {0, 1, 2}, {-1, 1, -1}}, {2, -1, {0, 1, 3}, {1, 1, -1}},
        {2, 1, {0, 1, 3}, {-1, 1, -1}},  {3, 1, {0, 1, 2}, {1, 1, -1}},
        {0, -1, {2, 1, 3}, {-1, 1, -1}}, {0, 1, {2, 1, 3}, {1, 1, -1}},
        {1, 1, {0, 2, 3}, {1, 1, -1}},   {1, -1, {0, 2, 3}, {-1, 1, -1}}};
    std::array<glm::vec4, 64> corners{};
    for (int c = 0; c < 8; ++c)
        for (int n = 0; n < 8; ++n) {
            glm::vec4 p(0.0f);
            p[cells[c].fixedAxis] = cells[c].fixedValue;
            for (int bit = 0; bit < 3; ++bit) {
                const float start = cells[c].start[bit];
                p[cells[c].bitAxis[bit]] = (n >> bit) & 1 ? -start : start;
            }
            corners[c * 8 + n] = p;
        }
    return corners;
}();

// Five tetrahedra filling a hexahedron whose corners are numbered as above. A vertex's colour is
// its corner's three bits read as red, green, blue.
inline constexpr int hexahedronSplit[5][4] = {
    {1, 2, 4, 7}, {0, 1, 2, 4}, {2, 4, 6, 7}, {1, 2, 3, 7}, {1, 4, 5, 7}};

constexpr glm::vec3 hexahedronCornerColour(int corner) {
    return glm::vec3(corner & 1, (corner >> 1) & 1, (corner >> 2) & 1);
}

// The tesseract's cells cut by the split: the data of `hypercubeMesh`.
inline constexpr std::array<glm::vec4, 160> hypercubeMeshPositions = [] {
    std::array<glm::vec4, 160> positions{};
    for (int c = 0; c < 8; ++c)
        for (int t = 0; t < 5; ++t)
            for (int k = 0; k < 4; ++k)
                positions[c * 20 + t * 4 + k] = hypercubeCellCorners[c * 8 + hexahedronSplit[t][k]];
    return positions;
}();
inline constexpr std::array<float, 480> hypercubeMeshColours = [] {
    std::array<float, 480> colours{};
    for (int v = 0; v < 160; ++v) {
        const glm::vec3 colour = hexahedronCornerColour(hexahedronSplit[(v % 20) / 4][v % 4]);
        for (int c = 0; c < 3; ++c) colours[v * 3 + c] = colour[c];
    }
    return colours;
}();

// Every cell of the 5-cell as a shell of wall thickness `wall` around an empty core.
class PentachoronHollow : public ShapeMesh {
public:
    explicit PentachoronHollow(float wall);
    // The prism between the outer triangle (i, j, k) and its inner copy: three tetrahedra.
    void addFace(const glm::vec4* outer, const glm::vec4* inner, int i, int j, int k);
};

// Every cell of the tesseract as a shell: each corner moved by `wall` along the cube's main
// diagonal towards the opposite corner.
class HypercubeHollow : public ShapeMesh {
public:
    explicit HypercubeHollow(float wall);
    // The hexahedron between the outer face (a, b, c, d) and its inner copy: five tetrahedra.
    void addFace(const glm::vec4* outer, const glm::vec4* inner, int a, int b, int c, int d);
};

extern PentachoronHollow pentachoronHollowMesh;  // wall 0.2
extern MeshArr pentachoronBaseMesh;              // 20 vertices, drawn by the spider's legs
extern MeshArr hypercubeMesh;                    // 160 vertices, the target-block overlay
extern HypercubeHollow hypercubeHollowMesh;      // wall 0.4

#include "shapes/Hypersphere.h"

#include "shapes/Polytopes.h"

#include <glm/vec2.hpp>

#include <utility>

namespace {

enum class CellKind { cone, pyramid, prism, hexahedron };

// Tetrahedra filling each kind of cell, as corner indices. Corners: cone a, b, c, pole;
// pyramid q0..q3, pole; prism the kept triangle 0..2 and the new one 3..5; hexahedron the kept
// quad 0..3 and the new one 4..7.
constexpr int coneFill[1][4] = {{3, 0, 1, 2}};
constexpr int pyramidFill[2][4] = {{4, 0, 2, 3}, {4, 0, 1, 3}};
constexpr int prismFill[3][4] = {{1, 3, 4, 5}, {0, 1, 3, 5}, {0, 1, 2, 5}};

glm::vec3 meanSurfaceCoordinates(const MeshData& from, std::size_t first, int count, float third) {
    glm::vec2 sum(0.0f);
    for (int k = 0; k < count; ++k) sum += glm::vec2(from.colours[first + k]);
    sum /= float(count);
    return glm::vec3(sum, third);
}

// Corner centre of a cell (and the same rule on the attributes).
template <typename V>
V cellCentre(CellKind kind, const V* corners) {
    switch (kind) {
    case CellKind::cone:
        return ((corners[0] + corners[1] + corners[2]) / 3.0f + corners[3]) / 2.0f;
    case CellKind::pyramid:
        return ((corners[0] + corners[1] + corners[2] + corners[3]) / 4.0f + corners[4]) / 2.0f;
    case CellKind::prism:
        return ((corners[0] + corners[1] + corners[2]) / 3.0f +
                (corners[3] + corners[4] + corners[5]) / 3.0f) / 2.0f;
    case CellKind::hexahedron:
        break;
    }
    V sum(0.0f);
    for (int k = 0; k < 8; ++k) sum += corners[k];
    return sum / 8.0f;
}

}  // namespace

void Hypersphere::buildLayer(MeshData& triangles, MeshData& quads, int layer,
                             const AngleTable& angles) {
    const int n = angles.n;
    const float s = angles.sines[layer], c = angles.cosines[layer];
    const float f = 1.0f / (2 * n);
    auto point = [&](int i, int j) {
        return glm::vec4(s * angles.sines[i] * angles.cosines[j], s * angles.cosines[i],
                         s * angles.sines[i] * angles.sines[j], c);
    };
    auto attribute = [&](int i, int j) { return glm::vec3(1.0f - j * f, float(i) / n, layer * f); };
    auto meanU = [&](int j) { return ((1.0f - (j - 1) * f) + (1.0f - j * f)) / 2.0f; };

    const glm::vec4 north(0.0f, s, 0.0f, c), south(0.0f, -s, 0.0f, c);
    for (int j = 1; j <= 2 * n; ++j) {
        triangles.addVertex(north, glm::vec3(meanU(j), 0.0f, 0.0f));
        triangles.addVertex(point(1, j - 1), attribute(1, j - 1));
        triangles.addVertex(point(1, j), attribute(1, j));
    }
    for (int i = 2; i < n; ++i)
        for (int j = 1; j <= 2 * n; ++j) {
            quads.addVertex(point(i - 1, j - 1), attribute(i - 1, j - 1));
            quads.addVertex(point(i - 1, j), attribute(i - 1, j));
            quads.addVertex(point(i, j - 1), attribute(i, j - 1));
            quads.addVertex(point(i, j), attribute(i, j));
        }
    for (int j = 1; j <= 2 * n; ++j) {
        triangles.addVertex(point(n - 1, j - 1), attribute(n - 1, j - 1));
        triangles.addVertex(point(n - 1, j), attribute(n - 1, j));
        triangles.addVertex(south, glm::vec3(meanU(j), 1.0f, 0.0f));
    }
}

Hypersphere::Hypersphere(int n) { build(n, false, 0.0f); }

Hypersphere::Hypersphere(int n, float wallFraction) { build(n, true, wallFraction); }

void Hypersphere::addPrism(const MeshData& outer, const MeshData& inner, int i, int j, int k) {
    const std::pair<const MeshData*, int> corners[12] = {
        {&outer, j}, {&inner, i}, {&inner, j}, {&inner, k},
        {&outer, i}, {&outer, j}, {&inner, i}, {&inner, k},
        {&outer, i}, {&outer, j}, {&outer, k}, {&inner, k}};
    for (const auto& [list, index] : corners) copyVertex(*list, index);
}

void Hypersphere::addCube(const MeshData& outer, const MeshData& inner, int a, int b, int c, int d) {
    const std::pair<const MeshData*, int> corners[20] = {
        {&outer, b}, {&outer, c}, {&inner, a}, {&inner, d},
        {&outer, a}, {&outer, b}, {&outer, c}, {&inner, a},
        {&outer, c}, {&inner, a}, {&inner, c}, {&inner, d},
        {&outer, b}, {&outer, c}, {&outer, d}, {&inner, d},
        {&outer, b}, {&inner, a}, {&inner, b}, {&inner, d}};
    for (const auto& [list, index] : corners) copyVertex(*list, index);
}

void Hypersphere::build(int n, bool hollow, float wallFraction) {
    const AngleTable angles(n);
    // Tetrahedra per cone, pyramid, band prism and band hexahedron.
    const int perCone = hollow ? 12 : 1, perPyramid = hollow ? 17 : 2;
    const int perPrism = hollow ? 21 : 3, perHexahedron = hollow ? 30 : 5;
    const int layerTriangles = 4 * n, layerQuads = (n - 2) * 2 * n;
    const int tetrahedra = 2 * (layerTriangles * perCone + layerQuads * perPyramid) +
                           (n - 2) * (layerTriangles * perPrism + layerQuads * perHexahedron);
    positions.reserve(tetrahedra * 4);
    colours.reserve(tetrahedra * 4);

    MeshData outer, inner;
    outer.positions.reserve(8);
    outer.colours.reserve(8);
    inner.positions.reserve(8);
    inner.colours.reserve(8);

    // One cell whose corners are in `outer`: filled, or replaced by its shell.
    auto emitCell = [&](CellKind kind) {
        if (!hollow) {
            auto fill = [&](const auto& tetrahedra) {
                for (const auto& tetrahedron : tetrahedra)
                    for (int corner : tetrahedron) copyVertex(outer, corner);
            };
            switch (kind) {
            case CellKind::cone: fill(coneFill); break;
            case CellKind::pyramid: fill(pyramidFill); break;
            case CellKind::prism: fill(prismFill); break;
            case CellKind::hexahedron: fill(hexahedronSplit); break;
            }
            return;
        }
        const glm::vec4 centre = cellCentre(kind, outer.positions.data());
        const glm::vec3 attributeCentre = cellCentre(kind, outer.colours.data());
        inner.clear();
        for (std::size_t k = 0; k < outer.positions.size(); ++k)
            inner.addVertex(outer.positions[k] + (centre - outer.positions[k]) * wallFraction,
                            outer.colours[k] + (attributeCentre - outer.colours[k]) * wallFraction);
        switch (kind) {
        case CellKind::cone:
            addPrism(outer, inner, 0, 1, 2);
            addPrism(outer, inner, 0, 1, 3);
            addPrism(outer, inner, 0, 2, 3);
            addPrism(outer, inner, 1, 2, 3);
            break;
        case CellKind::pyramid:
            addCube(outer, inner, 0, 1, 2, 3);
            addPrism(outer, inner, 0, 1, 4);
            addPrism(outer, inner, 0, 2, 4);
            addPrism(outer, inner, 1, 3, 4);
            addPrism(outer, inner, 2, 3, 4);
            break;
        case CellKind::prism:
            addPrism(outer, inner, 0, 1, 2);
            addPrism(outer, inner, 3, 4, 5);
            addCube(outer, inner, 0, 1, 3, 4);
            addCube(outer, inner, 0, 2, 3, 5);
            addCube(outer, inner, 1, 2, 4, 5);
            break;
        case CellKind::hexahedron:
            addCube(outer, inner, 0, 1, 2, 3);
            addCube(outer, inner, 0, 1, 4, 5);
            addCube(outer, inner, 0, 2, 4, 6);
            addCube(outer, inner, 1, 3, 5, 7);
            addCube(outer, inner, 2, 3, 6, 7);
            addCube(outer, inner, 4, 5, 6, 7);
            break;
        }
    };

    // The cones and pyramids from a layer to a pole. The pole's attribute is the mean surface
    // position of the triangle (or of the quad's first edge); its depth is 0 at the north pole
    // and 1 at the south pole of the solid kind, 0 at both of the hollow kind.
    auto capCells = [&](const MeshData& triangles, const MeshData& quads, const glm::vec4& pole,
                        float poleDepth) {
        for (std::size_t t = 0; t < triangles.positions.size(); t += 3) {
            outer.clear();
            for (int k = 0; k < 3; ++k) outer.copyVertex(triangles, t + k);
            outer.addVertex(pole, meanSurfaceCoordinates(triangles, t, 3, poleDepth));
            emitCell(CellKind::cone);
        }
        for (std::size_t q = 0; q < quads.positions.size(); q += 4) {
            outer.clear();
            for (int k = 0; k < 4; ++k) outer.copyVertex(quads, q + k);
            outer.addVertex(pole, meanSurfaceCoordinates(quads, q, 2, poleDepth));
            emitCell(CellKind::pyramid);
        }
    };

    MeshData keptTriangles, keptQuads, triangles, quads;
    buildLayer(keptTriangles, keptQuads, 1, angles);
    capCells(keptTriangles, keptQuads, glm::vec4(0.0f, 0.0f, 0.0f, 1.0f), 0.0f);

    for (int layer = 2; layer < n; ++layer) {
        triangles.clear();
        quads.clear();
        buildLayer(triangles, quads, layer, angles);
        for (std::size_t t = 0; t < triangles.positions.size(); t += 3) {
            outer.clear();
            for (int k = 0; k < 3; ++k) outer.copyVertex(keptTriangles, t + k);
            for (int k = 0; k < 3; ++k) outer.copyVertex(triangles, t + k);
            emitCell(CellKind::prism);
        }
        for (std::size_t q = 0; q < quads.positions.size(); q += 4) {
            outer.clear();
            for (int k = 0; k < 4; ++k) outer.copyVertex(keptQuads, q + k);
            for (int k = 0; k < 4; ++k) outer.copyVertex(quads, q + k);
            emitCell(CellKind::hexahedron);
        }
        std::swap(keptTriangles, triangles);
        std::swap(keptQuads, quads);
    }

    capCells(keptTriangles, keptQuads, glm::vec4(0.0f, 0.0f, 0.0f, -1.0f), hollow ? 0.0f : 1.0f);
}

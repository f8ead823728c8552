#include "shapes/Polytopes.h"

#include "ShapeChecks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Pentachoron, FixedTables) {
    glm::vec4 sum(0.0f);
    for (int i = 0; i < 5; ++i) {
        sum += pentachoronVertices[i];
        for (int j = i + 1; j < 5; ++j)
            EXPECT_NEAR(glm::distance(pentachoronVertices[i], pentachoronVertices[j]), 1.0f, 1e-6f);
        // The standing 5-cell is the same one raised by b.
        EXPECT_TRUE(shapecheck::near(pentachoronBaseVertices[i],
                                     pentachoronVertices[i] + glm::vec4(0, 0.15811388f, 0, 0), 1e-6f));
    }
    EXPECT_TRUE(shapecheck::near(sum, glm::vec4(0.0f), 1e-6f));
    EXPECT_NEAR(pentachoronBaseVertices[0].y, 0.7905694f, 1e-6f);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(pentachoronBaseVertices[i].y, 0.0f);

    const int cells[5][4] = {{0, 1, 2, 3}, {0, 1, 2, 4}, {0, 1, 3, 4}, {0, 2, 3, 4}, {1, 2, 3, 4}};
    for (int c = 0; c < 5; ++c)
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(pentachoronCells[c * 4 + k], pentachoronVertices[cells[c][k]]);
            EXPECT_EQ(pentachoronBaseCells[c * 4 + k], pentachoronBaseVertices[cells[c][k]]);
        }
}

TEST(Pentachoron, BaseMesh) {
    shapecheck::expectFloatLayout(pentachoronBaseMesh, 20, {4, 3}, {16, 12});
    const auto* positions = static_cast<const glm::vec4*>(pentachoronBaseMesh.attribData(0));
    const auto* colours = static_cast<const float*>(pentachoronBaseMesh.attribData(1));
    EXPECT_EQ(positions, pentachoronBaseCells.data());
    const float expected[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}};
    for (int v = 0; v < 20; ++v)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(colours[v * 3 + c], expected[v % 4][c]);
    // A regular tetrahedron of edge 1 has volume 1 / (6 sqrt 2).
    const double volume = shapecheck::expectSolidTetrahedra(positions, 20, 1e-3);
    EXPECT_NEAR(volume, 5.0 / (6.0 * std::sqrt(2.0)), 1e-5);
}

TEST(Pentachoron, HollowMeshHasWallsOfItsThickness) {
    const PentachoronHollow& mesh = pentachoronHollowMesh;
    shapecheck::expectFloatLayout(mesh, 240, {4, 3}, {16, 12});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-4);
    const glm::vec3 colourI(0.5f, 0, 1), colourJ(0, 1, 1), colourK(1, 1, 1);
    for (int cell = 0; cell < 5; ++cell) {
        const glm::vec4* q = &pentachoronCells[cell * 4];
        const glm::vec4 centre = (q[0] + q[1] + q[2] + q[3]) / 4.0f;
        for (int v = 0; v < 48; ++v) {
            const glm::vec4 p = mesh.positions[cell * 48 + v];
            bool placed = false;
            for (int k = 0; k < 4; ++k)
                placed = placed || shapecheck::near(p, q[k]) ||
                         shapecheck::near(p, q[k] + glm::normalize(centre - q[k]) * 0.2f);
            ASSERT_TRUE(placed) << "vertex " << cell * 48 + v;
        }
        // First face (0, 1, 2): (j, i', j', k') with the colours of the places i, j, k.
        const glm::vec3* c = &mesh.colours[cell * 48];
        EXPECT_EQ(c[0], colourJ);
        EXPECT_EQ(c[1], colourI);
        EXPECT_EQ(c[2], colourJ);
        EXPECT_EQ(c[3], colourK);
        EXPECT_NEAR(glm::distance(mesh.positions[cell * 48 + 1], q[0]), 0.2f, 1e-5f);
    }
}

TEST(Hypercube, CellCornerTable) {
    EXPECT_EQ(hypercubeCellCorners[5], glm::vec4(1, 1, 1, -1));  // cell 0, corner 5
    for (int cell = 0; cell < 8; ++cell) {
        const glm::vec4* c = &hypercubeCellCorners[cell * 8];
        // One coordinate is fixed over the cell; bit b of the corner number flips one other.
        int fixedAxes = 0;
        for (int axis = 0; axis < 4; ++axis) {
            bool fixed = true;
            for (int n = 0; n < 8; ++n) fixed = fixed && c[n][axis] == c[0][axis];
            fixedAxes += fixed;
        }
        EXPECT_EQ(fixedAxes, 1) << "cell " << cell;
        for (int n = 0; n < 8; ++n) {
            for (int axis = 0; axis < 4; ++axis) EXPECT_EQ(std::abs(c[n][axis]), 1.0f);
            for (int bit = 0; bit < 3; ++bit)
                EXPECT_FLOAT_EQ(glm::distance(c[n], c[n ^ (1 << bit)]), 2.0f);
        }
        EXPECT_EQ(c[0].y, cell == 7 ? -1.0f : 1.0f);  // bit 1 steps y from +1 where it is free
    }
}

TEST(Hypercube, TargetBlockMesh) {
    shapecheck::expectFloatLayout(hypercubeMesh, 160, {4, 3}, {16, 12});
    EXPECT_EQ(hypercubeMesh.attribDataSize(0), 2560u);
    EXPECT_EQ(hypercubeMesh.attribDataSize(1), 1920u);
    const auto* positions = static_cast<const glm::vec4*>(hypercubeMesh.attribData(0));
    const auto* colours = static_cast<const float*>(hypercubeMesh.attribData(1));
    // Each cell's five tetrahedra fill its cube of edge 2 exactly.
    for (int cell = 0; cell < 8; ++cell)
        EXPECT_NEAR(shapecheck::expectSolidTetrahedra(positions + cell * 20, 20, 0.1), 8.0, 1e-5);
    // A vertex's colour is its corner's bits, and the corner is where the vertex lies.
    for (int v = 0; v < 160; ++v) {
        const int corner = hexahedronSplit[(v % 20) / 4][v % 4];
        EXPECT_EQ(colours[v * 3], float(corner & 1));
        EXPECT_EQ(colours[v * 3 + 1], float((corner >> 1) & 1));
        EXPECT_EQ(colours[v * 3 + 2], float((corner >> 2) & 1));
        EXPECT_EQ(positions[v], hypercubeCellCorners[(v / 20) * 8 + corner]);
    }
}

TEST(Hypercube, HollowMeshHasWallsOfItsThickness) {
    const HypercubeHollow& mesh = hypercubeHollowMesh;
    shapecheck::expectFloatLayout(mesh, 960, {4, 3}, {16, 12});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-3);
    for (int cell = 0; cell < 8; ++cell) {
        const glm::vec4* c = &hypercubeCellCorners[cell * 8];
        for (int v = 0; v < 120; ++v) {
            const std::size_t index = cell * 120 + v;
            const glm::vec4 p = mesh.positions[index];
            // Hexahedron corners 0..3 are outer corners, 4..7 inner ones.
            const int corner = hexahedronSplit[(v % 20) / 4][v % 4];
            bool placed = false;
            for (int i = 0; i < 8; ++i) {
                const glm::vec4 inner = c[i] + glm::normalize(c[7 - i] - c[i]) * 0.4f;
                placed = placed || shapecheck::near(p, corner < 4 ? c[i] : inner);
            }
            ASSERT_TRUE(placed) << "vertex " << index;
            EXPECT_EQ(mesh.colours[index], hexahedronCornerColour(corner));
        }
    }
}

}  // namespace

#include "shapes/Polytopes.h"

#include "ShapeChecks.h"

namespace {

TEST(Pentachoron, TablesAndTheStandingMesh) {
    glm::vec4 sum(0.0f);
    for (int i = 0; i < 5; ++i) {
        sum += pentachoronVertices[i];
        for (int j = i + 1; j < 5; ++j)
            EXPECT_NEAR(glm::distance(pentachoronVertices[i], pentachoronVertices[j]), 1.0f, 1e-6f);
        // The standing 5-cell is the same one raised onto its four lower vertices.
        EXPECT_TRUE(shapecheck::near(pentachoronBaseVertices[i],
                                     pentachoronVertices[i] + glm::vec4(0, 0.15811388f, 0, 0),
                                     1e-6f));
        if (i > 0) { EXPECT_EQ(pentachoronBaseVertices[i].y, 0.0f); }
    }
    EXPECT_TRUE(shapecheck::near(sum, glm::vec4(0.0f), 1e-6f));
    // Five regular tetrahedra of edge 1, of volume 1 / (6 sqrt 2) each.
    const double cellVolume = 1.0 / (6.0 * std::sqrt(2.0));
    EXPECT_NEAR(shapecheck::expectSolidTetrahedra(pentachoronCells, 1e-3), 5 * cellVolume, 1e-5);

    shapecheck::expectFloatLayout(pentachoronBaseMesh, 20, {4, 3});
    const auto* positions = static_cast<const glm::vec4*>(pentachoronBaseMesh.attribData(0));
    const auto* colours = static_cast<const glm::vec3*>(pentachoronBaseMesh.attribData(1));
    EXPECT_EQ(positions, pentachoronBaseCells.data());
    EXPECT_NEAR(shapecheck::expectSolidTetrahedra({positions, 20}, 1e-3), 5 * cellVolume, 1e-5);
    const glm::vec3 expected[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}};
    for (int v = 0; v < 20; ++v) EXPECT_EQ(colours[v], expected[v % 4]) << v;
}

TEST(Pentachoron, HollowMeshHasWallsOfItsThickness) {
    const PentachoronHollow& mesh = pentachoronHollowMesh;
    shapecheck::expectFloatLayout(mesh, 240, {4, 3});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-4);
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
        const glm::vec3 colourI(0.5f, 0, 1), colourJ(0, 1, 1), colourK(1, 1, 1);
        EXPECT_EQ(std::vector<glm::vec3>(c, c + 4),
                  (std::vector{colourJ, colourI, colourJ, colourK}));
        EXPECT_NEAR(glm::distance(mesh.positions[cell * 48 + 1], q[0]), 0.2f, 1e-5f);
    }
}

TEST(Hypercube, TargetBlockMesh) {
    shapecheck::expectFloatLayout(hypercubeMesh, 160, {4, 3});
    const auto* positions = static_cast<const glm::vec4*>(hypercubeMesh.attribData(0));
    const auto* colours = static_cast<const glm::vec3*>(hypercubeMesh.attribData(1));
    // Each cell's five tetrahedra fill its cube of edge 2 exactly; the eight cubes sit on the
    // eight sides of the tesseract.
    std::vector<glm::vec4> cellCentres;
    for (int cell = 0; cell < 8; ++cell) {
        EXPECT_NEAR(shapecheck::expectSolidTetrahedra({positions + cell * 20, 20}, 0.1), 8.0, 1e-5);
        glm::vec4 centre(0.0f);
        for (int n = 0; n < 8; ++n) centre += hypercubeCellCorners[cell * 8 + n] / 8.0f;
        EXPECT_EQ(glm::length(centre), 1.0f) << cell;
        cellCentres.push_back(centre);
    }
    EXPECT_EQ(shapecheck::distinctPoints(cellCentres, 0.1f).size(), 8u);
    EXPECT_EQ(hypercubeCellCorners[5], glm::vec4(1, 1, 1, -1));  // cell 0, corner 5
    // A vertex's colour is its corner's bits, and the corner is where the vertex lies.
    for (int v = 0; v < 160; ++v) {
        const int corner = hexahedronSplit[(v % 20) / 4][v % 4];
        EXPECT_EQ(colours[v], glm::vec3(corner & 1, (corner >> 1) & 1, (corner >> 2) & 1)) << v;
        EXPECT_EQ(positions[v], hypercubeCellCorners[(v / 20) * 8 + corner]) << v;
    }
}

TEST(Hypercube, HollowMeshHasWallsOfItsThickness) {
    const HypercubeHollow& mesh = hypercubeHollowMesh;
    shapecheck::expectFloatLayout(mesh, 960, {4, 3});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-3);
    for (int cell = 0; cell < 8; ++cell) {
        const glm::vec4* c = &hypercubeCellCorners[cell * 8];
        for (int v = 0; v < 120; ++v) {
            const size_t index = cell * 120 + v;
            // Hexahedron corners 0..3 are outer corners, 4..7 inner ones 0.4 inside.
            const int corner = hexahedronSplit[(v % 20) / 4][v % 4];
            bool placed = false;
            for (int i = 0; i < 8; ++i) {
                const glm::vec4 inner = c[i] + glm::normalize(c[7 - i] - c[i]) * 0.4f;
                placed =
                    placed || shapecheck::near(mesh.positions[index], corner < 4 ? c[i] : inner);
            }
            ASSERT_TRUE(placed) << "vertex " << index;
            EXPECT_EQ(mesh.colours[index], hexahedronCornerColour(corner));
        }
    }
}

}  // namespace

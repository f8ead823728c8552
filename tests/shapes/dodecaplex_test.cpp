#include "shapes/Dodecaplex.h"

#include "ShapeChecks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float polytopeInradius = 3.427051f;
constexpr float dodecahedronInradius = 1.1135163f;
constexpr float pentagonCircumradius = 0.8506508f;
const float polytopeCircumradius = 2.618034f * std::sqrt(2.0f);  // phi^2 sqrt 2 for edge 1

TEST(Dodecaplex, CellsTileTheHundredTwentyCell) {
    const std::vector<Dodecaplex::Cell> cells = Dodecaplex::buildCells();
    ASSERT_EQ(cells.size(), 120u);

    std::vector<glm::vec4> corners;
    for (const Dodecaplex::Cell& cell : cells) {
        EXPECT_NEAR(glm::length(cell.centre), polytopeInradius, 1e-4f);
        EXPECT_TRUE(shapecheck::near(cell.direction, -glm::normalize(cell.centre), 1e-4f));
        for (const Dodecaplex::Face& face : cell.faces) {
            EXPECT_NEAR(glm::distance(face.centre, cell.centre), dodecahedronInradius, 1e-4f);
            for (int j = 0; j < 5; ++j) {
                EXPECT_NEAR(glm::distance(face.corners[j], face.centre), pentagonCircumradius, 1e-4f);
                EXPECT_NEAR(glm::distance(face.corners[j], face.corners[(j + 1) % 5]), 1.0f, 1e-4f);
                EXPECT_TRUE(shapecheck::near(
                    face.midpoints[j], (face.corners[j] + face.corners[(j + 1) % 5]) / 2.0f, 1e-4f));
                EXPECT_NEAR(glm::length(face.corners[j]), polytopeCircumradius, 1e-3f);
                corners.push_back(face.corners[j]);
            }
        }
    }
    // Neighbouring cells sit 36 degrees apart as seen from the centre; none closer.
    const float neighbourDistance = 2.0f * polytopeInradius * std::sin(3.14159265f / 10.0f);
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_GT(glm::distance(cells[i].centre, cells[j].centre), neighbourDistance - 1e-3f);
    EXPECT_EQ(shapecheck::distinctPoints(corners, 1e-3f).size(), 600u);
}

TEST(Dodecaplex, GreySolidMesh) {
    const Dodecaplex& mesh = greyDodecaplex;
    ASSERT_TRUE(mesh.hasNormals);
    shapecheck::expectFloatLayout(mesh, 17280, {4, 3, 1}, {16, 12, 4});
    EXPECT_EQ(mesh.positions.size(), 17280u);
    EXPECT_EQ(mesh.colours.size(), 17280u);
    EXPECT_EQ(mesh.normals.size(), 4320u);
    for (const glm::vec3& colour : mesh.colours) ASSERT_EQ(colour, glm::vec3(0.5f));

    // Each tetrahedron is a fan piece of one face with the cell centre last; its normal points
    // out of the cell, away from the origin.
    for (std::size_t t = 0; t < mesh.normals.size(); ++t) {
        const glm::vec4 centre = mesh.positions[t * 4 + 3];
        ASSERT_NEAR(glm::length(centre), polytopeInradius, 1e-4f);
        ASSERT_TRUE(shapecheck::near(mesh.normals[t], glm::normalize(centre), 1e-4f));
    }
    // The cells fill the 120-cell: 120 dodecahedra of edge 1.
    const double volume = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-3);
    EXPECT_NEAR(volume, 120.0 * (15.0 + 7.0 * std::sqrt(5.0)) / 4.0, 0.05);
}

TEST(Dodecaplex, LoadingMeshHasRadialWallsInCellColours) {
    const Dodecaplex& mesh = loadingDodecaplex;
    shapecheck::expectFloatLayout(mesh, 155520, {4, 3, 1}, {16, 12, 4});
    EXPECT_EQ(mesh.colours.size(), 155520u);
    EXPECT_EQ(mesh.normals.size(), 38880u);
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-4);

    std::vector<glm::vec3> cellColours;
    makeCellColours(cellColours);
    const std::vector<Dodecaplex::Cell> cells = Dodecaplex::buildCells();
    constexpr std::size_t perFace = 108, perCell = 12 * perFace;
    const float pull = 1.0f - 0.2f / polytopeInradius;
    for (std::size_t c = 0; c < 120; ++c) {
        SCOPED_TRACE("cell " + std::to_string(c));
        for (std::size_t v = 0; v < perCell; ++v)
            ASSERT_EQ(mesh.colours[c * perCell + v], cellColours[c]);
        // First prism of the first face: (b, a', b', c'), (a, b, a', c'), ...; the inner
        // corner a' lies a fifth of the way from a to the cell centre.
        const glm::vec4* p = &mesh.positions[c * perCell];
        const glm::vec4 a = p[4], innerA = p[6];
        EXPECT_TRUE(shapecheck::near(innerA, a + (cells[c].centre - a) * 0.2f, 1e-4f));
        EXPECT_NEAR(glm::distance(a, innerA), 0.2f * glm::distance(a, cells[c].centre), 1e-4f);
        // The second wall is the first pulled towards the origin.
        EXPECT_TRUE(shapecheck::near(p[36 + 4], a * pull, 1e-4f));
        const glm::vec4* n = &mesh.normals[c * perCell / 4];
        EXPECT_TRUE(shapecheck::near(n[0], glm::normalize(cells[c].centre), 1e-4f));
        EXPECT_TRUE(shapecheck::near(n[9], -glm::normalize(cells[c].centre), 1e-4f));
    }
}

TEST(Dodecaplex, TwoColourModeWithoutNormals) {
    const float colours[6] = {1, 0, 0, 0, 0, 1};
    Dodecaplex mesh;
    mesh.generate(false, 0.0f, false, colours, true);
    shapecheck::expectFloatLayout(mesh, 17280, {4, 3}, {16, 12});
    EXPECT_TRUE(mesh.normals.empty());
    constexpr std::size_t perCell = 144;
    for (std::size_t c = 0; c < 120; ++c) {
        const glm::vec3 expected = c % 3 == 0 ? glm::vec3(0, 0, 1) : glm::vec3(1, 0, 0);
        for (std::size_t v = 0; v < perCell; ++v) ASSERT_EQ(mesh.colours[c * perCell + v], expected);
    }

    Dodecaplex hollow;
    hollow.generate(true, 0.3f, false, colours, true);
    EXPECT_EQ(hollow.vertCount(), 120u * 12 * 36);
    shapecheck::expectSolidTetrahedra(hollow.positions, 1e-4);
}

TEST(Dodecaplex, WireframeHoldsEveryEdgeOnce) {
    const DodecaplexWireframe& mesh = dodecaplexWireframe;
    shapecheck::expectFloatLayout(mesh, 2400, {4}, {16});
    std::vector<glm::vec4> midpoints;
    for (std::size_t i = 0; i < mesh.positions.size(); i += 2) {
        ASSERT_NEAR(glm::distance(mesh.positions[i], mesh.positions[i + 1]), 1.0f, 1e-4f);
        midpoints.push_back((mesh.positions[i] + mesh.positions[i + 1]) / 2.0f);
    }
    EXPECT_EQ(shapecheck::distinctPoints(midpoints, 1e-3f).size(), 1200u);
    // 600 vertices, four edges at each.
    const std::vector<glm::vec4> vertices = shapecheck::distinctPoints(mesh.positions, 1e-3f);
    ASSERT_EQ(vertices.size(), 600u);
    for (const glm::vec4& vertex : vertices) {
        int degree = 0;
        for (const glm::vec4& p : mesh.positions) degree += shapecheck::near(p, vertex, 1e-3f);
        ASSERT_EQ(degree, 4);
    }
}

TEST(Dodecaplex, CellColoursRunThroughTheRainbow) {
    std::vector<glm::vec3> colours{glm::vec3(7)};
    makeCellColours(colours);
    ASSERT_EQ(colours.size(), 121u);  // appended after what was there
    EXPECT_EQ(colours[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(colours[21], glm::vec3(1, 0.5f, 0));
    EXPECT_EQ(colours[41], glm::vec3(1, 1, 0));
    EXPECT_NEAR(colours[120].x, 1.0f, 1e-6f);
    EXPECT_NEAR(colours[120].y, 0.0f, 1e-6f);
    EXPECT_NEAR(colours[120].z, 2.0f / 21.0f, 1e-5f);
    EXPECT_NEAR(colours[20].y, 19.0f / 42.0f, 1e-6f);  // the last orange step short of orange
}

}  // namespace

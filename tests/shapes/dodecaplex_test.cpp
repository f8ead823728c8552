#include "shapes/Dodecaplex.h"

#include "ShapeChecks.h"

namespace {

constexpr float inradius = 3.427051f;
const float circumradius = 2.618034f * std::sqrt(2.0f);  // phi^2 sqrt 2 for edge 1

// The face fold reaches the neighbouring face only at the right angle: otherwise the cells
// neither close up nor stop branching.
TEST(Dodecaplex, CellsTileTheHundredTwentyCell) {
    const std::vector<Dodecaplex::Cell> cells = Dodecaplex::buildCells();
    ASSERT_EQ(cells.size(), 120u);
    std::vector<glm::vec4> centres, corners;
    for (const Dodecaplex::Cell& cell : cells) {
        EXPECT_NEAR(glm::length(cell.centre), inradius, 1e-4f);
        EXPECT_TRUE(shapecheck::near(cell.direction, -glm::normalize(cell.centre), 1e-4f));
        centres.push_back(cell.centre);
        for (const Dodecaplex::Face& face : cell.faces) {
            EXPECT_NEAR(glm::distance(face.centre, cell.centre), 1.1135163f, 1e-4f);
            for (int j = 0; j < 5; ++j) {
                EXPECT_NEAR(glm::distance(face.corners[j], face.corners[(j + 1) % 5]), 1.0f, 1e-4f);
                EXPECT_NEAR(glm::length(face.corners[j]), circumradius, 1e-3f);
                corners.push_back(face.corners[j]);
            }
        }
    }
    EXPECT_EQ(shapecheck::distinctPoints(centres, 1e-2f).size(), 120u);
    EXPECT_EQ(shapecheck::distinctPoints(corners, 1e-3f).size(), 600u);
}

TEST(Dodecaplex, GreySolidMesh) {
    const Dodecaplex& mesh = greyDodecaplex;
    ASSERT_TRUE(mesh.hasNormals);
    shapecheck::expectFloatLayout(mesh, 17280, {4, 3, 1});
    EXPECT_EQ(mesh.colours.size(), 17280u);
    EXPECT_EQ(mesh.normals.size(), 4320u);
    for (const glm::vec3& colour : mesh.colours) ASSERT_EQ(colour, glm::vec3(0.5f));
    // Fans from the cell centre (last of each tetrahedron); normals point out of the 120-cell.
    for (size_t t = 0; t < mesh.normals.size(); ++t) {
        const glm::vec4 centre = mesh.positions[t * 4 + 3];
        ASSERT_NEAR(glm::length(centre), inradius, 1e-4f);
        ASSERT_TRUE(shapecheck::near(mesh.normals[t], glm::normalize(centre), 1e-4f));
    }
    // 120 dodecahedra of edge 1.
    const double volume = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-3);
    EXPECT_NEAR(volume, 120.0 * (15.0 + 7.0 * std::sqrt(5.0)) / 4.0, 0.05);
}

TEST(Dodecaplex, LoadingMeshHasRadialWallsInCellColours) {
    const Dodecaplex& mesh = loadingDodecaplex;
    shapecheck::expectFloatLayout(mesh, 155520, {4, 3, 1});
    EXPECT_EQ(mesh.colours.size(), 155520u);
    EXPECT_EQ(mesh.normals.size(), 38880u);
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-4);

    std::vector<glm::vec3> cellColours;
    makeCellColours(cellColours);
    const std::vector<Dodecaplex::Cell> cells = Dodecaplex::buildCells();
    constexpr size_t perCell = 12 * 108;
    for (size_t c = 0; c < 120; ++c) {
        SCOPED_TRACE("cell " + std::to_string(c));
        for (size_t v = 0; v < perCell; ++v)
            ASSERT_EQ(mesh.colours[c * perCell + v], cellColours[c]);
        // The first prism of the first face: (b, a', b', c'), (a, b, a', c'), ...; the inner
        // corner a' lies a fifth of the way from a to the cell centre, and the second wall is
        // the first pulled 0.2 towards the origin.
        const glm::vec4* p = &mesh.positions[c * perCell];
        EXPECT_TRUE(shapecheck::near(p[6], p[4] + (cells[c].centre - p[4]) * 0.2f, 1e-4f));
        EXPECT_TRUE(shapecheck::near(p[36 + 4], p[4] * (1.0f - 0.2f / inradius), 1e-4f));
        const glm::vec4* n = &mesh.normals[c * perCell / 4];
        EXPECT_TRUE(shapecheck::near(n[0], glm::normalize(cells[c].centre), 1e-4f));
        EXPECT_TRUE(shapecheck::near(n[9], -glm::normalize(cells[c].centre), 1e-4f));
    }
}

TEST(Dodecaplex, TwoColourModeWithoutNormals) {
    const float colours[6] = {1, 0, 0, 0, 0, 1};
    Dodecaplex mesh;
    mesh.generate(false, 0.0f, false, colours, true);
    shapecheck::expectFloatLayout(mesh, 17280, {4, 3});
    EXPECT_TRUE(mesh.normals.empty());
    for (size_t v = 0; v < mesh.colours.size(); ++v)
        ASSERT_EQ(mesh.colours[v], (v / 144) % 3 == 0 ? glm::vec3(0, 0, 1) : glm::vec3(1, 0, 0))
            << v;

    Dodecaplex hollow;
    hollow.generate(true, 0.3f, false, colours, true);
    EXPECT_EQ(hollow.vertCount(), 120u * 12 * 36);
    shapecheck::expectSolidTetrahedra(hollow.positions, 1e-4);
}

// 1200 distinct edges of length 1 between the 600 vertices are all the edges, each once.
TEST(Dodecaplex, WireframeHoldsEveryEdgeOnce) {
    const DodecaplexWireframe& mesh = dodecaplexWireframe;
    shapecheck::expectFloatLayout(mesh, 2400, {4});
    std::vector<glm::vec4> midpoints;
    for (size_t i = 0; i < mesh.positions.size(); i += 2) {
        ASSERT_NEAR(glm::distance(mesh.positions[i], mesh.positions[i + 1]), 1.0f, 1e-4f);
        ASSERT_NEAR(glm::length(mesh.positions[i]), circumradius, 1e-3f);
        midpoints.push_back((mesh.positions[i] + mesh.positions[i + 1]) / 2.0f);
    }
    EXPECT_EQ(shapecheck::distinctPoints(midpoints, 1e-3f).size(), 1200u);
    EXPECT_EQ(shapecheck::distinctPoints(mesh.positions, 1e-3f).size(), 600u);
}

TEST(Dodecaplex, CellColoursRunThroughTheRainbowAndAppend) {
    std::vector<glm::vec3> colours{glm::vec3(7)};
    makeCellColours(colours);
    ASSERT_EQ(colours.size(), 121u);
    EXPECT_EQ(colours[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(colours[21], glm::vec3(1, 0.5f, 0));
    EXPECT_NEAR(colours[20].y, 19.0f / 42.0f, 1e-6f) << "a segment stops short of its end";
    EXPECT_NEAR(glm::distance(colours[120], glm::vec3(1, 0, 2.0f / 21.0f)), 0.0f, 1e-5f);
}

}  // namespace

#include "shapes/KleinBottle.h"

#include "ShapeChecks.h"

namespace {

const glm::vec3 red(1, 0, 0), blue(0, 0, 1);

// Each step joins the previous ring to the current one in groups of six vertices:
// (prev j, prev j+1), (prev j, cur j), (prev j+1, cur j+1).
constexpr size_t perStep = 21 * 6;

TEST(KleinBottle, WireMeshClosesWithAFlip) {
    const KleinBottle& mesh = kleinBottleMesh;
    shapecheck::expectFloatLayout(mesh, 2520, {4, 3});
    ASSERT_EQ(mesh.colours.size(), 2520u);
    EXPECT_TRUE(shapecheck::near(mesh.positions[0], glm::vec4(0, -1, 0, 0.5f), 1e-6f));
    EXPECT_EQ(mesh.colours[0], red);
    EXPECT_EQ(mesh.colours[3], 0.05f * red + 0.95f * blue);  // ring 1
    EXPECT_EQ(mesh.colours[2520 - 1], red);                  // ring 20

    // Ring 20 is ring 0 run backwards: point j meets point 20 - j.
    for (size_t j = 0; j < 21; ++j)
        EXPECT_TRUE(shapecheck::near(mesh.positions[19 * perStep + j * 6 + 3],
                                     mesh.positions[(20 - j) * 6], 1e-5f))
            << j;
    // Only the segment from point 20 back to point 0 of each earlier ring has no length.
    int zeroLength = 0;
    for (size_t i = 0; i < mesh.positions.size(); i += 2)
        zeroLength += shapecheck::near(mesh.positions[i], mesh.positions[i + 1], 1e-5f);
    EXPECT_EQ(zeroLength, 20);
    // The tube keeps its radius about the path circle of radius 1 in the x-y plane.
    for (const glm::vec4& p : mesh.positions)
        ASSERT_NEAR(glm::distance(p, glm::vec4(glm::normalize(glm::vec2(p)), 0, 0)), 0.5f, 1e-5f);

    const KleinBottle white(0.5f, 1.0f, glm::vec3(1), blue);
    EXPECT_EQ(white.colours[0], glm::vec3(1));
    EXPECT_EQ(white.colours[perStep * 9 + 3], 0.5f * glm::vec3(1) + 0.5f * blue);  // ring 10
    EXPECT_EQ(white.positions, mesh.positions);
}

}  // namespace

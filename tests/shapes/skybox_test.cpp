#include "shapes/Skybox.h"

#include "ShapeChecks.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

namespace {

TEST(Skybox, CubeMeshWithCrossTexture) {
    shapecheck::expectFloatLayout(skyboxMesh, 36, {3, 2});
    const auto* positions = static_cast<const glm::vec3*>(skyboxMesh.attribData(0));
    const auto* texCoords = static_cast<const glm::vec2*>(skyboxMesh.attribData(1));

    // Face by face: its cell of the 4 x 3 cross and the axis it faces.
    const glm::vec2 cells[6] = {{1, 0}, {1, 2}, {1, 1}, {3, 1}, {0, 1}, {2, 1}};
    const glm::vec3 facing[6] = {{0, 1, 0},  {0, -1, 0}, {0, 0, 1},
                                 {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE("face " + std::to_string(f));
        for (int t = 0; t < 2; ++t) {
            const glm::vec3* p = positions + f * 6 + t * 3;
            // Half of a 2 x 2 face.
            EXPECT_FLOAT_EQ(glm::length(glm::cross(p[1] - p[0], p[2] - p[0])), 4.0f);
        }
        for (int v = 0; v < 6; ++v) {
            EXPECT_EQ(glm::abs(positions[f * 6 + v]), glm::vec3(1));
            EXPECT_EQ(glm::dot(positions[f * 6 + v], facing[f]), 1.0f);
            // Each coordinate, measured in cells from the face's cell, is 0 or 1.
            const glm::vec2 corner = texCoords[f * 6 + v] * glm::vec2(4, 3) - cells[f];
            EXPECT_TRUE(
                glm::all(glm::lessThan(glm::abs(corner * (corner - 1.0f)), glm::vec2(1e-5f))));
        }
    }
    // The four side cells join around the middle row: +z's right edge is +x's left edge.
    EXPECT_EQ(texCoords[2 * 6 + 1], glm::vec2(0.5f, 1.0f / 3.0f));  // +z corner (1, 1, 1)
    EXPECT_EQ(texCoords[5 * 6 + 1], glm::vec2(0.5f, 1.0f / 3.0f));  // +x corner (1, 1, 1)
}

}  // namespace

#include "shapes/Skybox.h"

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

bool multipleOf(float value, float step) {
    const float steps = value / step;
    return std::abs(steps - std::round(steps)) < 1e-5f;
}

TEST(Skybox, CubeMeshWithCrossTexture) {
    const Skybox& mesh = skyboxMesh;
    EXPECT_EQ(mesh.attribCount(), 2);
    EXPECT_EQ(mesh.vertCount(), 36u);
    EXPECT_EQ(mesh.attribType(0), static_cast<GLenum>(GL_FLOAT));
    EXPECT_EQ(mesh.attribType(1), static_cast<GLenum>(GL_FLOAT));
    EXPECT_EQ(mesh.attribSize(0), 3);
    EXPECT_EQ(mesh.attribSize(1), 2);
    EXPECT_EQ(mesh.attribStride(0), 0u);
    EXPECT_EQ(mesh.attribDataSize(0), 432u);
    EXPECT_EQ(mesh.attribDataSize(1), 288u);

    const auto* positions = static_cast<const glm::vec3*>(mesh.attribData(0));
    const auto* texCoords = static_cast<const glm::vec2*>(mesh.attribData(1));
    for (int v = 0; v < 36; ++v) {
        for (int c = 0; c < 3; ++c) ASSERT_EQ(std::abs(positions[v][c]), 1.0f);
        ASSERT_TRUE(multipleOf(texCoords[v].x, 0.25f)) << v;
        ASSERT_TRUE(multipleOf(texCoords[v].y, 1.0f / 3.0f)) << v;
    }

    // Face by face: its cell of the cross and the axis it faces.
    const int cells[6][2] = {{1, 0}, {1, 2}, {1, 1}, {3, 1}, {0, 1}, {2, 1}};
    const glm::vec3 facing[6] = {{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE("face " + std::to_string(f));
        for (int t = 0; t < 2; ++t) {
            const glm::vec3* p = positions + f * 6 + t * 3;
            const glm::vec3 normal = glm::cross(p[1] - p[0], p[2] - p[0]);
            EXPECT_FLOAT_EQ(glm::length(normal), 4.0f);  // half of a 2 x 2 face
        }
        for (int v = 0; v < 6; ++v) {
            EXPECT_EQ(glm::dot(positions[f * 6 + v], facing[f]), 1.0f);
            const glm::vec2 uv = texCoords[f * 6 + v];
            EXPECT_GE(uv.x, cells[f][0] * 0.25f - 1e-6f);
            EXPECT_LE(uv.x, (cells[f][0] + 1) * 0.25f + 1e-6f);
            EXPECT_GE(uv.y, cells[f][1] / 3.0f - 1e-6f);
            EXPECT_LE(uv.y, (cells[f][1] + 1) / 3.0f + 1e-6f);
        }
    }
    // The four side cells join around the middle row: +z's right edge is +x's left edge.
    EXPECT_EQ(texCoords[2 * 6 + 1], glm::vec2(0.5f, 1.0f / 3.0f));   // +z corner (1, 1, 1)
    EXPECT_EQ(texCoords[5 * 6 + 1], glm::vec2(0.5f, 1.0f / 3.0f));   // +x corner (1, 1, 1)
}

}  // namespace

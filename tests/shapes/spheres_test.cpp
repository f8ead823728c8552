#include "shapes/Hypersphere.h"
#include "shapes/Sphere.h"

#include "ShapeChecks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

bool inUnitRange(const glm::vec3& v) {
    return v.x >= 0.0f && v.x <= 1.0f && v.y >= 0.0f && v.y <= 1.0f && v.z >= 0.0f && v.z <= 1.0f;
}

float length3(const glm::vec4& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.w * p.w); }

TEST(Sphere, SolidBallMesh) {
    const Sphere& mesh = sphereMesh;
    shapecheck::expectFloatLayout(mesh, 13056, {4, 3}, {16, 12});
    ASSERT_EQ(mesh.colours.size(), 13056u);

    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        const glm::vec4 p = mesh.positions[v];
        ASSERT_EQ(p.z, 0.0f) << v;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
        bool onLevel = std::abs(std::abs(p.w) - 1.0f) < 1e-6f;
        for (int k = 1; k < 24; ++k) onLevel = onLevel || std::abs(p.w - std::cos(k * pi / 24)) < 1e-6;
        ASSERT_TRUE(onLevel) << v;
        // Disc centres lie on the w axis, rim points on the unit sphere.
        const bool centre = p.x == 0.0f && p.y == 0.0f;
        if (!centre) {
            ASSERT_NEAR(length3(p), 1.0f, 1e-5f) << v;
        }
    }
    // The north pole opens the mesh, the south pole closes it, each with its own depth.
    EXPECT_EQ(mesh.positions.front(), glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(mesh.colours.front(), glm::vec3(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(mesh.positions[13056 - 4], glm::vec4(0, 0, 0, -1));
    EXPECT_EQ(mesh.colours[13056 - 4], glm::vec3(0.5f, 0.5f, 1.0f));

    const double volume = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-7);
    EXPECT_NEAR(volume, 4.0 / 3.0 * pi, 0.05);  // inscribed, a little short of the ball
    EXPECT_LT(volume, 4.0 / 3.0 * pi);
}

TEST(Hypersphere, LayersCloseTheirRings) {
    const AngleTable angles(6);
    ASSERT_EQ(angles.sines.size(), 13u);
    EXPECT_EQ(angles.sines[12], angles.sines[0]);
    EXPECT_EQ(angles.cosines[12], angles.cosines[0]);

    MeshData triangles, quads;
    Hypersphere::buildLayer(triangles, quads, 2, angles);
    ASSERT_EQ(triangles.positions.size(), 4u * 6 * 3);
    ASSERT_EQ(quads.positions.size(), 4u * 2 * 6 * 4);
    const float radius = std::sin(2 * pi / 6), level = std::cos(2 * pi / 6);
    for (const glm::vec4& p : triangles.positions) {
        EXPECT_NEAR(glm::length(glm::vec3(p)), radius, 1e-5f);
        EXPECT_NEAR(p.w, level, 1e-6f);
    }
    // Top cap triangle j = 1 starts the ring at u = 1; triangle j = 2n ends it at u = 0,
    // back at the first point.
    EXPECT_EQ(triangles.positions[0], glm::vec4(0, radius, 0, level));
    EXPECT_EQ(triangles.colours[1], glm::vec3(1.0f, 1.0f / 6, 2.0f / 12));
    const std::size_t last = 11 * 3;
    EXPECT_NEAR(triangles.colours[last + 2].x, 0.0f, 1e-6f);
    EXPECT_EQ(triangles.positions[last + 2], triangles.positions[1]);
    EXPECT_EQ(triangles.colours[0], glm::vec3((1.0f + 11.0f / 12) / 2, 0, 0));
    // The bottom cap ends on the layer's south pole.
    EXPECT_EQ(triangles.positions[12 * 3 + 2], glm::vec4(0, -radius, 0, level));
    EXPECT_EQ(triangles.colours[12 * 3 + 2].y, 1.0f);
}

TEST(Hypersphere, SolidMeshCoversTheUnitThreeSphere) {
    const Hypersphere& mesh = hypersphereMesh;
    shapecheck::expectFloatLayout(mesh, 507648, {4, 3}, {16, 12});
    ASSERT_EQ(mesh.colours.size(), 507648u);
    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        ASSERT_NEAR(glm::length(mesh.positions[v]), 1.0f, 1e-5f) << v;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
    }
    EXPECT_EQ(mesh.positions.front(), glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(mesh.positions[507648 - 4 * 2208], glm::vec4(0, 0, 0, -1));  // south cap's first
    EXPECT_EQ(mesh.colours[507648 - 4 * 2208].z, 1.0f);
    // The tetrahedra's chords fall a little inside the 3-sphere's area 2 pi^2.
    const double area = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-8);
    EXPECT_NEAR(area, 2.0 * pi * pi, 0.25);
    EXPECT_LT(area, 2.0 * pi * pi);
}

TEST(Hypersphere, HollowMeshHasShellsInsideTheSphere) {
    const Hypersphere& mesh = hollowHypersphereMesh;
    shapecheck::expectFloatLayout(mesh, 39936, {4, 3}, {16, 12});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-6);
    int inner = 0;
    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        const float r = glm::length(mesh.positions[v]);
        ASSERT_LT(r, 1.0f + 1e-5f) << v;
        inner += r < 0.999f;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
    }
    EXPECT_GT(inner, 0);

    // The first cell is the cone from the north pole to layer 1's first cap triangle: 12
    // tetrahedra over four outer corners (on the sphere) and their inner copies, each a fifth of
    // the way to the cell centre.
    std::vector<glm::vec4> outer, innerCorners;
    for (int v = 0; v < 48; ++v) {
        const glm::vec4 p = mesh.positions[v];
        auto& list = glm::length(p) > 0.99999f ? outer : innerCorners;
        bool known = false;
        for (const glm::vec4& q : list) known = known || shapecheck::near(p, q, 1e-6f);
        if (!known) list.push_back(p);
    }
    ASSERT_EQ(outer.size(), 4u);
    ASSERT_EQ(innerCorners.size(), 4u);
    const glm::vec4 pole(0, 0, 0, 1);
    glm::vec4 triangle(0.0f);
    for (const glm::vec4& p : outer)
        if (p != pole) triangle += p / 3.0f;
    const glm::vec4 centre = (triangle + pole) / 2.0f;
    for (const glm::vec4& p : outer) {
        const glm::vec4 expected = p + (centre - p) * 0.2f;
        bool found = false;
        for (const glm::vec4& q : innerCorners) found = found || shapecheck::near(q, expected, 1e-5f);
        EXPECT_TRUE(found);
    }
}

}  // namespace

#include "shapes/Hypersphere.h"
#include "shapes/Sphere.h"

#include "ShapeChecks.h"

namespace {

constexpr double pi = 3.14159265358979323846;

bool inUnitRange(const glm::vec3& v) {
    return glm::all(glm::greaterThanEqual(v, glm::vec3(0))) &&
           glm::all(glm::lessThanEqual(v, glm::vec3(1)));
}

TEST(Sphere, SolidBallMesh) {
    const Sphere& mesh = sphereMesh;
    shapecheck::expectFloatLayout(mesh, 13056, {4, 3});
    ASSERT_EQ(mesh.colours.size(), 13056u);
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        const glm::vec4 p = mesh.positions[v];
        ASSERT_EQ(p.z, 0.0f) << v;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
        // On one of the 25 levels along w; disc centres on the w axis, rim points on the sphere.
        bool onLevel = std::abs(std::abs(p.w) - 1.0f) < 1e-6f;
        for (int k = 1; k < 24; ++k)
            onLevel = onLevel || std::abs(p.w - std::cos(k * pi / 24)) < 1e-6;
        ASSERT_TRUE(onLevel) << v;
        if (p.x != 0.0f || p.y != 0.0f) {
            ASSERT_NEAR(glm::length(glm::vec3(p.x, p.y, p.w)), 1.0f, 1e-5f) << v;
        }
    }
    // The north pole opens the mesh, the south pole closes it, each with its own depth.
    EXPECT_EQ(mesh.positions.front(), glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(mesh.colours.front(), glm::vec3(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(mesh.positions[13056 - 4], glm::vec4(0, 0, 0, -1));
    EXPECT_EQ(mesh.colours[13056 - 4], glm::vec3(0.5f, 0.5f, 1.0f));
    // Inscribed, a little short of the ball.
    const double volume = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-7);
    EXPECT_NEAR(volume, 4.0 / 3.0 * pi - 0.025, 0.025);
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
    // The top cap's ring starts at u = 1 and ends at u = 0 back on its first point; the bottom
    // cap ends on the layer's south pole.
    EXPECT_EQ(triangles.positions[0], glm::vec4(0, radius, 0, level));
    EXPECT_EQ(triangles.colours[1].x, 1.0f);
    EXPECT_EQ(triangles.colours[11 * 3 + 2].x, 0.0f);
    EXPECT_EQ(triangles.positions[11 * 3 + 2], triangles.positions[1]);
    EXPECT_EQ(triangles.positions[12 * 3 + 2], glm::vec4(0, -radius, 0, level));
}

TEST(Hypersphere, SolidMeshCoversTheUnitThreeSphere) {
    const Hypersphere& mesh = hypersphereMesh;
    shapecheck::expectFloatLayout(mesh, 507648, {4, 3});
    ASSERT_EQ(mesh.colours.size(), 507648u);
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        ASSERT_NEAR(glm::length(mesh.positions[v]), 1.0f, 1e-5f) << v;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
    }
    EXPECT_EQ(mesh.positions.front(), glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(mesh.positions[507648 - 4 * 2208], glm::vec4(0, 0, 0, -1));  // south cap's first
    EXPECT_EQ(mesh.colours[507648 - 4 * 2208].z, 1.0f);
    // The tetrahedra's chords fall a little inside the 3-sphere's area 2 pi^2.
    const double area = shapecheck::expectSolidTetrahedra(mesh.positions, 1e-8);
    EXPECT_NEAR(area, 2.0 * pi * pi - 0.125, 0.125);
}

TEST(Hypersphere, HollowMeshHasShellsInsideTheSphere) {
    const Hypersphere& mesh = hollowHypersphereMesh;
    shapecheck::expectFloatLayout(mesh, 39936, {4, 3});
    shapecheck::expectSolidTetrahedra(mesh.positions, 1e-6);
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        ASSERT_LT(glm::length(mesh.positions[v]), 1.0f + 1e-5f) << v;
        ASSERT_TRUE(inUnitRange(mesh.colours[v])) << v;
    }
    // The first cell is the cone from the north pole to layer 1's first cap triangle: 12
    // tetrahedra over four outer corners (on the sphere) and their inner copies, each a fifth
    // of the way to the cell centre.
    std::vector<glm::vec4> outer, inner;
    const std::vector<glm::vec4> firstCell(mesh.positions.begin(), mesh.positions.begin() + 48);
    for (const glm::vec4& p : shapecheck::distinctPoints(firstCell, 1e-6f))
        (glm::length(p) > 0.99999f ? outer : inner).push_back(p);
    ASSERT_EQ(outer.size(), 4u);
    ASSERT_EQ(inner.size(), 4u);
    const glm::vec4 pole(0, 0, 0, 1);
    glm::vec4 triangle(0.0f);
    for (const glm::vec4& p : outer)
        if (p != pole) triangle += p / 3.0f;
    const glm::vec4 centre = (triangle + pole) / 2.0f;
    for (const glm::vec4& p : outer) {
        const glm::vec4 expected = p + (centre - p) * 0.2f;
        EXPECT_TRUE(std::any_of(inner.begin(), inner.end(),
                                [&](const glm::vec4& q) { return shapecheck::near(q, expected); }));
    }
}

}  // namespace

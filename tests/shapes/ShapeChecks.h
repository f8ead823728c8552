#pragma once

// Checks shared by the shape tests: the Mesh layout and the geometry of tetrahedra.

#include "engine/Mesh.h"

#include <glm/geometric.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>
#include <glm/vec4.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

namespace shapecheck {

// The 3-volume of a tetrahedron in 4D (from the Gram determinant of its edges).
inline double tetrahedronVolume(const glm::vec4* p) {
    const glm::dvec4 edges[3] = {glm::dvec4(p[1]) - glm::dvec4(p[0]),
                                 glm::dvec4(p[2]) - glm::dvec4(p[0]),
                                 glm::dvec4(p[3]) - glm::dvec4(p[0])};
    glm::dmat3 gram;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) gram[i][j] = glm::dot(edges[i], edges[j]);
    const double det = glm::determinant(gram);
    return det > 0.0 ? std::sqrt(det) / 6.0 : 0.0;
}

// Every group of four vertices spans a tetrahedron of at least `minVolume`; returns the sum.
inline double expectSolidTetrahedra(std::span<const glm::vec4> positions, double minVolume) {
    EXPECT_EQ(positions.size() % 4, 0u);
    double total = 0.0;
    int degenerate = 0;
    for (size_t i = 0; i + 3 < positions.size(); i += 4) {
        const double volume = tetrahedronVolume(&positions[i]);
        if (volume < minVolume && ++degenerate <= 3)
            ADD_FAILURE() << "tetrahedron " << i / 4 << " has volume " << volume;
        total += volume;
    }
    EXPECT_EQ(degenerate, 0);
    return total;
}

// Tightly packed float attributes with the given component counts.
inline void expectFloatLayout(const Mesh& mesh, uint32_t vertCount, const std::vector<int>& sizes) {
    EXPECT_EQ(mesh.vertCount(), vertCount);
    ASSERT_EQ(mesh.attribCount(), int(sizes.size()));
    for (int i = 0; i < mesh.attribCount(); ++i) {
        SCOPED_TRACE("attribute " + std::to_string(i));
        EXPECT_EQ(mesh.attribType(i), GLenum(GL_FLOAT));
        EXPECT_EQ(mesh.attribSize(i), sizes[i]);
        EXPECT_EQ(mesh.attribStride(i), 0u);
        EXPECT_NE(mesh.attribData(i), nullptr);
        EXPECT_EQ(mesh.attribDataSize(i), vertCount * 4 * uint32_t(sizes[i]));
    }
}

inline bool near(const glm::vec4& a, const glm::vec4& b, float tolerance = 1e-5f) {
    return glm::distance(a, b) < tolerance;
}

// Points with no other within `tolerance` before them (greedy; fine for a few hundred).
inline std::vector<glm::vec4> distinctPoints(const std::vector<glm::vec4>& points,
                                             float tolerance) {
    std::vector<glm::vec4> distinct;
    for (const glm::vec4& p : points)
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const glm::vec4& q) { return near(p, q, tolerance); }))
            distinct.push_back(p);
    return distinct;
}

}  // namespace shapecheck

#pragma once

// Checks shared by the shape tests: the Mesh layout and the geometry of tetrahedra.

#include "engine/Mesh.h"

#include <glm/geometric.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>
#include <glm/vec4.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace shapecheck {

// The 3-volume of a tetrahedron in 4D (from the Gram determinant of its edges).
inline double tetrahedronVolume(const glm::vec4& a, const glm::vec4& b, const glm::vec4& c,
                                const glm::vec4& d) {
    const glm::dvec4 edges[3] = {glm::dvec4(b) - glm::dvec4(a), glm::dvec4(c) - glm::dvec4(a),
                                 glm::dvec4(d) - glm::dvec4(a)};
    glm::dmat3 gram;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) gram[i][j] = glm::dot(edges[i], edges[j]);
    const double det = glm::determinant(gram);
    return det > 0.0 ? std::sqrt(det) / 6.0 : 0.0;
}

// Every group of four vertices spans a tetrahedron of at least `minVolume`; returns the sum.
inline double expectSolidTetrahedra(const glm::vec4* positions, std::size_t count,
                                    double minVolume) {
    EXPECT_EQ(count % 4, 0u);
    double total = 0.0;
    int degenerate = 0;
    for (std::size_t i = 0; i + 3 < count; i += 4) {
        const double volume =
            tetrahedronVolume(positions[i], positions[i + 1], positions[i + 2], positions[i + 3]);
        if (volume < minVolume && ++degenerate <= 3)
            ADD_FAILURE() << "tetrahedron " << i / 4 << " has volume " << volume;
        total += volume;
    }
    EXPECT_EQ(degenerate, 0);
    return total;
}

inline double expectSolidTetrahedra(const std::vector<glm::vec4>& positions, double minVolume) {
    return expectSolidTetrahedra(positions.data(), positions.size(), minVolume);
}

// Float attributes with the given component counts, tightly packed, `bytesPerVertex` each.
inline void expectFloatLayout(const Mesh& mesh, uint32_t vertCount,
                              const std::vector<int>& sizes,
                              const std::vector<uint32_t>& bytesPerVertex) {
    EXPECT_EQ(mesh.vertCount(), vertCount);
    ASSERT_EQ(mesh.attribCount(), static_cast<int>(sizes.size()));
    for (int i = 0; i < mesh.attribCount(); ++i) {
        SCOPED_TRACE("attribute " + std::to_string(i));
        EXPECT_EQ(mesh.attribType(i), static_cast<GLenum>(GL_FLOAT));
        EXPECT_EQ(mesh.attribSize(i), sizes[i]);
        EXPECT_EQ(mesh.attribStride(i), 0u);
        EXPECT_NE(mesh.attribData(i), nullptr);
        EXPECT_EQ(mesh.attribDataSize(i), vertCount * bytesPerVertex[i]);
    }
}

inline bool near(const glm::vec4& a, const glm::vec4& b, float tolerance = 1e-5f) {
    return glm::distance(a, b) < tolerance;
}

// Points with no other within `tolerance` before them (a greedy clustering, fine for the few
// hundred distinct points of these shapes).
inline std::vector<glm::vec4> distinctPoints(const std::vector<glm::vec4>& points,
                                             float tolerance) {
    std::vector<glm::vec4> distinct;
    for (const glm::vec4& p : points) {
        bool known = false;
        for (const glm::vec4& q : distinct)
            if (near(p, q, tolerance)) {
                known = true;
                break;
            }
        if (!known) distinct.push_back(p);
    }
    return distinct;
}

}  // namespace shapecheck

#include "game/TesseractEdges.h"

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include <set>
#include <utility>

namespace {

TEST(TesseractEdges, ThirtyTwoDistinctEdgesBetweenNeighbouringCorners) {
    std::set<std::pair<int, int>> edges;
    auto cornerBits = [](const glm::vec4& c) {
        int bits = 0;
        for (int axis = 0; axis < 4; ++axis) {
            EXPECT_EQ(std::abs(c[axis]), 1.0f);
            if (c[axis] > 0) bits |= 1 << axis;
        }
        return bits;
    };
    for (int i = 0; i < 64; i += 2) {
        int a = cornerBits(tesseractEdges[i]), b = cornerBits(tesseractEdges[i + 1]);
        int differing = a ^ b;
        EXPECT_TRUE(differing != 0 && (differing & (differing - 1)) == 0) << "edge " << i / 2;
        edges.insert({std::min(a, b), std::max(a, b)});
    }
    EXPECT_EQ(edges.size(), 32u);
}

}  // namespace

#include "world/DiscCells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

glm::vec3 randomUnit(std::mt19937& random) {
    std::normal_distribution<float> normal;
    for (;;) {
        glm::vec3 v(normal(random), normal(random), normal(random));
        if (glm::length(v) > 1e-3f) return glm::normalize(v);
    }
}

// Checks a selection: lines in rising order, each opened by its first cell; no cell far from
// the disc; the centre and every point of the disc within R - 1.25 of it (the walk covers the
// rim only in part) in requested cells.
void expectCoversDisc(const glm::vec3& centre, float radius, const glm::vec3& normal,
                      std::mt19937& random) {
    SCOPED_TRACE(::testing::Message() << "centre " << centre.x << " " << centre.y << " " << centre.z
                                      << " radius " << radius << " normal " << normal.x << " "
                                      << normal.y << " " << normal.z);
    const DiscSelection disc = selectDisc(centre, radius, normal);
    ASSERT_FALSE(disc.cells.empty());
    ASSERT_TRUE(disc.cells.front().lineStart);
    const std::set<CellKey> requested = requestedCells(disc, true);

    const glm::dvec3 n = glm::normalize(glm::dvec3(normal)), p(centre);
    int64_t line = disc.cells.front().cell[disc.stepAxis];
    for (const DiscCell& cell : disc.cells) {
        if (cell.lineStart) {
            EXPECT_GE(cell.cell[disc.stepAxis], line);
            line = cell.cell[disc.stepAxis];
        }
        EXPECT_EQ(cell.cell[disc.stepAxis], line) << "a chord leaves its line";
        const glm::dvec3 middle = glm::dvec3(cell.cell) + 0.5;
        EXPECT_LT(std::abs(glm::dot(middle - p, n)), 2.0) << "cell far off the plane";
        EXPECT_LT(glm::length(middle - p), radius + 2.0) << "cell outside the disc";
    }

    const glm::dvec3 helper = std::abs(n.x) < 0.9 ? glm::dvec3(1, 0, 0) : glm::dvec3(0, 1, 0);
    const glm::dvec3 e1 = glm::normalize(glm::cross(n, helper));
    const glm::dvec3 e2 = glm::cross(n, e1);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double inner = std::max(radius - 1.25, 0.0);
    for (int i = 0; i < 400; ++i) {
        const double a = i ? unit(random) * inner : 0.0, b = i ? unit(random) * inner : 0.0;
        if (a * a + b * b > inner * inner) continue;
        const glm::dvec3 q = glm::floor(p + e1 * a + e2 * b);
        const glm::i64vec3 cell(q);
        EXPECT_TRUE(requested.count(cellKey(cell)))
            << "disc point in an unrequested cell " << cell.x << " " << cell.y << " " << cell.z;
    }
}

TEST(DiscSelection, StepAxisIsWhereTheNormalIsSmallest) {
    EXPECT_EQ(discStepAxis({0, 0, 1}), 1);  // z on a tie with x
    EXPECT_EQ(discStepAxis({1, 0, 0}), 2);  // z and w tie: w
    EXPECT_EQ(discStepAxis({0, 1, 0}), 2);
    EXPECT_EQ(discStepAxis({0.1f, 1, 1}), 0);
    EXPECT_EQ(discStepAxis({0.5f, 0.6f, 0.1f}), 2);
    EXPECT_EQ(discStepAxis({1, 1, 1}), 2);  // w on a full tie
}

TEST(DiscSelection, ConstantWPlaneKeepsToThePlayersLayer) {
    // The plane w = const: lines run along z, chords along x, all in the layer of the player.
    const glm::vec3 centre(2.5f, -1.25f, 3.75f);
    for (float radius : {1.0f, 2.0f, 5.0f}) {
        const DiscSelection disc = selectDisc(centre, radius, {0, 0, 1});
        EXPECT_EQ(disc.stepAxis, 1);
        std::set<int64_t> lines;
        for (const DiscCell& cell : disc.cells) {
            EXPECT_EQ(cell.cell.z, 3);
            EXPECT_GE(double(cell.cell.x), std::floor(centre.x - radius));
            EXPECT_LE(double(cell.cell.x), std::floor(centre.x + radius));
            lines.insert(cell.cell.y);
        }
        EXPECT_EQ(*lines.begin(), int64_t(std::ceil(centre.y - radius)));
        EXPECT_EQ(*lines.rbegin(), int64_t(std::floor(centre.y + radius)));
        EXPECT_EQ(lines.size(), size_t(*lines.rbegin() - *lines.begin() + 1));
    }
}

TEST(DiscSelection, CoversTheDiscAtRandomOrientationsAndNearAMillion) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> offset(-20.0f, 20.0f);
    for (int i = 0; i < 40; ++i) {
        const glm::vec3 centre(offset(random), offset(random), offset(random));
        expectCoversDisc(centre, float(1 + i % 6), randomUnit(random), random);
    }
    // Single-precision steps of a line position never meet the end test this far out.
    random.seed(11);
    for (int i = 0; i < 30; ++i)
        expectCoversDisc({1e6f + 0.3f * float(i), -1e6f + 0.7f, 999999.5f}, float(2 + i % 4),
                         randomUnit(random), random);
}

TEST(DiscSelection, DiscEdgeOnAnIntegerLineGivesNoNaNOrHang) {
    // P_k - R and P_k + R integers: the end lines have a chord of length zero.
    std::mt19937 random(3);
    for (float radius : {1.0f, 2.0f, 4.0f, 12.0f}) {
        const DiscSelection disc = selectDisc({0.5f, 3.0f, 0.5f}, radius, {0, 0, 1});
        for (const DiscCell& cell : disc.cells) {
            EXPECT_LE(std::abs(cell.cell.x), 20);
            EXPECT_LE(std::abs(cell.cell.y), 20);
        }
        EXPECT_EQ(disc.cells.front().cell.y, int64_t(3.0f - radius));
        EXPECT_EQ(disc.cells.back().cell.y, int64_t(3.0f + radius));
        expectCoversDisc({0.5f, 3.0f, 0.5f}, radius, {0, 0, 1}, random);
    }
    // Axis-aligned planes with integer centres: every chord starts and ends on grid lines.
    for (const glm::vec3 normal : {glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0, 0, 1)})
        expectCoversDisc({4.0f, -2.0f, 7.0f}, 3.0f, normal, random);
    // Planes at 45 degrees whose chords run exactly through grid corners (x + w = 1): both
    // boundaries are crossed at once, and the chord goes on in the diagonal cell.
    for (const glm::vec3 normal : {glm::vec3(1, 0, 1), glm::vec3(1, 0, -1), glm::vec3(1, 1, 0)})
        for (float radius : {2.0f, 3.0f, 5.0f})
            expectCoversDisc({0.5f, 0.5f, 0.5f}, radius, normal, random);
}

TEST(DiscSelection, BadInputSelectsNothingOrFallsBackToTheWPlane) {
    EXPECT_TRUE(selectDisc({NAN, 0, 0}, 2.0f, {0, 0, 1}).cells.empty());
    EXPECT_TRUE(selectDisc({0, 0, 0}, 0.0f, {0, 0, 1}).cells.empty());
    EXPECT_TRUE(selectDisc({0, 0, 0}, NAN, {0, 0, 1}).cells.empty());
    EXPECT_TRUE(selectDisc({1e30f, 0, 0}, 2.0f, {0, 0, 1}).cells.empty());
    EXPECT_EQ(requestedCells(selectDisc({0.5f, 0.5f, 0.5f}, 2.0f, {0, 0, 0}), true),
              requestedCells(selectDisc({0.5f, 0.5f, 0.5f}, 2.0f, {0, 0, 1}), true));
}

}  // namespace

#include "world/Clouds.h"
#include "world/DiscCells.h"

#include <glm/gtc/noise.hpp>
#include <gtest/gtest.h>

namespace {

const glm::vec4 OVER_W(0.0f, 0.0f, 0.0f, 1.0f);

std::set<CellKey> keys(const Clouds& clouds) {
    std::set<CellKey> result;
    for (const auto& [c, chunk] : clouds.chunks) result.insert(cellKey(c));
    return result;
}

// The cloud selection around a player: every visited cell and the one below it.
std::set<CellKey> expectedKeys(const Clouds& clouds, const glm::vec4& player, int radius,
                               const glm::vec4& over) {
    const glm::vec3 pos(player.x, player.z, player.w);
    const glm::vec3 centre = (pos - clouds.offset) / Clouds::CHUNK_SPAN;
    return requestedCells(selectDisc(centre, float(radius), {over.x, over.z, over.w}), false);
}

TEST(Clouds, ForcedFirstUpdateSelectsTheDiscAndKeepsTheReferencePoint) {
    const std::pair<glm::vec4, glm::vec4> cases[] = {
        {{100.0f, 70.0f, -50.0f, 800.0f}, OVER_W},
        {{-900.0f, 70.0f, 300.0f, 77.0f}, glm::normalize(glm::vec4(0.6f, 0.0f, 0.3f, 0.2f))},
    };
    for (const auto& [player, over] : cases) {
        Clouds clouds;
        clouds.update(player, over, 2, true);
        EXPECT_EQ(clouds.offset, clouds.velocity);
        EXPECT_EQ(clouds.lastPos, glm::vec3(0.0f));
        EXPECT_EQ(clouds.lastOffset, glm::vec3(0.0f));
        EXPECT_TRUE(clouds.ready);
        EXPECT_TRUE(clouds.pending.empty());
        EXPECT_EQ(clouds.count.load(), int(clouds.chunks.size()));
        EXPECT_EQ(keys(clouds), expectedKeys(clouds, player, 2, over));
        for (const auto& [c, chunk] : clouds.chunks) {
            EXPECT_TRUE(over != OVER_W || c.z == 2) << "the plane w = 800 lies in cloud layer 2";
            EXPECT_TRUE(chunk->meshReady);
            EXPECT_FALSE(chunk->keep);
            EXPECT_FALSE(chunk->uploaded);
        }
    }
}

TEST(Clouds, StandingPlayerGetsANewSelectionAfterSixUnitsOfDrift) {
    Clouds clouds;
    const glm::vec4 player(10.0f, 70.0f, 10.0f, 10.0f);
    clouds.update(player, OVER_W, 1, true);
    // The forced call kept the reference point at the origin: the next tick selects.
    clouds.update(player, OVER_W, 1, false);
    ASSERT_EQ(clouds.lastPos, glm::vec3(10.0f));
    const glm::vec3 referenceOffset = clouds.lastOffset;
    ASSERT_EQ(referenceOffset, clouds.velocity * 2.0f);

    // |velocity| is about 0.0583 per tick: the drift reaches 6.0 after 103 ticks.
    int ticks = 0;
    for (; clouds.lastOffset == referenceOffset && ticks < 200; ++ticks)
        clouds.update(player, OVER_W, 1, false);
    EXPECT_EQ(ticks, 103);
    EXPECT_EQ(clouds.lastOffset, clouds.offset);
    EXPECT_EQ(clouds.lastPos, glm::vec3(10.0f));

    // A forced update selects but leaves the reference point of the 6.0 test alone.
    const glm::vec3 lastOffset = clouds.lastOffset;
    const glm::vec4 far = player + glm::vec4(5000, 0, 0, 0);
    clouds.update(far, OVER_W, 1, true);
    EXPECT_EQ(clouds.lastPos, glm::vec3(10.0f));
    EXPECT_EQ(clouds.lastOffset, lastOffset);
    EXPECT_EQ(keys(clouds), expectedKeys(clouds, far, 1, OVER_W));
}

TEST(Clouds, MovingFarDropsTheOldChunksAndCountsTheNew) {
    Clouds clouds;
    clouds.update({0, 70, 0, 0}, OVER_W, 2, true);
    const auto before = keys(clouds);
    clouds.update({5.0f, 70, 0, 0}, OVER_W, 2, false);  // under 6 units: nothing
    EXPECT_EQ(clouds.lastPos, glm::vec3(0.0f));
    EXPECT_EQ(keys(clouds), before);

    clouds.update({4000.0f, 70, 0, 4000.0f}, OVER_W, 2, false);
    EXPECT_EQ(clouds.lastPos, glm::vec3(4000.0f, 0.0f, 4000.0f));
    for (const CellKey& k : keys(clouds)) EXPECT_EQ(before.count(k), 0u);
    EXPECT_EQ(clouds.count.load(), int(clouds.chunks.size()));
    clouds.clear();
    EXPECT_TRUE(clouds.chunks.empty());
    EXPECT_EQ(clouds.count.load(), 0);
}

TEST(Clouds, DensityFollowsTheNoiseAndEachCloudCellIsOneFlatFace) {
    Clouds clouds;
    CloudChunk chunk;
    clouds.generateDensity(&chunk, -3, 1, 2);
    EXPECT_EQ(clouds.count.load(), 1);
    int cloudCells = 0;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            for (int k = 0; k < 6; ++k) {
                const glm::vec3 p(float((-18 + i) * 4), float((6 + j) * 4), float((12 + k) * 4));
                const bool cloud = (glm::simplex(p) + 1.0f) / 2.0f > 0.65f;
                EXPECT_EQ(chunk.cells[i][j][k], cloud ? 1 : 0);
                cloudCells += cloud;
            }
    ASSERT_GT(cloudCells, 0);

    chunk.buildMesh();
    EXPECT_TRUE(chunk.meshReady);
    ASSERT_EQ(chunk.mesh.vertCount(), uint32_t(20 * cloudCells));
    for (const glm::u8vec4& v : chunk.mesh.positions) {
        EXPECT_EQ(v.y, 0);
        EXPECT_LE(glm::max(v.x, glm::max(v.z, v.w)), 6);
    }
}

TEST(Clouds, ChunkWithoutCloudHasAnEmptyMeshButStaysCounted) {
    Clouds clouds;
    clouds.requestChunk({7, 7, 7});
    ASSERT_EQ(clouds.pending.size(), 1u);
    CloudChunk* chunk = clouds.pending.front();
    clouds.generatePending();
    EXPECT_EQ(clouds.count.load(), 1);
    // Whatever the noise gave, a cleared chunk meshes to nothing and draws nothing.
    std::fill_n(&chunk->cells[0][0][0], 6 * 6 * 6, 0);
    chunk->buildMesh();
    EXPECT_EQ(chunk->mesh.vertCount(), 0u);
    chunk->draw();  // returns before any GL call: there is no context here
    EXPECT_FALSE(chunk->uploaded);
    EXPECT_EQ(clouds.chunks.size(), 1u);
}

}  // namespace

#include "engine/ThreadRandom.h"
#include "game/SpiderVariant.h"
#include "support/TempWorkDir.h"
#include "world/SpawnRoll.h"
#include "world/WaitForPass.h"
#include "world/World.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

// Spiders come from the world's loader threads: each new chunk rolls on its thread's own
// generator, seeded from the spawn clock and the chunk's x, and the same generator then rolls
// the spider's variant. These tests also run under ThreadSanitizer.

namespace {

double fixedSeconds = 0.0;
double fixedClock() { return fixedSeconds; }

constexpr float spiderChance = 2.0f;

// A spawn time at which the chunk column x = 0 rolls a spider and x = 1 does not.
double spawningTime() {
    for (int ms = 0; ms < 1000000; ++ms) {
        const double t = ms / 1000.0;
        if (spawnRoll(t, 0) < spiderChance && spawnRoll(t, 1) >= spiderChance) return t;
    }
    return -1.0;
}

TEST(StreamingSpawn, NewChunksSpawnASpiderWhereTheirRollFallsUnderTwoPercent) {
    ASSERT_TRUE(loadEntityInfo("entityInfo.json"));
    fixedSeconds = spawningTime();
    ASSERT_GE(fixedSeconds, 0.0);

    const struct {
        bool spawning;
        int difficulty;
        bool spawns;
    } cases[] = {{true, 1, true}, {true, 2, true}, {true, 0, false}, {false, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "spawning " << c.spawning << ", difficulty " << c.difficulty);
        testfs::TempWorkDir tmp;
        World world;
        world.setPath(tmp.path.string());
        world.spawnClock = fixedClock;
        world.spawnCreatures = c.spawning;
        world.difficulty = c.difficulty;
        ASSERT_TRUE(world.update({4.5f, 70.0f, 4.5f, 12.5f}, {0, 0, 0, 1}, 1));
        waitForPass(world);
        ASSERT_TRUE(world.loadDone);

        int spiders = 0;
        for (auto& [coords, chunk] : world.chunks) {
            const bool expected = c.spawns && spawnRoll(fixedSeconds, coords.x) < spiderChance;
            // The variant the loader's generator rolled next, replayed on this thread.
            const int variant = rollSpiderVariant();
            ASSERT_EQ(chunk->entities.size(), expected ? 1u : 0u) << coords.x << " " << coords.y;
            if (!expected) continue;
            ++spiders;
            const Entity& spider = *chunk->entities[0];
            EXPECT_EQ(spider.getName(), "Spider");
            EXPECT_FALSE(spider.isPersistent());
            EXPECT_EQ(spider.getPos(), glm::vec4(float(coords.x * 8) + 3.5f, 126.0f,
                                                float(coords.y * 8) + 3.5f, float(coords.z * 8) + 3.5f));
            EXPECT_EQ(spider.getAttributes().at("type"), variant);
        }
        EXPECT_EQ(spiders > 0, c.spawns) << "the disc holds chunks of column x = 0";
        world.freeChunks();
    }
}

TEST(StreamingSpawn, VariantsRolledOnManyThreadsFavourTheLast) {
    for (uint32_t r : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 11u, 4294967295u})
        EXPECT_EQ(spiderVariantOf(r), int(std::min(r % 6u, 4u))) << r;

    constexpr int threadCount = 4, rolls = 30000;
    std::array<std::array<int, 5>, threadCount> counts{};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&counts, t] {
            threadrandom::generator().seed(100u + unsigned(t));
            for (int i = 0; i < rolls; ++i) ++counts[t][rollSpiderVariant()];
        });
    for (std::thread& thread : threads) thread.join();

    std::array<int, 5> total{};
    for (const auto& perThread : counts)
        for (int v = 0; v < 5; ++v) total[v] += perThread[v];
    const double all = threadCount * rolls;
    for (int v = 0; v < 4; ++v) EXPECT_NEAR(total[v] / all, 1.0 / 6.0, 0.01) << v;
    EXPECT_NEAR(total[4] / all, 1.0 / 3.0, 0.01);
}

}  // namespace

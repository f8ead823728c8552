#include "world/TerrainGenerator.h"
#include "world/World.h"

#include <glm/gtc/noise.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using Blocks = TerrainGenerator::Blocks;
constexpr uint32_t SEED = 1234567890;

std::unique_ptr<Blocks> emptyBlocks() { return std::make_unique<Blocks>(); }

std::unique_ptr<Blocks> generated(const TerrainGenerator& generator, const glm::i64vec3& c) {
    auto blocks = emptyBlocks();
    generator.generateChunk(*blocks, c);
    return blocks;
}

std::unique_ptr<Blocks> terrainAndOres(const TerrainGenerator& generator, const glm::i64vec3& c) {
    auto blocks = emptyBlocks();
    generator.fillTerrain(*blocks, c);
    generator.placeOres(*blocks, c);
    return blocks;
}

// A spread of chunks: both signs on every axis, near and far from the origin.
std::vector<glm::i64vec3> sampleChunks(int count) {
    std::vector<glm::i64vec3> chunks;
    for (int i = 0; i < count; ++i)
        chunks.emplace_back((i * 37) % 101 - 50, (i * 53) % 89 - 44, (i * 71) % 97 - 48);
    chunks.emplace_back(-1, -1, -1);
    chunks.emplace_back(0, 0, 0);
    chunks.emplace_back(100000, -100000, 7);
    return chunks;
}

bool isTreeBlock(uint8_t id) {
    return id == TerrainGenerator::WOOD || id == TerrainGenerator::LEAVES ||
           id == TerrainGenerator::DESERT_WOOD || id == TerrainGenerator::DESERT_CROWN;
}

}  // namespace

TEST(TerrainHash, WidensWithSignAndAddsTheSeedWithout) {
    // Reference values worked out independently of this code.
    EXPECT_EQ(TerrainGenerator(0).hash(0, 0, 0, 0), 720020139u);
    EXPECT_EQ(TerrainGenerator(SEED).hash(-1, 0, 0, 0), 515237809u);
    EXPECT_EQ(TerrainGenerator(SEED).hash(255, 0, 0, 0), 1049475646u);
    EXPECT_EQ(TerrainGenerator(SEED).hash(1, 2, 3, 4), 2995998187u);
    EXPECT_EQ(TerrainGenerator(4000000000u).hash(-7, 300, -2, 5), 2328426172u);
    EXPECT_EQ(TerrainGenerator(99).hash(2147483647, -2147483647 - 1, 7, -9), 2471460806u);
}

TEST(TerrainHash, RemainderUsesTheLow30BitsAndSpreadStaysInItsRange) {
    EXPECT_EQ(TerrainGenerator::remainder(0xC0000005u, 7), 5u);
    EXPECT_EQ(TerrainGenerator::remainder(0x40000000u, 3), 0u);
    for (uint32_t h = 0; h < 64; ++h) {
        const uint32_t mixed = h * 0x9E3779B9u;
        for (int t = 2; t <= 5; ++t) {
            const int moved = TerrainGenerator::spread(t, mixed);
            EXPECT_GE(moved, 2);
            EXPECT_LE(moved, 5);
            EXPECT_LE(std::abs(moved - t), 1);
        }
        EXPECT_GE(TerrainGenerator::spread(0, mixed), 0);
        EXPECT_LE(TerrainGenerator::spread(0, mixed), 1);
        EXPECT_GE(TerrainGenerator::spread(7, mixed), 6);
    }
}

TEST(TerrainGeneration, SameChunkGivesTheSameBytesOnEveryThread) {
    const TerrainGenerator generator(SEED);
    const std::vector<glm::i64vec3> chunks = sampleChunks(6);
    std::vector<std::unique_ptr<Blocks>> reference;
    for (const auto& c : chunks) reference.push_back(generated(generator, c));

    constexpr int THREADS = 4;
    std::vector<std::vector<std::unique_ptr<Blocks>>> results(THREADS);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t)
        threads.emplace_back([&, t] {
            // Each thread walks the chunks in another order, all at the same time.
            for (size_t n = 0; n < chunks.size(); ++n) results[t].push_back(nullptr);
            for (size_t n = 0; n < chunks.size(); ++n) {
                const size_t i = (n + size_t(t)) % chunks.size();
                results[t][i] = generated(TerrainGenerator(SEED), chunks[i]);
            }
        });
    for (auto& thread : threads) thread.join();

    for (int t = 0; t < THREADS; ++t)
        for (size_t i = 0; i < chunks.size(); ++i)
            EXPECT_TRUE(*results[t][i] == *reference[i]) << "thread " << t << " chunk " << i;
}

TEST(TerrainGeneration, SurfaceLiesBetween32And96AndTheDesertIsFlat) {
    int desertColumns = 0, hillColumns = 0, highestDesert = 0, highestHill = 0, lowest = 127;
    for (int64_t i = 0; i < 4000; ++i) {
        const float wx = float((i * 7919) % 6000 - 3000);
        const float wz = float((i * 104729) % 6000 - 3000);
        const float ww = float((i * 1299709) % 6000 - 3000);
        const TerrainGenerator::Column column = TerrainGenerator::column(wx, wz, ww);
        const float b = TerrainGenerator::biome(wx, wz, ww);
        lowest = std::min(lowest, column.height);
        ASSERT_GE(column.height, 32);
        ASSERT_LE(column.height, 96);
        EXPECT_EQ(column.desert, b < 0.4f);
        if (b <= 0.4f) {
            ++desertColumns;
            highestDesert = std::max(highestDesert, column.height);
        } else if (b >= 0.5f) {
            ++hillColumns;
            highestHill = std::max(highestHill, column.height);
        }
    }
    EXPECT_GT(desertColumns, 100);
    EXPECT_GT(hillColumns, 100);
    EXPECT_LE(highestDesert, 32 + 21);  // the desert spans only 21 blocks
    EXPECT_GT(highestHill, 80);         // hills reach well above it
    EXPECT_LT(lowest, 40);
}

TEST(TerrainGeneration, ColumnsAreLayeredBelowTheSurfaceWithCaves) {
    const TerrainGenerator generator(SEED);
    long solid = 0, caves = 0;
    for (const auto& c : sampleChunks(4)) {
        auto blocks = emptyBlocks();
        generator.fillTerrain(*blocks, c);
        for (int x = 0; x < 8; ++x)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w) {
                    const auto column = TerrainGenerator::column(
                        float(c.x * 8 + x), float(c.y * 8 + z), float(c.z * 8 + w));
                    for (int y = 0; y < 128; ++y) {
                        const uint8_t id = (*blocks)[Chunk::index(x, y, z, w)];
                        const int depth = column.height - y;
                        if (depth < 0) {
                            ASSERT_EQ(id, 0) << "above the surface at y " << y;
                            continue;
                        }
                        if (id == 0) {
                            ++caves;
                            continue;
                        }
                        ++solid;
                        uint8_t expected = 3;
                        if (depth == 0) expected = column.desert ? 10 : 1;
                        else if (depth <= 3) expected = column.desert ? 11 : 2;
                        else if (depth <= 9) expected = column.desert ? 12 : 3;
                        ASSERT_EQ(id, expected) << "depth " << depth;
                    }
                }
    }
    EXPECT_GT(caves, 0);
    EXPECT_GT(solid, caves * 3);  // caves are hollows in solid ground, not the rule
}

TEST(TerrainGeneration, OresReplaceOnlyStoneOffEveryThirdIndex) {
    const TerrainGenerator generator(SEED);
    long ores = 0, rareOres = 0;
    for (const auto& c : sampleChunks(25)) {
        auto before = emptyBlocks();
        generator.fillTerrain(*before, c);
        auto after = terrainAndOres(generator, c);
        for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) {
            if ((*before)[i] == (*after)[i]) continue;
            const int y = (i / 64) % 128;
            ASSERT_EQ((*before)[i], TerrainGenerator::STONE) << "index " << i;
            ASSERT_NE(i % 3, 0) << "index " << i;
            ASSERT_TRUE((*after)[i] == TerrainGenerator::ORE || (*after)[i] == TerrainGenerator::RARE_ORE);
            ASSERT_LE(y, 50);
            if ((*after)[i] == TerrainGenerator::RARE_ORE) {
                ASSERT_LT(y, 20);
                ++rareOres;
            } else {
                ++ores;
            }
        }
    }
    EXPECT_GT(ores, 20);
    EXPECT_GT(rareOres, 0);
}

TEST(TerrainGeneration, TreesGrowFromTheTrunkColumnAndStayInTheChunk) {
    const TerrainGenerator generator(SEED);
    const auto chunks = sampleChunks(70);
    int withTree = 0;
    for (const auto& c : chunks) {
        auto base = terrainAndOres(generator, c);
        auto full = generated(generator, c);
        const bool tree = generator.hasTree(c);
        const bool desert = generator.isDesertChunk(c);
        const uint8_t wood = desert ? TerrainGenerator::DESERT_WOOD : TerrainGenerator::WOOD;
        const uint8_t crown = desert ? TerrainGenerator::DESERT_CROWN : TerrainGenerator::LEAVES;
        int woodCells = 0;
        for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) {
            if ((*base)[i] == (*full)[i]) continue;
            ASSERT_TRUE(tree) << "a chunk without a tree changed at " << i;
            const int x = i / (128 * 64), z = (i / 8) % 8, w = i % 8;
            if ((*full)[i] == wood) {
                ++woodCells;
                ASSERT_TRUE(x >= 2 && x <= 5 && z >= 2 && z <= 5 && w >= 2 && w <= 5)
                    << "wood at " << x << " " << z << " " << w;
            } else {
                ASSERT_EQ((*full)[i], crown);
                ASSERT_EQ((*base)[i], 0) << "a crown only fills air";
                ASSERT_NE(i % 5, 0);
            }
        }
        if (!tree) continue;
        ++withTree;
        EXPECT_GE(woodCells, 4);
        // The trunk stands on the top solid block of its column, at local 3 or 4.
        const auto k = glm::ivec3(c);
        const int tx = int(generator.hash(0, k.x, k.y, k.z) & 1) + 3;
        const int tz = int(generator.hash(k.x, k.y, 0, k.z) & 1) + 3;
        const int tw = int(generator.hash(k.x, k.y, k.z, 0) & 1) + 3;
        int y0 = 127;
        while (y0 > 0 && (*base)[Chunk::index(tx, y0, tz, tw)] == 0) --y0;
        EXPECT_EQ((*full)[Chunk::index(tx, y0, tz, tw)], wood);
    }
    EXPECT_GT(withTree, int(chunks.size()) * 15 / 100);  // about 30 %
    EXPECT_LT(withTree, int(chunks.size()) * 45 / 100);
}

TEST(TerrainGeneration, TreeOverAllCaveColumnGrowsFromTheBottom) {
    const TerrainGenerator generator(SEED);
    auto blocks = emptyBlocks();
    generator.placeTree(*blocks, {2, 3, 4}, false);
    const int tx = int(generator.hash(0, 2, 3, 4) & 1) + 3;
    const int tz = int(generator.hash(2, 3, 0, 4) & 1) + 3;
    const int tw = int(generator.hash(2, 3, 4, 0) & 1) + 3;
    EXPECT_EQ((*blocks)[Chunk::index(tx, 0, tz, tw)], TerrainGenerator::WOOD);
    EXPECT_EQ((*blocks)[Chunk::index(tx, 1, tz, tw)], TerrainGenerator::WOOD);
}

TEST(TerrainGeneration, DesertTreesUseDesertBlocks) {
    const TerrainGenerator generator(SEED);
    auto blocks = emptyBlocks();
    generator.placeTree(*blocks, {5, -6, 7}, true);
    int desertWood = 0, crown = 0, other = 0;
    for (uint8_t id : *blocks) {
        if (id == TerrainGenerator::DESERT_WOOD) ++desertWood;
        else if (id == TerrainGenerator::DESERT_CROWN) ++crown;
        else if (id != 0) ++other;
    }
    EXPECT_GE(desertWood, 4 + 5);  // a trunk of at least 4 and one branch of at least 5
    EXPECT_GT(crown, 0);
    EXPECT_EQ(other, 0);
}

TEST(TerrainGeneration, AnotherSeedMovesOresAndTreesButNotTheGround) {
    const TerrainGenerator first(SEED), second(SEED + 1);
    int chunksDiffering = 0;
    for (const auto& c : sampleChunks(30)) {
        auto a = generated(first, c);
        auto b = generated(second, c);
        bool differs = false;
        for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) {
            const uint8_t x = (*a)[i], y = (*b)[i];
            if (x == y) continue;
            differs = true;
            // Where the two worlds differ, one of them holds an ore or a tree there.
            const bool explained = x == 7 || x == 8 || y == 7 || y == 8 || isTreeBlock(x) ||
                                   isTreeBlock(y);
            ASSERT_TRUE(explained) << "ground differs at " << i << ": " << int(x) << " vs " << int(y);
        }
        chunksDiffering += differs;
    }
    EXPECT_GT(chunksDiffering, 20);
}

TEST(TerrainGeneration, WorldKeepsGeneratedChunksOnlyWhenAskedTo) {
    World world;
    Chunk plain({1, 2, 3});
    world.generateChunk(&plain);
    EXPECT_TRUE(plain.unchanged);
    EXPECT_TRUE(plain.blocks == *generated(TerrainGenerator(world.seed), {1, 2, 3}));

    world.saveGenerated = true;
    Chunk kept({1, 2, 3});
    world.generateChunk(&kept);
    EXPECT_FALSE(kept.unchanged);
}

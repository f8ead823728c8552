#include "world/TerrainGenerator.h"
#include "world/World.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using TG = TerrainGenerator;
using Blocks = TG::Blocks;
constexpr uint32_t SEED = 1234567890;

enum Stage { TERRAIN, ORES, WHOLE };

// One chunk generated up to and including a stage (the tree comes last).
std::unique_ptr<Blocks> generated(const TG& generator, const glm::i64vec3& c, Stage upTo = WHOLE) {
    auto blocks = std::make_unique<Blocks>();
    if (upTo == WHOLE) {
        generator.generateChunk(*blocks, c);
        return blocks;
    }
    generator.fillTerrain(*blocks, c);
    if (upTo == ORES) generator.placeOres(*blocks, c);
    return blocks;
}

// A spread of chunks: both signs on every axis, near and far from the origin.
std::vector<glm::i64vec3> sampleChunks(int count) {
    std::vector<glm::i64vec3> chunks{{-1, -1, -1}, {0, 0, 0}, {100000, -100000, 7}};
    for (int i = 0; i < count; ++i)
        chunks.emplace_back((i * 37) % 101 - 50, (i * 53) % 89 - 44, (i * 71) % 97 - 48);
    return chunks;
}

// The trunk column of a chunk's tree: local x, z, w of 3 or 4.
glm::ivec3 trunkOf(const TG& generator, const glm::ivec3& k) {
    return glm::ivec3(generator.hash(0, k.x, k.y, k.z) & 1, generator.hash(k.x, k.y, 0, k.z) & 1,
                      generator.hash(k.x, k.y, k.z, 0) & 1) + 3;
}

bool isTreeBlock(uint8_t id) {
    return id == TG::WOOD || id == TG::LEAVES || id == TG::DESERT_WOOD || id == TG::DESERT_CROWN;
}

TEST(TerrainHash, WidensWithSignAddsTheSeedAndMasksRemainders) {
    // Reference values worked out independently of this code.
    EXPECT_EQ(TG(0).hash(0, 0, 0, 0), 720020139u);
    EXPECT_EQ(TG(SEED).hash(-1, 0, 0, 0), 515237809u);
    EXPECT_EQ(TG(SEED).hash(255, 0, 0, 0), 1049475646u);
    EXPECT_EQ(TG(SEED).hash(1, 2, 3, 4), 2995998187u);
    EXPECT_EQ(TG(4000000000u).hash(-7, 300, -2, 5), 2328426172u);
    EXPECT_EQ(TG(99).hash(2147483647, -2147483647 - 1, 7, -9), 2471460806u);
    EXPECT_EQ(TG::remainder(0xC0000005u, 7), 5u);
    EXPECT_EQ(TG::remainder(0x40000000u, 3), 0u);
}

TEST(TerrainGeneration, SameChunkGivesTheSameBytesOnEveryThread) {
    const std::vector<glm::i64vec3> chunks = sampleChunks(3);
    std::vector<std::unique_ptr<Blocks>> reference;
    for (const auto& c : chunks) reference.push_back(generated(TG(SEED), c));

    // Each thread walks the chunks in another order, all at the same time.
    constexpr size_t THREADS = 4;
    std::vector<std::vector<std::unique_ptr<Blocks>>> results(THREADS);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < THREADS; ++t) {
        results[t].resize(chunks.size());
        threads.emplace_back([&, t] {
            for (size_t n = 0; n < chunks.size(); ++n) {
                const size_t i = (n + t) % chunks.size();
                results[t][i] = generated(TG(SEED), chunks[i]);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (size_t t = 0; t < THREADS; ++t)
        for (size_t i = 0; i < chunks.size(); ++i)
            EXPECT_TRUE(*results[t][i] == *reference[i]) << "thread " << t << " chunk " << i;
}

TEST(TerrainGeneration, SurfaceLiesBetween32And96AndTheDesertIsFlat) {
    int desertColumns = 0, hillColumns = 0, highestDesert = 0, highestHill = 0, lowest = 127;
    for (int64_t i = 0; i < 4000; ++i) {
        const float wx = float((i * 7919) % 6000 - 3000), wz = float((i * 104729) % 6000 - 3000),
                    ww = float((i * 1299709) % 6000 - 3000);
        const TG::Column column = TG::column(wx, wz, ww);
        const float b = TG::biome(wx, wz, ww);
        ASSERT_GE(column.height, 32);
        ASSERT_LE(column.height, 96);
        EXPECT_EQ(column.desert, b < 0.4f);
        lowest = std::min(lowest, column.height);
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
    long solid = 0, caves = 0;
    for (const auto& c : sampleChunks(4)) {
        auto blocks = generated(TG(SEED), c, TERRAIN);
        for (int x = 0; x < 8; ++x)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w) {
                    const glm::vec3 at = glm::vec3(c * int64_t(8)) + glm::vec3(x, z, w);
                    const auto column = TG::column(at.x, at.y, at.z);
                    const uint8_t d = column.desert ? 9 : 0;  // desert ids are 9 above
                    const uint8_t layers[4] = {uint8_t(1 + d), uint8_t(2 + d), uint8_t(3 + d), 3};
                    for (int y = 0; y < 128; ++y) {
                        const uint8_t id = (*blocks)[Chunk::index(x, y, z, w)];
                        const int depth = column.height - y;
                        if (depth < 0 || id == 0) {
                            ASSERT_TRUE(depth >= 0 || id == 0) << "above the surface at y " << y;
                            caves += depth >= 0;
                            continue;
                        }
                        ++solid;
                        ASSERT_EQ(id, layers[depth == 0 ? 0 : depth <= 3 ? 1 : depth <= 9 ? 2 : 3])
                            << "depth " << depth;
                    }
                }
    }
    EXPECT_GT(caves, 0);
    EXPECT_GT(solid, caves * 3);  // caves are hollows in solid ground, not the rule
}

TEST(TerrainGeneration, OresReplaceOnlyStoneOffEveryThirdIndex) {
    const TG generator(SEED);
    long ores = 0, rareOres = 0;
    for (const auto& c : sampleChunks(25)) {
        auto before = generated(generator, c, TERRAIN);
        auto after = generated(generator, c, ORES);
        for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) {
            const uint8_t id = (*after)[i];
            if ((*before)[i] == id) continue;
            const int y = (i / 64) % 128;
            ASSERT_EQ((*before)[i], TG::STONE) << "index " << i;
            ASSERT_NE(i % 3, 0) << "index " << i;
            ASSERT_TRUE(id == TG::ORE || (id == TG::RARE_ORE && y < 20)) << int(id) << " y " << y;
            ASSERT_LE(y, 50);
            (id == TG::ORE ? ores : rareOres) += 1;
        }
    }
    EXPECT_GT(ores, 20);
    EXPECT_GT(rareOres, 0);
}

TEST(TerrainGeneration, TreesGrowFromTheTrunkColumnAndStayInTheChunk) {
    const TG generator(SEED);
    const auto chunks = sampleChunks(70);
    int withTree = 0;
    for (const auto& c : chunks) {
        auto base = generated(generator, c, ORES);
        auto full = generated(generator, c);
        const bool tree = generator.hasTree(c), desert = generator.isDesertChunk(c);
        const uint8_t wood = desert ? TG::DESERT_WOOD : TG::WOOD;
        const uint8_t crown = desert ? TG::DESERT_CROWN : TG::LEAVES;
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
        // The trunk stands on the top solid block of its column.
        const glm::ivec3 t = trunkOf(generator, c);
        int y0 = 127;
        while (y0 > 0 && (*base)[Chunk::index(t.x, y0, t.y, t.z)] == 0) --y0;
        EXPECT_EQ((*full)[Chunk::index(t.x, y0, t.y, t.z)], wood);
    }
    EXPECT_GT(withTree, int(chunks.size()) * 15 / 100);  // about 30 %
    EXPECT_LT(withTree, int(chunks.size()) * 45 / 100);
}

// Placed into air only, as in a column that is all cave: the tree grows from y 0.
TEST(TerrainGeneration, TreeOverAllCaveColumnGrowsFromTheBottomInItsBiomesBlocks) {
    const TG generator(SEED);
    for (bool desert : {false, true}) {
        SCOPED_TRACE(desert ? "desert" : "hills");
        Blocks blocks{};
        generator.placeTree(blocks, {5, -6, 7}, desert);
        const glm::ivec3 t = trunkOf(generator, {5, -6, 7});
        const uint8_t wood = desert ? TG::DESERT_WOOD : TG::WOOD;
        EXPECT_EQ(blocks[Chunk::index(t.x, 0, t.y, t.z)], wood);
        EXPECT_EQ(blocks[Chunk::index(t.x, 1, t.y, t.z)], wood);
        auto count = [&](uint8_t id) { return std::count(blocks.begin(), blocks.end(), id); };
        const long crown = count(desert ? TG::DESERT_CROWN : TG::LEAVES);
        EXPECT_GE(count(wood), desert ? 4 + 5 : 4 + 3);  // a trunk of at least 4 and a branch
        EXPECT_GT(crown, 0);
        EXPECT_EQ(count(0) + count(wood) + crown, Chunk::BLOCK_COUNT);
    }
}

TEST(TerrainGeneration, AnotherSeedMovesOresAndTreesButNotTheGround) {
    int chunksDiffering = 0;
    for (const auto& c : sampleChunks(30)) {
        auto a = generated(TG(SEED), c);
        auto b = generated(TG(SEED + 1), c);
        bool differs = false;
        for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) {
            const uint8_t x = (*a)[i], y = (*b)[i];
            if (x == y) continue;
            differs = true;
            // Where the two worlds differ, one of them holds an ore or a tree there.
            ASSERT_TRUE(x == 7 || x == 8 || y == 7 || y == 8 || isTreeBlock(x) || isTreeBlock(y))
                << "ground differs at " << i << ": " << int(x) << " vs " << int(y);
        }
        chunksDiffering += differs;
    }
    EXPECT_GT(chunksDiffering, 20);
}

// FNV-1a, 64 bits, of the block bytes.
uint64_t checksum(const Blocks& blocks) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : blocks) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Unedited chunks are generated anew on every load, so these bytes are what every saved world
// holds: any change to the generator moves the trees and ores of existing worlds and leaves
// seams against their stored chunks. A faster generator must give exactly these checksums.
TEST(TerrainGeneration, ChunksOfFixedSeedsAndCoordinatesKeepTheirExactBlocks) {
    struct Golden {
        uint32_t seed;
        glm::i64vec3 coords;
        bool tree, desert;
        uint64_t checksum;
        const char* what;
    };
    const Golden cases[] = {
        {SEED, {0, 0, 0}, false, true, 0x710edd2fe9ce15aaull, "origin, desert"},
        {SEED, {16, -13, 5}, false, false, 0x73e1a84afb8d0fa4ull, "where a new player spawns"},
        {SEED, {-1, -1, -1}, false, false, 0x8961325e64f90cd2ull, "negative coordinates"},
        {SEED, {-12, -9, -7}, true, false, 0xe4a5d45edd946f69ull, "a tree in the hills"},
        {SEED, {5, -6, 7}, true, true, 0xf92313acef934887ull, "a desert tree"},
        {SEED, {-3, 0, 12}, false, true, 0xdbe7c1c6fd65ae5cull, "desert"},
        {SEED, {100000, -100000, 7}, false, false, 0x8b82beadedf784dcull, "far out: coarse floats"},
        {42, {0, 0, 0}, false, true, 0xb61a40f6268666c7ull, "origin, desert"},
        {42, {16, -13, 5}, false, false, 0x4e3909afd2141db4ull, "spawn"},
        {42, {-1, -1, -1}, true, false, 0xcb89215783a29bd2ull, "a tree in the hills"},
        {42, {-12, -9, -7}, true, false, 0x25b06b49f6c8731cull, "a tree in the hills"},
        {42, {5, -6, 7}, false, true, 0x7e51bff7d4ee01fbull, "desert"},
        {42, {-3, 0, 12}, true, true, 0x4fd4b60faf78f8c7ull, "a desert tree"},
        {42, {100000, -100000, 7}, false, false, 0x09ae9e8887feffc2ull, "far out"},
    };
    long rareOreCells = 0;
    for (const Golden& c : cases) {
        SCOPED_TRACE(::testing::Message() << "seed " << c.seed << ", chunk (" << c.coords.x << ", "
                                          << c.coords.y << ", " << c.coords.z << "): " << c.what);
        World world;
        world.seed = c.seed;
        Chunk chunk(c.coords);
        world.generateChunk(&chunk);
        EXPECT_EQ(checksum(chunk.blocks), c.checksum)
            << std::hex << "0x" << checksum(chunk.blocks) << "ull";
        const TG generator(c.seed);
        EXPECT_EQ(generator.hasTree(c.coords), c.tree);
        EXPECT_EQ(generator.isDesertChunk(c.coords), c.desert);
        rareOreCells += std::count(chunk.blocks.begin(), chunk.blocks.end(), TG::RARE_ORE);
    }
    EXPECT_GT(rareOreCells, 0);
}

TEST(TerrainGeneration, WorldKeepsGeneratedChunksOnlyWhenAskedTo) {
    World world;
    Chunk plain({1, 2, 3}), kept({1, 2, 3});
    world.generateChunk(&plain);
    EXPECT_TRUE(plain.unchanged);
    EXPECT_TRUE(plain.blocks == *generated(TG(world.seed), {1, 2, 3}));
    world.saveGenerated = true;
    world.generateChunk(&kept);
    EXPECT_FALSE(kept.unchanged);
}

}  // namespace

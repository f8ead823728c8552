#pragma once

#include "world/Chunk.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>

// Fills a chunk from noise and hashes. Heights and caves depend on the world position only;
// ores and trees also on the seed. Everything is a pure function of (seed, chunk coordinates),
// so any thread may generate any chunk and always gets the same bytes.
class TerrainGenerator {
public:
    using Blocks = std::array<uint8_t, Chunk::BLOCK_COUNT>;

    // Block ids the generator writes.
    static constexpr uint8_t SURFACE = 1, SUBSOIL = 2, STONE = 3, WOOD = 4, LEAVES = 5;
    static constexpr uint8_t ORE = 7, RARE_ORE = 8;
    static constexpr uint8_t DESERT_SURFACE = 10, DESERT_SUBSOIL = 11, DESERT_DEEP = 12;
    static constexpr uint8_t DESERT_WOOD = 13, DESERT_CROWN = 14;

    explicit TerrainGenerator(uint32_t seed) : seed(seed) {}

    // 64-bit key of four sign-widened integers and the seed, folded to 32 bits.
    uint32_t hash(int32_t p, int32_t q, int32_t r, int32_t s) const;
    // "h % m" as generation means it: the low 30 bits of h modulo m.
    static uint32_t remainder(uint32_t h, uint32_t m) { return (h & 0x3FFFFFFFu) % m; }
    // Moves a local coordinate by -1, 0 or +1 so that 2..5 stays in 2..5.
    static int spread(int t, uint32_t h);

    // A column of the world at (wx, wz, ww): surface height H (0..127) and biome.
    struct Column {
        int height;
        bool desert;
    };
    static Column column(float wx, float wz, float ww);
    // Biome value b (desert below 0.4).
    static float biome(float wx, float wz, float ww);

    // The whole chunk: terrain, ores, then maybe one tree. blocks must be all air.
    void generateChunk(Blocks& blocks, const glm::i64vec3& coords) const;

    // The stages of generateChunk, public so that each can be checked on its own.
    void fillTerrain(Blocks& blocks, const glm::i64vec3& coords) const;
    void placeOres(Blocks& blocks, const glm::i64vec3& coords) const;
    bool hasTree(const glm::i64vec3& coords) const;
    bool isDesertChunk(const glm::i64vec3& coords) const;
    void placeTree(Blocks& blocks, const glm::i64vec3& coords, bool desert) const;
    void growBranch(Blocks& blocks, const glm::i64vec3& coords, glm::ivec4 start, int depth,
                    bool desert) const;

private:
    uint32_t seed;
};

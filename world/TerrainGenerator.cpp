#include "world/TerrainGenerator.h"

#include "world/SimplexNoise.h"
#include "world/World.h"

#include <glm/gtc/noise.hpp>

#include <algorithm>

namespace {

constexpr int SIZE = Chunk::SIZE;
constexpr int HEIGHT = Chunk::HEIGHT;
constexpr int ORE_BLOBS = 9;

// Chunk coordinates enter the hash as 32-bit integers.
struct ChunkKey {
    int32_t x, z, w;
    explicit ChunkKey(const glm::i64vec3& c) : x(int32_t(c.x)), z(int32_t(c.y)), w(int32_t(c.z)) {}
};

bool inChunk(int x, int y, int z, int w) {
    return x >= 0 && x < SIZE && y >= 0 && y < HEIGHT && z >= 0 && z < SIZE && w >= 0 && w < SIZE;
}

uint8_t groundBlock(int depth, bool desert) {
    if (depth == 0) return desert ? TerrainGenerator::DESERT_SURFACE : TerrainGenerator::SURFACE;
    if (depth <= 3) return desert ? TerrainGenerator::DESERT_SUBSOIL : TerrainGenerator::SUBSOIL;
    if (depth <= 9) return desert ? TerrainGenerator::DESERT_DEEP : TerrainGenerator::STONE;
    return TerrainGenerator::STONE;
}

}  // namespace

uint32_t TerrainGenerator::hash(int32_t p, int32_t q, int32_t r, int32_t s) const {
    // Sign-widened coordinates, wrapping unsigned arithmetic, the seed widened without sign.
    auto widen = [](int32_t v) { return uint64_t(int64_t(v)); };
    uint64_t key = (((widen(p) * 256 + widen(q)) * 256 + widen(r)) * 256 + widen(s)) * 256;
    key += uint64_t(seed);

    key = ~key + (key << 18);
    key ^= key >> 31;
    key *= 21;
    key ^= key >> 11;
    key *= 65;
    key ^= key >> 22;
    return uint32_t(key);
}

int TerrainGenerator::spread(int t, uint32_t h) {
    const int lo = t >= 3 ? -1 : 0;
    const int hi = t < 5 ? 1 : 0;
    return t + lo + int(remainder(h, uint32_t(hi - lo + 1)));
}

float TerrainGenerator::biome(float wx, float wz, float ww) {
    return (glm::simplex(glm::vec3(wx / 256.0f, wz / 256.0f, ww / 256.0f)) + 1.0f) / 2.0f;
}

TerrainGenerator::Column TerrainGenerator::column(float wx, float wz, float ww) {
    const float hn = glm::simplex(glm::vec3(wx / 64.0f, wz / 64.0f, ww / 64.0f));
    const float b = biome(wx, wz, ww);
    const float t = glm::clamp((b - 0.4f) / 0.1f, 0.0f, 1.0f);
    const int low = int((hn + 1.0f) / 2.0f * 21.0f + 32.0f);
    const int high = int((hn + 1.0f) / 2.0f * 64.0f + 32.0f);
    const int h = int(float(low) * (1.0f - t) + float(high) * t);
    return {std::min(h, HEIGHT - 1), b < 0.4f};
}

void TerrainGenerator::generateChunk(Blocks& blocks, const glm::i64vec3& coords) const {
    fillTerrain(blocks, coords);
    placeOres(blocks, coords);
    if (hasTree(coords)) placeTree(blocks, coords, isDesertChunk(coords));
}

void TerrainGenerator::fillTerrain(Blocks& blocks, const glm::i64vec3& coords) const {
    for (int x = 0; x < SIZE; ++x)
        for (int z = 0; z < SIZE; ++z)
            for (int w = 0; w < SIZE; ++w) {
                const float wx = float(coords.x * SIZE + x);
                const float wz = float(coords.y * SIZE + z);
                const float ww = float(coords.z * SIZE + w);
                const auto [height, desert] = column(wx, wz, ww);
                for (int y = 0; y <= height; ++y) {
                    const glm::vec4 p(wx / 64.0f, float(y) / 64.0f, wz / 64.0f, ww / 64.0f);
                    if (simplexNoise(p) > 0.5f) continue;  // cave
                    blocks[Chunk::index(x, y, z, w)] = groundBlock(height - y, desert);
                }
            }
}

void TerrainGenerator::placeOres(Blocks& blocks, const glm::i64vec3& coords) const {
    const ChunkKey c(coords);
    int px = int(hash(0, c.x, c.z, c.w) & 7);
    int py = int(remainder(hash(c.x, 0, c.z, c.w), 51));
    int pz = int(hash(c.x, c.z, 0, c.w) & 7);
    int pw = int(hash(c.x, c.z, c.w, 0) & 7);

    for (int blob = 0; blob < ORE_BLOBS; ++blob) {
        const int x = int(hash(py, px, pz, pw) & 7);
        const int y = int(remainder(hash(px, py, pz, pw), 51));
        const int z = int(hash(px, pz, py, pw) & 7);
        const int w = int(hash(px, pz, pw, py) & 7);
        const uint8_t ore = (y < 20 && remainder(hash(x, y, z, w), 11) < 4) ? RARE_ORE : ORE;

        for (int ox = std::max(x - 1, 0); ox <= x; ++ox)
            for (int oy = std::max(y - 1, 0); oy <= y; ++oy)
                for (int oz = std::max(z - 1, 0); oz <= z; ++oz)
                    for (int ow = std::max(w - 1, 0); ow <= w; ++ow) {
                        const int i = Chunk::index(ox, oy, oz, ow);
                        if (blocks[i] == STONE && i % 3 != 0) blocks[i] = ore;
                    }
        px = x;
        py = y;
        pz = z;
        pw = w;
    }
}

bool TerrainGenerator::hasTree(const glm::i64vec3& coords) const {
    const ChunkKey c(coords);
    return remainder(hash(c.x, c.z, c.w, 0), 10) + 1 <= 3;
}

bool TerrainGenerator::isDesertChunk(const glm::i64vec3& coords) const {
    // The biome of the chunk's centre column.
    return biome(float(coords.x * SIZE + 4), float(coords.y * SIZE + 4),
                 float(coords.z * SIZE + 4)) < 0.4f;
}

void TerrainGenerator::placeTree(Blocks& blocks, const glm::i64vec3& coords, bool desert) const {
    const ChunkKey c(coords);
    int tx = int(hash(0, c.x, c.z, c.w) & 1) + 3;
    int tz = int(hash(c.x, c.z, 0, c.w) & 1) + 3;
    int tw = int(hash(c.x, c.z, c.w, 0) & 1) + 3;

    int y = HEIGHT - 1;
    while (y > 0 && blocks[Chunk::index(tx, y, tz, tw)] == 0) --y;
    const int y0 = y;

    const int height = int(remainder(hash(tx, y0, tz, tw), 5)) + 4;
    const uint8_t wood = desert ? DESERT_WOOD : WOOD;
    for (y = y0; y - y0 < height && y < HEIGHT; ++y) {
        blocks[Chunk::index(tx, y, tz, tw)] = wood;
        if ((y - y0) % 2 == 1) {
            tx = spread(tx, hash(y, c.x, c.z, c.w));
            tz = spread(tz, hash(c.x, c.z, y, c.w));
            tw = spread(tw, hash(c.x, c.z, c.w, y));
        }
    }

    const int y1 = y;  // the level above the last wood block
    const int branches = int(remainder(hash(tx, y1, tz, tw), 3)) + (desert ? 1 : 3);
    for (int b = 0; b < branches; ++b) {
        const glm::ivec4 start(spread(tx, hash(y1 + b, c.x, c.z, c.w)), y1,
                               spread(tz, hash(c.x, c.z, y1 + b, c.w)),
                               spread(tw, hash(c.x, c.z, c.w, y1 + b)));
        growBranch(blocks, coords, start, 1, desert);
    }
}

void TerrainGenerator::growBranch(Blocks& blocks, const glm::i64vec3& coords, glm::ivec4 start,
                                  int depth, bool desert) const {
    const ChunkKey c(coords);
    int x = start.x, y = start.y, z = start.z, w = start.w;
    const uint32_t h0 = hash(x, y, z, w);
    const int length = desert ? int(remainder(h0, 6)) + 5 : int(h0 & 3) + 3;
    int sideBranches = depth > 0 ? int(remainder(h0, 3)) : 0;
    const uint8_t wood = desert ? DESERT_WOOD : WOOD;

    for (int step = 0; step < length && y < HEIGHT; ++step) {
        if (inChunk(x, y, z, w)) blocks[Chunk::index(x, y, z, w)] = wood;
        x = spread(x, hash(y, c.x, c.z, c.w));
        z = spread(z, hash(c.x, c.z, y, c.w));
        w = spread(w, hash(c.x, c.z, c.w, y));
        ++y;
        if (sideBranches > 0 && remainder(hash(x, y, z, w), 3) == 2) {
            const glm::ivec4 side(spread(x, hash(y, c.x, c.z, c.w)), y + 1,
                                  spread(z, hash(c.x, c.z, y, c.w)),
                                  spread(w, hash(c.x, c.z, c.w, y)));
            growBranch(blocks, coords, side, depth - 1, desert);
            --sideBranches;
        }
    }

    // The crown fills air only, leaving out every fifth cell by index so it looks ragged.
    auto crownCell = [&](int cx, int cy, int cz, int cw, uint8_t id) {
        if (!inChunk(cx, cy, cz, cw)) return;
        const int i = Chunk::index(cx, cy, cz, cw);
        if (blocks[i] == 0 && i % 5 != 0) blocks[i] = id;
    };
    if (!desert) {
        const int top = std::min(y + 2, HEIGHT - 1);
        for (int cx = x - 2; cx <= x + 1; ++cx)
            for (int cy = y - 2; cy < top; ++cy)
                for (int cz = z - 2; cz <= z + 1; ++cz)
                    for (int cw = w - 2; cw <= w + 1; ++cw) crownCell(cx, cy, cz, cw, LEAVES);
        return;
    }
    // Desert crown: a wide layer two below the tip, a small one at the tip, one cell on top.
    const int layers[3][2] = {{y - 2, 2}, {y, 1}, {y + 2, 0}};
    for (const auto& [layerY, reach] : layers)
        for (int cx = x - reach; cx <= x + reach; ++cx)
            for (int cz = z - reach; cz <= z + reach; ++cz)
                for (int cw = w - reach; cw <= w + reach; ++cw)
                    crownCell(cx, layerY, cz, cw, DESERT_CROWN);
}

void World::generateChunk(Chunk* chunk) {
    // A world that keeps generated chunks (the title screen's) stores them with their blocks.
    if (saveGenerated) chunk->unchanged = false;
    TerrainGenerator(seed).generateChunk(chunk->blocks, chunk->coords);
}

#pragma once

#include "world/Chunk.h"

#include <cmath>
#include <memory>

// Blocks resembling generated land: rolling surface around y 64, grass over dirt over stone,
// a few ore cells and cave pockets. Deterministic, so runs compare.
inline void fillTypicalTerrain(Chunk& chunk) {
    for (int x = 0; x < 8; ++x)
        for (int z = 0; z < 8; ++z)
            for (int w = 0; w < 8; ++w) {
                float wx = float(chunk.coords.x * 8 + x), wz = float(chunk.coords.y * 8 + z),
                      ww = float(chunk.coords.z * 8 + w);
                int h = 64 + int(6.0f * std::sin(wx * 0.31f + ww * 0.17f) +
                                 4.0f * std::cos(wz * 0.23f - ww * 0.11f));
                for (int y = 0; y <= h; ++y) {
                    int d = h - y;
                    uint8_t id = d == 0 ? 1 : d <= 3 ? 2 : 3;
                    unsigned hash = unsigned(x * 73856093 ^ y * 19349663 ^ z * 83492791 ^ w * 2654435761u);
                    if (id == 3 && hash % 97 == 0) id = 7;
                    float cave = std::sin(wx * 0.5f + y * 0.3f) * std::cos(wz * 0.4f + ww * 0.5f + y * 0.2f);
                    if (y > 4 && d > 4 && cave > 0.8f) id = 0;
                    chunk.setBlock(x, y, z, w, id);
                }
            }
}

// Every other cell solid in all four directions: the most faces a chunk can have.
inline void fillCheckerboard(Chunk& chunk) {
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 128; ++y)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w)
                    chunk.setBlock(x, y, z, w, (x + y + z + w) % 2 ? 3 : 0);
}

// A chunk at the origin and its six neighbours, all filled the same way, as a mesh worker finds
// them.
struct ChunkWithNeighbours {
    std::unique_ptr<Chunk> chunk = std::make_unique<Chunk>(glm::i64vec3(0, 0, 0));
    std::unique_ptr<Chunk> owned[6];
    Chunk::Neighbours around{};  // x-1, x+1, z-1, z+1, w-1, w+1

    explicit ChunkWithNeighbours(void (*fill)(Chunk&)) {
        fill(*chunk);
        const glm::i64vec3 offsets[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
        for (int i = 0; i < 6; ++i) {
            owned[i] = std::make_unique<Chunk>(offsets[i]);
            fill(*owned[i]);
            around[i] = owned[i].get();
        }
    }
};

#pragma once

#include <array>
#include <cstdint>

// The tutorial scene's small 3D world: 16 x 16 x 16 blocks, generated from simplex noise so it
// is the same on every visit. Ids: 0 air, 1 grass, 2 dirt, 3 stone, 4 the bedrock of the floor layer.
namespace tutorial {

constexpr int worldSize = 16;

enum Block : uint8_t { air = 0, grass = 1, dirt = 2, stone = 3, bedrock = 4 };

// Index x * 256 + y * 16 + z.
using Blocks = std::array<uint8_t, worldSize * worldSize * worldSize>;

constexpr int blockIndex(int x, int y, int z) { return x * worldSize * worldSize + y * worldSize + z; }
constexpr bool insideWorld(int x, int y, int z) {
    return x >= 0 && y >= 0 && z >= 0 && x < worldSize && y < worldSize && z < worldSize;
}

// The height of a column's grass before caves are cut: 8 to 13.
int surfaceHeight(int x, int z);
// Fills every block by the world's noise rule.
void generateWorld(Blocks& blocks);

// The block at a cell; air outside the world.
uint8_t blockAt(const Blocks& blocks, int x, int y, int z);
// Whether a cell stops the forg: every cell beside the 16 x 16 area (at any height) and below
// the floor does, cells above the world do not, and inside the world every block but air does.
bool isSolidCell(const Blocks& blocks, int x, int y, int z);

}  // namespace tutorial

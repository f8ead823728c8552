#include "tutorial/SceneGeometry.h"

#include <algorithm>

namespace tutorial {

const std::array<Byte3, 20> cubeTetrahedra = {{
    {1, 1, 0}, {0, 0, 0}, {0, 1, 1}, {1, 0, 1},  //
    {0, 1, 0}, {1, 1, 0}, {0, 0, 0}, {0, 1, 1},  //
    {0, 0, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1},  //
    {1, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1},  //
    {1, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 0, 1},
}};

const std::array<Byte3, 6> billboardPositions = {{
    {0, 1, 1}, {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0},
}};

namespace {

// Two triangles of a unit face across each axis: x, y, z.
constexpr std::array<std::array<Byte3, 6>, 3> faceVertices = {{
    {{{0, 1, 0}, {0, 1, 1}, {0, 0, 0}, {0, 1, 1}, {0, 0, 0}, {0, 0, 1}}},
    {{{0, 0, 1}, {1, 0, 1}, {0, 0, 0}, {1, 0, 1}, {0, 0, 0}, {1, 0, 0}}},
    {{{0, 1, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 0, 0}}},
}};

// Where a block's faces and volume are found in "tiles.png": tile columns.
struct BlockTiles {
    uint8_t top, side, bottom;
};

// Tile columns of grass, dirt, stone and the floor.
constexpr BlockTiles blockTiles[4] = {{1, 3, 9}, {5, 7, 9}, {11, 13, 15}, {17, 17, 17}};

// A face shows the middle layer (row 7) of its tile.
constexpr uint8_t faceLayer = 7;

void addFace(WorldGeometry& out, int axis, int x, int y, int z, uint8_t tile) {
    const uint8_t u0 = tile, u1 = uint8_t(tile + 1), v0 = faceLayer, v1 = faceLayer + 1;
    const Byte2 tiles[6] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v0}, {u0, v1}, {u1, v1}};
    for (int i = 0; i < 6; ++i) {
        const Byte3& v = faceVertices[axis][i];
        out.facePositions.push_back({uint8_t(x + v[0]), uint8_t(y + v[1]), uint8_t(z + v[2])});
        out.faceTexCoords.push_back(tiles[i]);
    }
}

// Null for air or an unknown id.
const BlockTiles* tilesOf(uint8_t id) {
    if (id < 1 || id > 4) return nullptr;
    return &blockTiles[id - 1];
}

}  // namespace

void buildWorldGeometry(const Blocks& blocks, WorldGeometry& out) {
    out = WorldGeometry{};
    auto open = [&](int x, int y, int z) { return blockAt(blocks, x, y, z) == air; };
    for (int x = 0; x < worldSize; ++x)
        for (int y = 0; y < worldSize; ++y)
            for (int z = 0; z < worldSize; ++z) {
                const BlockTiles* tiles = tilesOf(blocks[blockIndex(x, y, z)]);
                if (!tiles) continue;
                for (const Byte3& c : cubeTetrahedra) {
                    out.slicePositions.push_back({uint8_t(x + c[0]), uint8_t(y + c[1]), uint8_t(z + c[2])});
                    out.sliceTexCoords.push_back(
                        {uint8_t(tiles->side + c[0]), uint8_t(1 - c[1]), uint8_t(15 * c[2])});
                }
                if (open(x - 1, y, z)) addFace(out, 0, x, y, z, tiles->side);
                if (open(x + 1, y, z)) addFace(out, 0, x + 1, y, z, tiles->side);
                if (open(x, y - 1, z)) addFace(out, 1, x, y, z, tiles->bottom);
                if (open(x, y + 1, z)) addFace(out, 1, x, y + 1, z, tiles->top);
                if (open(x, y, z - 1)) addFace(out, 2, x, y, z, tiles->side);
                if (open(x, y, z + 1)) addFace(out, 2, x, y, z + 1, tiles->side);
            }
}

std::array<Byte2, 6> billboardCells(int col, int row) {
    const uint8_t c0 = uint8_t(col), c1 = uint8_t(col + 1), r0 = uint8_t(row), r1 = uint8_t(row + 1);
    return {{{c0, r0}, {c1, r0}, {c0, r1}, {c1, r0}, {c0, r1}, {c1, r1}}};
}

SpriteCell forgFrame(int animState, int facing, double seconds) {
    seconds = std::max(seconds, 0.0);
    SpriteCell cell;
    if (animState == 1) {
        cell = {(int(8.0 * seconds) % 3) * 2, 2};
    } else if (animState == 2) {
        cell = {6, 0};
    } else {
        cell = {(int(2.0 * seconds) % 3) * 2, 0};
    }
    if (facing == 1) cell.col += 8;
    return cell;
}

}  // namespace tutorial

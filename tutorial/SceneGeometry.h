#pragma once

#include "tutorial/TutorialWorld.h"

#include <array>
#include <cstdint>
#include <vector>

// The geometry of the tutorial scene, as unsigned bytes: block coordinates 0..16 and tile or
// sprite-cell numbers. Faces draw the 3D view; the tetrahedra of every solid block are cut by
// the forg's plane in the 2D view; a unit square in the plane carries the forg's sprite.
namespace tutorial {

using Byte3 = std::array<uint8_t, 3>;
using Byte2 = std::array<uint8_t, 2>;

// The unit cube as 5 tetrahedra.
extern const std::array<Byte3, 20> cubeTetrahedra;
// A unit square in the plane x = 0, spanning y and z.
extern const std::array<Byte3, 6> billboardPositions;

struct WorldGeometry {
    std::vector<Byte3> facePositions;
    std::vector<Byte2> faceTexCoords;  // tile column and layer row of each corner
    std::vector<Byte3> slicePositions;
    std::vector<Byte3> sliceTexCoords;  // side column + dx, 1 - dy, 15 dz
};

// Every face whose neighbour is air or outside the world, and the 20 tetrahedron corners of
// every solid block.
void buildWorldGeometry(const Blocks& blocks, WorldGeometry& out);

// The texture corners of a billboard showing sprite cell (col, row), matching
// billboardPositions: cell (col, row) covers corners (col, row) to (col + 1, row + 1).
std::array<Byte2, 6> billboardCells(int col, int row);

// Which cell of "forg.png" shows the forg: `seconds` since his animation state last changed.
// Idle frames are in row 0 at columns 0, 2 and 4, walking ones in row 2, the jump at column 6;
// facing +forward adds 8. The 3D view draws the cell 4 rows below, the overlay 8 rows below.
struct SpriteCell {
    int col = 0, row = 0;
    bool operator==(const SpriteCell&) const = default;
};
SpriteCell forgFrame(int animState, int facing, double seconds);
constexpr int billboardRowOffset = 4;
constexpr int overlayRowOffset = 8;

}  // namespace tutorial

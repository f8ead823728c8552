#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

// The player sees the 3D slice of the 4D world through a hyperplane, so of a grid of cells in
// (x, z, w) only those near that plane matter: a disc around the player. The walk runs along
// lines of the "step axis" (the grid axis closest to lying in the plane) and, on each line,
// along the disc's chord through the two other axes. The world streams its chunks with it and
// the clouds their cloud chunks.
struct DiscCell {
    glm::i64vec3 cell;  // (x, z, w)
    bool lineStart;     // the first cell of its line (callers widen later cells more)
};

struct DiscSelection {
    int stepAxis = 2;  // 0 = x, 1 = z, 2 = w
    std::vector<DiscCell> cells;
};

// Pure: the same inputs give the same cells in the same order. centre is in cell units,
// normal is the plane's normal on (x, z, w) (normalised here; a zero or non-finite normal
// means the w = const plane). A radius that is not positive, or a centre that is not finite
// or too far out to count cells in 64 bits, selects nothing.
DiscSelection selectDisc(const glm::vec3& centre, float radius, const glm::vec3& normal);

// The step axis for a normal: the axis on which the normal is smallest (a tie of x and z goes
// to z, a tie with w goes to w).
int discStepAxis(const glm::vec3& normal);

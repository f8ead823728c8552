#pragma once

#include "world/DiscSelection.h"

#include <set>
#include <tuple>

using CellKey = std::tuple<int64_t, int64_t, int64_t>;

inline CellKey cellKey(const glm::i64vec3& c) { return {c.x, c.y, c.z}; }

// The cells a selection asks for: each visited cell and the one below it on the step axis, and
// with `widenAbove` (as the world does) also the one above for cells after a line's first.
inline std::set<CellKey> requestedCells(const DiscSelection& disc, bool widenAbove) {
    std::set<CellKey> cells;
    glm::i64vec3 step(0);
    step[disc.stepAxis] = 1;
    for (const DiscCell& c : disc.cells) {
        cells.insert(cellKey(c.cell));
        cells.insert(cellKey(c.cell - step));
        if (widenAbove && !c.lineStart) cells.insert(cellKey(c.cell + step));
    }
    return cells;
}

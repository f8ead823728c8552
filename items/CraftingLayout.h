#pragma once

#include <glm/vec2.hpp>

#include <cstddef>
#include <vector>

// Geometry of the crafting list. An entry is a block of boxes 70 x 72: box 0 the result, box k
// (1..n) ingredient k, at column k mod 2 and row k / 2, odd rows shifted right by 34.
namespace craftingLayout {

inline constexpr int MARGIN = 6;
inline constexpr int COLUMN_PITCH = 68, ROW_PITCH = 56, ODD_ROW_SHIFT = 34;
inline constexpr int ENTRY_GAP = 22, ODD_ROWS_EXTRA = 14;
inline constexpr int PANEL_WIDTH = 100;

inline int rowsOf(size_t ingredientCount) { return int(ingredientCount + 2) / 2; }

// Top-left of box k relative to the entry's top-left.
inline glm::ivec2 boxOffset(int k) {
    const int row = k / 2;
    return {COLUMN_PITCH * (k % 2) + (row % 2 == 1 ? ODD_ROW_SHIFT : 0), ROW_PITCH * row};
}

// How far the next entry starts below this one.
inline int entryAdvance(size_t ingredientCount) {
    const int rows = rowsOf(ingredientCount);
    return ENTRY_GAP + ROW_PITCH * rows + (rows % 2 == 1 ? ODD_ROWS_EXTRA : 0);
}

// The box index under the cursor for the highlight (half-open cells), or -1. An index beyond
// the entry's boxes matches nothing.
inline int hoverIndex(const glm::ivec2& cursor, const glm::ivec2& entryTopLeft) {
    const int dy = cursor.y - entryTopLeft.y;
    if (dy < 0) return -1;
    const int row = dy / ROW_PITCH;
    const int dx = cursor.x - entryTopLeft.x - (row % 2 == 1 ? ODD_ROW_SHIFT : 0);
    if (dx < 0 || dx >= 2 * COLUMN_PITCH) return -1;
    return dx / COLUMN_PITCH + 2 * row;
}

// Whether a click crafts: the result box with both edge lines included.
inline bool hitsResult(const glm::ivec2& cursor, const glm::ivec2& entryTopLeft) {
    return cursor.x >= entryTopLeft.x && cursor.x <= entryTopLeft.x + COLUMN_PITCH &&
           cursor.y >= entryTopLeft.y && cursor.y <= entryTopLeft.y + ROW_PITCH;
}

// The panel's height for entries of these ingredient counts (the last entry's odd-row extra
// is not counted).
inline int panelHeight(const std::vector<size_t>& ingredientCounts) {
    int height = MARGIN;
    for (size_t i = 0; i < ingredientCounts.size(); ++i) {
        const int rows = rowsOf(ingredientCounts[i]);
        height += ENTRY_GAP + ROW_PITCH * rows;
        if (rows % 2 == 1 && i + 1 < ingredientCounts.size()) height += ODD_ROWS_EXTRA;
    }
    return height;
}

}  // namespace craftingLayout

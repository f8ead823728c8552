#pragma once

#include <glm/vec2.hpp>

#include <optional>

// Geometry of an inventory grid drawn as a staggered honeycomb: slot sprites 70 x 72, columns
// 68 apart, rows 56 apart, even rows shifted right by 34.
namespace inventoryLayout {

inline constexpr int SLOT_WIDTH = 70, SLOT_HEIGHT = 72;
inline constexpr int COLUMN_PITCH = 68, ROW_PITCH = 56, EVEN_ROW_SHIFT = 34;

// Top-left of the slot (column, row) relative to the grid's top-left.
inline glm::ivec2 slotOffset(int column, int row) {
    return {COLUMN_PITCH * column + (row % 2 == 0 ? EVEN_ROW_SHIFT : 0), ROW_PITCH * row};
}

// The (column, row) cell under a point relative to the grid's top-left, without an upper
// bound; none left of the row's first slot or above the grid.
inline std::optional<glm::ivec2> cellAt(const glm::ivec2& offset) {
    if (offset.y < 0) return std::nullopt;
    const int row = offset.y / ROW_PITCH;
    const int dx = offset.x - (row % 2 == 0 ? EVEN_ROW_SHIFT : 0);
    if (dx < 0) return std::nullopt;
    return glm::ivec2(dx / COLUMN_PITCH, row);
}

// The rectangle that the sprites of a grid of the given size cover, relative to its top-left.
inline glm::ivec2 gridExtent(const glm::ivec2& gridSize) {
    if (gridSize.x <= 0 || gridSize.y <= 0) return {0, 0};
    return {COLUMN_PITCH * (gridSize.x - 1) + EVEN_ROW_SHIFT + SLOT_WIDTH,
            ROW_PITCH * (gridSize.y - 1) + SLOT_HEIGHT};
}

}  // namespace inventoryLayout

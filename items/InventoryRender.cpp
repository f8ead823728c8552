#include "engine/Shader.h"
#include "engine/Texture.h"
#include "items/Inventory.h"
#include "items/InventoryLayout.h"
#include "items/ItemDrawing.h"

namespace {

// Shared by every grid: the slot frame of "items.png" and the title text.
TexturedQuad slotSprite;
BitmapText titleText;

}  // namespace

void Inventory::initRender() {
    Item::initRender();
    itemDrawing::initAtlasQuad(slotSprite);
    titleText = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
}

void Inventory::render(const glm::ivec2& cursor) {
    if (!title.empty()) {
        itemDrawing::drawText(titleText, title, pos.x + 22, pos.y - 18, {0, 0, 0, 1});
        itemDrawing::drawText(titleText, title, pos.x + 20, pos.y - 20, {1, 1, 1, 1});
    }
    const std::optional<glm::ivec2> hovered = inventoryLayout::cellAt(cursor - pos);

    // Right to left, so that each column's sprites overlap the one to their right the same way.
    for (int column = gridSize.x - 1; column >= 0; --column)
        for (int row = 0; row < gridSize.y; ++row) {
            const glm::ivec2 cell(column, row);
            const glm::ivec2 at = pos + inventoryLayout::slotOffset(column, row);
            const bool isHovered = hovered && *hovered == cell;
            slotSprite.setColor(1, 1, 1, isHovered || cell == selected ? 1.0f : 0.5f);
            itemDrawing::drawAtlasCell(slotSprite, itemAtlas::SLOT_FRAME_X, itemAtlas::FRAME_ROW, at);
            const auto& item = slots[size_t(slotIndex(cell))];
            if (!item) continue;
            Item::renderStack(item, at);
            if (isHovered) Item::renderTooltip(item, cursor);
        }
}

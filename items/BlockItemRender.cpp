#include "items/BlockItem.h"
#include "items/BlockModels.h"
#include "items/ItemDrawing.h"

void BlockItem::renderIcon(const glm::ivec2& pos) {
    if (id < 1 || id > BLOCK_MODEL_COUNT) return;  // no cell for it
    itemDrawing::drawAtlasCell(itemDrawing::blockSprite, unsigned(id - 1) * itemAtlas::COLUMN_PITCH,
                               itemAtlas::BLOCK_ROW, pos);
}

void BlockItem::render(const Mat5& mv, bool held) {
    // The unit cube's centre on the origin; a whole block a hand's width from the eye would
    // fill the view.
    itemDrawing::drawBlockModel(id, mv * scale4(held ? heldScale : 1.0f) * translate4(glm::vec4(-0.5f)));
}

#include "items/CraftingMenu.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "items/CraftingLayout.h"
#include "items/InventoryGUI.h"
#include "items/ItemDrawing.h"

#include <cassert>

TexturedQuad CraftingMenu::slotQuad;

void CraftingMenu::updateRecipes() {
    assert(gui && gui->isOpen() && "isOpen()");
    if (!gui || !gui->isOpen()) return;
    crafting::Totals totals;
    crafting::addTotals(*gui->first, totals);
    crafting::addTotals(*gui->second, totals);
    entries = crafting::listCraftable(recipes, totals);
}

void CraftingMenu::getPos(gui::Window& window, int& px, int& py) {
    int width = 0, height = 0, windowWidth = 0, windowHeight = 0;
    getSize(window, width, height);
    window.getWindowSize(windowWidth, windowHeight);
    px = gui::alignedPos(alignX, windowWidth, width, x);
    py = gui::alignedPos(alignY, windowHeight, height, y);
}

void CraftingMenu::getSize(gui::Window&, int& width, int& height) {
    std::vector<size_t> counts;
    for (const Entry& entry : entries) counts.push_back(entry.ingredients.size());
    width = craftingLayout::PANEL_WIDTH;
    height = craftingLayout::panelHeight(counts);
}

std::vector<glm::ivec2> CraftingMenu::entryPositions(gui::Window& window) {
    int px = 0, py = 0;
    getPos(window, px, py);
    glm::ivec2 at(px + craftingLayout::MARGIN, py + craftingLayout::MARGIN);
    std::vector<glm::ivec2> positions;
    for (const Entry& entry : entries) {
        positions.push_back(at);
        at.y += craftingLayout::entryAdvance(entry.ingredients.size());
    }
    return positions;
}

void CraftingMenu::render(gui::Window& window) {
    glm::ivec2 cursor;
    window.getCursorPos(cursor.x, cursor.y);
    const std::vector<glm::ivec2> positions = entryPositions(window);
    for (size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        const glm::ivec2 origin = positions[i];
        const int hover = craftingLayout::hoverIndex(cursor, origin);

        slotQuad.setColor(1, 1, 1, hover == 0 ? 1.0f : 0.5f);
        itemDrawing::drawAtlasCell(slotQuad, itemAtlas::RESULT_FRAME_X, itemAtlas::FRAME_ROW, origin);
        slotQuad.setColor(1, 1, 1, 0.5f);
        for (size_t k = 1; k <= entry.ingredients.size(); ++k) {
            const glm::ivec2 box = origin + craftingLayout::boxOffset(int(k));
            itemDrawing::drawAtlasCell(slotQuad, itemAtlas::SLOT_FRAME_X, itemAtlas::FRAME_ROW, box);
            Item::renderStack(entry.ingredients[k - 1], box);
        }
        Item::renderStack(entry.result, origin);

        if (hover == 0)
            Item::renderTooltip(entry.result, cursor);
        else if (hover >= 1 && size_t(hover) <= entry.ingredients.size())
            Item::renderTooltip(entry.ingredients[size_t(hover) - 1], cursor);
    }
}

bool CraftingMenu::mouseButton(gui::Window& window, int button, int action, int) {
    if (button != 0 || action != 1) return false;
    if (!gui || !gui->isOpen() || !cursorItem) return false;
    glm::ivec2 cursor;
    window.getCursorPos(cursor.x, cursor.y);
    const std::vector<glm::ivec2> positions = entryPositions(window);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!craftingLayout::hitsResult(cursor, positions[i])) continue;
        if (!crafting::craft(entries[i], *gui->first, *gui->second, *cursorItem)) return false;
        updateRecipes();
        gui->refreshLayout();
        return true;
    }
    return false;
}

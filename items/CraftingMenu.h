#pragma once

#include "engine/TexturedQuad.h"
#include "gui/Element.h"
#include "items/Crafting.h"

#include <glm/vec2.hpp>

#include <memory>
#include <string>
#include <vector>

class InventoryGUI;

// The crafting panel of the inventory screen: lists the recipes that the two open containers
// can make and crafts one on a left click on its result, into the screen's cursor item.
class CraftingMenu : public gui::Element {
public:
    using Entry = crafting::Entry;

    // Box sprite over "items.png", shared by every panel; set up by InventoryGUI::init.
    static TexturedQuad slotQuad;

    InventoryGUI* gui = nullptr;
    std::unique_ptr<Item>* cursorItem = nullptr;
    std::vector<Entry> entries;
    int x = 0, y = 0, alignX = 0, alignY = 0;

    CraftingMenu(InventoryGUI* gui, std::unique_ptr<Item>* cursorItem)
        : gui(gui), cursorItem(cursorItem) {}

    static bool loadRecipes(const std::string& path = "recipes.json") {
        return crafting::loadRecipes(path);
    }
    // Recounts the list from the open screen's containers; the screen must be open.
    void updateRecipes();

    void render(gui::Window& window) override;
    void setAlignX(int alignment) override { alignX = alignment; }
    void setAlignY(int alignment) override { alignY = alignment; }
    void setX(int offset) override { x = offset; }
    void setY(int offset) override { y = offset; }
    void getPos(gui::Window& window, int& px, int& py) override;
    void getSize(gui::Window& window, int& width, int& height) override;
    bool mouseButton(gui::Window& window, int button, int action, int mods) override;
    bool canSelect() override { return true; }

    // Top-left of each entry's block, in the parent window's coordinates.
    std::vector<glm::ivec2> entryPositions(gui::Window& window);
};

#pragma once

#include "game/InventoryScreenLink.h"
#include "items/InventoryGUI.h"

class Inventory;
class Player;

// The player's inventory screen in the game: the items' InventoryGUI behind the link through
// which the player's controls open and close it. The game screen installs it in its player.
class InventoryScreen final : public InventoryScreenLink {
public:
    InventoryGUI gui;

    InventoryScreen(Inventory& hotbar, Inventory& inventory) : hotbar(hotbar), inventory(inventory) {}

    bool isOpen() const override { return gui.isOpen(); }
    void open() override;
    void close() override { gui.close(); }
    void cursorPos(GLFWwindow*, double x, double y) override { gui.cursorPos(x, y); }
    std::unique_ptr<Item>& cursorItem() override { return gui.cursor.item; }

private:
    Inventory& hotbar;
    Inventory& inventory;
};

// The real screen behind a player's link; null while the player has a stand-in (in tests).
InventoryGUI* inventoryScreenOf(Player& player);

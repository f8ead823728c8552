#include "game/InventoryScreen.h"

#include "game/Player.h"
#include "items/Inventory.h"

void InventoryScreen::open() { gui.open(&hotbar, &inventory); }

InventoryGUI* inventoryScreenOf(Player& player) {
    auto* screen = dynamic_cast<InventoryScreen*>(player.inventoryGui.get());
    return screen ? &screen->gui : nullptr;
}

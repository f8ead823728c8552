#include "game/ChestEntity.h"

#include "game/BoxMotion.h"
#include "game/InventoryScreen.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "world/World.h"

#include <cmath>

namespace {

constexpr int RIGHT_BUTTON = 1;

}  // namespace

std::unique_ptr<Entity> ChestEntity::fromAttributes(const nlohmann::json& attributes) {
    if (!attributes.is_object()) return nullptr;
    auto stored = attributes.find("inventory");
    if (stored == attributes.end()) return nullptr;
    std::unique_ptr<ChestEntity> chest(new ChestEntity());
    // Unreadable item records keep their slot empty and are written back as they were.
    chest->inventory.fromJson(*stored);
    return chest;
}

void ChestEntity::setPos(const glm::vec4& p) { pos = glm::floor(p); }

nlohmann::json ChestEntity::getAttributes() const { return {{"inventory", inventory.toJson()}}; }

bool ChestEntity::interact(World*, Player* player, int button) {
    if (button != RIGHT_BUTTON || !player) return false;
    InventoryGUI* screen = inventoryScreenOf(*player);
    if (!screen) return false;
    // Opening recounts the crafting list and refreshes the layout.
    screen->open(&player->inventoryManager, &inventory);
    player->inventoryToggled = true;  // the cursor is released on the next tick
    link.gui = screen;
    link.inventory = &inventory;
    return true;
}

void ChestEntity::update(World* world, Player*) {
    // A position beyond the grid (a damaged record) names no cell: nothing is known of the block.
    if (!boxmotion::onGrid(pos)) return;
    const int16_t block = world->getBlock(glm::ivec4(pos));
    // -1: the chunk of the cell is not loaded, so the block may well still be there.
    if (block == chestBlock || block < 0) return;
    dead = spill(world);
}

bool ChestEntity::spill(World* world) {
    bool empty = true;
    for (std::unique_ptr<Item>& slot : inventory.slots) {
        if (!slot) continue;
        std::unique_ptr<Entity> drop = ItemEntity::makePopping(std::move(slot), pos + 0.5f);
        if (world->addEntity(drop)) continue;
        slot = std::move(static_cast<ItemEntity&>(*drop).item);  // kept for the next try
        empty = false;
    }
    return empty;
}

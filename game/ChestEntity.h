#pragma once

#include "game/Entity.h"
#include "items/Inventory.h"
#include "items/InventoryGUI.h"

#include <nlohmann/json.hpp>

#include <memory>

class MeshRenderer;

// The tesseract edges drawn around each chest with the 4D glasses; the game screen uploads it at
// start.
extern MeshRenderer chestOutline;

// The storage of a chest block (id 9): 32 stacks that a right click opens beside the player's
// inventory. It lives in its chunk's block entities, keyed by its cell, is saved with the
// chunk, and spills its contents when its block is gone.
class ChestEntity : public Entity {
public:
    static constexpr uint8_t chestBlock = 9;

    glm::vec4 pos{0.0f};  // the block's cell: whole coordinates
    bool dead = false;
    // Saving reads it through the const getAttributes; the inventory's toJson keeps the records
    // of unreadable items up to date as it writes.
    mutable Inventory inventory{{4, 8}, {397, 50}, {-1, -1}, "Chest:"};
    // The screen the chest was opened in: destroying the chest closes its side there.
    InventoryGUILink link;

    // The chest of a definition's or record's attributes, which must be an object holding
    // "inventory" (an array of item records; anything else gives an empty chest). Null otherwise.
    static std::unique_ptr<Entity> fromAttributes(const nlohmann::json& attributes);

    std::string getName() const override { return "Chest"; }
    void render(World* world, const Mat5& view, bool glasses) override;
    void update(World* world, Player* player) override;
    glm::vec4 getPos() const override { return pos; }
    // Floored, so that the cell the chest tests is the cell its chunk keys it by.
    void setPos(const glm::vec4& p) override;
    bool isDead() const override { return dead; }
    bool isPersistent() const override { return true; }
    bool isTargetable() const override { return false; }
    bool isBlockEntity() const override { return true; }
    float getRadius() const override { return 0.0f; }
    void hit(float, World*) override {}
    // A right click opens the chest beside the player's inventory; false for other buttons and
    // when the player has no inventory screen to open.
    bool interact(World* world, Player* player, int button) override;
    nlohmann::json getAttributes() const override;

private:
    ChestEntity() = default;
    // Throws each stack out as a dropped item; a stack that no chunk takes stays in its slot.
    // True when the chest is empty afterwards.
    bool spill(World* world);
};

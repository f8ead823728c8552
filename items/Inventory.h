#pragma once

#include "items/InventoryManager.h"

#include <glm/vec2.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

class World;
class Player;

// A grid of slots drawn as a staggered honeycomb. Slots are column-major: the slot of
// (column, row) is at index column * rows + row.
class Inventory : public InventoryManager {
public:
    glm::ivec2 pos{0, 0};        // screen position of the grid's top-left, pixels
    glm::ivec2 gridSize{0, 0};   // columns, rows
    glm::ivec2 selected{-1, -1}; // column, row; (-1, -1) none
    std::string title;           // drawn above the grid when not empty
    std::vector<std::unique_ptr<Item>> slots;

    explicit Inventory(const glm::ivec2& gridSize, const glm::ivec2& pos = {0, 0},
                       const glm::ivec2& selected = {-1, -1}, std::string title = {});

    // The item drawing resources, the slot sprite and the title text; GL context needed.
    static void initRender();

    void render(const glm::ivec2& cursor) override;
    bool addItem(std::unique_ptr<Item>& item) override;
    bool mouseButton(InventoryManager* other, InventoryCursor& cursor, int button, int action,
                     int mods) override;
    int size() override { return int(slots.size()); }
    std::unique_ptr<Item>& getSlot(int index) override;
    bool covers(const glm::ivec2& point) override;

    // One element per slot: the saved item record or null.
    nlohmann::json toJson();
    // Replaces every slot from an array (anything else empties the inventory). Never throws;
    // records that cannot be read stay as they are for the next save while their slot is empty.
    void fromJson(const nlohmann::json& j);
    // Empties every slot and forgets unreadable records.
    void clear();

    // Uses the selected item; an item used up is deleted.
    bool useSelected(World* world, Player* player, int button);
    bool slotInBounds(const glm::ivec2& slot) const;
    int slotIndex(const glm::ivec2& slot) const { return slot.x * gridSize.y + slot.y; }
    // The selected slot; the selection must be in bounds.
    std::unique_ptr<Item>& selectedSlot();
    // The slot index under a screen point, or -1.
    int slotAt(const glm::ivec2& point) const;

private:
    // Saved records that no item could be made from, by slot (null where none).
    std::vector<nlohmann::json> unreadRecords;

    void forgetUnreadRecord(int index);
};

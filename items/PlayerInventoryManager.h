#pragma once

#include "items/InventoryManager.h"

// The player's hotbar and main inventory as one container: the flat index runs over the
// first's slots, then the second's. Owns neither.
class PlayerInventoryManager : public InventoryManager {
public:
    InventoryManager* first = nullptr;
    InventoryManager* second = nullptr;

    PlayerInventoryManager(InventoryManager* first, InventoryManager* second)
        : first(first), second(second) {}

    void render(const glm::ivec2& cursor) override;
    bool addItem(std::unique_ptr<Item>& item) override;
    bool mouseButton(InventoryManager* other, InventoryCursor& cursor, int button, int action,
                     int mods) override;
    int size() override { return first->size() + second->size(); }
    std::unique_ptr<Item>& getSlot(int index) override;
    bool covers(const glm::ivec2& point) override;
};

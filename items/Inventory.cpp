#include "items/Inventory.h"

#include "items/InventoryLayout.h"

#include <glm/common.hpp>

#include <cassert>
#include <cstdio>
#include <utility>

using nlohmann::json;

namespace {
constexpr int LEFT_BUTTON = 0, RIGHT_BUTTON = 1, PRESS = 1, SHIFT = 1;
}

Inventory::Inventory(const glm::ivec2& gridSize, const glm::ivec2& pos, const glm::ivec2& selected,
                     std::string title)
    : pos(pos),
      gridSize(glm::max(gridSize, glm::ivec2(0))),
      selected(selected),
      title(std::move(title)),
      slots(size_t(this->gridSize.x) * size_t(this->gridSize.y)),
      unreadRecords(slots.size()) {}

std::unique_ptr<Item>& Inventory::getSlot(int index) {
    assert(index >= 0 && size_t(index) < slots.size() && "index < slots.size()");
    return slots[size_t(index)];
}

bool Inventory::slotInBounds(const glm::ivec2& slot) const {
    return slot.x >= 0 && slot.x < gridSize.x && slot.y >= 0 && slot.y < gridSize.y;
}

std::unique_ptr<Item>& Inventory::selectedSlot() {
    assert(slotInBounds(selected) && "slotInBounds(slot)");
    return slots[size_t(slotIndex(selected))];
}

int Inventory::slotAt(const glm::ivec2& point) const {
    std::optional<glm::ivec2> cell = inventoryLayout::cellAt(point - pos);
    if (!cell || !slotInBounds(*cell)) return -1;
    return slotIndex(*cell);
}

bool Inventory::covers(const glm::ivec2& point) {
    const glm::ivec2 extent = inventoryLayout::gridExtent(gridSize);
    return point.x >= pos.x && point.y >= pos.y && point.x < pos.x + extent.x &&
           point.y < pos.y + extent.y;
}

void Inventory::forgetUnreadRecord(int index) { unreadRecords[size_t(index)] = nullptr; }

bool Inventory::addItem(std::unique_ptr<Item>& item) {
    for (size_t i = 0; i < slots.size() && item; ++i) {
        auto& slot = slots[i];
        if (!slot) {
            if (!unreadRecords[i].is_null()) continue;  // keep that record for the next save
            std::swap(slot, item);
            return true;
        }
        if (Item::mergeStack(item, slot) && !item) return true;
    }
    // Callers decide by whether item is empty; only a grid without slots refuses.
    return !slots.empty();
}

bool Inventory::mouseButton(InventoryManager* other, InventoryCursor& cursor, int button,
                            int action, int mods) {
    const int index = slotAt(cursor.pos);
    if (index < 0) return false;
    auto& slot = slots[size_t(index)];
    if (!cursor.item && !slot) return false;
    if (action != PRESS || (button != LEFT_BUTTON && button != RIGHT_BUTTON)) return false;
    forgetUnreadRecord(index);

    if (button == LEFT_BUTTON) {
        if (cursor.item) {
            if (!Item::mergeStack(cursor.item, slot)) std::swap(cursor.item, slot);
            return true;
        }
        if (mods & SHIFT) return other ? other->addItem(slot) : false;
        cursor.item = std::move(slot);
        return true;
    }

    if (cursor.item) return Item::moveOne(cursor.item, slot);
    if (slot->getMaxStack() == 1) {
        cursor.item = std::move(slot);
        return true;
    }
    std::unique_ptr<Item> half = slot->clone();
    if (!half) return false;
    half->count = 0;
    if (!Item::takeHalf(*half, slot)) return false;
    cursor.item = std::move(half);
    return true;
}

json Inventory::toJson() {
    json array = json::array();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i]) {
            unreadRecords[i] = nullptr;
            array.push_back(slots[i]->toJson());
        } else {
            array.push_back(unreadRecords[i]);
        }
    }
    return array;
}

namespace {
bool isEmptyRecord(const json& record) {
    return record.is_null() || ((record.is_object() || record.is_array()) && record.empty());
}
}  // namespace

void Inventory::fromJson(const json& j) {
    clear();
    if (!j.is_array()) return;  // the saved files always hold arrays; anything else is empty
    for (size_t i = 0; i < slots.size() && i < j.size(); ++i) {
        const json& record = j[i];
        if (isEmptyRecord(record)) continue;
        std::unique_ptr<Item> item = Item::fromJson(record);
        if (!item) {
            // The record is not echoed: it may be anything, of any size.
            std::printf("Cannot make an item of the saved record in slot %zu; it is kept as it was\n", i);
            unreadRecords[i] = record;
        } else if (item->count > 0) {
            slots[i] = std::move(item);
        }
    }
}

void Inventory::clear() {
    for (auto& slot : slots) slot.reset();
    for (auto& record : unreadRecords) record = nullptr;
}

bool Inventory::useSelected(World* world, Player* player, int button) {
    if (!slotInBounds(selected)) return false;
    auto& slot = selectedSlot();
    if (!slot) return false;
    const bool result = slot->use(world, player, button);
    if (slot && slot->count == 0) slot.reset();
    return result;
}

#include "items/PlayerInventoryManager.h"

void PlayerInventoryManager::render(const glm::ivec2& cursor) {
    second->render(cursor);
    first->render(cursor);
}

bool PlayerInventoryManager::addItem(std::unique_ptr<Item>& item) {
    const bool r = first->addItem(item);
    if (!item) return r;
    return second->addItem(item) || r;
}

bool PlayerInventoryManager::mouseButton(InventoryManager* other, InventoryCursor& cursor,
                                         int button, int action, int mods) {
    return first->mouseButton(other, cursor, button, action, mods) ||
           second->mouseButton(other, cursor, button, action, mods);
}

std::unique_ptr<Item>& PlayerInventoryManager::getSlot(int index) {
    const int firstSize = first->size();
    return index < firstSize ? first->getSlot(index) : second->getSlot(index - firstSize);
}

bool PlayerInventoryManager::covers(const glm::ivec2& point) {
    return first->covers(point) || second->covers(point);
}

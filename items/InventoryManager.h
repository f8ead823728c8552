#pragma once

#include "items/Item.h"

#include <glm/vec2.hpp>

#include <memory>

// The stack carried by the mouse on the inventory screen, and the cursor position in pixels.
struct InventoryCursor {
    std::unique_ptr<Item> item;
    glm::ivec2 pos{0, 0};
};

// A container of item slots; an empty pointer is an empty slot. Containers own their items.
class InventoryManager {
public:
    // A container and a flat slot index.
    struct iterator {
        InventoryManager* manager = nullptr;
        int index = 0;

        std::unique_ptr<Item>& operator*() const { return manager->getSlot(index); }
        iterator& operator++() {
            ++index;
            return *this;
        }
        bool operator==(const iterator&) const = default;
    };

    virtual ~InventoryManager() = default;

    // Draws the container; a cursor of (-1, -1) hovers nothing.
    virtual void render(const glm::ivec2& cursor) = 0;
    // Stores as much of item as fits; item is empty afterwards when all of it was taken.
    virtual bool addItem(std::unique_ptr<Item>& item) = 0;
    // A click at cursor.pos; other receives shift-clicked stacks. True when something changed
    // hands or a container acted.
    virtual bool mouseButton(InventoryManager* other, InventoryCursor& cursor, int button,
                             int action, int mods) = 0;
    virtual iterator begin() { return {this, 0}; }
    virtual iterator end() { return {this, size()}; }
    virtual int size() = 0;
    virtual std::unique_ptr<Item>& getSlot(int index) = 0;
    // Whether a screen point lies on the container's drawn area (a press there never throws
    // the carried item away).
    virtual bool covers(const glm::ivec2& point) = 0;
};

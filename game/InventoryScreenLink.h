#pragma once

#include "items/Item.h"

#include <memory>

struct GLFWwindow;

// What the player's controls and mouse look need from the inventory screen: whether it is open,
// opening it on the player's own inventories, closing it, and its cursor input. The game links
// the real screen; until then, and in tests, a stand-in keeps only the open flag.
class InventoryScreenLink {
public:
    virtual ~InventoryScreenLink() = default;

    // The screen is open (its second side is set).
    virtual bool isOpen() const = 0;
    // Opens the screen on the hotbar (first) and the inventory (second), recounts the crafting
    // list and refreshes the layout.
    virtual void open() = 0;
    // Closes the screen: its second side is cleared.
    virtual void close() = 0;
    // Cursor motion while the screen is open goes to its widgets.
    virtual void cursorPos(GLFWwindow* window, double x, double y) = 0;
    // The stack carried by the mouse; the player throws it on the first tick after closing.
    virtual std::unique_ptr<Item>& cursorItem() { return carried; }

protected:
    std::unique_ptr<Item> carried;
};

class DetachedInventoryScreen : public InventoryScreenLink {
public:
    bool opened = false;

    bool isOpen() const override { return opened; }
    void open() override { opened = true; }
    void close() override { opened = false; }
    void cursorPos(GLFWwindow*, double, double) override {}
};

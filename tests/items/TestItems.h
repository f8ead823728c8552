#pragma once

#include "items/BlockItem.h"
#include "items/Inventory.h"
#include "items/InventoryManager.h"
#include "items/InventoryLayout.h"
#include "items/Item.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using nlohmann::json;

constexpr int LEFT = 0, RIGHT = 1, MIDDLE = 2, PRESS = 1, RELEASE = 0, SHIFT = 1;

// A plain item kind for the container tests: stacks with its own name unless its max is 1.
class TestItem : public Item {
public:
    std::string name;
    unsigned maxStack;

    explicit TestItem(std::string name, unsigned maxStack = 100, uint32_t n = 0)
        : name(std::move(name)), maxStack(maxStack) {
        count = n;
    }

    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return false; }
    bool canStackWith(const std::unique_ptr<Item>& other) const override {
        auto* same = dynamic_cast<const TestItem*>(other.get());
        return maxStack > 1 && same && same->name == name;
    }
    unsigned getMaxStack() const override { return maxStack; }
    bool use(World*, Player*, int) override { return false; }
    std::unique_ptr<Item> clone() const override {
        return std::make_unique<TestItem>(name, maxStack);
    }
};

inline std::unique_ptr<Item> block(int id, uint32_t n) {
    auto item = std::make_unique<BlockItem>(id);
    item->count = n;
    return item;
}
inline std::unique_ptr<Item> tool(const std::string& name = "Pick") {
    return std::make_unique<TestItem>(name, 1, 1);
}
inline std::unique_ptr<Item> material(const std::string& name, uint32_t n) {
    return std::make_unique<TestItem>(name, 100, n);
}

// Stacks as text, for tables: "-" is an empty slot, "Pick 1" and "Axe 1" are tools, anything
// else a catalogue name and a count ("Stone 42").
inline std::unique_ptr<Item> make(const std::string& text) {
    if (text == "-") return nullptr;
    const size_t space = text.rfind(' ');
    const std::string name = text.substr(0, space);
    if (name == "Pick" || name == "Axe") return tool(name);
    auto item = Item::create(name, 0);
    if (item)
        item->count = uint32_t(std::stoul(text.substr(space + 1)));
    else
        ADD_FAILURE() << "cannot make " << text;
    return item;
}
inline std::string describe(const std::unique_ptr<Item>& item) {
    return item ? item->getName() + " " + std::to_string(item->count) : "-";
}
// A container's slots as text, "|" between them, trailing empty slots left out.
inline std::string contents(InventoryManager& container) {
    std::string text, pending;
    for (auto& slot : container) {
        pending += (text.empty() && pending.empty() ? "" : "|") + describe(slot);
        if (slot) {
            text += pending;
            pending.clear();
        }
    }
    return text;
}
// Fills a container from such text; slots beyond it become empty.
inline void fill(InventoryManager& container, const std::string& text) {
    size_t start = 0;
    for (auto& slot : container) {
        const size_t end = std::min(text.find('|', start), text.size());
        slot = start < text.size() ? make(text.substr(start, end - start)) : nullptr;
        start = end + 1;
    }
}
inline int countOf(const std::unique_ptr<Item>& item) { return item ? int(item->count) : -1; }

// A point well inside the slot (column, row) of an inventory.
inline glm::ivec2 slotPoint(const Inventory& inventory, int column, int row) {
    return inventory.pos + inventoryLayout::slotOffset(column, row) + glm::ivec2(10, 10);
}

// Recipe records for the crafting tests.
inline json record(const std::string& name, json count) {
    return {{"name", name}, {"count", count}};
}
inline json recipe(std::vector<json> ingredients, json result) {
    return {{"recipe", ingredients}, {"result", result}};
}
// A recipe from "Name count" texts joined by "|".
inline json recipeOf(const std::string& ingredients, const std::string& result) {
    Inventory parsed({1, 8});
    fill(parsed, ingredients + "|" + result);
    std::vector<json> records;
    for (auto& item : parsed)
        if (item) records.push_back(record(item->getName(), item->count));
    const json made = records.back();
    records.pop_back();
    return recipe(records, made);
}

// Writes a file under the temp directory, unique per process, and removes it afterwards.
class TempFile {
public:
    explicit TempFile(const std::string& name, const std::string& text)
        : path(std::filesystem::temp_directory_path() /
               ("hm-items-" + std::to_string(getpid()) + "-" + name)) {
        std::ofstream(path) << text;
    }
    ~TempFile() {
        std::error_code error;
        std::filesystem::remove(path, error);
    }
    std::string str() const { return path.string(); }
    std::filesystem::path path;
};

// The block catalogue most tests use: six blocks with the chest, and a kind without a factory.
inline void loadTestCatalogue() {
    TempFile file("catalogue.json", R"({
      "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
      "Stone": {"type": "block", "baseAttributes": {"id": 3}},
      "Wood": {"type": "block", "baseAttributes": {"id": 4}},
      "Leaves": {"type": "block", "baseAttributes": {"id": 5}},
      "Chest": {"type": "block", "baseAttributes": {"id": 9}},
      "Sand": {"type": "block", "baseAttributes": {"id": 10}},
      "Widget": {"type": "gadget", "baseAttributes": {}}
    })");
    BlockItem::blockNames.clear();
    ASSERT_TRUE(Item::loadItemInfo(file.str()));
}

// Tests that need the test catalogue.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { loadTestCatalogue(); }
};

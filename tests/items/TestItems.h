#pragma once

#include "items/BlockItem.h"
#include "items/Item.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// A plain item kind for the container tests: stacks with its own name unless its max is 1.
class TestItem : public Item {
public:
    std::string name;
    unsigned maxStack;
    bool special = false;

    explicit TestItem(std::string name, unsigned maxStack = 100, uint32_t n = 0)
        : name(std::move(name)), maxStack(maxStack) {
        count = n;
    }

    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return special; }
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

// The block catalogue most tests use: three blocks, the chest and a kind without a factory.
inline const char* testCatalogue() {
    return R"({
      "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
      "Stone": {"type": "block", "baseAttributes": {"id": 3}},
      "Wood": {"type": "block", "baseAttributes": {"id": 4}},
      "Chest": {"type": "block", "baseAttributes": {"id": 9}},
      "Widget": {"type": "gadget", "baseAttributes": {}}
    })";
}

inline void loadTestCatalogue() {
    TempFile file("catalogue.json", testCatalogue());
    BlockItem::blockNames.clear();
    ASSERT_TRUE(Item::loadItemInfo(file.str()));
}

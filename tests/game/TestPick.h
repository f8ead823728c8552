#pragma once

#include "game/ItemEntity.h"
#include "game/Player.h"
#include "items/BlockItem.h"
#include "items/Item.h"
#include "world/World.h"

#include <memory>
#include <string>

// A held item that mines at a fixed speed, drops the broken block itself and counts its hits
// and uses, as the tools will.
class TestPick : public Item {
public:
    std::string name = "Test Pick";
    float speed = 0.25f;
    int hits = 0;
    int uses = 0;
    int lastButton = -1;

    TestPick() { count = 1; }
    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return false; }
    bool canStackWith(const std::unique_ptr<Item>&) const override { return false; }
    unsigned getMaxStack() const override { return 1; }
    bool use(World*, Player* player, int button) override {
        ++uses;
        lastButton = button;
        if (button != 0 || !player->hasTargetBlock) return false;
        player->breakProgress += speed;
        return false;
    }
    bool onBlockBroken(World* world, Player*, uint8_t id, const glm::ivec4& pos) override {
        auto block = std::make_unique<BlockItem>(id);
        block->count = 1;
        auto drop = ItemEntity::make(std::move(block), glm::vec4(pos) + 0.5f, glm::vec4(0.0f));
        world->addEntity(drop);
        return true;
    }
    bool useOnEntity(World*, Player*, std::unique_ptr<Entity>&, int) override {
        ++hits;
        return true;
    }
    std::unique_ptr<Item> clone() const override { return std::make_unique<TestPick>(); }
};

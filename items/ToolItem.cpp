#include "items/ToolItem.h"

#include "engine/ThreadRandom.h"
#include "game/Entity.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "items/BlockItem.h"
#include "world/World.h"

#include <iterator>

namespace {

constexpr ToolRule tools[] = {
    {"Stick", 0, 0.005f, 5.0f},        {"Hammer", 36, 0.01f, 7.0f},
    {"Iron Pick", 72, 0.02f, 10.0f},   {"Deadly Pick", 108, 0.03f, 20.0f},
    {"Iron Axe", 144, 0.0f, 0.0f},     {"Deadly Axe", 180, 0.0f, 0.0f}};

constexpr uint8_t GRASS = 1, DIRT = 2, DEADLY_ORE = 8;
constexpr int LEFT_BUTTON = 0;
constexpr double rockChance = 0.5;

bool isPick(const std::string& name) { return name == "Iron Pick" || name == "Deadly Pick"; }

// A dropped stack at the broken block's centre; one that no loaded chunk takes is freed.
void dropAt(World* world, std::unique_ptr<Item> item, const glm::ivec4& block) {
    std::unique_ptr<Entity> drop = ItemEntity::makePopping(std::move(item), glm::vec4(block) + 0.5f);
    if (drop) world->addEntity(drop);
}

}  // namespace

ToolItem::ToolItem(std::string toolName) : name(std::move(toolName)), rule(ruleOf(name)) {}

const ToolRule* ToolItem::ruleOf(const std::string& name) {
    for (const ToolRule& tool : tools)
        if (name == tool.name) return &tool;
    return nullptr;
}

float ToolItem::miningSpeedOn(uint8_t id) const {
    if (!rule) return 0.0f;
    if (name == "Stick" && id != GRASS && id != DIRT) return 0.0f;
    if (name == "Hammer" && id == DEADLY_ORE) return 0.0f;
    return rule->miningSpeed;
}

bool ToolItem::isSpecial() const { return name == "Deadly Pick" || name == "Deadly Axe"; }

bool ToolItem::canStackWith(const std::unique_ptr<Item>& other) const {
    const auto* tool = dynamic_cast<const ToolItem*>(other.get());
    return name == "Stick" && tool && tool->name == name;
}

unsigned ToolItem::getMaxStack() const { return name == "Stick" ? 100 : 1; }

bool ToolItem::use(World* world, Player* player, int button) {
    if (button != LEFT_BUTTON || !world || !player || !player->hasTargetBlock) return false;
    const auto id = uint8_t(world->getBlock(player->targetBlock));
    player->breakProgress += miningSpeedOn(id);
    return false;
}

bool ToolItem::onBlockBroken(World* world, Player*, uint8_t id, const glm::ivec4& pos) {
    if (!world) return false;
    if (name == "Stick") {
        if (id != GRASS && id != DIRT) return false;
        if (!(threadrandom::unit() > rockChance)) return false;
        dropAt(world, Item::create("Rock", 1), pos);  // no Rock in the catalogue drops nothing
        return true;
    }
    if (id == DEADLY_ORE && !isPick(name)) return false;
    dropAt(world, BlockItem::make(id, 1), pos);  // a block the catalogue does not name drops nothing
    return true;
}

bool ToolItem::useOnEntity(World* world, Player*, std::unique_ptr<Entity>& target, int) {
    if (!target || target->getName() != "Spider") return false;
    if (rule && rule->damage > 0.0f) target->hit(rule->damage, world);
    return true;
}

#pragma once

#include "engine/MeshRenderer.h"
#include "items/Item.h"

#include <string>

// What a tool of a known name does; the game knows six names.
struct ToolRule {
    const char* name;
    unsigned iconX;     // atlas cell on the tool row
    float miningSpeed;  // break progress per tick on the blocks it mines
    float damage;       // to a spider; 0 makes the hit count without harming it
};

// A tool in the hand: it breaks blocks at its own speed, decides what they drop and hits
// creatures. Tools are told apart by their name only; a name the game does not know makes a
// tool that mines nothing, hits nothing and keeps the icon shown last.
class ToolItem : public Item {
public:
    std::string name;

    explicit ToolItem(std::string name);

    // The rule of a tool name, or null for a name the game does not know.
    static const ToolRule* ruleOf(const std::string& name);
    // Break progress per tick on a block id.
    float miningSpeedOn(uint8_t id) const;

    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2& pos) override;
    void render(const Mat5& mv, bool held) override;
    bool isSpecial() const override;
    bool canStackWith(const std::unique_ptr<Item>& other) const override;
    unsigned getMaxStack() const override;
    // The left button on the targeted block adds the tool's mining speed; always false, so the
    // bare hand's rule for leaves still applies.
    bool use(World* world, Player* player, int button) override;
    // A Stick turns up a Rock from grass and dirt half the time; the other tools drop the block
    // itself (Deadly Ore only for the picks). False when the caller's own rule applies.
    bool onBlockBroken(World* world, Player* player, uint8_t id, const glm::ivec4& pos) override;
    // A hit on a spider with the tool's damage; true for any hit on a spider. Nothing touches
    // the target after its hit (its loot may have moved it in its chunk's list).
    bool useOnEntity(World* world, Player* player, std::unique_ptr<Entity>& target, int button) override;
    std::unique_ptr<Item> clone() const override { return std::make_unique<ToolItem>(name); }

    // The icon sprite and the three head models; GL context needed. Every call builds the pick
    // heads with new random colours.
    static void initRender();

    static MeshRenderer ironPickHead;
    static MeshRenderer deadlyPickHead;
    static MeshRenderer hammerHead;

private:
    const ToolRule* rule;
};

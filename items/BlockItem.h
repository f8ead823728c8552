#pragma once

#include "items/Item.h"

#include <string>
#include <unordered_map>

// A stack of one kind of block. Its identity is the block id; its name comes from the item
// catalogue, where every "block" entry names one id.
class BlockItem : public Item {
public:
    // Block id; 1..14 are the world's blocks.
    int id = 0;

    // Edge of a block drawn in the player's hand, in blocks: small enough to sit at the lower
    // right of the view, clear of the crosshair and the HUD.
    static constexpr float heldScale = 0.25f;

    explicit BlockItem(int id) : id(id) {}
    // Reads attributes["id"]; throws the JSON library's type error when attributes is not an
    // object or "id" is missing or not a number.
    explicit BlockItem(const nlohmann::json& attributes);

    // Block id -> item name, filled from the catalogue (the last key naming an id wins).
    static std::unordered_map<int, std::string> blockNames;
    // Whether the catalogue names a block item of this id. One it does not name could be saved
    // under no name that loads back, so none is ever made or placed.
    static bool isNamed(int id);
    // A stack of `count` blocks of an id; none when the catalogue does not name the id.
    static std::unique_ptr<Item> make(int id, unsigned count);
    // Throws the JSON library's error when baseAttributes holds no numeric "id".
    static void registerBlockName(const std::string& name, const nlohmann::json& baseAttributes);

    std::string getName() const override;
    void renderIcon(const glm::ivec2& pos) override;
    // The block's 4D model centred on the origin of mv; held in the hand at heldScale.
    void render(const Mat5& mv, bool held) override;
    bool isSpecial() const override { return id == 8; }
    bool canStackWith(const std::unique_ptr<Item>& other) const override;
    // A right click with a target places the block into the player's place cell.
    bool use(World* world, Player* player, int button) override;
    std::unique_ptr<Item> clone() const override { return std::make_unique<BlockItem>(id); }

    // Places one block at cell when that cell is loaded air with y in 0..127 and the id is named
    // (a chest block also needs its chest entity: no "Chest" definition, no chest); false and
    // nothing changed otherwise.
    bool place(World* world, const glm::ivec4& cell);
};

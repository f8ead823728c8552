#pragma once

#include "engine/Math4D.h"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <string>

class World;
class Player;
class Entity;

// A stack of one kind of thing that fits in an inventory slot, lies in the world as a dropped
// item or takes part in a recipe. Owned through std::unique_ptr; whoever brings a stack to
// count 0 deletes it.
class Item {
public:
    uint32_t count = 0;

    virtual ~Item() = default;

    // The catalogue key: the saved record's "name" and what recipes match.
    virtual std::string getName() const = 0;
    // The 2D icon, 70 x 72 pixels with its top-left corner at pos (window pixels).
    virtual void renderIcon(const glm::ivec2& pos) = 0;
    // The 4D model under the given model-view; held is true in the player's hand.
    virtual void render(const Mat5& mv, bool held) = 0;
    // The tooltip's shimmering look.
    virtual bool isSpecial() const = 0;
    virtual bool canStackWith(const std::unique_ptr<Item>& other) const = 0;
    virtual unsigned getMaxStack() const { return 100; }
    // The selected hotbar item acting for a mouse button.
    virtual bool use(World* world, Player* player, int button) = 0;
    // True when the item dropped the broken block's yield itself.
    virtual bool onBlockBroken(World*, Player*, uint8_t, const glm::ivec4&) { return false; }
    // True when a hit was made.
    virtual bool useOnEntity(World*, Player*, std::unique_ptr<Entity>&, int) { return false; }
    // Same kind and identity, count 0.
    virtual std::unique_ptr<Item> clone() const = 0;
    virtual nlohmann::json getAttributes() const { return nlohmann::json::object(); }

    // Reads the catalogue; true when the file holds a JSON object. Never throws; on failure
    // the catalogue stays as it was.
    static bool loadItemInfo(const std::string& path = "itemInfo.json");

    // A new item of a catalogue name; null when the name or its definition cannot make one.
    // Never throws and only reads the catalogue (safe on the chunk-loader threads).
    static std::unique_ptr<Item> create(const std::string& name, unsigned count);
    // The item of a saved record {"name", "count", "attributes"}; null when the record or its
    // definition is unusable. The count is clamped to 0..getMaxStack(). Never throws.
    static std::unique_ptr<Item> fromJson(const nlohmann::json& j);
    // The factory by type word; null for a word without a kind or attributes it cannot use.
    static std::unique_ptr<Item> createByType(const std::string& name, unsigned count,
                                              const std::string& type,
                                              const nlohmann::json& attributes);
    // A copy of baseAttributes with every top-level key of additions set (both objects).
    static nlohmann::json mergeAttributes(const nlohmann::json& baseAttributes,
                                          const nlohmann::json& additions);

    // {"attributes", "count", "name"}.
    nlohmann::json toJson() const;

    // Moves as much of from as fits into to (creating to when it is empty).
    static bool mergeStack(std::unique_ptr<Item>& from, std::unique_ptr<Item>& to);
    // Moves exactly one item when anything moves.
    static bool moveOne(std::unique_ptr<Item>& from, std::unique_ptr<Item>& to);
    // Moves the larger half of from into to (a count-0 clone the caller made).
    static bool takeHalf(Item& to, std::unique_ptr<Item>& from);

    // Drawing resources shared by every item kind; needs the GL context.
    static void initRender();
    // Icon and count of a non-empty slot.
    static void renderStack(const std::unique_ptr<Item>& item, const glm::ivec2& pos);
    // The name box at the mouse cursor.
    static void renderTooltip(const std::unique_ptr<Item>& item, const glm::ivec2& cursor);
};

// The parsed "itemInfo.json": item name -> {"type", "baseAttributes"}. An empty object until
// loaded. Loader threads read it: use only const lookups (find, contains, value).
extern nlohmann::json itemInfo;

// Icon cells of "items.png": 35 x 36 texels on a 36-texel grid, drawn 70 x 72.
namespace itemAtlas {
inline constexpr unsigned CELL_WIDTH = 35, CELL_HEIGHT = 36;
inline constexpr unsigned COLUMN_PITCH = 36;
inline constexpr unsigned FRAME_ROW = 0, BLOCK_ROW = 37, TOOL_ROW = 74, MATERIAL_ROW = 111;
inline constexpr unsigned SLOT_FRAME_X = 0, RESULT_FRAME_X = 36;
inline constexpr int ICON_WIDTH = 70, ICON_HEIGHT = 72;
}  // namespace itemAtlas

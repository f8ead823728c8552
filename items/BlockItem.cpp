#include "items/BlockItem.h"

#include "game/Entity.h"
#include "items/JsonCount.h"
#include "world/Chunk.h"
#include "world/World.h"

using nlohmann::json;

std::unordered_map<int, std::string> BlockItem::blockNames;

namespace {

constexpr int CHEST_BLOCK = 9;

// attributes["id"] as an int; the JSON library's errors for anything else.
int readId(const json& attributes) {
    const json& value = attributes.at("id");
    std::optional<int> id = jsonInt(value);
    return id ? *id : value.get<int>();  // get throws "type must be number, but is ..."
}

}  // namespace

BlockItem::BlockItem(const json& attributes) : id(readId(attributes)) {}

void BlockItem::registerBlockName(const std::string& name, const json& baseAttributes) {
    blockNames[readId(baseAttributes)] = name;
}

bool BlockItem::isNamed(int id) { return blockNames.contains(id); }

std::unique_ptr<Item> BlockItem::make(int id, unsigned count) {
    if (!isNamed(id)) return nullptr;
    auto block = std::make_unique<BlockItem>(id);
    block->count = count;
    return block;
}

std::string BlockItem::getName() const {
    auto it = blockNames.find(id);
    // A block the catalogue does not name still needs a name to show and save.
    return it != blockNames.end() ? it->second : "Block " + std::to_string(id);
}

bool BlockItem::canStackWith(const std::unique_ptr<Item>& other) const {
    const auto* block = dynamic_cast<const BlockItem*>(other.get());
    return block && block->id == id;
}

bool BlockItem::place(World* world, const glm::ivec4& cell) {
    if (!world || count == 0 || id < 1 || id > 255 || !isNamed(id)) return false;
    if (cell.y < 0 || cell.y >= Chunk::HEIGHT) return false;
    // Only loaded air: -1 is an unloaded chunk, and a solid cell is not ours to overwrite.
    if (world->getBlock(cell) != 0) return false;
    // A chest block without its storage would be no chest: without one, nothing is placed.
    std::unique_ptr<Entity> chest;
    if (id == CHEST_BLOCK && !(chest = Entity::create("Chest", glm::vec4(cell)))) return false;
    world->setBlock(cell, uint8_t(id));
    if (chest && !world->addEntity(chest)) {
        world->setBlock(cell, 0);  // the cell still holds a chest that has not seen its block go
        return false;
    }
    --count;
    return true;
}

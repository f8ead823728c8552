#include "items/Item.h"

#include "items/BlockItem.h"
#include "items/JsonCount.h"
#include "items/MaterialItem.h"
#include "items/ToolItem.h"

#include "engine/JsonFile.h"

#include <cassert>
#include <cstdio>
#include <filesystem>

using nlohmann::json;

json itemInfo = json::object();

namespace {

// The catalogue entry of a name, or null when there is none. Const lookups only.
const json* findDefinition(const std::string& name) {
    const json& catalogue = itemInfo;
    if (!catalogue.is_object()) return nullptr;
    auto it = catalogue.find(name);
    if (it == catalogue.end() || !it->is_object()) return nullptr;
    return &*it;
}

const std::string* typeWord(const json& definition) {
    auto it = definition.find("type");
    return it != definition.end() && it->is_string() ? it->get_ptr<const std::string*>() : nullptr;
}

// Missing or malformed base attributes count as none.
json baseAttributesOf(const json& definition) {
    auto it = definition.find("baseAttributes");
    return it != definition.end() && it->is_object() ? *it : json::object();
}

std::unique_ptr<Item> withClampedCount(std::unique_ptr<Item> item, uint64_t count) {
    if (item) item->count = uint32_t(std::min<uint64_t>(count, item->getMaxStack()));
    return item;
}

}  // namespace

bool Item::loadItemInfo(const std::string& path) {
    json parsed;
    std::string error;
    const jsonfile::ReadStatus status = jsonfile::read(path, parsed, jsonfile::maxDataFileBytes, &error);
    if (status == jsonfile::ReadStatus::missing) return false;
    if (status != jsonfile::ReadStatus::ok) {
        std::printf("Cannot read %s\n", error.c_str());
        return false;
    }
    if (!parsed.is_object()) {
        std::printf("Cannot read %s: not a JSON object\n", path.c_str());
        return false;
    }
    itemInfo = std::move(parsed);

    for (const auto& [name, definition] : itemInfo.items()) {
        if (!definition.is_object()) continue;
        const std::string* type = typeWord(definition);
        if (!type || *type != "block") continue;
        try {
            BlockItem::registerBlockName(name, definition.at("baseAttributes"));
        } catch (const json::exception& e) {
            std::printf("Block item \"%s\" in %s has no usable id: %s\n", name.c_str(),
                        path.c_str(), e.what());
        }
    }
    return true;
}

std::unique_ptr<Item> Item::create(const std::string& name, unsigned count) {
    const json* definition = findDefinition(name);
    if (!definition) return nullptr;
    const std::string* type = typeWord(*definition);
    if (!type) return nullptr;
    return withClampedCount(createByType(name, 0, *type, baseAttributesOf(*definition)), count);
}

std::unique_ptr<Item> Item::fromJson(const json& j) {
    if (!j.is_object()) return nullptr;
    auto nameIt = j.find("name");
    if (nameIt == j.end() || !nameIt->is_string()) return nullptr;
    auto countIt = j.find("count");
    if (countIt == j.end()) return nullptr;
    std::optional<uint64_t> count = jsonCount(*countIt);
    if (!count) return nullptr;

    const std::string& name = nameIt->get_ref<const std::string&>();
    const json* definition = findDefinition(name);
    if (!definition) return nullptr;
    const std::string* type = typeWord(*definition);
    if (!type) return nullptr;
    json base = baseAttributesOf(*definition);

    std::unique_ptr<Item> item;
    auto attributes = j.find("attributes");
    if (attributes != j.end() && attributes->is_object())
        item = createByType(name, 0, *type, mergeAttributes(base, *attributes));
    // Saved attributes that do not fit fall back to the catalogue's.
    if (!item) item = createByType(name, 0, *type, base);
    return withClampedCount(std::move(item), *count);
}

std::unique_ptr<Item> Item::createByType(const std::string& name, unsigned count,
                                         const std::string& type, const json& attributes) {
    std::unique_ptr<Item> item;
    try {
        if (type == "block") {
            auto block = std::make_unique<BlockItem>(attributes);
            if (!BlockItem::isNamed(block->id)) return nullptr;  // see BlockItem::isNamed
            item = std::move(block);
        }
        else if (type == "tool")
            item = std::make_unique<ToolItem>(name);  // tools and materials go by their name
        else if (type == "material")
            item = std::make_unique<MaterialItem>(name);
    } catch (const json::exception&) {
        return nullptr;
    }
    if (item) item->count = count;
    return item;
}

json Item::mergeAttributes(const json& baseAttributes, const json& additions) {
    assert(baseAttributes.is_object() && additions.is_object());
    json merged = baseAttributes;
    for (const auto& [key, value] : additions.items()) merged[key] = value;
    return merged;
}

json Item::toJson() const {
    return json{{"name", getName()}, {"count", count}, {"attributes", getAttributes()}};
}

namespace {

// Step 2 of every move: how many of from's items to may take, at most `limit`.
uint32_t roomFor(const Item& to, const std::unique_ptr<Item>& from, uint64_t limit) {
    const uint64_t max = to.getMaxStack();
    if (from->count == 0 || to.count >= max || !to.canStackWith(from)) return 0;
    return uint32_t(std::min<uint64_t>({max - to.count, from->count, limit}));
}

// Moves n items (n > 0) and deletes from when it is used up.
void moveCount(std::unique_ptr<Item>& from, Item& to, uint32_t n) {
    to.count += n;
    from->count -= n;
    if (from->count == 0) from.reset();
}

// The moves share their handling of an empty target: a stack of at most one moves whole,
// otherwise a clone receives and is dropped again when it received nothing.
bool moveInto(std::unique_ptr<Item>& from, std::unique_ptr<Item>& to, uint64_t limit) {
    if (!from) return false;
    if (!to) {
        if (from->getMaxStack() == 1) {
            to = std::move(from);
            return true;
        }
        to = from->clone();
        if (!to) return false;
        uint32_t n = roomFor(*to, from, limit);
        if (n == 0) {
            to.reset();
            return false;
        }
        moveCount(from, *to, n);
        return true;
    }
    uint32_t n = roomFor(*to, from, limit);
    if (n == 0) return false;
    moveCount(from, *to, n);
    return true;
}

}  // namespace

bool Item::mergeStack(std::unique_ptr<Item>& from, std::unique_ptr<Item>& to) {
    return moveInto(from, to, UINT64_MAX);
}

bool Item::moveOne(std::unique_ptr<Item>& from, std::unique_ptr<Item>& to) {
    return moveInto(from, to, 1);
}

bool Item::takeHalf(Item& to, std::unique_ptr<Item>& from) {
    if (!from) return false;
    const uint64_t half = (uint64_t(from->count) + 1) / 2;  // the taker gets the larger half
    uint32_t n = roomFor(to, from, half);
    if (n == 0) return false;
    moveCount(from, to, n);
    return true;
}

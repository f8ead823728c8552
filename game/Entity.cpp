#include "game/Entity.h"

#include "engine/JsonFile.h"

#include <cassert>
#include <cmath>
#include <filesystem>

using nlohmann::json;

json entityInfo;

bool loadEntityInfo(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        entityInfo = nullptr;
        return false;
    }
    entityInfo = nullptr;
    jsonfile::read(path, entityInfo, jsonfile::maxDataFileBytes);
    return entityInfo.is_object();
}

namespace {

// The definition of a name: its type word and base attributes, or false when unusable.
bool findDefinition(const std::string& name, std::string& type, json& baseAttributes) {
    const json& info = entityInfo;
    if (!info.is_object()) return false;
    auto definition = info.find(name);
    if (definition == info.end() || !definition->is_object()) return false;
    auto typeWord = definition->find("type");
    auto base = definition->find("baseAttributes");
    if (typeWord == definition->end() || !typeWord->is_string() || base == definition->end())
        return false;
    type = typeWord->get<std::string>();
    baseAttributes = *base;
    return true;
}

bool readCoordinate(const json& position, const char* key, float& out) {
    auto it = position.find(key);
    if (it == position.end() || !it->is_number()) return false;
    out = it->get<float>();
    return std::isfinite(out);
}

}  // namespace

std::unique_ptr<Entity> Entity::create(const std::string& name, const glm::vec4& position) {
    std::string type;
    json baseAttributes;
    if (!findDefinition(name, type, baseAttributes)) return nullptr;
    return createByType(position, type, baseAttributes);
}

std::unique_ptr<Entity> Entity::fromJson(const json& record) {
    if (!record.is_object()) return nullptr;
    auto name = record.find("name");
    auto position = record.find("position");
    auto attributes = record.find("attributes");
    if (name == record.end() || !name->is_string() || position == record.end() ||
        !position->is_object() || attributes == record.end())
        return nullptr;
    glm::vec4 pos;
    if (!readCoordinate(*position, "x", pos.x) || !readCoordinate(*position, "y", pos.y) ||
        !readCoordinate(*position, "z", pos.z) || !readCoordinate(*position, "w", pos.w))
        return nullptr;
    std::string type;
    json baseAttributes;
    if (!findDefinition(name->get<std::string>(), type, baseAttributes)) return nullptr;
    if (attributes->is_object() && baseAttributes.is_object())
        return createByType(pos, type, mergeAttributes(baseAttributes, *attributes));
    return createByType(pos, type, baseAttributes);
}

json Entity::mergeAttributes(const json& baseAttributes, const json& additions) {
    assert(baseAttributes.is_object() && additions.is_object());
    json merged = baseAttributes;
    for (auto it = additions.begin(); it != additions.end(); ++it) merged[it.key()] = it.value();
    return merged;
}

json Entity::toJson() const {
    glm::vec4 pos = getPos();
    return json{{"name", getName()},
                {"position", {{"x", pos.x}, {"y", pos.y}, {"z", pos.z}, {"w", pos.w}}},
                {"attributes", getAttributes()}};
}

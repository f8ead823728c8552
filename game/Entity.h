#pragma once

#include "engine/Math4D.h"

#include <glm/vec4.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>

class World;
class Player;

// Anything besides blocks that lives in a chunk: a dropped item, a spider or a chest.
// Chunks own their entities through unique pointers.
class Entity {
public:
    virtual ~Entity() = default;

    virtual std::string getName() const = 0;
    virtual void render(World* world, const Mat5& view, bool glasses) = 0;
    virtual void update(World* world, Player* player) = 0;
    virtual glm::vec4 getPos() const = 0;
    virtual void setPos(const glm::vec4& pos) = 0;
    virtual bool isDead() const = 0;
    virtual bool isPersistent() const = 0;
    virtual bool isTargetable() const = 0;
    virtual bool isBlockEntity() const = 0;
    virtual float getRadius() const = 0;
    virtual void hit(float damage, World* world) = 0;
    virtual bool interact(World* world, Player* player, int button) = 0;
    virtual nlohmann::json getAttributes() const = 0;

    // A new entity of a name defined in "entityInfo.json"; null when it cannot be made.
    static std::unique_ptr<Entity> create(const std::string& name, const glm::vec4& position);
    // The entity of a saved record; null when the record or its definition is unusable.
    static std::unique_ptr<Entity> fromJson(const nlohmann::json& record);
    // The factory by type word ("item", "spider", "chest"); null for any other word.
    static std::unique_ptr<Entity> createByType(const glm::vec4& position, const std::string& type,
                                                const nlohmann::json& attributes);
    // baseAttributes with every top-level key of additions replaced by its value.
    static nlohmann::json mergeAttributes(const nlohmann::json& baseAttributes,
                                          const nlohmann::json& additions);

    // {"name", "position": {"x", "y", "z", "w"}, "attributes"}.
    nlohmann::json toJson() const;
};

// The parsed "entityInfo.json" (null until loaded). Loader threads read it, so use only const
// lookups on it (find, contains, value): operator[] would insert.
extern nlohmann::json entityInfo;

// Parses the definitions file; true when it holds a JSON object.
bool loadEntityInfo(const std::string& path = "entityInfo.json");

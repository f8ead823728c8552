#include "game/Entity.h"
#include "game/ItemEntity.h"

// The kinds register here by their type word as they are written; a word without a kind
// yields no entity, which every caller skips.
std::unique_ptr<Entity> Entity::createByType(const glm::vec4& position, const std::string& type,
                                             const nlohmann::json& attributes) {
    std::unique_ptr<Entity> entity;
    if (type == "item") {
        entity = ItemEntity::fromAttributes(attributes);
    } else if (type == "spider") {
        // SpiderEntity: not built yet.
    } else if (type == "chest") {
        // ChestEntity: not built yet.
    }
    if (entity) entity->setPos(position);
    return entity;
}

#include "game/ChestEntity.h"
#include "game/Entity.h"
#include "game/ItemEntity.h"
#include "game/SpiderEntity.h"
#include "game/SpiderVariant.h"

// The kinds by their type word; a word without a kind yields no entity, which every caller
// skips. Spiders are made on the world's loader threads as well as on the main thread.
std::unique_ptr<Entity> Entity::createByType(const glm::vec4& position, const std::string& type,
                                             const nlohmann::json& attributes) {
    std::unique_ptr<Entity> entity;
    if (type == "item") {
        entity = ItemEntity::fromAttributes(attributes);
    } else if (type == "spider") {
        entity = std::make_unique<SpiderEntity>(rollSpiderVariant());  // attributes are not read
    } else if (type == "chest") {
        entity = ChestEntity::fromAttributes(attributes);
    }
    if (entity) entity->setPos(position);
    return entity;
}

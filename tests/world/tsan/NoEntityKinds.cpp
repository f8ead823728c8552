// The sanitizer build of the streaming tests links the world code without the entity kinds
// (they bring in items, players and drawing): here the factory makes no entity, as it does
// for any type word it does not know. Streaming only ever hands entities on.
#include "game/Entity.h"

std::unique_ptr<Entity> Entity::createByType(const glm::vec4&, const std::string&,
                                             const nlohmann::json&) {
    return nullptr;
}

// The sanitizer build of the streaming tests links the world code without the entity kinds
// (they bring in items, players and drawing): here the factory makes none of them, as it does
// for any type word it does not know. Streaming only ever hands entities on. A spider is the one
// exception: the loader threads spawn it, so it rolls its variant as the real factory does and
// stands in as a plain entity that carries the variant.
#include "game/Entity.h"
#include "game/SpiderVariant.h"
#include "world/FakeEntity.h"

std::unique_ptr<Entity> Entity::createByType(const glm::vec4& position, const std::string& type,
                                             const nlohmann::json&) {
    if (type != "spider") return nullptr;
    auto spider = makeFake(position);
    spider->name = "Spider";
    spider->persistent = false;
    spider->targetable = true;
    spider->attributes = {{"type", rollSpiderVariant()}};
    return spider;
}

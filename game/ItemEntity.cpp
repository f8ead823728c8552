#include "game/ItemEntity.h"

#include "engine/ThreadRandom.h"
#include "game/BoxMotion.h"
#include "game/Player.h"
#include "world/World.h"

#include <algorithm>
#include <cmath>

std::unique_ptr<Entity> ItemEntity::fromAttributes(const nlohmann::json& attributes) {
    if (!attributes.is_object()) return nullptr;
    auto record = attributes.find("item");
    if (record == attributes.end()) return nullptr;
    std::unique_ptr<Item> item = Item::fromJson(*record);
    if (!item || item->count == 0) return nullptr;
    return std::unique_ptr<Entity>(new ItemEntity(std::move(item)));
}

std::unique_ptr<Entity> ItemEntity::make(std::unique_ptr<Item> item, const glm::vec4& position,
                                         const glm::vec4& velocity) {
    if (!item) return nullptr;
    std::unique_ptr<ItemEntity> entity(new ItemEntity(std::move(item)));
    entity->velocity = velocity;
    entity->setPos(position);
    return entity;
}

std::unique_ptr<Entity> ItemEntity::makePopping(std::unique_ptr<Item> item, const glm::vec4& position) {
    constexpr float scatter = 0.03f, lift = 0.05f;
    const glm::vec3 b = threadrandom::inBall(scatter);
    return make(std::move(item), position, glm::vec4(b.x, lift, b.y, b.z));
}

nlohmann::json ItemEntity::getAttributes() const {
    return {{"item", item ? item->toJson() : nlohmann::json()}};
}

void ItemEntity::update(World* world, Player* player) {
    if (player && item && glm::distance(pos, player->pos) < pickUpDistance) {
        // A partly taken stack keeps lying with the remainder.
        if (player->inventoryManager.addItem(item) && !item) {
            dead = true;
            return;
        }
    }

    spin += spinPerTick;
    boxmotion::slideAndFall(velocity);

    for (int axis = 0; axis < 4; ++axis)
        if (velocity[axis] != 0.0f) moveAxis(world, axis);
}

bool ItemEntity::moveAxis(World* world, int axis) {
    return boxmotion::moveAxis(world, pos, velocity, halfExtent, axis);
}

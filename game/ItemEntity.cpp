#include "game/ItemEntity.h"

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

    velocity.w *= damping;
    spin += spinPerTick;
    velocity.x *= damping;
    velocity.z *= damping;
    velocity.y = std::max(velocity.y - gravity, -maxFallSpeed);

    for (int axis = 0; axis < 4; ++axis)
        if (velocity[axis] != 0.0f) moveAxis(world, axis);
}

namespace {

constexpr float borderTolerance = 0.0001f;
constexpr float gridLimit = 1.0e9f;

// The cells a box face range [lo, hi] reaches into; a face lying on a cell border does not
// reach into the next cell.
void cellRange(float lo, float hi, int& first, int& last) {
    const float nearLo = std::round(lo);
    first = int(std::fabs(nearLo - lo) <= borderTolerance ? nearLo : std::floor(lo));
    const float nearHi = std::round(hi);
    last = std::fabs(nearHi - hi) <= borderTolerance ? int(nearHi) - 1 : int(std::floor(hi));
}

}  // namespace

bool ItemEntity::moveAxis(World* world, int axis) {
    pos[axis] += velocity[axis];
    // A position read from a damaged file may lie beyond the integer grid: it touches nothing.
    for (int k = 0; k < 4; ++k)
        if (!(std::fabs(pos[k]) < gridLimit)) return false;

    glm::ivec4 first, last;
    for (int k = 0; k < 4; ++k)
        cellRange(pos[k] - halfExtent, pos[k] + halfExtent, first[k], last[k]);

    bool collided = false;
    glm::ivec4 cell;
    for (cell.x = first.x; cell.x <= last.x; ++cell.x)
        for (cell.y = first.y; cell.y <= last.y; ++cell.y)
            for (cell.z = first.z; cell.z <= last.z; ++cell.z)
                for (cell.w = first.w; cell.w <= last.w; ++cell.w) {
                    if (world->getBlock(cell) < 1) continue;  // air, or a chunk not loaded
                    const float border = float(cell[axis]);
                    pos[axis] = velocity[axis] > 0.0f ? border - halfExtent
                                                      : border + 1.0f + halfExtent;
                    collided = true;
                }
    if (collided) velocity[axis] = 0.0f;
    return collided;
}

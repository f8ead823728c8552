#include "game/SpiderEntity.h"

#include "engine/Audio.h"
#include "engine/ThreadRandom.h"
#include "game/BoxMotion.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "world/World.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr glm::vec4 chestHeight{0.0f, 0.9f, 0.0f, 0.0f};
constexpr float fallingSpeed = -1e-7f;
constexpr double potionChance = 0.1;
constexpr const char* hurtSounds[3] = {"spider_hurt_1.wav", "spider_hurt_2.wav", "spider_hurt_3.wav"};
constexpr const char* soundGroup = "creature";

float bite(int difficulty) { return difficulty == 2 ? 15.0f : 5.0f; }

}  // namespace

SpiderEntity::SpiderEntity(int type)
    : type(std::clamp(type, 0, SPIDER_PART_COUNT - 1)), clock(glfwClockSeconds) {}

nlohmann::json SpiderEntity::getAttributes() const {
    return {{"type", type},
            {"direction", {{"x", direction.x}, {"y", direction.y}, {"z", direction.z}, {"w", direction.w}}}};
}

void SpiderEntity::update(World* world, Player* player) {
    boxmotion::slideAndFall(velocity);
    if (player) chase(world, *player);
    testGround(world);

    for (int axis = 0; axis < 4; ++axis)
        if (velocity[axis] != 0.0f) moveAxis(world, axis);

    if (jump) {
        velocity.y = jumpSpeed;
        jump = false;
    }
}

void SpiderEntity::chase(World* world, Player& player) {
    const float distance = glm::distance(pos, player.pos + chestHeight);
    if (!(distance < chaseDistance)) return;

    glm::vec4 a(0.0f);
    const glm::vec4 towards(player.pos.x - pos.x, 0.0f, player.pos.z - pos.z, player.pos.w - pos.w);
    const float length = glm::length(towards);
    // Straight above or below there is no way to turn: keep facing, add nothing.
    if (length > 0.0f && std::isfinite(length)) {
        direction = towards / length;
        a = direction * acceleration;
    }

    if (distance < biteDistance) {
        a = -a;  // backs off
        const double now = player.clock();
        if (player.lastDamageTime == 0.0 || now - player.lastDamageTime >= biteInterval) {
            player.lastDamageTime = now;
            player.health -= bite(world ? int(world->difficulty) : 1);
        }
    }
    velocity += a;
    legPhase += legPhaseStep;
}

void SpiderEntity::testGround(World* world) {
    if (velocity.y > fallingSpeed) {
        onGround = false;
        return;
    }
    const float bottom = pos.y - halfExtent;
    const float level = std::round(bottom);
    // Float steps of the fall land the bottom a few ulps off the grid plane, more the higher
    // the ground lies: the same tolerance as the collision's.
    if (!(std::fabs(bottom - level) <= boxmotion::borderTolerance)) return;
    onGround = false;
    if (!boxmotion::onGrid(pos)) return;
    glm::ivec4 cell;
    cell.y = int(level) - 1;
    const glm::ivec4 lo(glm::floor(pos - halfExtent)), hi(glm::floor(pos + halfExtent));
    for (cell.x = lo.x; cell.x <= hi.x && !onGround; ++cell.x)
        for (cell.z = lo.z; cell.z <= hi.z && !onGround; ++cell.z)
            for (cell.w = lo.w; cell.w <= hi.w && !onGround; ++cell.w)
                onGround = world->getBlock(cell) >= 1;
}

bool SpiderEntity::moveAxis(World* world, int axis) {
    const bool collided = boxmotion::moveAxis(world, pos, velocity, halfExtent, axis);
    if (collided && axis != 1 && onGround) {
        onGround = false;
        jump = true;
    }
    return collided;
}

void SpiderEntity::hit(float damage, World* world) {
    if (dead) return;
    const double now = clock();
    if (lastHitTime != 0.0 && now - lastHitTime < hitCooldown) return;
    lastHitTime = now;
    health -= damage;
    if (health > 0.0f) {
        audio::playSound(hurtSounds[threadrandom::next32() % 3], soundGroup);
        velocity.x = velocity.z = velocity.w = 0.0f;
        return;
    }
    dead = true;
    dropLoot(world);
    audio::playSound("spider_death.wav", soundGroup);
}

void SpiderEntity::dropLoot(World* world) {
    auto drop = [&](const char* name) {
        const unsigned count = threadrandom::next32() % 3 + 1;
        // A name missing from the catalogue makes no item, and no entity.
        std::unique_ptr<Entity> loot = ItemEntity::makePopping(Item::create(name, count), pos);
        if (loot && world) world->addEntity(loot);  // what no loaded chunk takes is freed here
    };
    drop("Hypersilk");
    if (threadrandom::unit() < potionChance) drop("Health Potion");
}

bool SpiderEntity::isFlashing() const {
    return lastHitTime != 0.0 && clock() - lastHitTime < hitCooldown;
}

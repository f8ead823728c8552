#include "items/MaterialItem.h"

#include "game/ItemEntity.h"
#include "game/Player.h"
#include "world/World.h"

#include <algorithm>

namespace {

constexpr int RIGHT_BUTTON = 1;
constexpr float bottleThrowSpeed = 0.2f;
constexpr float bottleThrowHeight = 1.8f;  // the head, where the potion was drunk

}  // namespace

bool MaterialItem::isSpecial() const {
    return name == "Deadly Bars" || name == "Compass" || name == "4D Glasses";
}

bool MaterialItem::canStackWith(const std::unique_ptr<Item>& other) const {
    const auto* material = dynamic_cast<const MaterialItem*>(other.get());
    return material && material->name == name;
}

bool MaterialItem::use(World* world, Player* player, int button) {
    if (button != RIGHT_BUTTON || name != "Health Potion" || !player || count == 0) return false;
    if (!(player->health < fullHealth)) return false;
    player->health = std::min(player->health + potionHealing, fullHealth);

    // The empty bottle flies on from the head; without a "Klein Bottle" in the catalogue the
    // potion is still drunk and nothing is thrown.
    if (std::unique_ptr<Item> bottle = Item::create("Klein Bottle", 1); bottle && world) {
        const glm::vec4 from = player->pos + glm::vec4(0.0f, bottleThrowHeight, 0.0f, 0.0f);
        std::unique_ptr<Entity> thrown =
            ItemEntity::make(std::move(bottle), from, bottleThrowSpeed * player->forward);
        world->addEntity(thrown);  // freed here when no loaded chunk takes it
    }
    --count;
    return false;
}

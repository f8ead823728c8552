#include "game/ItemEntity.h"
#include "game/Player.h"
#include "world/World.h"

#include <glm/gtc/random.hpp>

#include <cmath>

namespace {

constexpr float reach = 6.0f;
constexpr double hitCooldown = 0.8;
constexpr uint8_t leavesId = 5;
constexpr float bareHandOnLeaves = 0.01f;
constexpr float throwAhead = 0.6f;
constexpr float throwSpeed = 0.2f;
constexpr float throwLift = 0.05f;
constexpr float throwScatter = 0.01f;
constexpr float stickScatter = 0.03f;
constexpr float stickLift = 0.05f;

// The selected hotbar slot, or null when the selection lies outside the grid.
std::unique_ptr<Item>* selectedSlot(Inventory& hotbar) {
    return hotbar.slotInBounds(hotbar.selected) ? &hotbar.selectedSlot() : nullptr;
}

void removeIfUsedUp(std::unique_ptr<Item>& slot) {
    if (slot && slot->count == 0) slot.reset();
}

// One tick of the left button on the target block: the held item's progress (or the bare
// hand's on leaves), then at 1.0 the block breaks and the next target is found at once.
void mineTarget(Player& player, World* world, int16_t id) {
    if (player.mineStartTime == 0.0) player.mineStartTime = player.clock();
    const bool used = player.hotbar.useSelected(world, &player, 0);
    if (!used && id == leavesId) player.breakProgress += bareHandOnLeaves;
    if (player.breakProgress < 1.0f) return;

    player.breakProgress = 0.0f;
    world->setBlock(player.targetBlock, 0);
    bool handled = false;
    if (std::unique_ptr<Item>* slot = selectedSlot(player.hotbar); slot && *slot) {
        handled = (*slot)->onBlockBroken(world, &player, uint8_t(id), player.targetBlock);
        removeIfUsedUp(*slot);
    }
    if (!handled && id == leavesId) {
        const glm::vec3 b = glm::ballRand(stickScatter);
        std::unique_ptr<Entity> stick =
            ItemEntity::make(Item::create("Stick", 1), glm::vec4(player.targetBlock) + 0.5f,
                             glm::vec4(b.x, stickLift, b.y, b.z));
        world->addEntity(stick);  // a stick no loaded chunk takes is dropped with it
    }
    player.raycastBlock(world, reach);
}

}  // namespace

void Player::dropItem(World* world, std::unique_ptr<Item>& item) {
    if (!item) return;
    const glm::vec3 b = glm::ballRand(throwScatter);
    const glm::vec4 f = forward;
    const glm::vec4 throwVelocity(f.x * throwSpeed + b.x, f.y * throwSpeed + throwLift,
                                  f.z * throwSpeed + b.y, f.w * throwSpeed + b.z);
    const glm::vec4 start = glm::vec4(pos.x, headY, pos.z, pos.w) + f * throwAhead;

    std::unique_ptr<Entity> entity = ItemEntity::make(std::move(item), start, throwVelocity);
    if (world->addEntity(entity)) return;
    // No loaded chunk takes it: the stack goes back into the inventories rather than being
    // lost; whatever does not fit stays with the caller's holder.
    item = std::move(static_cast<ItemEntity&>(*entity).item);
    inventoryManager.addItem(item);
}

void Player::dropPendingItem(World* world) {
    if (pendingDrop) dropItem(world, pendingDrop);
}

void Player::useHands(World* world) {
    std::unique_ptr<Item>& carried = inventoryGui->cursorItem();
    if (carried) dropItem(world, carried);

    if (dropRequested) {
        dropRequested = false;
        std::unique_ptr<Item>* slot = selectedSlot(hotbar);
        if (slot && *slot) {
            std::unique_ptr<Item> one;
            Item::moveOne(*slot, one);
            dropItem(world, one);
            if (one && !pendingDrop) pendingDrop = std::move(one);
        }
    }

    int button = 0;
    if (input[InputUsing]) {
        if (holdingCompass()) return;  // the right button turns the compass instead
        button = input[InputMining] ? 0 : 1;
    } else if (!input[InputMining]) {
        breakProgress = 0.0f;
        return;
    }

    if (std::unique_ptr<Entity>* creature = world->pickEntity(eyePos, rayEnd)) {
        std::unique_ptr<Item>* slot = selectedSlot(hotbar);
        if (clock() - lastAttackTime >= hitCooldown && slot && *slot) {
            const bool hit = (*slot)->useOnEntity(world, this, *creature, button);
            removeIfUsedUp(*slot);
            if (hit) lastAttackTime = clock();
        }
        return;
    }

    const int16_t id = world->getBlock(targetBlock);
    if (!hasTargetBlock) {
        breakProgress = 0.0f;
        hotbar.useSelected(world, this, button);
        return;
    }

    if (input[InputMining]) {
        mineTarget(*this, world, id);
        return;
    }

    // A right click on a block.
    if (!hasPlacePos) return;
    mineStartTime = 0.0;
    if (std::unique_ptr<Entity>* blockEntity = world->getBlockEntity(targetBlock))
        if (*blockEntity && (*blockEntity)->interact(world, this, 1)) return;
    const bool inBodyColumn = placePos.x == currentBlock.x && placePos.z == currentBlock.z &&
                              placePos.w == currentBlock.w &&
                              placePos.y >= int(std::floor(pos.y)) &&
                              placePos.y <= int(std::floor(headY));
    if (!inBodyColumn) {
        hotbar.useSelected(world, this, 1);
        raycastBlock(world, reach);
    }
    input[InputUsing] = false;
}

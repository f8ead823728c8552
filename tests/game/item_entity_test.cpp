#include "game/GameTestSupport.h"

#include <cmath>

using namespace gametest;

namespace {

// One loaded chunk (0, 0, 0); the player stands far from every item unless a test brings it close.
class ItemEntityTest : public ::testing::Test {
protected:
    HandWorld hand{glm::ivec3(0), glm::ivec3(0)};
    Player player;

    void SetUp() override {
        loadCatalogue();
        player.pos = glm::vec4(100.0f);
    }
    // A dropped stack and its entity; `tick` runs the entity's updates.
    struct Drop {
        std::unique_ptr<Entity> entity;
        ItemEntity& item() { return dynamic_cast<ItemEntity&>(*entity); }
    };
    Drop drop(std::unique_ptr<Item> item, const glm::vec4& pos, const glm::vec4& velocity = glm::vec4(0.0f)) {
        Drop d{ItemEntity::make(std::move(item), pos, velocity)};
        EXPECT_NE(d.entity, nullptr);
        return d;
    }
    void tick(Drop& d, int ticks = 1) {
        for (int i = 0; i < ticks; ++i) d.entity->update(&hand.world, &player);
    }
};

TEST_F(ItemEntityTest, ComesToRestOnTopOfTheGroundSpinning) {
    hand.fillLayer(64, 2);
    Drop d = drop(blocks(2, 1), {4.5f, 70.0f, 4.5f, 4.5f});
    tick(d, 300);
    EXPECT_FLOAT_EQ(d.item().pos.y, 65.1f);
    EXPECT_EQ(d.item().velocity.y, 0.0f);
    EXPECT_EQ(d.item().pos.x, 4.5f);
    EXPECT_EQ(d.item().pos.w, 4.5f);
    EXPECT_FALSE(d.item().isDead());
    EXPECT_NEAR(d.item().spin, 3.0f, 1e-5f) << "0.01 per tick";
}

TEST_F(ItemEntityTest, FallsNoFasterThanItsCapAndSlowsWithoutFriction) {
    Drop d = drop(blocks(2, 1), {4.5f, 1000.0f, 4.5f, 4.5f}, {0.1f, 0.0f, 0.1f, 0.1f});
    tick(d);
    EXPECT_NEAR(glm::distance(d.item().velocity, glm::vec4(0.092f, -0.003f, 0.092f, 0.092f)), 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(d.item().pos.x, 4.592f);
    float largestDrop = 0.0f;
    for (int i = 0; i < 400; ++i) {
        const float before = d.item().pos.y;
        tick(d);
        largestDrop = std::max(largestDrop, before - d.item().pos.y);
    }
    EXPECT_FLOAT_EQ(d.item().velocity.y, -0.8f);
    EXPECT_LE(largestDrop, 0.8f + 1e-4f);
    EXPECT_GT(largestDrop, 0.79f);
}

TEST_F(ItemEntityTest, FallsThroughUnloadedChunksAndFarDamagedPositions) {
    hand.addChunk({1, 0, 0}, false)->setBlock(4, 64, 4, 4, 3);
    Drop unloaded = drop(blocks(2, 1), {12.5f, 70.0f, 4.5f, 4.5f});
    Drop far = drop(blocks(2, 1), {4.5f, 70.0f, 3.0e30f, 4.5f});
    tick(unloaded, 300);
    tick(far, 3);
    EXPECT_LT(unloaded.item().pos.y, 64.0f);
    EXPECT_LT(far.item().pos.y, 70.0f);
}

TEST_F(ItemEntityTest, StopsAgainstAWallWithItsFaceOnTheBlock) {
    hand.fillLayer(64, 2);
    hand.set({6, 65, 4, 4}, 3);
    Drop d = drop(blocks(2, 1), {4.5f, 65.1f, 4.5f, 4.5f}, {0.3f, 0.0f, 0.0f, 0.0f});
    tick(d, 20);
    EXPECT_FLOAT_EQ(d.item().pos.x, 5.9f);
    EXPECT_EQ(d.item().velocity.x, 0.0f);
    d.item().velocity.x = 0.05f;
    EXPECT_TRUE(d.item().moveAxis(&hand.world, 0));
    d.item().velocity.x = -0.05f;
    EXPECT_FALSE(d.item().moveAxis(&hand.world, 0)) << "a face on a cell border does not reach into it";
}

TEST_F(ItemEntityTest, IsPickedUpOnlyWithinHalfABlock) {
    hand.fillLayer(64, 2);
    Drop d = drop(blocks(2, 7), {4.5f, 65.1f, 4.5f, 4.5f});
    player.pos = glm::vec4(5.0f, 65.1f, 4.5f, 4.5f);
    tick(d);
    EXPECT_FALSE(d.entity->isDead()) << "exactly 0.5 away";
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 0u);
    player.pos.x = 4.9999f;
    tick(d);
    EXPECT_TRUE(d.entity->isDead());
    EXPECT_EQ(d.item().item, nullptr);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 7u);
    EXPECT_EQ(player.hotbar.getSlot(0)->getName(), "Dirt");
}

TEST_F(ItemEntityTest, FullAndPartlyFullInventoriesLeaveTheRestFalling) {
    for (auto slot = player.inventoryManager.begin(); slot != player.inventoryManager.end(); ++slot)
        *slot = blocks(3, 100);
    Drop full = drop(blocks(2, 4), {4.5f, 70.0f, 4.5f, 4.5f});
    player.pos = full.entity->getPos();
    tick(full, 2);
    EXPECT_FALSE(full.entity->isDead());
    EXPECT_EQ(countOf(full.item().item), 4u);
    EXPECT_LT(full.item().pos.y, 70.0f);

    player.inventory.getSlot(9) = blocks(2, 95);
    Drop partly = drop(blocks(2, 10), {4.5f, 70.0f, 4.5f, 4.5f});
    player.pos = partly.entity->getPos();
    tick(partly);
    EXPECT_FALSE(partly.entity->isDead());
    EXPECT_EQ(countOf(partly.item().item), 5u);
    EXPECT_EQ(countOf(player.inventory.getSlot(9)), 100u);
    EXPECT_LT(partly.item().pos.y, 70.0f) << "the rest keeps its physics";
}

TEST_F(ItemEntityTest, RecordsRoundTripAndUnmakeableItemsGiveNoEntity) {
    const nlohmann::json stack = {{"name", "Stone"}, {"count", 12}, {"attributes", nlohmann::json::object()}};
    const nlohmann::json record = {{"name", "Item"},
                                   {"position", {{"x", 1.5}, {"y", 70.0}, {"z", -2.5}, {"w", 3.25}}},
                                   {"attributes", {{"item", stack}}}};
    auto entity = Entity::fromJson(record);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->toJson(), record);

    nlohmann::json unknown = record;
    unknown["attributes"]["item"]["name"] = "Unobtainium";
    EXPECT_EQ(Entity::fromJson(unknown), nullptr);
    unknown["attributes"] = nullptr;  // falls back to the definition's null item
    EXPECT_EQ(Entity::fromJson(unknown), nullptr);
    EXPECT_EQ(ItemEntity::fromAttributes(nlohmann::json::array()), nullptr);
    nlohmann::json empty = stack;
    empty["count"] = 0;
    EXPECT_EQ(ItemEntity::fromAttributes({{"item", empty}}), nullptr);
    EXPECT_EQ(ItemEntity::make(nullptr, glm::vec4(0.0f), glm::vec4(0.0f)), nullptr);

    // A coordinate beyond float range would place the entity at infinity.
    nlohmann::json faraway = record;
    faraway["position"]["w"] = 1e39;
    EXPECT_EQ(Entity::fromJson(faraway), nullptr);
}

TEST_F(ItemEntityTest, TheModelBobsAndSpinsAboutItsCentre) {
    Drop d = drop(blocks(2, 1), {4.0f, 65.0f, 6.0f, 8.0f});
    Mat5 mv = d.item().modelView(Mat5());
    EXPECT_EQ(mv.transform({0, 0, 0, 0}, 1.0f), glm::vec4(4.0f, 65.1f, 6.0f, 8.0f)) << "spin 0: bob 0.1 up";
    EXPECT_FLOAT_EQ(mv.transform({1, 0, 0, 0}, 0.0f).x, 0.2f);

    d.item().spin = 1.2f;
    mv = d.item().modelView(Mat5());
    EXPECT_FLOAT_EQ(mv.transform({0, 0, 0, 0}, 1.0f).y, 65.0f + (std::sin(1.2f) + 1.0f) * 0.1f);
    const glm::vec4 turnedX = mv.transform({1, 0, 0, 0}, 0.0f);
    EXPECT_NEAR(glm::length(turnedX), 0.2f, 1e-6f);
    EXPECT_NEAR(turnedX.x, 0.2f * std::cos(1.2f), 1e-6f);
    EXPECT_NEAR(turnedX.z, turnedX.w, 1e-6f) << "turns in the plane of x and z + w";
    EXPECT_NEAR(mv.transform({0, 1, 0, 0}, 0.0f).y, 0.2f, 1e-6f) << "the vertical stays upright";
}

}  // namespace

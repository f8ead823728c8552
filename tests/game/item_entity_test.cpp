#include "game/PlayWorld.h"

#include <cmath>

namespace {

using play::blocks;
using play::countOf;

class ItemEntityTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        addChunk({0, 0, 0});
        // Far from every item unless a test brings the player close.
        player.pos = glm::vec4(100.0f, 100.0f, 100.0f, 100.0f);
    }

    static ItemEntity& asItem(std::unique_ptr<Entity>& entity) {
        return dynamic_cast<ItemEntity&>(*entity);
    }
    std::unique_ptr<Entity> drop(std::unique_ptr<Item> item, const glm::vec4& pos,
                                 const glm::vec4& velocity = glm::vec4(0.0f)) {
        auto entity = ItemEntity::make(std::move(item), pos, velocity);
        EXPECT_NE(entity, nullptr);
        return entity;
    }
    void tick(std::unique_ptr<Entity>& entity, int ticks = 1) {
        for (int i = 0; i < ticks; ++i) entity->update(&world, &player);
    }
    void fillInventories(int id) {
        for (auto slot = player.inventoryManager.begin(); slot != player.inventoryManager.end();
             ++slot)
            *slot = blocks(id, 100);
    }
};

TEST_F(ItemEntityTest, ComesToRestOnTopOfTheGround) {
    fillLayer(64, 2);
    auto entity = drop(blocks(2, 1), {4.5f, 70.0f, 4.5f, 4.5f});
    tick(entity, 300);
    ItemEntity& item = asItem(entity);
    EXPECT_FLOAT_EQ(item.pos.y, 65.1f);
    EXPECT_EQ(item.velocity.y, 0.0f);
    EXPECT_EQ(item.pos.x, 4.5f);
    EXPECT_EQ(item.pos.w, 4.5f);
    EXPECT_FALSE(item.isDead());
    EXPECT_NEAR(item.spin, 3.0f, 1e-5f) << "0.01 per tick";
}

TEST_F(ItemEntityTest, FallsNoFasterThanItsCap) {
    auto entity = drop(blocks(2, 1), {4.5f, 1000.0f, 4.5f, 4.5f});
    ItemEntity& item = asItem(entity);
    float largestDrop = 0.0f;
    for (int i = 0; i < 400; ++i) {
        const float before = item.pos.y;
        tick(entity);
        largestDrop = std::max(largestDrop, before - item.pos.y);
    }
    EXPECT_FLOAT_EQ(item.velocity.y, -0.8f);
    EXPECT_LE(largestDrop, 0.8f + 1e-4f);
    EXPECT_GT(largestDrop, 0.79f);
}

TEST_F(ItemEntityTest, FallsThroughAChunkThatIsNotLoaded) {
    Chunk* unloaded = addChunk({1, 0, 0}, false);
    for (int x = 0; x < 8; ++x)
        for (int z = 0; z < 8; ++z)
            for (int w = 0; w < 8; ++w) unloaded->setBlock(x, 64, z, w, 3);
    auto entity = drop(blocks(2, 1), {12.5f, 70.0f, 4.5f, 4.5f});
    tick(entity, 300);
    EXPECT_LT(asItem(entity).pos.y, 64.0f);
}

TEST_F(ItemEntityTest, StopsAgainstAWallWithItsFaceOnTheBlock) {
    fillLayer(64, 2);
    set({6, 65, 4, 4}, 3);
    auto entity = drop(blocks(2, 1), {4.5f, 65.1f, 4.5f, 4.5f}, {0.3f, 0.0f, 0.0f, 0.0f});
    ItemEntity& item = asItem(entity);
    tick(entity, 20);
    EXPECT_FLOAT_EQ(item.pos.x, 5.9f);
    EXPECT_EQ(item.velocity.x, 0.0f);

    item.velocity.x = 0.05f;
    EXPECT_TRUE(item.moveAxis(&world, 0));
    item.velocity.x = -0.05f;
    EXPECT_FALSE(item.moveAxis(&world, 0)) << "a face on a cell border does not reach into it";
}

TEST_F(ItemEntityTest, SlowsDownWithoutFriction) {
    auto entity = drop(blocks(2, 1), {4.5f, 100.0f, 4.5f, 4.5f}, {0.1f, 0.0f, 0.1f, 0.1f});
    tick(entity);
    ItemEntity& item = asItem(entity);
    EXPECT_FLOAT_EQ(item.velocity.x, 0.092f);
    EXPECT_FLOAT_EQ(item.velocity.z, 0.092f);
    EXPECT_FLOAT_EQ(item.velocity.w, 0.092f);
    EXPECT_FLOAT_EQ(item.velocity.y, -0.003f);
    EXPECT_FLOAT_EQ(item.pos.x, 4.592f);
}

TEST_F(ItemEntityTest, IsPickedUpOnlyWithinHalfABlock) {
    fillLayer(64, 2);
    auto entity = drop(blocks(2, 7), {4.5f, 65.1f, 4.5f, 4.5f});
    player.pos = glm::vec4(5.0f, 65.1f, 4.5f, 4.5f);
    tick(entity);
    EXPECT_FALSE(entity->isDead()) << "exactly 0.5 away";
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 0u);

    player.pos.x = 4.9999f;
    tick(entity);
    EXPECT_TRUE(entity->isDead());
    EXPECT_EQ(asItem(entity).item, nullptr);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 7u);
    EXPECT_EQ(player.hotbar.getSlot(0)->getName(), "Dirt");
}

TEST_F(ItemEntityTest, AFullInventoryLeavesTheItemFalling) {
    fillInventories(3);
    auto entity = drop(blocks(2, 4), {4.5f, 70.0f, 4.5f, 4.5f});
    player.pos = entity->getPos();
    tick(entity, 2);
    ItemEntity& item = asItem(entity);
    EXPECT_FALSE(item.isDead());
    EXPECT_EQ(countOf(item.item), 4u);
    EXPECT_LT(item.pos.y, 70.0f);
}

TEST_F(ItemEntityTest, APartlyFullInventoryTakesWhatFits) {
    fillInventories(3);
    player.inventory.getSlot(9) = blocks(2, 95);
    auto entity = drop(blocks(2, 10), {4.5f, 70.0f, 4.5f, 4.5f});
    player.pos = entity->getPos();
    tick(entity);
    EXPECT_FALSE(entity->isDead());
    EXPECT_EQ(countOf(asItem(entity).item), 5u);
    EXPECT_EQ(countOf(player.inventory.getSlot(9)), 100u);
    EXPECT_LT(asItem(entity).pos.y, 70.0f) << "the rest keeps its physics";
}

TEST_F(ItemEntityTest, TheHotbarFillsBeforeTheInventory) {
    player.inventory.getSlot(0) = blocks(2, 10);
    player.hotbar.getSlot(0) = blocks(2, 98);
    auto entity = drop(blocks(2, 5), {4.5f, 70.0f, 4.5f, 4.5f});
    player.pos = entity->getPos();
    tick(entity);
    EXPECT_TRUE(entity->isDead());
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 100u);
    EXPECT_EQ(countOf(player.hotbar.getSlot(1)), 3u);
    EXPECT_EQ(countOf(player.inventory.getSlot(0)), 10u);
}

TEST_F(ItemEntityTest, RecordsRoundTripAndUnmakeableItemsGiveNoEntity) {
    const nlohmann::json stack = {
        {"name", "Stone"}, {"count", 12}, {"attributes", nlohmann::json::object()}};
    const nlohmann::json record = {
        {"name", "Item"},
        {"position", {{"x", 1.5}, {"y", 70.0}, {"z", -2.5}, {"w", 3.25}}},
        {"attributes", {{"item", stack}}}};
    auto entity = Entity::fromJson(record);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->getName(), "Item");
    EXPECT_EQ(entity->getPos(), glm::vec4(1.5f, 70.0f, -2.5f, 3.25f));
    EXPECT_EQ(entity->toJson(), record);
    EXPECT_TRUE(entity->isPersistent());
    EXPECT_FALSE(entity->isTargetable());
    EXPECT_FALSE(entity->isBlockEntity());
    EXPECT_FLOAT_EQ(entity->getRadius(), 0.2f);

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
}

TEST_F(ItemEntityTest, ADamagedFarPositionTouchesNothing) {
    auto entity = drop(blocks(2, 1), {4.5f, 70.0f, 3.0e30f, 4.5f});
    tick(entity, 3);
    EXPECT_LT(asItem(entity).pos.y, 70.0f);
}

TEST_F(ItemEntityTest, TheModelBobsAndSpinsAboutItsCentre) {
    auto entity = drop(blocks(2, 1), {4.0f, 65.0f, 6.0f, 8.0f});
    ItemEntity& item = asItem(entity);
    const Mat5 identity;

    Mat5 mv = item.modelView(identity);
    EXPECT_EQ(mv.transform({0, 0, 0, 0}, 1.0f), glm::vec4(4.0f, 65.1f, 6.0f, 8.0f))
        << "spin 0: bob 0.1 up";
    const glm::vec4 x = mv.transform({1, 0, 0, 0}, 0.0f);
    EXPECT_FLOAT_EQ(x.x, 0.2f);

    item.spin = 1.2f;
    mv = item.modelView(identity);
    const glm::vec4 centre = mv.transform({0, 0, 0, 0}, 1.0f);
    EXPECT_FLOAT_EQ(centre.y, 65.0f + (std::sin(1.2f) + 1.0f) * 0.1f);
    const glm::vec4 turnedX = mv.transform({1, 0, 0, 0}, 0.0f);
    const glm::vec4 turnedY = mv.transform({0, 1, 0, 0}, 0.0f);
    EXPECT_NEAR(glm::length(turnedX), 0.2f, 1e-6f);
    EXPECT_NEAR(turnedX.x, 0.2f * std::cos(1.2f), 1e-6f);
    EXPECT_NEAR(turnedX.z, turnedX.w, 1e-6f) << "turns in the plane of x and z + w";
    EXPECT_NEAR(turnedY.y, 0.2f, 1e-6f) << "the vertical stays upright";
}

}  // namespace

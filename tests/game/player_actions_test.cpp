#include "game/PlayWorld.h"
#include "game/TestPick.h"
#include "world/FakeEntity.h"

#include <cmath>

namespace {

using play::blocks;
using play::countOf;

// A block entity that opens on a right click, like a chest.
class OpeningEntity : public FakeEntity {
public:
    int opened = 0;
    bool interact(World*, Player*, int button) override {
        opened += button == 1;
        return true;
    }
};

class PlayerActionsTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        addChunks(-1, 2);
        fillLayer(63, 3);
        fillLayer(64, 2);
        stand({4.5f, 65.0f, 4.5f, 4.5f});
    }

    TestPick* holdPick(int row = 0) {
        auto pick = std::make_unique<TestPick>();
        TestPick* raw = pick.get();
        player.hotbar.getSlot(row) = std::move(pick);
        return raw;
    }
    // One game tick of the player, 0.01 s of the fake clock.
    void tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            player.update(nullptr, &world);
            now += 0.01;
        }
    }
    std::vector<ItemEntity*> droppedItems() {
        std::vector<ItemEntity*> items;
        for (Entity* entity : entities())
            if (auto* item = dynamic_cast<ItemEntity*>(entity)) items.push_back(item);
        return items;
    }
};

// The aim ray.

TEST_F(PlayerActionsTest, TheAimReachesExactlySixBlocks) {
    set({4, 70, 16, 4}, 3);
    player.eyePos = glm::vec4(4.5f, 70.5f, 10.0f, 4.5f);
    player.raycastBlock(&world, 6.0f);
    ASSERT_TRUE(player.hasTargetBlock);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 70, 16, 4));
    EXPECT_TRUE(player.hasPlacePos);
    EXPECT_EQ(player.placePos, glm::ivec4(4, 70, 15, 4));
    EXPECT_EQ(player.rayEnd, glm::vec4(4.5f, 70.5f, 16.0f, 4.5f));

    player.eyePos.z = 9.99f;
    player.raycastBlock(&world, 6.0f);
    EXPECT_FALSE(player.hasTargetBlock);
    EXPECT_EQ(player.rayEnd, glm::vec4(4.5f, 70.5f, 15.99f, 4.5f));
    EXPECT_TRUE(player.hasPlacePos) << "a miss leaves the place cell as it was";
}

TEST_F(PlayerActionsTest, ThePlaceCellLiesOnTheFaceTheAimCrossed) {
    player.eyePos = glm::vec4(4.5f, 66.6f, 4.5f, 4.5f);
    player.forward = glm::vec4(0, -1, 0, 0);
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 64, 4, 4));
    EXPECT_EQ(player.placePos, glm::ivec4(4, 65, 4, 4)) << "looking down: the cell above";

    set({6, 70, 4, 4}, 3);
    player.eyePos = glm::vec4(4.5f, 70.5f, 4.3f, 4.5f);
    player.forward = glm::normalize(glm::vec4(1.0f, 0.0f, 0.1f, 0.0f));
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.targetBlock, glm::ivec4(6, 70, 4, 4));
    EXPECT_EQ(player.placePos, glm::ivec4(5, 70, 4, 4));

    set({4, 70, 4, 1}, 3);
    player.eyePos = glm::vec4(4.5f, 70.5f, 4.5f, 4.5f);
    player.forward = glm::vec4(0, 0, 0, -1);
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 70, 4, 1));
    EXPECT_EQ(player.placePos, glm::ivec4(4, 70, 4, 2)) << "entered through the face w = 2";
    EXPECT_FLOAT_EQ(player.rayEnd.w, 2.0f);
}

TEST_F(PlayerActionsTest, TheAimWorksAcrossNegativeCoordinates) {
    set({-4, 70, -6, -3}, 3);
    player.eyePos = glm::vec4(-3.5f, 70.5f, -3.5f, -2.5f);
    player.forward = glm::vec4(0, 0, -1, 0);
    player.raycastBlock(&world, 6.0f);
    ASSERT_TRUE(player.hasTargetBlock);
    EXPECT_EQ(player.targetBlock, glm::ivec4(-4, 70, -6, -3));
    EXPECT_EQ(player.placePos, glm::ivec4(-4, 70, -5, -3));
}

TEST_F(PlayerActionsTest, AnEyeInsideABlockTargetsThatBlock) {
    set({4, 70, 4, 4}, 3);
    player.hasPlacePos = false;
    player.eyePos = glm::vec4(4.5f, 70.5f, 4.5f, 4.5f);
    player.raycastBlock(&world, 6.0f);
    EXPECT_TRUE(player.hasTargetBlock);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 70, 4, 4));
    EXPECT_FALSE(player.hasPlacePos);
    EXPECT_EQ(player.rayEnd, player.eyePos);
}

TEST_F(PlayerActionsTest, ANewTargetRestartsTheMining) {
    set({4, 70, 7, 4}, 3);
    set({5, 70, 7, 4}, 3);
    player.eyePos = glm::vec4(4.5f, 70.5f, 4.5f, 4.5f);
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.mineStartTime, 100.0);
    player.breakProgress = 0.5f;
    now = 101.0;
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.breakProgress, 0.5f) << "the same target keeps its progress";
    EXPECT_EQ(player.mineStartTime, 100.0);

    player.eyePos.x = 5.5f;
    player.raycastBlock(&world, 6.0f);
    EXPECT_EQ(player.targetBlock, glm::ivec4(5, 70, 7, 4));
    EXPECT_EQ(player.breakProgress, 0.0f);
    EXPECT_EQ(player.mineStartTime, 101.0);
}

TEST_F(PlayerActionsTest, TheAimEndsForAnyEyePosition) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const glm::vec4 eyes[] = {{nan, 70.0f, 4.5f, 4.5f},
                              {4.5f, inf, 4.5f, 4.5f},
                              {3.0e9f, 70.0f, 4.0e9f, -5.0e9f},
                              {1.0e8f, 70.5f, 1.0e8f, 1.0e8f}};
    for (const glm::vec4& eye : eyes) {
        player.hasTargetBlock = true;
        player.eyePos = eye;
        player.forward = glm::normalize(glm::vec4(0.3f, -0.2f, 0.9f, 0.1f));
        player.raycastBlock(&world, 6.0f);
        EXPECT_FALSE(player.hasTargetBlock);
    }
    player.eyePos = glm::vec4(4.5f, 70.5f, 4.5f, 4.5f);
    player.forward = glm::vec4(0.0f);
    player.raycastBlock(&world, 6.0f);
    EXPECT_FALSE(player.hasTargetBlock) << "a zero view direction";
}

TEST_F(PlayerActionsTest, TheAimFindsACreatureBeforeABlock) {
    TestPick* pick = holdPick();
    set({4, 66, 9, 4}, 3);
    auto creature = std::make_unique<FakeEntity>(glm::vec4(4.5f, 66.8f, 7.0f, 4.5f));
    creature->targetable = true;
    creature->radius = 0.6f;
    std::unique_ptr<Entity> entity = std::move(creature);
    world.addEntity(entity);
    player.input[Player::InputMining] = true;
    tick();
    ASSERT_TRUE(player.hasTargetBlock);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 66, 9, 4));
    EXPECT_EQ(pick->hits, 1);
    EXPECT_EQ(pick->uses, 0) << "the creature ends the tick before mining";
    EXPECT_EQ(player.breakProgress, 0.0f);
    EXPECT_EQ(player.lastAttackTime, 100.0);
}

TEST_F(PlayerActionsTest, TheHitCooldownHolds) {
    TestPick* pick = holdPick();
    auto creature = std::make_unique<FakeEntity>(glm::vec4(4.5f, 66.8f, 6.5f, 4.5f));
    creature->targetable = true;
    creature->radius = 0.6f;
    std::unique_ptr<Entity> entity = std::move(creature);
    world.addEntity(entity);
    player.input[Player::InputMining] = true;

    tick();
    EXPECT_EQ(pick->hits, 1);
    now = 100.79;
    tick();
    EXPECT_EQ(pick->hits, 1);
    now = 100.81;
    tick();
    EXPECT_EQ(pick->hits, 2);

    player.hotbar.getSlot(0).reset();
    now = 110.0;
    tick();
    EXPECT_EQ(player.lastAttackTime, 100.81) << "an empty hand makes no hit";
}

// Mining.

TEST_F(PlayerActionsTest, LeavesBreakOnTheHundredAndFirstTickAndDropAStick) {
    set({4, 66, 6, 4}, 5);
    player.input[Player::InputMining] = true;
    tick(100);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 5);
    EXPECT_LT(player.breakProgress, 1.0f);
    EXPECT_TRUE(droppedItems().empty());

    tick();
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 0);
    EXPECT_EQ(player.breakProgress, 0.0f);
    auto items = droppedItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->item->getName(), "Stick");
    EXPECT_EQ(items[0]->item->count, 1u);
    EXPECT_EQ(items[0]->pos, glm::vec4(4.5f, 66.5f, 6.5f, 4.5f));
    EXPECT_FLOAT_EQ(items[0]->velocity.y, 0.05f);
    EXPECT_LE(glm::length(glm::vec3(items[0]->velocity.x, items[0]->velocity.z,
                                    items[0]->velocity.w)),
              0.03f + 1e-6f);
    EXPECT_TRUE(world.getChunk({0, 0, 0})->sectionMeshes[4].dirty);
}

TEST_F(PlayerActionsTest, AToolBreaksOnItsOwnProgressAndItsDropIsPickedUp) {
    TestPick* pick = holdPick();
    player.forward = glm::vec4(0, -1, 0, 0);  // the ground under the feet
    player.input[Player::InputMining] = true;
    tick(3);
    EXPECT_EQ(world.getBlock({4, 64, 4, 4}), 2);
    EXPECT_FLOAT_EQ(player.breakProgress, 0.75f);
    EXPECT_EQ(pick->lastButton, 0);
    tick();
    EXPECT_EQ(world.getBlock({4, 64, 4, 4}), 0);
    EXPECT_EQ(droppedItems().size(), 1u) << "the tool dropped the block, not the stick rule";

    player.input[Player::InputMining] = false;
    for (int i = 0; i < 200 && !droppedItems().empty(); ++i) {
        tick();
        world.getChunk({0, 0, 0})->updateEntities(&world, &player);
    }
    EXPECT_TRUE(droppedItems().empty());
    EXPECT_EQ(player.hotbar.getSlot(1)->getName(), "Dirt");
    EXPECT_EQ(countOf(player.hotbar.getSlot(1)), 1u);
}

TEST_F(PlayerActionsTest, ReleasingTheButtonResetsTheProgress) {
    holdPick();
    set({4, 66, 6, 4}, 3);
    player.input[Player::InputMining] = true;
    tick(2);
    EXPECT_FLOAT_EQ(player.breakProgress, 0.5f);
    EXPECT_EQ(player.mineStartTime, 100.0);
    player.input[Player::InputMining] = false;
    tick();
    EXPECT_EQ(player.breakProgress, 0.0f);
}

TEST_F(PlayerActionsTest, NothingHappensWhileTheInventoryScreenIsOpen) {
    set({4, 66, 6, 4}, 5);
    player.inventoryGui->open();
    player.input[Player::InputMining] = true;
    tick(150);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 5);
    EXPECT_EQ(player.breakProgress, 0.0f);
}

// Using and placing.

TEST_F(PlayerActionsTest, PlacingIntoTheBodysColumnIsRefused) {
    player.hotbar.getSlot(0) = blocks(3, 5);
    player.forward = glm::vec4(0, -1, 0, 0);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(player.placePos, glm::ivec4(4, 65, 4, 4));
    EXPECT_EQ(world.getBlock({4, 65, 4, 4}), 0);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 5u);
    EXPECT_FALSE(player.input[Player::InputUsing]);
    EXPECT_EQ(player.mineStartTime, 0.0);

    set({4, 67, 4, 4}, 2);  // just over the head: the head's cell is refused too
    player.forward = glm::vec4(0, 1, 0, 0);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(player.placePos, glm::ivec4(4, 66, 4, 4));
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 5u);
    EXPECT_FALSE(player.input[Player::InputUsing]);

    set({4, 67, 4, 4}, 0);  // one higher, the cell above the head takes the block
    set({4, 68, 4, 4}, 2);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(world.getBlock({4, 67, 4, 4}), 3);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u);
}

TEST_F(PlayerActionsTest, ARightClickPlacesInFrontOfTheTarget) {
    player.hotbar.getSlot(0) = blocks(3, 1);
    set({4, 66, 7, 4}, 2);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 3);
    EXPECT_EQ(player.hotbar.getSlot(0), nullptr) << "the last block was used up";
    EXPECT_FALSE(player.input[Player::InputUsing]);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 66, 6, 4)) << "aimed again at once";
    EXPECT_EQ(player.lastUseTime, 100.0);
}

TEST_F(PlayerActionsTest, ARightClickOpensABlockEntityInsteadOfPlacing) {
    player.hotbar.getSlot(0) = blocks(3, 4);
    set({4, 66, 7, 4}, 9);
    auto chest = std::make_unique<OpeningEntity>();
    OpeningEntity* raw = chest.get();
    chest->blockEntity = true;
    chest->pos = glm::vec4(4.0f, 66.0f, 7.0f, 4.0f);
    world.getChunk({0, 0, 0})->addEntity(std::move(chest));
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(raw->opened, 1);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 0);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u);
}

TEST_F(PlayerActionsTest, WithoutATargetTheItemIsUsedEveryTick) {
    TestPick* pick = holdPick();
    player.forward = glm::vec4(0, 1, 0, 0);
    player.input[Player::InputUsing] = true;
    tick(3);
    EXPECT_FALSE(player.hasTargetBlock);
    EXPECT_EQ(pick->uses, 3);
    EXPECT_EQ(pick->lastButton, 1);
    EXPECT_TRUE(player.input[Player::InputUsing]);
}

TEST_F(PlayerActionsTest, TheCompassTakesTheRightButton) {
    TestPick* compass = holdPick();
    compass->name = "Compass";
    set({4, 66, 7, 4}, 2);
    player.input[Player::InputUsing] = true;
    tick(2);
    EXPECT_EQ(compass->uses, 0);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 0);
    EXPECT_TRUE(player.input[Player::InputUsing]);
}

// Dropping.

TEST_F(PlayerActionsTest, QThrowsOneItemOfTheSelectedStack) {
    player.hotbar.getSlot(0) = blocks(3, 5);
    player.dropRequested = true;
    tick();
    EXPECT_FALSE(player.dropRequested);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u);
    auto items = droppedItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(countOf(items[0]->item), 1u);
    EXPECT_EQ(items[0]->item->getName(), "Stone");
    EXPECT_NEAR(items[0]->pos.z, 4.5f + 0.6f, 0.2f);
    EXPECT_GT(items[0]->velocity.z, 0.15f);

    player.hotbar.getSlot(0) = blocks(3, 1);
    player.dropRequested = true;
    tick();
    EXPECT_EQ(player.hotbar.getSlot(0), nullptr) << "a stack of one empties the slot";
    EXPECT_EQ(droppedItems().size(), 2u);

    player.dropRequested = true;
    tick();
    EXPECT_EQ(droppedItems().size(), 2u) << "an empty slot throws nothing";
}

TEST_F(PlayerActionsTest, AThrowThatNoChunkTakesGoesBackIntoTheInventory) {
    stand({4.5f, 65.0f, 23.8f, 4.5f});  // the throw lands in z chunk 3, not loaded
    player.hotbar.getSlot(0) = blocks(3, 2);
    player.dropRequested = true;
    tick();
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 2u);
    EXPECT_TRUE(droppedItems().empty());

    player.pendingDrop = blocks(2, 7);
    tick();
    EXPECT_EQ(player.pendingDrop, nullptr);
    EXPECT_EQ(countOf(player.hotbar.getSlot(1)), 7u);
}

TEST_F(PlayerActionsTest, TheCursorAndPendingStacksAreThrown) {
    player.inventoryGui->cursorItem() = blocks(2, 3);
    player.inventoryGui->open();
    tick();
    EXPECT_TRUE(droppedItems().empty()) << "kept while the screen is open";
    player.inventoryGui->close();
    tick();
    EXPECT_EQ(player.inventoryGui->cursorItem(), nullptr);
    ASSERT_EQ(droppedItems().size(), 1u);
    EXPECT_EQ(countOf(droppedItems()[0]->item), 3u);

    player.pendingDrop = blocks(3, 9);
    player.inventoryGui->open();
    tick();
    EXPECT_EQ(player.pendingDrop, nullptr) << "thrown before the open screen stops the tick";
    EXPECT_EQ(droppedItems().size(), 2u);
}

}  // namespace

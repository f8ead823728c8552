#include "game/GameTestSupport.h"
#include "world/FakeEntity.h"

#include <GLFW/glfw3.h>

#include <cmath>

using namespace gametest;

namespace {

// A block entity that opens on a right click, like a chest.
class OpeningEntity : public FakeEntity {
public:
    int opened = 0;
    bool interact(World*, Player*, int button) override {
        opened += button == 1;
        return true;
    }
};

// The test catalogue, the player on the ground.
class PlayerActionsTest : public PlayerOnGroundTest {
protected:
    void SetUp() override {
        loadCatalogue();
        PlayerOnGroundTest::SetUp();
    }
    TestPick* holdPick() {
        player.hotbar.getSlot(0) = std::make_unique<TestPick>();
        return static_cast<TestPick*>(player.hotbar.getSlot(0).get());
    }
    // A creature 2.5 ahead, on the aim at the block behind it.
    void creatureBeforeABlock() {
        hand.set({4, 66, 9, 4}, 3);
        auto creature = std::make_unique<FakeEntity>(glm::vec4(4.5f, 66.8f, 7.0f, 4.5f));
        creature->targetable = true;
        creature->radius = 0.6f;
        std::unique_ptr<Entity> entity = std::move(creature);
        world.addEntity(entity);
    }
};

// ---- The aim ----

TEST_F(PlayerActionsTest, TheAimReachesSixBlocksAndPlacesOnTheFaceItCrossed) {
    const float nan = std::nanf("");
    const glm::vec4 z(0, 0, 1, 0), noEnd(nan);
    const struct {
        const char* name;
        glm::ivec4 block;  // set to stone first (y 0: none)
        glm::vec4 eye, forward;
        bool hit;
        glm::ivec4 target, place;
        glm::vec4 rayEnd;  // NaN: not checked
    } cases[] = {
        {"at 6.0", {4, 70, 16, 4}, {4.5f, 70.5f, 10.0f, 4.5f}, z, true, {4, 70, 16, 4}, {4, 70, 15, 4},
         {4.5f, 70.5f, 16.0f, 4.5f}},
        {"just beyond: the place cell stays", {4, 70, 16, 4}, {4.5f, 70.5f, 9.99f, 4.5f}, z, false, {}, {4, 70, 15, 4},
         {4.5f, 70.5f, 15.99f, 4.5f}},
        {"down: the cell above", {0, 0, 0, 0}, {4.5f, 66.6f, 4.5f, 4.5f}, {0, -1, 0, 0}, true, {4, 64, 4, 4},
         {4, 65, 4, 4}, noEnd},
        {"slanted, through the x face", {6, 70, 4, 4}, {4.5f, 70.5f, 4.3f, 4.5f},
         glm::normalize(glm::vec4(1.0f, 0.0f, 0.1f, 0.0f)), true, {6, 70, 4, 4}, {5, 70, 4, 4}, noEnd},
        {"along -w", {4, 70, 4, 1}, {4.5f, 70.5f, 4.5f, 4.5f}, {0, 0, 0, -1}, true, {4, 70, 4, 1}, {4, 70, 4, 2},
         {4.5f, 70.5f, 4.5f, 2.0f}},
        {"negative coordinates", {-4, 70, -6, -3}, {-3.5f, 70.5f, -3.5f, -2.5f}, -z, true, {-4, 70, -6, -3},
         {-4, 70, -5, -3}, noEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.block.y) hand.set(c.block, 3);
        player.eyePos = c.eye;
        player.forward = c.forward;
        player.raycastBlock(&world, 6.0f);
        ASSERT_EQ(player.hasTargetBlock, c.hit);
        if (c.hit) { EXPECT_EQ(player.targetBlock, c.target); }
        EXPECT_TRUE(player.hasPlacePos);
        EXPECT_EQ(player.placePos, c.place);
        for (int i = 0; i < 4; ++i)
            if (!std::isnan(c.rayEnd[i])) { EXPECT_NEAR(player.rayEnd[i], c.rayEnd[i], 1e-5f) << i; }
    }

    // An eye inside a block targets that block and has no place cell.
    player.hasPlacePos = false;
    player.eyePos = glm::vec4(4.5f, 70.5f, 16.5f, 4.5f);
    player.raycastBlock(&world, 6.0f);
    EXPECT_TRUE(player.hasTargetBlock);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 70, 16, 4));
    EXPECT_FALSE(player.hasPlacePos);
    EXPECT_EQ(player.rayEnd, player.eyePos);
}

TEST_F(PlayerActionsTest, TheAimEndsForAnyEyePosition) {
    const float nan = std::nanf(""), inf = INFINITY;
    const glm::vec4 slant = glm::normalize(glm::vec4(0.3f, -0.2f, 0.9f, 0.1f));
    const std::pair<glm::vec4, glm::vec4> rays[] = {
        {{nan, 70.0f, 4.5f, 4.5f}, slant},        {{4.5f, inf, 4.5f, 4.5f}, slant},
        {{3.0e9f, 70.0f, 4.0e9f, -5.0e9f}, slant}, {{1.0e8f, 70.5f, 1.0e8f, 1.0e8f}, slant},
        {{4.5f, 70.5f, 4.5f, 4.5f}, glm::vec4(0.0f)}};
    for (const auto& [eye, forward] : rays) {
        player.hasTargetBlock = true;
        player.eyePos = eye;
        player.forward = forward;
        player.raycastBlock(&world, 6.0f);
        EXPECT_FALSE(player.hasTargetBlock) << eye.x << " " << eye.y;
    }
}

TEST_F(PlayerActionsTest, ANewTargetRestartsTheMining) {
    hand.set({4, 70, 7, 4}, 3);
    hand.set({5, 70, 7, 4}, 3);
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

// ---- Creatures ----

TEST_F(PlayerActionsTest, ACreatureInFrontOfABlockTakesTheHitWithACooldown) {
    TestPick* pick = holdPick();
    creatureBeforeABlock();
    player.input[Player::InputMining] = true;
    tick();
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 66, 9, 4));
    EXPECT_EQ(pick->hits, 1);
    EXPECT_EQ(pick->uses, 0) << "the creature ends the tick before mining";
    EXPECT_EQ(player.breakProgress, 0.0f);
    EXPECT_EQ(player.lastAttackTime, 100.0);

    for (auto [time, hits] : {std::pair{100.79, 1}, {100.81, 2}}) {
        now = time;
        tick();
        EXPECT_EQ(pick->hits, hits) << time;
    }
    player.hotbar.getSlot(0).reset();
    now = 110.0;
    tick();
    EXPECT_EQ(player.lastAttackTime, 100.81) << "an empty hand makes no hit";
}

// ---- Mining ----

TEST_F(PlayerActionsTest, LeavesBreakOnTheHundredAndFirstTickAndDropAStick) {
    hand.set({4, 66, 6, 4}, 5);
    player.input[Player::InputMining] = true;
    tick(100);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 5);
    EXPECT_TRUE(dropped().empty());
    tick();
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 0);
    EXPECT_EQ(player.breakProgress, 0.0f);
    ASSERT_EQ(dropped().size(), 1u);
    const ItemEntity& stick = *dropped()[0];
    EXPECT_EQ(stick.item->getName(), "Stick");
    EXPECT_EQ(stick.item->count, 1u);
    EXPECT_EQ(stick.pos, glm::vec4(4.5f, 66.5f, 6.5f, 4.5f));
    EXPECT_FLOAT_EQ(stick.velocity.y, 0.05f);
    EXPECT_LE(glm::length(glm::vec3(stick.velocity.x, stick.velocity.z, stick.velocity.w)), 0.03f + 1e-6f);
    EXPECT_TRUE(world.getChunk({0, 0, 0})->sectionMeshes[4].dirty);
}

TEST_F(PlayerActionsTest, AToolBreaksOnItsOwnProgressAndDropsTheBlockItself) {
    TestPick* pick = holdPick();
    player.forward = glm::vec4(0, -1, 0, 0);  // the ground under the feet
    player.input[Player::InputMining] = true;
    tick(3);
    EXPECT_EQ(world.getBlock({4, 64, 4, 4}), 2);
    EXPECT_FLOAT_EQ(player.breakProgress, 0.75f);
    EXPECT_EQ(pick->lastButton, 0);
    tick();
    EXPECT_EQ(world.getBlock({4, 64, 4, 4}), 0);
    ASSERT_EQ(dropped().size(), 1u) << "the tool drops the block, not the stick rule";
    EXPECT_EQ(dropped()[0]->item->getName(), "Dirt");
}

TEST_F(PlayerActionsTest, ProgressResetsOnReleaseAndNothingHappensWhileTheScreenIsOpen) {
    holdPick();
    hand.set({4, 66, 6, 4}, 3);
    player.input[Player::InputMining] = true;
    tick(2);
    EXPECT_FLOAT_EQ(player.breakProgress, 0.5f);
    player.input[Player::InputMining] = false;
    tick();
    EXPECT_EQ(player.breakProgress, 0.0f);

    player.hotbar.getSlot(0).reset();
    hand.set({4, 66, 6, 4}, 5);
    player.inventoryGui->open();
    player.input[Player::InputMining] = true;
    tick(150);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 5);
    EXPECT_EQ(player.breakProgress, 0.0f);
}

// ---- Using and placing ----

TEST_F(PlayerActionsTest, PlacingIntoTheBodysColumnIsRefused) {
    player.hotbar.getSlot(0) = blocks(3, 5);
    const struct {
        float forwardY;
        int ceiling;  // 0: none
        glm::ivec4 place;
        uint32_t left;
    } cases[] = {
        {-1, 0, {4, 65, 4, 4}, 5},   // the feet's cell
        {1, 67, {4, 66, 4, 4}, 5},   // the head's cell
        {1, 68, {4, 67, 4, 4}, 4},   // above the head: placed
    };
    for (const auto& c : cases) {
        hand.fill({4, 66, 4, 4}, {4, 69, 4, 4}, 0);
        if (c.ceiling) hand.set({4, c.ceiling, 4, 4}, 2);
        player.forward = glm::vec4(0, c.forwardY, 0, 0);
        player.input[Player::InputUsing] = true;
        tick();
        if (c.left == 5) { EXPECT_EQ(player.placePos, c.place); }
        EXPECT_EQ(countOf(player.hotbar.getSlot(0)), c.left);
        EXPECT_EQ(world.getBlock(c.place), c.left == 5 ? 0 : 3);
        EXPECT_FALSE(player.input[Player::InputUsing]);
    }
}

TEST_F(PlayerActionsTest, ARightClickPlacesInFrontOfTheTargetOrOpensABlockEntity) {
    player.hotbar.getSlot(0) = blocks(3, 1);
    hand.set({4, 66, 7, 4}, 2);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 3);
    EXPECT_EQ(player.hotbar.getSlot(0), nullptr) << "the last block was used up";
    EXPECT_FALSE(player.input[Player::InputUsing]);
    EXPECT_EQ(player.targetBlock, glm::ivec4(4, 66, 6, 4)) << "aimed again at once";
    EXPECT_EQ(player.lastUseTime, 100.0);

    player.hotbar.getSlot(0) = blocks(3, 4);
    hand.set({4, 66, 6, 4}, 9);
    auto chest = std::make_unique<OpeningEntity>();
    OpeningEntity* raw = chest.get();
    chest->blockEntity = true;
    chest->pos = glm::vec4(4.0f, 66.0f, 6.0f, 4.0f);
    world.getChunk({0, 0, 0})->addEntity(std::move(chest));
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(raw->opened, 1);
    EXPECT_EQ(world.getBlock({4, 66, 5, 4}), 0);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u);
}

TEST_F(PlayerActionsTest, WithoutATargetTheItemIsUsedEveryTickAndTheCompassTakesTheRightButton) {
    TestPick* pick = holdPick();
    player.forward = glm::vec4(0, 1, 0, 0);
    player.input[Player::InputUsing] = true;
    tick(3);
    EXPECT_FALSE(player.hasTargetBlock);
    EXPECT_EQ(pick->uses, 3);
    EXPECT_EQ(pick->lastButton, 1);
    EXPECT_TRUE(player.input[Player::InputUsing]);

    pick->name = "Compass";
    player.forward = glm::vec4(0, 0, 1, 0);
    hand.set({4, 66, 7, 4}, 2);
    tick(2);
    EXPECT_EQ(pick->uses, 3);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 0);
    EXPECT_TRUE(player.input[Player::InputUsing]);
}

// ---- Clicks ----

// A click whose press and release both come between two ticks acts once, on the next tick: one
// hit attempt on a creature, one block placed. Holding a button repeats as it always did, and a
// click on the open inventory screen is the screen's alone.
TEST_F(PlayerActionsTest, AClickBetweenTwoTicksActsOnceAndHoldingRepeats) {
    const auto click = [&](int button) {
        player.mouseButton(button, GLFW_PRESS);
        player.mouseButton(button, GLFW_RELEASE);
    };
    TestPick* pick = holdPick();
    creatureBeforeABlock();
    click(GLFW_MOUSE_BUTTON_LEFT);
    tick();
    EXPECT_EQ(pick->hits, 1);
    now += 1.0;
    tick();
    EXPECT_EQ(pick->hits, 1) << "released once a tick acted on it";
    player.mouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    for (int i = 0; i < 2; ++i, now += 1.0) tick();
    EXPECT_EQ(pick->hits, 3) << "held, it goes on hitting";
    player.mouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    clearEntities();

    player.inventoryGui->open();
    click(GLFW_MOUSE_BUTTON_LEFT);
    player.inventoryGui->close();
    tick();
    EXPECT_EQ(player.breakProgress, 0.0f) << "the screen's click mined";

    player.hotbar.getSlot(0) = blocks(3, 5);
    hand.set({4, 66, 7, 4}, 2);
    click(GLFW_MOUSE_BUTTON_RIGHT);
    tick(3);
    EXPECT_EQ(world.getBlock({4, 66, 6, 4}), 3);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u) << "one block for one click";
}

// ---- Dropping ----

TEST_F(PlayerActionsTest, QThrowsOneItemOfTheSelectedStack) {
    player.hotbar.getSlot(0) = blocks(3, 5);
    player.dropRequested = true;
    tick();
    EXPECT_FALSE(player.dropRequested);
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 4u);
    ASSERT_EQ(dropped().size(), 1u);
    EXPECT_EQ(countOf(dropped()[0]->item), 1u);
    EXPECT_EQ(dropped()[0]->item->getName(), "Stone");
    EXPECT_NEAR(dropped()[0]->pos.z, 4.5f + 0.6f, 0.2f);
    EXPECT_GT(dropped()[0]->velocity.z, 0.15f);

    player.hotbar.getSlot(0) = blocks(3, 1);
    for (int i = 0; i < 2; ++i) {  // the second throw finds an empty slot
        player.dropRequested = true;
        tick();
        EXPECT_EQ(player.hotbar.getSlot(0), nullptr);
        EXPECT_EQ(dropped().size(), 2u);
    }
}

TEST_F(PlayerActionsTest, AThrowThatNoChunkTakesGoesBackIntoTheInventory) {
    placeAt(player, {4.5f, 65.0f, 23.8f, 4.5f});  // the throw lands in z chunk 3, not loaded
    player.hotbar.getSlot(0) = blocks(3, 2);
    player.dropRequested = true;
    tick();
    EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 2u);
    player.pendingDrop = blocks(2, 7);
    tick();
    EXPECT_EQ(player.pendingDrop, nullptr);
    EXPECT_EQ(countOf(player.hotbar.getSlot(1)), 7u);
    EXPECT_TRUE(dropped().empty());
}

TEST_F(PlayerActionsTest, TheCursorAndPendingStacksAreThrown) {
    player.inventoryGui->cursorItem() = blocks(2, 3);
    player.inventoryGui->open();
    tick();
    EXPECT_TRUE(dropped().empty()) << "kept while the screen is open";
    player.inventoryGui->close();
    tick();
    EXPECT_EQ(player.inventoryGui->cursorItem(), nullptr);
    ASSERT_EQ(dropped().size(), 1u);
    EXPECT_EQ(countOf(dropped()[0]->item), 3u);

    player.pendingDrop = blocks(3, 9);
    player.inventoryGui->open();
    tick();
    EXPECT_EQ(player.pendingDrop, nullptr) << "thrown before the open screen stops the tick";
    EXPECT_EQ(dropped().size(), 2u);
}

}  // namespace

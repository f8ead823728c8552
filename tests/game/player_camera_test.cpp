#include "game/Compass.h"
#include "game/PlayerTestSupport.h"

#include <glm/gtc/constants.hpp>
#include <gtest/gtest.h>

#include <random>

using playertest::expectProperFrame;
using playertest::HandWorld;
using playertest::placeAt;
using playertest::TestPlayer;

namespace {

constexpr float pi = glm::pi<float>();

// Moves the mouse by (dx, dy) screen pixels from where the player last put the cursor.
void moveMouse(Player& player, double dx, double dy) {
    player.cursorPos(nullptr, player.lastCursorX + dx, player.lastCursorY + dy);
}

float angleBetween(const glm::vec4& a, const glm::vec4& b) {
    return std::acos(std::clamp(glm::dot(glm::normalize(a), glm::normalize(b)), -1.0f, 1.0f));
}

// An item that only has a name.
class NamedItem : public Item {
public:
    std::string name;
    explicit NamedItem(std::string n) : name(std::move(n)) { count = 1; }
    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return false; }
    bool canStackWith(const std::unique_ptr<Item>&) const override { return false; }
    bool use(World*, Player*, int) override { return false; }
    std::unique_ptr<Item> clone() const override { return std::make_unique<NamedItem>(name); }
};

TEST(PlayerCamera, ConstructedLookingAlongZWithTheSliceXYZ) {
    Player player;
    EXPECT_EQ(player.forward, glm::vec4(0, 0, 1, 0));
    EXPECT_EQ(player.left, glm::vec4(1, 0, 0, 0));
    EXPECT_EQ(player.over, glm::vec4(0, 0, 0, 1));
    player.updateCameraVectors();
    expectProperFrame(player, 1e-6f);
    EXPECT_EQ(player.walkDirection(), player.forward);
    EXPECT_EQ(compassFacing, glm::vec4(0, 0, 1, 0));
}

TEST(PlayerCamera, RandomMouseAndWheelTurnsKeepAProperLevelFrame) {
    TestPlayer t;
    Player& player = t.player;
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> pixels(-300.0, 300.0);
    std::uniform_real_distribution<float> notches(-3.0f, 3.0f);
    for (int i = 0; i < 3000; ++i) {
        SCOPED_TRACE(i);
        if (i % 3 == 0) {
            player.pendingTurn += notches(rng) * player.scrollSensitivity * 0.01f * 40.0f;
            for (int k = 0; k < 5; ++k) player.updateWheelTurn();
        } else {
            moveMouse(player, pixels(rng), pixels(rng));
        }
        expectProperFrame(player);
        EXPECT_EQ(compassLeft, player.left);
        EXPECT_EQ(compassOver, player.over);
        // The walking direction is the horizontal view direction.
        const glm::vec4 h = player.walkDirection();
        EXPECT_NEAR(glm::length(h - compassFacing), 0.0f, 1e-4f);
        EXPECT_NEAR(h.y, 0.0f, 1e-6f);
        EXPECT_GE(player.up.y, -1e-5f);  // never upside down
        if (HasFailure()) return;
    }
}

TEST(PlayerCamera, PitchStopsAtTheVerticalAndNeverFlips) {
    TestPlayer t;
    Player& player = t.player;
    moveMouse(player, 37.0, 0.0);  // some yaw first
    const glm::vec4 facing = compassFacing;
    for (int i = 0; i < 40; ++i) {
        moveMouse(player, 0.0, -150.0);  // mouse up
        EXPECT_GE(player.forward.y, 0.0f);
        EXPECT_NEAR(glm::length(compassFacing - facing), 0.0f, 1e-5f);
        expectProperFrame(player);
    }
    EXPECT_NEAR(player.forward.y, 1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(player.up + facing), 0.0f, 1e-4f);  // up leans back

    for (int i = 0; i < 80; ++i) moveMouse(player, 0.0, 150.0);  // mouse down
    EXPECT_NEAR(player.forward.y, -1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(player.up - facing), 0.0f, 1e-4f);
    EXPECT_NEAR(glm::length(compassFacing - facing), 0.0f, 1e-5f);
}

TEST(PlayerCamera, CursorMovesByScaledMotionAndTurnsPiPerThousandPixels) {
    TestPlayer t;
    Player& player = t.player;
    player.lookSensitivity = 1.0f;  // the cursor follows half the mouse's motion
    player.cursorPos(nullptr, 100.0, 0.0);
    ASSERT_EQ(t.window.cursorMoves.size(), 1u);
    EXPECT_EQ(t.window.cursorMoves[0].x, 50.0);
    EXPECT_EQ(t.window.cursorMoves[0].y, 0.0);
    EXPECT_EQ(player.lastCursorX, 50.0);
    // 50 pixels: 0.05 pi to the right (right is minus left).
    EXPECT_NEAR(angleBetween(player.forward, {0, 0, 1, 0}), 0.05f * pi, 1e-5f);
    EXPECT_LT(player.forward.x, 0.0f);
    EXPECT_EQ(player.forward.y, 0.0f);

    // Moving the mouse up (smaller y) looks up.
    player.cursorPos(nullptr, 50.0, -20.0);
    EXPECT_EQ(player.lastCursorY, -10.0);
    EXPECT_NEAR(std::asin(player.forward.y), 0.01f * pi, 1e-5f);
}

TEST(PlayerCamera, MouseTurnsTheCompassInsteadWhileItIsUsed) {
    TestPlayer t;
    Player& player = t.player;
    player.hotbar.selectedSlot() = std::make_unique<NamedItem>("Compass");
    player.input[Player::InputUsing] = true;
    compassAngles = glm::vec2(0.0f);
    moveMouse(player, 100.0, -60.0);  // scaled by 1.5: 150 right, 90 up
    EXPECT_FLOAT_EQ(compassAngles[0], 150.0f * 0.5f * 0.005f);
    EXPECT_FLOAT_EQ(compassAngles[1], 90.0f * 0.005f);
    EXPECT_EQ(player.forward, glm::vec4(0, 0, 1, 0));

    // Not using it, or holding something else: the view turns.
    player.input[Player::InputUsing] = false;
    moveMouse(player, 100.0, 0.0);
    EXPECT_NE(player.forward, glm::vec4(0, 0, 1, 0));
    player.input[Player::InputUsing] = true;
    player.hotbar.selectedSlot() = std::make_unique<NamedItem>("Rock");
    const glm::vec4 before = player.forward;
    moveMouse(player, 100.0, 0.0);
    EXPECT_NE(player.forward, before);
}

TEST(PlayerCamera, MouseGoesToTheOpenInventoryScreen) {
    TestPlayer t;
    Player& player = t.player;
    player.inventoryGui->open();
    player.cursorPos(nullptr, 300.0, 200.0);
    EXPECT_TRUE(t.window.cursorMoves.empty());
    EXPECT_EQ(player.forward, glm::vec4(0, 0, 1, 0));
    EXPECT_EQ(player.lastCursorX, 0.0);
}

TEST(PlayerCamera, WheelTurnEasesOutATenthPerTick) {
    Player player;
    player.pendingTurn = 1 * 0.5f * 0.01f;  // one notch at the default sensitivity
    const glm::vec4 over0 = player.over;
    int turningTicks = 0;
    while (player.pendingTurn != 0.0f && turningTicks < 100) {
        const float before = player.pendingTurn;
        player.reloadChunks = false;
        player.updateWheelTurn();
        EXPECT_TRUE(player.reloadChunks);
        if (player.pendingTurn != 0.0f) {
            EXPECT_FLOAT_EQ(player.pendingTurn, before * 0.9f);
        }
        ++turningTicks;
    }
    // 0.005 * 0.9^16 < 0.001 <= 0.005 * 0.9^15: sixteen turning ticks, then one that stops.
    EXPECT_EQ(turningTicks, 17);
    const float turned = 0.005f * (1.0f - std::pow(0.9f, 16.0f));
    EXPECT_NEAR(angleBetween(player.over, over0), turned, 2e-5f);
    // The slice swings towards the view: the view gains the fourth axis, the side stays.
    EXPECT_GT(player.forward.w, 0.0f);
    EXPECT_EQ(player.left, glm::vec4(1, 0, 0, 0));
    expectProperFrame(player);

    player.reloadChunks = false;
    player.updateWheelTurn();
    EXPECT_FALSE(player.reloadChunks);
}

TEST(PlayerCamera, AQuarterTurnOfTheWheelShowsTheSliceXYW) {
    Player player;
    player.pendingTurn = pi / 2;
    for (int i = 0; i < 400; ++i) player.updateWheelTurn();
    EXPECT_EQ(player.pendingTurn, 0.0f);
    EXPECT_NEAR(glm::length(player.forward - glm::vec4(0, 0, 0, 1)), 0.0f, 2e-3f);
    EXPECT_NEAR(glm::length(player.over - glm::vec4(0, 0, -1, 0)), 0.0f, 2e-3f);
    expectProperFrame(player);
}

// ---- The eye ----

class PlayerEyeTest : public ::testing::Test {
protected:
    HandWorld hand;
    World* world = &hand.world;
    Player player;
};

TEST_F(PlayerEyeTest, EyeSitsJustBelowTheHeadInFreeSpace) {
    placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 0);
    EXPECT_EQ(player.eyePos, glm::vec4(4.5f, 11.8f - 0.023f, 4.5f, 4.5f));
}

TEST_F(PlayerEyeTest, EyeIsPushedAwayFromANearWallWithinTheSlice) {
    hand.set({3, 11, 4, 4}, 3);  // beside the eye, on the low x side
    placeAt(player, {4.01f, 10.0f, 4.5f, 4.5f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 0);
    EXPECT_NEAR(player.eyePos.x, 4.023f, 1e-5f);
    EXPECT_EQ(player.eyePos.z, 4.5f);
    EXPECT_EQ(player.eyePos.w, 4.5f);
}

TEST_F(PlayerEyeTest, PushesAtACornerStartFromWhereThePreviousPushLeftTheEye) {
    // Walls on the low x and low z sides, the fourth axis tilted towards both: the push off x
    // (along (0.877, -0.328, -0.350) in x, z, w) brings the eye to 0.0057 from the z plane, so
    // the push off z (along (-0.36, 0.8, -0.48)) is 0.023 - 0.0057 long, not 0.023 - 0.01.
    hand.set({3, 11, 4, 4}, 3);
    hand.set({4, 11, 3, 4}, 3);
    placeAt(player, {4.01f, 10.0f, 4.01f, 4.5f});
    player.over = {0.48f, 0.0f, 0.6f, 0.64f};
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 0);
    EXPECT_NEAR(player.eyePos.x, 4.015188f, 2e-5f);
    EXPECT_NEAR(player.eyePos.z, 4.019546f, 2e-5f);
    EXPECT_NEAR(player.eyePos.w, 4.487159f, 2e-5f);
}

TEST_F(PlayerEyeTest, APushAlongTheFourthAxisIsSkippedNotNaN) {
    // The wall's normal is the fourth view axis: no direction within the slice leads away.
    hand.set({4, 11, 4, 3}, 3);
    placeAt(player, {4.5f, 10.0f, 4.5f, 4.01f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 0);
    EXPECT_EQ(player.eyePos, glm::vec4(4.5f, 11.8f - 0.023f, 4.5f, 4.01f));

    // Closer than the eye-block margin, the wall's block surrounds the camera instead.
    placeAt(player, {4.5f, 10.0f, 4.5f, 4.004f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 3);
    EXPECT_TRUE(std::isfinite(player.eyePos.x) && std::isfinite(player.eyePos.w));
}

TEST_F(PlayerEyeTest, BlockAtTheFeetOrBelowTheWorldSurroundsTheCamera) {
    hand.set({4, 10, 4, 4}, 7);
    placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 7);

    placeAt(player, {4.5f, -5.0f, 4.5f, 4.5f});
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 6);
}

TEST_F(PlayerEyeTest, NonFinitePositionGivesNoEyeBlock) {
    placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
    player.pos.x = std::numeric_limits<float>::quiet_NaN();
    player.updateEye(world);
    EXPECT_EQ(player.eyeBlock, 0);
}

}  // namespace

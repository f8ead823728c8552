#include "game/Compass.h"
#include "game/GameTestSupport.h"

#include <glm/gtc/constants.hpp>
#include <gtest/gtest.h>

#include <random>

using namespace gametest;

namespace {

constexpr float pi = glm::pi<float>();

// Moves the mouse by (dx, dy) screen pixels from where the player last put the cursor.
void moveMouse(Player& player, double dx, double dy) {
    player.cursorPos(nullptr, player.lastCursorX + dx, player.lastCursorY + dy);
}

float angleBetween(const glm::vec4& a, const glm::vec4& b) {
    return std::acos(std::clamp(glm::dot(glm::normalize(a), glm::normalize(b)), -1.0f, 1.0f));
}

TEST(PlayerCamera, RandomMouseAndWheelTurnsKeepAProperLevelFrame) {
    TestPlayer t;
    Player& player = t.player;
    player.updateCameraVectors();
    EXPECT_EQ(player.walkDirection(), glm::vec4(0, 0, 1, 0));
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> pixels(-300.0, 300.0);
    std::uniform_real_distribution<float> notches(-3.0f, 3.0f);
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE(i);
        if (i % 3 == 0) {
            player.pendingTurn += notches(rng) * player.scrollSensitivity * 0.4f;
            for (int k = 0; k < 5; ++k) player.updateWheelTurn();
        } else {
            moveMouse(player, pixels(rng), pixels(rng));
        }
        expectProperFrame(player);
        EXPECT_EQ(compassLeft, player.left);
        EXPECT_EQ(compassOver, player.over);
        // The walking direction is the horizontal view direction.
        EXPECT_NEAR(glm::length(player.walkDirection() - compassFacing), 0.0f, 1e-4f);
        EXPECT_NEAR(player.walkDirection().y, 0.0f, 1e-6f);
        EXPECT_GE(player.up.y, -1e-5f);  // never upside down
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
        expectProperFrame(player);
    }
    EXPECT_NEAR(player.forward.y, 1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(player.up + facing), 0.0f, 1e-4f);  // up leans back
    for (int i = 0; i < 80; ++i) moveMouse(player, 0.0, 150.0);
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
    EXPECT_EQ(t.window.cursorMoves[0], glm::dvec2(50.0, 0.0));
    EXPECT_EQ(player.lastCursorX, 50.0);
    // 50 pixels: 0.05 pi to the right (right is minus left).
    EXPECT_NEAR(angleBetween(player.forward, {0, 0, 1, 0}), 0.05f * pi, 1e-5f);
    EXPECT_LT(player.forward.x, 0.0f);
    EXPECT_EQ(player.forward.y, 0.0f);
    player.cursorPos(nullptr, 50.0, -20.0);  // up (smaller y) looks up
    EXPECT_EQ(player.lastCursorY, -10.0);
    EXPECT_NEAR(std::asin(player.forward.y), 0.01f * pi, 1e-5f);

    // The open inventory screen takes the mouse.
    player.inventoryGui->open();
    const glm::vec4 before = player.forward;
    player.cursorPos(nullptr, 300.0, 200.0);
    EXPECT_EQ(t.window.cursorMoves.size(), 2u);
    EXPECT_EQ(player.forward, before);
    EXPECT_EQ(player.lastCursorX, 50.0);
}

TEST(PlayerCamera, MouseTurnsTheCompassInsteadWhileItIsUsed) {
    TestPlayer t;
    Player& player = t.player;
    auto compass = std::make_unique<TestPick>();
    compass->name = "Compass";
    player.hotbar.selectedSlot() = std::move(compass);
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
    player.hotbar.selectedSlot() = std::make_unique<TestPick>();
    const glm::vec4 before = player.forward;
    moveMouse(player, 100.0, 0.0);
    EXPECT_NE(player.forward, before);
}

TEST(PlayerCamera, WheelTurnEasesOutATenthPerTick) {
    Player player;
    player.pendingTurn = 1 * 0.5f * 0.01f;  // one notch at the default sensitivity
    const glm::vec4 over0 = player.over;
    int turningTicks = 0;
    for (; player.pendingTurn != 0.0f && turningTicks < 100; ++turningTicks) {
        const float before = player.pendingTurn;
        player.reloadChunks = false;
        player.updateWheelTurn();
        EXPECT_TRUE(player.reloadChunks);
        if (player.pendingTurn != 0.0f) { EXPECT_FLOAT_EQ(player.pendingTurn, before * 0.9f); }
    }
    // 0.005 * 0.9^16 < 0.001 <= 0.005 * 0.9^15: sixteen turning ticks, then one that stops.
    EXPECT_EQ(turningTicks, 17);
    EXPECT_NEAR(angleBetween(player.over, over0), 0.005f * (1.0f - std::pow(0.9f, 16.0f)), 2e-5f);
    // The slice swings towards the view: the view gains the fourth axis, the side stays.
    EXPECT_GT(player.forward.w, 0.0f);
    EXPECT_EQ(player.left, glm::vec4(1, 0, 0, 0));
    expectProperFrame(player);
    player.reloadChunks = false;
    player.updateWheelTurn();
    EXPECT_FALSE(player.reloadChunks);

    Player quarter;  // a quarter turn shows the slice x, y, w
    quarter.pendingTurn = pi / 2;
    for (int i = 0; i < 400; ++i) quarter.updateWheelTurn();
    EXPECT_EQ(quarter.pendingTurn, 0.0f);
    EXPECT_NEAR(glm::length(quarter.forward - glm::vec4(0, 0, 0, 1)), 0.0f, 2e-3f);
    EXPECT_NEAR(glm::length(quarter.over - glm::vec4(0, 0, -1, 0)), 0.0f, 2e-3f);
    expectProperFrame(quarter);
}

// ---- The eye: 0.023 below the head, pushed off walls within the slice ----

TEST(PlayerEye, SitsBelowTheHeadPushedOffNearWallsWithinTheSlice) {
    const float nan = std::nanf("");
    const glm::vec4 wAxis(0, 0, 0, 1), tilted(0.48f, 0.0f, 0.6f, 0.64f);
    const struct {
        const char* name;
        std::vector<glm::ivec4> walls;
        glm::vec4 feet, over;
        int eyeBlock;
        glm::vec4 eye;  // NaN components: only finite
    } cases[] = {
        {"free space", {}, {4.5f, 10, 4.5f, 4.5f}, wAxis, 0, {4.5f, 11.777f, 4.5f, 4.5f}},
        {"wall on the low x side", {{3, 11, 4, 4}}, {4.01f, 10, 4.5f, 4.5f}, wAxis, 0,
         {4.023f, 11.777f, 4.5f, 4.5f}},
        // The push off x (along (0.877, -0.328, -0.350) in x, z, w) brings the eye to 0.0057
        // from the z plane, so the push off z is 0.023 - 0.0057 long, not 0.023 - 0.01.
        {"corner, pushes in turn", {{3, 11, 4, 4}, {4, 11, 3, 4}}, {4.01f, 10, 4.01f, 4.5f}, tilted, 0,
         {4.015188f, 11.777f, 4.019546f, 4.487159f}},
        // The wall's normal is the fourth view axis: no way out within the slice, no NaN.
        {"wall along the fourth axis", {{4, 11, 4, 3}}, {4.5f, 10, 4.5f, 4.01f}, wAxis, 0,
         {4.5f, 11.777f, 4.5f, 4.01f}},
        {"... closer than the margin", {{4, 11, 4, 3}}, {4.5f, 10, 4.5f, 4.004f}, wAxis, 3, {nan, nan, nan, nan}},
        {"block at the feet", {{4, 10, 4, 4}}, {4.5f, 10, 4.5f, 4.5f}, wAxis, 3, {nan, nan, nan, nan}},
        {"below the world", {}, {4.5f, -5, 4.5f, 4.5f}, wAxis, 6, {nan, nan, nan, nan}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HandWorld hand;
        for (const glm::ivec4& wall : c.walls) hand.set(wall, 3);
        Player player;
        placeAt(player, c.feet);
        player.over = c.over;
        player.updateEye(&hand.world);
        EXPECT_EQ(player.eyeBlock, c.eyeBlock);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(std::isfinite(player.eyePos[i]));
            if (!std::isnan(c.eye[i])) { EXPECT_NEAR(player.eyePos[i], c.eye[i], 2e-5f) << i; }
        }
    }
    HandWorld hand;
    Player player;
    placeAt(player, {nan, 10.0f, 4.5f, 4.5f}, glm::ivec4(0, 10, 4, 4));  // no cell floors from NaN
    player.updateEye(&hand.world);
    EXPECT_EQ(player.eyeBlock, 0);
}

}  // namespace

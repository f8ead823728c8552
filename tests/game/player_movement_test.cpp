#include "game/Compass.h"
#include "game/GameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace gametest;

namespace {

constexpr uint8_t stone = 3;

// Loaded chunks over -8..15 on x, z and w with a floor in row 9: feet rest at y 10.
class PlayerMovementTest : public ::testing::Test {
protected:
    HandWorld hand;
    World* world = &hand.world;
    TestPlayer t;
    Player& player = t.player;

    void SetUp() override {
        hand.fill({-8, 9, -8, -8}, {15, 9, 15, 15}, stone);
        placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) player.update(nullptr, world);
    }
};

// ---- Ground and air ----

TEST_F(PlayerMovementTest, StandsStillAndJumpsOnlyFromTheGround) {
    placeAt(player, {4.5f, 14.5f, 4.5f, 4.5f});  // in the air: space does nothing
    player.input[Player::InputSpace] = true;
    ticks(1);
    EXPECT_FLOAT_EQ(player.velocity.y, -0.003f);

    placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
    player.input[Player::InputSpace] = false;
    ticks(200);
    EXPECT_EQ(player.pos, glm::vec4(4.5f, 10.0f, 4.5f, 4.5f));
    EXPECT_EQ(player.velocity, glm::vec4(0.0f));
    EXPECT_EQ(player.headY, 11.8f);
    EXPECT_EQ(player.currentBlock, glm::ivec4(4, 10, 4, 4));

    player.input[Player::InputSpace] = true;
    ticks(1);
    EXPECT_FLOAT_EQ(player.velocity.y, 0.12f);
    EXPECT_FLOAT_EQ(player.pos.y, 10.12f);
    ticks(1);  // still held in the air: gravity, no second jump
    EXPECT_FLOAT_EQ(player.velocity.y, 0.117f);
    player.input[Player::InputSpace] = false;
    float peak = player.pos.y;
    for (int i = 0; i < 500 && player.pos.y != 10.0f; ++i) {
        ticks(1);
        peak = std::max(peak, player.pos.y);
    }
    // At least 0.12 + 0.117 + ... + 0.003 up (ticks crossing a grid plane go a little further):
    // a jump clears two blocks, not three.
    EXPECT_GT(peak, 12.46f);
    EXPECT_LT(peak, 12.8f);
    ticks(10);
    EXPECT_EQ(player.pos.y, 10.0f);
    EXPECT_EQ(player.velocity.y, 0.0f);
}

TEST_F(PlayerMovementTest, WalkingSpeedSettlesWhereAccelerationMeetsDamping) {
    const float settled = 0.0575f;  // v = 0.92 (v + 0.005)
    const struct {
        const char* keys;
        std::vector<Player::InputFlag> held;
        glm::vec4 direction;
    } cases[] = {
        {"W", {Player::InputW}, {0, 0, 1, 0}},
        {"S", {Player::InputS}, {0, 0, -1, 0}},
        {"W+S: W wins", {Player::InputW, Player::InputS}, {0, 0, 1, 0}},
        {"A (left is +x)", {Player::InputA}, {1, 0, 0, 0}},
        {"D", {Player::InputD}, {-1, 0, 0, 0}},
        {"A+D: A wins", {Player::InputA, Player::InputD}, {1, 0, 0, 0}},
        {"W+A", {Player::InputW, Player::InputA}, {1, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
        player.input = {};
        for (auto flag : c.held) player.input[flag] = true;
        ticks(120);  // stays well inside the floor
        EXPECT_NEAR(glm::length(player.velocity - c.direction * settled), 0.0f, 1e-4f);
        EXPECT_EQ(player.pos.y, 10.0f);
    }
}

TEST_F(PlayerMovementTest, OpenInventoryScreenStopsWalkingAndJumpingButNotFalling) {
    player.inventoryGui->open();
    player.input[Player::InputW] = player.input[Player::InputSpace] = true;
    ticks(5);
    EXPECT_EQ(player.pos, glm::vec4(4.5f, 10.0f, 4.5f, 4.5f));
    placeAt(player, {4.5f, 13.0f, 4.5f, 4.5f});
    ticks(2);
    EXPECT_FLOAT_EQ(player.velocity.y, -0.006f);
    EXPECT_EQ(player.velocity.z, 0.0f);
}

TEST(PlayerMovementFarFromOrigin, WalkingAtTheSpawnPointKeepsTheBodyOnTheGround) {
    // Floats near x 131 and z -101 are coarse: the body must still rest exactly on the floor.
    HandWorld hand({15, -14, 4}, {17, -12, 6});
    hand.fill({120, 99, -112, 32}, {143, 99, -89, 55}, stone);
    TestPlayer t;
    placeAt(t.player, {131.5f, 100.0f, -101.5f, 44.5f});
    t.player.input[Player::InputW] = t.player.input[Player::InputA] = true;
    for (int i = 0; i < 120; ++i) {
        t.player.update(nullptr, &hand.world);
        ASSERT_EQ(t.player.pos.y, 100.0f) << "tick " << i;
    }
    EXPECT_GT(t.player.pos.z, -97.5f);
    EXPECT_GT(t.player.pos.x, 135.5f);
}

// ---- Walls and corners ----

TEST_F(PlayerMovementTest, AWallStopsTheBodyExactlyOnItsPlaneAndItSlidesAlong) {
    hand.fill({7, 10, -8, -8}, {7, 12, 15, 15}, stone);
    player.input[Player::InputA] = true;  // +x
    ticks(150);
    EXPECT_EQ(player.pos, glm::vec4(7.0f, 10.0f, 4.5f, 4.5f));
    EXPECT_EQ(player.currentBlock.x, 6);
    EXPECT_EQ(player.velocity.x, 0.0f);

    player.input[Player::InputW] = true;
    ticks(60);
    EXPECT_EQ(player.pos.x, 7.0f);
    EXPECT_GT(player.pos.z, 6.0f);
    EXPECT_EQ(player.pos.w, 4.5f);
    EXPECT_GT(player.velocity.z, 0.05f);
}

TEST(PlayerClipVelocity, KeepsOnlyTheWallLinePerpendicularToTheFourthAxis) {
    const glm::vec4 tilted = glm::vec4(0.0f, 0.0f, 1.0f, 1.0f) / std::sqrt(2.0f), w(0, 0, 0, 1);
    const struct {
        glm::vec4 over, velocity;
        int axis;
        glm::vec4 expected;
    } cases[] = {
        {tilted, {0.05f, 0.1f, 0.03f, -0.03f}, 0, {0.0f, 0.1f, 0.03f, -0.03f}},
        {tilted, {0.05f, 0.0f, 0.04f, 0.0f}, 0, {0.0f, 0.0f, 0.02f, -0.02f}},
        {tilted, {0.05f, 0.1f, 0.0f, 0.0f}, 1, {0.05f, 0.0f, 0.0f, 0.0f}},
        // The wall's normal is the fourth axis: no line within the slice, horizontal motion stops.
        {w, {0.02f, -0.1f, 0.01f, 0.05f}, 3, {0.0f, -0.1f, 0.0f, 0.0f}},
        {w, {0.0f, 0.2f, 0.0f, 5e-8f}, 3, {0.0f, 0.2f, 0.0f, 0.0f}},
    };
    for (const auto& c : cases) {
        Player player;
        player.over = c.over;
        player.velocity = c.velocity;
        player.clipVelocity(c.axis);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(player.velocity[i], c.expected[i], 1e-8f) << i;
        EXPECT_EQ(player.velocity[c.axis], 0.0f);
    }
}

// The body stands on the edge x = 7, z = 7 (cell 6, 6) and moves out across both boundaries.
TEST_F(PlayerMovementTest, TwoContactsAtAColumnCorner) {
    const glm::vec4 v(0.05f, 0.0f, 0.03f, 0.0f);
    const struct {
        const char* name;
        bool sideX, sideZ, diagonal;
        glm::vec4 velocity, expected;
    } cases[] = {
        {"both sides solid", true, true, false, v, {0, 0, 0, 0}},
        {"both sides and diagonal solid", true, true, true, v, {0, 0, 0, 0}},
        {"all free", false, false, false, v, v},
        {"free diagonal, x side solid: passes the corner", true, false, false, v, v},
        {"free diagonal, z side solid: passes the corner", false, true, false, v, v},
        {"diagonal and x side: slides along z", true, false, true, v, {0, 0, 0.03f, 0}},
        {"diagonal and z side: slides along x", false, true, true, v, {0.05f, 0, 0, 0}},
        {"only diagonal: slower axis stops", false, false, true, v, {0.05f, 0, 0, 0}},
        {"only diagonal, slower x", false, false, true, {0.02f, 0, 0.03f, 0}, {0, 0, 0.03f, 0}},
        {"only diagonal, equal speeds: second contact stops",
         false, false, true, {0.04f, 0, 0.04f, 0}, {0.04f, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hand.fill({6, 10, 6, 4}, {7, 12, 7, 4}, 0);
        if (c.sideX) hand.fill({7, 10, 6, 4}, {7, 11, 6, 4}, stone);
        if (c.sideZ) hand.fill({6, 10, 7, 4}, {6, 11, 7, 4}, stone);
        if (c.diagonal) hand.fill({7, 10, 7, 4}, {7, 11, 7, 4}, stone);
        placeAt(player, {7.0f, 10.0f, 7.0f, 4.5f}, {6, 10, 6, 4});
        player.velocity = c.velocity;
        player.collide(world);
        EXPECT_EQ(player.velocity, c.expected);
    }
}

TEST_F(PlayerMovementTest, TheSweepPassesAFreeCornerAndStopsInABlockedOne) {
    for (bool bothSides : {false, true}) {
        SCOPED_TRACE(bothSides);
        hand.set({7, 10, 6, 4}, stone);
        hand.set({6, 10, 7, 4}, bothSides ? stone : 0);
        placeAt(player, {6.75f, 10.0f, 6.75f, 4.5f});
        player.velocity = {0.25f, 0.0f, 0.25f, 0.0f};
        player.move(world);
        const float to = bothSides ? 7.0f : 7.25f;
        EXPECT_EQ(player.pos, glm::vec4(to, 10.0f, to, 4.5f));
        EXPECT_EQ(player.currentBlock, glm::ivec4(bothSides ? 6 : 7, 10, bothSides ? 6 : 7, 4));
    }
}

TEST_F(PlayerMovementTest, ThreeContactsStopHorizontalMotionWithoutReadingBlocks) {
    placeAt(player, {7.0f, 10.0f, 7.0f, 7.0f}, {6, 10, 6, 6});
    player.velocity = {0.05f, 0.0f, 0.04f, -0.03f};  // out of the cell only on x and z
    player.collide(world);
    EXPECT_EQ(player.velocity, glm::vec4(0.05f, 0.0f, 0.04f, -0.03f));
    player.velocity.w = 0.03f;
    player.collide(world);
    EXPECT_EQ(player.velocity, glm::vec4(0.0f));
}

TEST_F(PlayerMovementTest, FallingAlongAColumnBoundaryNeedsGroundUnderEveryColumn) {
    // Row 9 is solid only for x <= 6; a lower floor lies in row 4 everywhere.
    hand.fill({7, 9, -8, -8}, {15, 9, 15, 15}, 0);
    hand.fill({-8, 4, -8, -8}, {15, 4, 15, 15}, stone);
    // Drifting slowly along z on the boundary x = 7: the column x = 7 has a hole.
    placeAt(player, {7.0f, 12.5f, 4.2f, 4.5f}, {6, 12, 4, 4});
    for (int i = 0; i < 300; ++i) {
        player.velocity.z = 0.002f;
        ticks(1);
    }
    EXPECT_EQ(player.pos.x, 7.0f);
    EXPECT_EQ(player.pos.y, 5.0f);
    EXPECT_LT(player.pos.z, 5.0f);
    // No horizontal motion: only its own column counts, and that one holds it.
    placeAt(player, {7.0f, 12.5f, 4.5f, 4.5f}, {6, 12, 4, 4});
    ticks(300);
    EXPECT_EQ(player.pos, glm::vec4(7.0f, 10.0f, 4.5f, 4.5f));
}

TEST_F(PlayerMovementTest, HeadStopsAtACeiling) {
    hand.fill({-8, 12, -8, -8}, {15, 12, 15, 15}, stone);
    player.input[Player::InputSpace] = true;
    float highestHead = 0.0f;
    for (int i = 0; i < 105; ++i) {
        if (i == 5) player.input[Player::InputSpace] = false;
        ticks(1);
        highestHead = std::max(highestHead, player.headY);
    }
    EXPECT_EQ(highestHead, 12.0f);
    EXPECT_EQ(player.pos.y, 10.0f);
}

TEST_F(PlayerMovementTest, FastMotionIsClampedAndItsSweepEnds) {
    // Far faster than one block per tick (T pressed while falling).
    placeAt(player, {4.5f, 60.5f, 4.5f, 4.5f});
    player.velocity.y = -5.0f;
    ticks(1);
    EXPECT_GE(player.velocity.y, -Player::maxAxisSpeed - 0.003f);
    ticks(200);
    EXPECT_EQ(player.pos.y, 10.0f);
    EXPECT_EQ(player.velocity.y, 0.0f);

    placeAt(player, {4.5f, 20.5f, 4.5f, 4.5f});
    player.velocity = {0.0f, 3.0f, 0.0f, 0.0f};
    player.move(world);
    EXPECT_LE(player.pos.y, 20.5f + 2 * Player::maxAxisSpeed);

    // Crossings on x and z alternate less than a velocity step apart: only the cap ends it.
    placeAt(player, {0.25f, 10.0f, 0.75f, 0.5f});
    const glm::vec4 v(0.66f, 0.0f, 0.66f, 0.0f), start = player.pos;
    player.velocity = v;
    player.move(world);
    EXPECT_LE(glm::distance(player.pos, start), (Player::maxCrossingsPerTick + 1) * glm::length(v));
    EXPECT_GT(player.pos.x, start.x);
    EXPECT_EQ(player.velocity, v);
}

// Whether some column the body touches is air over all rows of the body: on a cell boundary
// the body lies between two columns and needs only one of them free.
bool bodyInFreeSpace(World* world, const Player& p) {
    const int yFrom = int(std::floor(p.pos.y + 1e-4f)), yTo = int(std::floor(p.headY - 1e-4f));
    glm::ivec4 lo(glm::floor(p.pos)), hi = lo;
    for (int i : {0, 2, 3})
        if (std::fabs(p.pos[i] - std::round(p.pos[i])) < 1e-7f) {
            hi[i] = int(std::round(p.pos[i]));
            lo[i] = hi[i] - 1;
        }
    for (int x = lo.x; x <= hi.x; ++x)
        for (int z = lo.z; z <= hi.z; ++z)
            for (int w = lo.w; w <= hi.w; ++w) {
                bool free = true;
                for (int y = yFrom; y <= yTo && free; ++y) free = world->getBlock({x, y, z, w}) == 0;
                if (free) return true;
            }
    return false;
}

TEST_F(PlayerMovementTest, RandomMotionNeverLeavesTheBodyInsideABlock) {
    // Pillars two high inside walls; the body walks, jumps and turns at random.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cell(-6, 13);
    for (int i = 0; i < 500; ++i) {
        const glm::ivec4 c(cell(rng), 10, cell(rng), cell(rng));
        if (glm::ivec3(c.x, c.z, c.w) != glm::ivec3(4)) hand.fill(c, {c.x, 11, c.z, c.w}, stone);
    }
    for (int axis : {0, 2, 3})
        for (int side : {-8, 15}) {
            glm::ivec4 lo(-8, 10, -8, -8), hi(15, 14, 15, 15);
            lo[axis] = hi[axis] = side;
            hand.fill(lo, hi, stone);
        }
    std::uniform_int_distribution<int> coin(0, 9);
    std::uniform_real_distribution<double> mouse(-40.0, 40.0);
    int blockedTicks = 0;
    float farthest = 0.0f;
    const glm::vec4 start = player.pos;
    for (int i = 0; i < 4000; ++i) {
        if (i % 25 == 0) {
            for (int k = 0; k < 8; ++k) player.input[k] = coin(rng) < 3;
            player.pendingTurn += float(mouse(rng) * 0.01);
            player.cursorPos(nullptr, player.lastCursorX + mouse(rng), player.lastCursorY);
        }
        ticks(1);
        ASSERT_FALSE(glm::any(glm::isnan(player.pos)) || glm::any(glm::isinf(player.pos)));
        ASSERT_TRUE(bodyInFreeSpace(world, player))
            << "tick " << i << " at " << player.pos.x << ", " << player.pos.y << ", "
            << player.pos.z << ", " << player.pos.w;
        ASSERT_GE(player.pos.y, 10.0f);
        farthest = std::max(farthest, glm::distance(player.pos, start));
        auto onPlane = [&](int a) { return std::fabs(player.pos[a] - std::round(player.pos[a])) < 1e-7f; };
        blockedTicks += onPlane(0) || onPlane(2) || onPlane(3);
    }
    // The walk went places and spent time against walls and pillars.
    EXPECT_GT(farthest, 4.0f);
    EXPECT_GT(blockedTicks, 100);
}

}  // namespace

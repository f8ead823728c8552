#include "game/Compass.h"
#include "game/PlayerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using playertest::HandWorld;
using playertest::placeAt;
using playertest::TestPlayer;

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
    void hold(Player::InputFlag flag, bool held = true) { player.input[flag] = held; }
};

// ---- Ground and air ----

TEST_F(PlayerMovementTest, StandingStillStaysExactlyOnTheGround) {
    ticks(200);
    EXPECT_EQ(player.pos, glm::vec4(4.5f, 10.0f, 4.5f, 4.5f));
    EXPECT_EQ(player.velocity, glm::vec4(0.0f));
    EXPECT_EQ(player.headY, 11.8f);
    EXPECT_EQ(player.currentBlock, glm::ivec4(4, 10, 4, 4));
}

TEST_F(PlayerMovementTest, JumpsOnlyFromTheGroundAndLandsOnIt) {
    hold(Player::InputSpace);
    ticks(1);
    EXPECT_FLOAT_EQ(player.velocity.y, 0.12f);
    EXPECT_FLOAT_EQ(player.pos.y, 10.12f);

    // Space still held in the air: gravity, no second jump.
    ticks(1);
    EXPECT_FLOAT_EQ(player.velocity.y, 0.117f);
    hold(Player::InputSpace, false);

    float peak = player.pos.y;
    int airTicks = 0;
    while (player.pos.y != 10.0f && airTicks < 500) {
        ticks(1);
        peak = std::max(peak, player.pos.y);
        ++airTicks;
    }
    // At least 0.12 + 0.117 + ... + 0.003 blocks up; ticks that cross a grid plane go a little
    // further (to the plane, then a whole step). A jump clears two blocks, not three.
    EXPECT_GT(peak, 10.0f + 2.46f);
    EXPECT_LT(peak, 10.0f + 2.8f);
    EXPECT_EQ(player.pos.y, 10.0f);
    EXPECT_EQ(player.velocity.y, 0.0f);
    ticks(10);
    EXPECT_EQ(player.pos.y, 10.0f);
}

TEST_F(PlayerMovementTest, SpaceInTheAirDoesNothing) {
    placeAt(player, {4.5f, 14.5f, 4.5f, 4.5f});
    hold(Player::InputSpace);
    ticks(1);
    EXPECT_FLOAT_EQ(player.velocity.y, -0.003f);
}

TEST_F(PlayerMovementTest, WalkingSpeedSettlesWhereAccelerationMeetsDamping) {
    // v = 0.92 (v + 0.005) settles at 0.0046 / 0.08.
    const float settled = 0.0575f;
    struct Case {
        const char* keys;
        std::vector<Player::InputFlag> held;
        glm::vec4 direction;
    };
    const Case cases[] = {
        {"W", {Player::InputW}, {0, 0, 1, 0}},
        {"S", {Player::InputS}, {0, 0, -1, 0}},
        {"W+S: W wins", {Player::InputW, Player::InputS}, {0, 0, 1, 0}},
        {"A (left is +x)", {Player::InputA}, {1, 0, 0, 0}},
        {"D", {Player::InputD}, {-1, 0, 0, 0}},
        {"A+D: A wins", {Player::InputA, Player::InputD}, {1, 0, 0, 0}},
        {"W+A", {Player::InputW, Player::InputA}, {1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        placeAt(player, {4.5f, 10.0f, 4.5f, 4.5f});
        player.input = {};
        for (auto flag : c.held) hold(flag);
        // Far from any wall: walk back and forth inside the floor's area.
        for (int i = 0; i < 120; ++i) {
            ticks(1);
            ASSERT_LT(glm::length(player.pos - glm::vec4(4.5f, 10, 4.5f, 4.5f)), 10.0f);
        }
        EXPECT_NEAR(glm::length(player.velocity - c.direction * settled), 0.0f, 1e-4f);
        EXPECT_EQ(player.pos.y, 10.0f);
    }
}

TEST_F(PlayerMovementTest, OpenInventoryScreenStopsWalkingAndJumpingButNotFalling) {
    player.inventoryGui->open();
    hold(Player::InputW);
    hold(Player::InputSpace);
    ticks(5);
    EXPECT_EQ(player.pos, glm::vec4(4.5f, 10.0f, 4.5f, 4.5f));

    placeAt(player, {4.5f, 13.0f, 4.5f, 4.5f});
    ticks(2);
    EXPECT_FLOAT_EQ(player.velocity.y, -0.006f);
    EXPECT_EQ(player.velocity.z, 0.0f);
}

TEST_F(PlayerMovementTest, FallingBelowTheVoidHeightKills) {
    // A column without floor: the body falls out of the world.
    hand.fill({0, 9, 0, 0}, {1, 9, 1, 1}, 0);
    placeAt(player, {0.5f, 10.0f, 0.5f, 0.5f});
    int n = 0;
    while (player.health > 0.0f && n < 1000) {
        const float before = player.pos.y;
        ticks(1);
        ++n;
        if (player.health > 0.0f) {
            EXPECT_GE(player.pos.y, -20.0f);
        } else {
            EXPECT_GE(before, -20.0f);
        }
    }
    EXPECT_EQ(player.health, 0.0f);
    EXPECT_LT(player.pos.y, -20.0f);
    EXPECT_EQ(compassPlayerPos, player.pos);
}

TEST(PlayerMovementFarFromOrigin, WalkingAtTheSpawnPointKeepsTheBodyOnTheGround) {
    // Floats near x 131 and z -101 are coarse: the body must still rest exactly on the floor.
    HandWorld hand({15, -14, 4}, {17, -12, 6});
    hand.fill({120, 99, -112, 32}, {143, 99, -89, 55}, stone);
    TestPlayer t;
    Player& player = t.player;
    placeAt(player, {131.5f, 100.0f, -101.5f, 44.5f});
    player.input[Player::InputW] = true;
    player.input[Player::InputA] = true;
    for (int i = 0; i < 120; ++i) {
        player.update(nullptr, &hand.world);
        ASSERT_EQ(player.pos.y, 100.0f) << "tick " << i;
    }
    EXPECT_GT(player.pos.z, -101.5f + 4.0f);
    EXPECT_GT(player.pos.x, 131.5f + 4.0f);
}

// ---- Walls and corners ----

TEST_F(PlayerMovementTest, WalkingIntoAWallStopsExactlyOnItsPlane) {
    hand.fill({7, 10, -8, -8}, {7, 12, 15, 15}, stone);
    hold(Player::InputA);  // +x
    ticks(150);
    EXPECT_EQ(player.pos.x, 7.0f);
    EXPECT_EQ(player.currentBlock.x, 6);
    EXPECT_EQ(player.velocity.x, 0.0f);
    EXPECT_EQ(player.pos.z, 4.5f);
    EXPECT_EQ(player.pos.y, 10.0f);
}

TEST_F(PlayerMovementTest, WalkingAlongAWallSlidesWithinTheSlice) {
    hand.fill({7, 10, -8, -8}, {7, 12, 15, 15}, stone);
    hold(Player::InputA);
    hold(Player::InputW);
    ticks(60);
    EXPECT_EQ(player.pos.x, 7.0f);
    EXPECT_GT(player.pos.z, 6.0f);
    EXPECT_EQ(player.pos.w, 4.5f);
    EXPECT_GT(player.velocity.z, 0.05f);
}

TEST(PlayerClipVelocity, KeepsOnlyTheWallLinePerpendicularToTheFourthAxis) {
    Player player;
    player.over = glm::vec4(0.0f, 0.0f, 1.0f, 1.0f) / std::sqrt(2.0f);
    player.velocity = {0.05f, 0.1f, 0.03f, -0.03f};
    player.clipVelocity(0);
    EXPECT_EQ(player.velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(player.velocity.y, 0.1f);
    EXPECT_FLOAT_EQ(player.velocity.z, 0.03f);
    EXPECT_FLOAT_EQ(player.velocity.w, -0.03f);

    // The part along the fourth axis is removed.
    player.velocity = {0.05f, 0.0f, 0.04f, 0.0f};
    player.clipVelocity(0);
    EXPECT_EQ(player.velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(player.velocity.z, 0.02f);
    EXPECT_FLOAT_EQ(player.velocity.w, -0.02f);

    player.velocity = {0.05f, 0.1f, 0.0f, 0.0f};
    player.clipVelocity(1);
    EXPECT_EQ(player.velocity, glm::vec4(0.05f, 0.0f, 0.0f, 0.0f));
}

TEST(PlayerClipVelocity, WallNormalAlongTheFourthAxisStopsHorizontalMotion) {
    Player player;  // over = +w
    player.velocity = {0.02f, -0.1f, 0.01f, 0.05f};
    player.clipVelocity(3);
    EXPECT_EQ(player.velocity, glm::vec4(0.0f, -0.1f, 0.0f, 0.0f));

    player.velocity = {0.0f, 0.2f, 0.0f, 5e-8f};
    player.clipVelocity(3);
    EXPECT_EQ(player.velocity, glm::vec4(0.0f, 0.2f, 0.0f, 0.0f));
}

// The body stands on the edge x = 7, z = 7 (cell 6, 6) and moves out across both boundaries.
TEST_F(PlayerMovementTest, TwoContactsAtAColumnCorner) {
    struct Case {
        const char* name;
        bool sideX, sideZ, diagonal;
        glm::vec4 velocity;
        glm::vec4 expected;
    };
    const glm::vec4 v(0.05f, 0.0f, 0.03f, 0.0f);
    const Case cases[] = {
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
    for (const Case& c : cases) {
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

TEST_F(PlayerMovementTest, TheSweepCarriesTheBodyThroughAFreeCorner) {
    hand.set({7, 10, 6, 4}, stone);  // one side only
    placeAt(player, {6.75f, 10.0f, 6.75f, 4.5f});
    player.velocity = {0.25f, 0.0f, 0.25f, 0.0f};
    player.move(world);
    EXPECT_EQ(player.pos, glm::vec4(7.25f, 10.0f, 7.25f, 4.5f));
    EXPECT_EQ(player.currentBlock, glm::ivec4(7, 10, 7, 4));

    hand.set({6, 10, 7, 4}, stone);  // both sides
    placeAt(player, {6.75f, 10.0f, 6.75f, 4.5f});
    player.velocity = {0.25f, 0.0f, 0.25f, 0.0f};
    player.move(world);
    EXPECT_EQ(player.pos, glm::vec4(7.0f, 10.0f, 7.0f, 4.5f));
    EXPECT_EQ(player.currentBlock, glm::ivec4(6, 10, 6, 4));
}

TEST_F(PlayerMovementTest, ThreeContactsStopHorizontalMotionWithoutReadingBlocks) {
    placeAt(player, {7.0f, 10.0f, 7.0f, 7.0f}, {6, 10, 6, 6});
    player.velocity = {0.05f, 0.0f, 0.04f, -0.03f};  // out of the cell only on x and z
    player.collide(world);
    EXPECT_EQ(player.velocity, glm::vec4(0.05f, 0.0f, 0.04f, -0.03f));

    player.velocity = {0.05f, 0.0f, 0.04f, 0.03f};
    player.collide(world);
    EXPECT_EQ(player.velocity, glm::vec4(0.0f));
}

TEST_F(PlayerMovementTest, FallingAlongAColumnBoundaryNeedsGroundUnderEveryColumn) {
    // Row 9 is solid only for x <= 6; a lower floor lies in row 4 everywhere.
    hand.fill({7, 9, -8, -8}, {15, 9, 15, 15}, 0);
    hand.fill({-8, 4, -8, -8}, {15, 4, 15, 15}, stone);

    // Drifting slowly along z (never reaching the next z plane) while on the boundary x = 7:
    // the column x = 7 has a hole, so the body falls past the upper floor.
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
    hold(Player::InputSpace);
    float highestHead = 0.0f;
    for (int i = 0; i < 5; ++i) {
        ticks(1);
        highestHead = std::max(highestHead, player.headY);
    }
    hold(Player::InputSpace, false);
    for (int i = 0; i < 100; ++i) {
        ticks(1);
        highestHead = std::max(highestHead, player.headY);
    }
    EXPECT_EQ(highestHead, 12.0f);
    EXPECT_EQ(player.pos.y, 10.0f);
}

TEST_F(PlayerMovementTest, AFastFallStillEndsAndLandsOnTheFloor) {
    // Far faster than one block per tick (a lift to height 100 while falling).
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
}

TEST_F(PlayerMovementTest, InterleavedCrossingsAreCappedPerTick) {
    // Crossings on x and z alternate less than a velocity step apart: without a cap the sweep
    // would go on for ever.
    placeAt(player, {0.25f, 10.0f, 0.75f, 0.5f});
    const glm::vec4 v(0.66f, 0.0f, 0.66f, 0.0f);
    player.velocity = v;
    const glm::vec4 start = player.pos;
    player.move(world);
    EXPECT_LE(glm::distance(player.pos, start), (Player::maxCrossingsPerTick + 1) * glm::length(v));
    EXPECT_GT(player.pos.x, start.x);
    EXPECT_EQ(player.velocity, v);
}

// Whether some column the body touches is air over all rows of the body: on a cell boundary
// the segment lies between two columns and needs only one of them free.
bool bodyInFreeSpace(World* world, const Player& p) {
    const int yFrom = int(std::floor(p.pos.y + 1e-4f));
    const int yTo = int(std::floor(p.headY - 1e-4f));
    glm::ivec4 lo(glm::floor(p.pos)), hi = lo;
    for (int i : {0, 2, 3}) {
        const float r = std::round(p.pos[i]);
        if (std::fabs(p.pos[i] - r) < 1e-7f) {
            lo[i] = int(r) - 1;
            hi[i] = int(r);
        }
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
    // Pillars two high over the floor, walls around; the body walks, jumps and turns at random.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cell(-6, 13);
    for (int i = 0; i < 500; ++i) {
        const glm::ivec4 c(cell(rng), 10, cell(rng), cell(rng));
        if (glm::ivec3(c.x, c.z, c.w) != glm::ivec3(4)) hand.fill(c, {c.x, 11, c.z, c.w}, stone);
    }
    hand.fill({-8, 10, -8, -8}, {-8, 14, 15, 15}, stone);
    hand.fill({15, 10, -8, -8}, {15, 14, 15, 15}, stone);
    hand.fill({-8, 10, -8, -8}, {15, 14, -8, 15}, stone);
    hand.fill({-8, 10, 15, -8}, {15, 14, 15, 15}, stone);
    hand.fill({-8, 10, -8, -8}, {15, 14, 15, -8}, stone);
    hand.fill({-8, 10, -8, 15}, {15, 14, 15, 15}, stone);

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
        ASSERT_TRUE(std::isfinite(player.pos.x) && std::isfinite(player.pos.y) &&
                    std::isfinite(player.pos.z) && std::isfinite(player.pos.w));
        ASSERT_TRUE(bodyInFreeSpace(world, player))
            << "tick " << i << " at " << player.pos.x << ", " << player.pos.y << ", "
            << player.pos.z << ", " << player.pos.w;
        ASSERT_GE(player.pos.y, 10.0f);
        farthest = std::max(farthest, glm::distance(player.pos, start));
        for (int a : {0, 2, 3})
            if (std::fabs(player.pos[a] - std::round(player.pos[a])) < 1e-7f) {
                ++blockedTicks;
                break;
            }
    }
    // The walk went places and spent time against walls and pillars.
    EXPECT_GT(farthest, 4.0f);
    EXPECT_GT(blockedTicks, 100);
}

}  // namespace

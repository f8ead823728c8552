#include "game/Player.h"
#include "world/World.h"

#include <gtest/gtest.h>

namespace {

class PlayerHealthTest : public ::testing::Test {
protected:
    Player player;
    double now = 500.0;

    void SetUp() override { player.clock = [this] { return now; }; }
};

TEST_F(PlayerHealthTest, RegenerationWaitsAfterDamageThenAddsAHundredthPerTick) {
    player.health = 40.0f;
    player.lastDamageTime = now;
    now += 1.19;
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 40.0f);
    // The wait is the float 1.2, a hair above the double 1.2.
    now = player.lastDamageTime + 1.2;
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 40.0f);
    now = player.lastDamageTime + 1.2000001;
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 40.01f);
    for (int i = 0; i < 99; ++i) player.regenerate();
    EXPECT_NEAR(player.health, 41.0f, 1e-3f);  // one point per second of ticks
}

TEST_F(PlayerHealthTest, RegenerationStopsAtFullHealth) {
    player.health = 99.995f;
    player.lastDamageTime = 0.0;
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

TEST_F(PlayerHealthTest, FallingBelowMinusTwentyKillsInTheSameTick) {
    World world;  // nothing loaded; below height 0 every cell is air
    player.reset();
    player.pos = glm::vec4(0.5f, -19.95f, 0.5f, 0.5f);
    player.headY = player.pos.y + 1.8f;
    player.currentBlock = glm::ivec4(glm::floor(player.pos));
    player.velocity = glm::vec4(0.0f, -0.1f, 0.0f, 0.0f);
    player.lastDamageTime = now;  // no regeneration in this tick
    player.update(nullptr, &world);
    EXPECT_LT(player.pos.y, -20.0f);
    EXPECT_EQ(player.health, 0.0f);
}

TEST_F(PlayerHealthTest, FallingAboveMinusTwentyDoesNotKill) {
    World world;
    player.reset();
    player.pos = glm::vec4(0.5f, -5.0f, 0.5f, 0.5f);
    player.headY = player.pos.y + 1.8f;
    player.currentBlock = glm::ivec4(glm::floor(player.pos));
    player.velocity = glm::vec4(0.0f, -0.1f, 0.0f, 0.0f);
    player.update(nullptr, &world);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

}  // namespace

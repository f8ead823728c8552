#include "game/GameRules.h"

#include <gtest/gtest.h>

namespace {

TEST(StreamingTrigger, MovingEightBlocksIn4DAsksForAPass) {
    glm::vec4 last(10, 60, 10, 10);
    EXPECT_FALSE(gamerules::streamingDue(false, last + glm::vec4(7.9f, 0, 0, 0), last));
    EXPECT_TRUE(gamerules::streamingDue(false, last + glm::vec4(8.0f, 0, 0, 0), last));
    // Every axis counts, height and the fourth one too.
    EXPECT_TRUE(gamerules::streamingDue(false, last + glm::vec4(0, 0, 0, -8.0f), last));
    EXPECT_TRUE(gamerules::streamingDue(false, last + glm::vec4(4, 4, 4, 4), last));
    EXPECT_FALSE(gamerules::streamingDue(false, last + glm::vec4(3.9f, 3.9f, 3.9f, 3.9f), last));
}

TEST(StreamingTrigger, AReloadRequestAsksForAPassWithoutMoving) {
    glm::vec4 here(1, 2, 3, 4);
    EXPECT_TRUE(gamerules::streamingDue(true, here, here));
    EXPECT_FALSE(gamerules::streamingDue(false, here, here));
}

TEST(CrackStage, ZeroUntilMiningStartsThenSevenths) {
    EXPECT_EQ(gamerules::crackStage(0.0, 0.9f), 0);
    EXPECT_EQ(gamerules::crackStage(12.5, 0.0f), 0);
    EXPECT_EQ(gamerules::crackStage(12.5, 0.142f), 0);
    EXPECT_EQ(gamerules::crackStage(12.5, 0.143f), 1);
    EXPECT_EQ(gamerules::crackStage(12.5, 0.5f), 3);
    EXPECT_EQ(gamerules::crackStage(12.5, 0.99f), 6);
    EXPECT_EQ(gamerules::crackStage(12.5, 1.0f), 7);
    EXPECT_EQ(gamerules::crackStage(12.5, 3.0f), 7);
    EXPECT_EQ(gamerules::crackStage(12.5, -1.0f), 0);
}

TEST(HotbarWheel, ShiftWheelWrapsOverTheEightSlots) {
    EXPECT_EQ(gamerules::scrolledHotbarRow(0, 1.0), 7);   // up from the first
    EXPECT_EQ(gamerules::scrolledHotbarRow(7, -1.0), 0);  // down from the last
    EXPECT_EQ(gamerules::scrolledHotbarRow(3, -2.0), 4);
    EXPECT_EQ(gamerules::scrolledHotbarRow(3, 0.0), 2);   // a sideways event goes back
}

TEST(HotbarWheel, OneNotchTurnsTheSliceByTheSensitivity) {
    EXPECT_FLOAT_EQ(gamerules::wheelTurn(1.0, 0.5f), 0.005f);
    EXPECT_FLOAT_EQ(gamerules::wheelTurn(-2.0, 0.25f), -0.005f);
}

}  // namespace

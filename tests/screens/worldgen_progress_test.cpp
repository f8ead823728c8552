#include "screens/LoadingProgress.h"

#include <gtest/gtest.h>

TEST(LoadingProgress, BarGrowsAtMostOneHundredthPerTickAndDropsAtOnce) {
    float progress = loading::step(0.0f, 90, 100);  // many chunks at once
    EXPECT_FLOAT_EQ(progress, 0.01f);
    for (int i = 0; i < 20; ++i) progress = loading::step(progress, 90, 100);
    EXPECT_NEAR(progress, 0.21f, 1e-5f);
    EXPECT_FLOAT_EQ(loading::step(progress, 10, 100), 0.1f);  // fewer loaded than shown: drop
    EXPECT_FLOAT_EQ(loading::step(0.895f, 90, 100), 0.9f);   // within a hundredth: land on it
}

TEST(LoadingProgress, DoneWhenEveryChunkHasLoadedAndAnEmptyMapAtOnce) {
    EXPECT_FALSE(loading::complete(0, 1));
    EXPECT_FALSE(loading::complete(99, 100));
    EXPECT_TRUE(loading::complete(100, 100));
    EXPECT_TRUE(loading::complete(0, 0));
    EXPECT_FLOAT_EQ(loading::share(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(loading::step(0.0f, 0, 0), 0.01f);  // not NaN
}

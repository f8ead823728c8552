#include "support/RecordingState.h"

#include "engine/MainLoop.h"
#include "engine/StateManager.h"

#include <gtest/gtest.h>

using testing_states::RecordingState;
using Log = std::vector<std::string>;

// Drives the real frame function with a clock the test sets and records polls and swaps into
// the same log as the states' calls, so their order is checked too.
class MainLoopTest : public ::testing::Test {
protected:
    Log log;
    double now = 0.0;
    int timeReads = 0;
    std::function<void()> duringPoll;
    LoopDriver driver{
        [this] { ++timeReads; return now; },
        [this] { log.push_back("poll"); if (duringPoll) duringPoll(); },
        [this] { log.push_back("swap"); },
    };
    RecordingState a{"a", log}, b{"b", log};
    StateManager manager;
    LoopTimer timer;

    void SetUp() override {
        manager.pushState(&a);
        log.clear();
        timer = startLoopTimer(driver);
    }

    Log frameAt(double time) {
        now = time;
        log.clear();
        runFrame(manager, timer, driver);
        return log;
    }

    static Log ticks(int n, const std::string& state = "a") {
        Log expected;
        for (int i = 0; i < n; ++i) {
            expected.push_back("poll");
            expected.push_back(state + ".update");
        }
        return expected;
    }
    static Log withFrameEnd(Log log, const std::string& state = "a") {
        log.push_back(state + ".render");
        log.push_back("swap");
        return log;
    }
};

TEST_F(MainLoopTest, AFrameAfterAStallRunsExactlyOneTick) {
    EXPECT_EQ(frameAt(0.25), withFrameEnd(ticks(1)));
    // The lost time is dropped, not carried into the next frame.
    EXPECT_EQ(frameAt(0.255), withFrameEnd(ticks(0)));
}

TEST_F(MainLoopTest, AShortFrameRunsNoTickAndPollsNothingButRendersAndSwaps) {
    EXPECT_EQ(frameAt(0.005), withFrameEnd(ticks(0)));
    EXPECT_DOUBLE_EQ(timer.accumulator, 0.005);
}

TEST_F(MainLoopTest, TimeAccumulatesAcrossShortFrames) {
    frameAt(0.006);
    EXPECT_EQ(frameAt(0.012), withFrameEnd(ticks(1)));
    EXPECT_NEAR(timer.accumulator, 0.002, 1e-12);
}

TEST_F(MainLoopTest, ExactlyATenthOfASecondRunsTenTicks) {
    EXPECT_EQ(frameAt(0.1), withFrameEnd(ticks(10)));
}

TEST_F(MainLoopTest, ExactlyOneTickLengthRunsOneTick) {
    EXPECT_EQ(frameAt(0.01), withFrameEnd(ticks(1)));
}

TEST_F(MainLoopTest, JustOverATenthOfASecondIsCutToOneTick) {
    EXPECT_EQ(frameAt(0.1001), withFrameEnd(ticks(1)));
}

TEST_F(MainLoopTest, RemainderCarriesIntoTheNextFrame) {
    // Times are chosen clear of rounding: sums of 0.01 drift in binary floating point.
    EXPECT_EQ(frameAt(0.035), withFrameEnd(ticks(3)));
    EXPECT_EQ(frameAt(0.0425), withFrameEnd(ticks(1)));
}

TEST_F(MainLoopTest, EventsArePolledBeforeEachUpdateAndReachTheCurrentTop) {
    // A callback during the second poll pushes b: that tick's update already goes to b.
    int polls = 0;
    duringPoll = [&] {
        if (++polls == 2) manager.pushState(&b);
    };
    Log expected = {"poll", "a.update", "poll", "a.pause", "b.init", "b.update", "poll",
                    "b.update", "b.render", "swap"};
    EXPECT_EQ(frameAt(0.035), expected);
}

TEST_F(MainLoopTest, AStateThatEmptiesTheStackEndsTheFrameWithOneMoreSwap) {
    a.onUpdate = [](StateManager& s) { s.popState(); };
    // Three ticks are due: the later two still poll but update nothing; nothing renders.
    EXPECT_EQ(frameAt(0.035), (Log{"poll", "a.update", "a.close", "poll", "poll", "swap"}));
}

TEST_F(MainLoopTest, TheLoopEndsAfterTheFrameInWhichTheStackEmptied) {
    int updates = 0;
    a.onUpdate = [&](StateManager& s) {
        if (++updates == 3) s.popState();
    };
    driver.time = [this] { return now += 0.0125; };  // one tick per frame
    log.clear();
    runMainLoop(manager, driver);
    EXPECT_EQ(updates, 3);
    EXPECT_TRUE(manager.states.empty());
    // Three frames: the last updates, closes and swaps without rendering.
    const Log expected = {"poll", "a.update", "a.render", "swap", "poll", "a.update", "a.render",
                          "swap", "poll", "a.update", "a.close", "swap"};
    EXPECT_EQ(log, expected);
}

TEST_F(MainLoopTest, AnEmptyStackRunsNoFrame) {
    manager.popState();
    log.clear();
    timeReads = 0;
    runMainLoop(manager, driver);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(timeReads, 1);  // the start time only
}

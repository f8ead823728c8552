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

    void SetUp() override { manager.pushState(&a); }

    Log frameAt(double time) {
        now = time;
        log.clear();
        runFrame(manager, timer, driver);
        return log;
    }
    // n ticks of the top state, then its render and the swap.
    static Log frame(int n) {
        Log expected;
        for (int i = 0; i < n; ++i) expected.insert(expected.end(), {"poll", "a.update"});
        expected.insert(expected.end(), {"a.render", "swap"});
        return expected;
    }
};

TEST_F(MainLoopTest, TicksFollowTheAccumulatedTime) {
    // Times are chosen clear of rounding: sums of 0.01 drift in binary floating point.
    struct Case {
        std::vector<double> frameTimes;
        std::vector<int> ticks;
    };
    const Case cases[] = {
        {{0.25, 0.255}, {1, 0}},    // after a stall one tick runs; the lost time is dropped
        {{0.005}, {0}},             // no tick and no poll, but a render and a swap
        {{0.006, 0.012}, {0, 1}},   // short frames add up
        {{0.1}, {10}},
        {{0.01}, {1}},
        {{0.1001}, {1}},
        {{0.035, 0.0425}, {3, 1}},  // the remainder carries into the next frame
    };
    for (const Case& c : cases) {
        now = 0.0;
        timer = startLoopTimer(driver);
        for (size_t i = 0; i < c.frameTimes.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "frame at " << c.frameTimes[i]);
            EXPECT_EQ(frameAt(c.frameTimes[i]), frame(c.ticks[i]));
        }
    }
}

TEST_F(MainLoopTest, EventsArePolledBeforeEachUpdateAndReachTheCurrentTop) {
    // A callback during the second poll pushes b: that tick's update already goes to b.
    int polls = 0;
    duringPoll = [&] { if (++polls == 2) manager.pushState(&b); };
    EXPECT_EQ(frameAt(0.035), (Log{"poll", "a.update", "poll", "a.pause", "b.init", "b.update",
                                   "poll", "b.update", "b.render", "swap"}));
}

TEST_F(MainLoopTest, AStateThatEmptiesTheStackEndsTheFrameWithOneMoreSwap) {
    a.onUpdate = [](StateManager& s) { s.popState(); };
    // Three ticks are due: the later two still poll but update nothing; nothing renders.
    EXPECT_EQ(frameAt(0.035), (Log{"poll", "a.update", "a.close", "poll", "poll", "swap"}));
}

TEST_F(MainLoopTest, TheLoopEndsAfterTheFrameInWhichTheStackEmptied) {
    int updates = 0;
    a.onUpdate = [&](StateManager& s) { if (++updates == 3) s.popState(); };
    driver.time = [this] { ++timeReads; return now += 0.0125; };  // one tick per frame
    log.clear();
    runMainLoop(manager, driver);
    Log expected = frame(1), second = frame(1);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), {"poll", "a.update", "a.close", "swap"});
    EXPECT_EQ(log, expected);

    // With the stack empty from the start no frame runs: only the start time is read.
    log.clear();
    timeReads = 0;
    runMainLoop(manager, driver);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(timeReads, 1);
}

#include "support/RecordingState.h"

#include "engine/StateManager.h"

#include <gtest/gtest.h>

using testing_states::RecordingState;
using Log = std::vector<std::string>;

class StateManagerTest : public ::testing::Test {
protected:
    Log log;
    RecordingState a{"a", log}, b{"b", log}, c{"c", log};
    StateManager manager;

    Log take() { return std::exchange(log, {}); }
};

TEST_F(StateManagerTest, PushOnEmptyStackOnlyInitialises) {
    manager.pushState(&a);
    EXPECT_EQ(take(), (Log{"a.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a}));
}

TEST_F(StateManagerTest, PushPausesTheOldTopBeforeInitialisingTheNewOne) {
    manager.pushState(&a);
    take();
    manager.pushState(&b);
    EXPECT_EQ(take(), (Log{"a.pause", "b.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a, &b}));
}

TEST_F(StateManagerTest, PopClosesTheTopThenResumesTheNewTop) {
    manager.pushState(&a);
    manager.pushState(&b);
    take();
    manager.popState();
    EXPECT_EQ(take(), (Log{"b.close", "a.resume"}));
    manager.popState();
    EXPECT_EQ(take(), (Log{"a.close"}));
    EXPECT_TRUE(manager.states.empty());
    manager.popState();
    EXPECT_TRUE(take().empty());
}

TEST_F(StateManagerTest, ChangeReplacesTheTopWithoutResumeOrPauseBelow) {
    manager.pushState(&a);
    manager.pushState(&b);
    take();
    manager.changeState(&c);
    EXPECT_EQ(take(), (Log{"b.close", "c.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a, &c}));
}

TEST_F(StateManagerTest, ChangeOnEmptyStackOnlyInitialises) {
    manager.changeState(&a);
    EXPECT_EQ(take(), (Log{"a.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a}));
}

TEST_F(StateManagerTest, CombinedOperationsRunEveryStepInBetween) {
    // "Quit to title": pop two, push one.
    manager.pushState(&a);
    manager.pushState(&b);
    manager.pushState(&c);
    take();
    manager.popState();
    manager.popState();
    manager.pushState(&b);
    EXPECT_EQ(take(), (Log{"c.close", "b.resume", "b.close", "a.resume", "a.pause", "b.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a, &b}));
}

TEST_F(StateManagerTest, AStatePushedAgainIsInitialisedAgain) {
    manager.pushState(&a);
    manager.popState();
    manager.pushState(&a);
    EXPECT_EQ(take(), (Log{"a.init", "a.close", "a.init"}));
}

TEST_F(StateManagerTest, AStateMayPushAnotherFromItsInit) {
    // The world-generation screen is pushed right after the game screen, from one callback.
    a.onInit = [this](StateManager& s) { s.pushState(&b); };
    manager.pushState(&a);
    EXPECT_EQ(take(), (Log{"a.init", "a.pause", "b.init"}));
    EXPECT_EQ(manager.states, (std::vector<State*>{&a, &b}));
}

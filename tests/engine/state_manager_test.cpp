#include "support/RecordingState.h"

#include "engine/StateManager.h"

#include <gtest/gtest.h>

using testing_states::RecordingState;
using Log = std::vector<std::string>;
using Stack = std::vector<State*>;

TEST(StateManager, PushPopAndChangeRunExactlyTheirSteps) {
    Log log;
    RecordingState a{"a", log}, b{"b", log}, c{"c", log};
    StateManager m;
    struct Step {
        std::function<void()> operation;
        Log calls;
        Stack stack;
    };
    const Step steps[] = {
        {[&] { m.pushState(&a); }, {"a.init"}, {&a}},
        {[&] { m.pushState(&b); }, {"a.pause", "b.init"}, {&a, &b}},
        {[&] { m.changeState(&c); }, {"b.close", "c.init"}, {&a, &c}},  // nothing below stirs
        {[&] { m.pushState(&b); }, {"c.pause", "b.init"}, {&a, &c, &b}},
        // Pop two and push one ("quit to title"): every step in between runs.
        {[&] { m.popState(); m.popState(); m.pushState(&b); },
         {"b.close", "c.resume", "c.close", "a.resume", "a.pause", "b.init"}, {&a, &b}},
        {[&] { m.popState(); m.popState(); }, {"b.close", "a.resume", "a.close"}, {}},
        {[&] { m.popState(); }, {}, {}},
        {[&] { m.changeState(&a); }, {"a.init"}, {&a}},  // a reused state is initialised again
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        log.clear();
        steps[i].operation();
        EXPECT_EQ(log, steps[i].calls);
        EXPECT_EQ(m.states, steps[i].stack);
    }
}

TEST(StateManager, AStateMayPushAnotherFromItsInit) {
    // The world-generation screen is pushed right after the game screen, from one callback.
    Log log;
    RecordingState a{"a", log}, b{"b", log};
    StateManager m;
    a.onInit = [&](StateManager& s) { s.pushState(&b); };
    m.pushState(&a);
    EXPECT_EQ(log, (Log{"a.init", "a.pause", "b.init"}));
    EXPECT_EQ(m.states, (Stack{&a, &b}));
}

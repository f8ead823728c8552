#include "game/Compass.h"
#include "game/GameTestSupport.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <functional>

using namespace gametest;

namespace {

constexpr int ctrl = GLFW_MOD_CONTROL;
const glm::vec4 turnedPos(4.3f, 10.7f, 4.9f, 4.1f);

bool press(Player& p, int key, int mods = 0) { return p.keyInput(nullptr, key, 0, GLFW_PRESS, mods); }

// A player standing off-centre in cell (4, 10, 4, 4), turned away from the axes.
void setUpTurned(TestPlayer& t) {
    placeAt(t.player, turnedPos);
    t.player.cursorPos(nullptr, 40.0, -25.0);
    t.player.pendingTurn = 0.3f;
    for (int i = 0; i < 3; ++i) t.player.updateWheelTurn();
    t.player.reloadChunks = false;
}

TEST(PlayerControls, KeyBindingTable) {
    struct KeyCase {
        std::string name;
        int key, action, mods;
        bool screenOpen, taken;  // screen open before the event; the event is taken
        std::function<void(TestPlayer&)> check;
    };
    auto unchangedView = [](TestPlayer& t) {
        EXPECT_EQ(t.player.pos, turnedPos);
        EXPECT_NE(t.player.forward, glm::vec4(0, 0, 1, 0));
        EXPECT_FALSE(t.player.reloadChunks);
    };
    auto screen = [](bool open) {
        return [open](TestPlayer& t) {
            EXPECT_EQ(t.player.isInventoryOpen(), open);
            EXPECT_EQ(t.window.captured, !open);
        };
    };
    std::vector<KeyCase> cases;
    const char* heldNames[] = {"W", "A", "S", "D", "X", "Z", "space", "left shift"};
    const int heldKeys[] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S,     GLFW_KEY_D,
                            GLFW_KEY_X, GLFW_KEY_Z, GLFW_KEY_SPACE, GLFW_KEY_LEFT_SHIFT};
    for (int i = 0; i < 8; ++i) {
        // Pressed alone: only its own flag sets. Released with all eight held: only it clears.
        for (int action : {GLFW_PRESS, GLFW_RELEASE})
            cases.push_back({heldNames[i] + std::string(action == GLFW_PRESS ? "" : " release"), heldKeys[i],
                             action, 0, false, true, [i, action](TestPlayer& t) {
                                 for (int k = 0; k < Player::InputCount; ++k)
                                     EXPECT_EQ(t.player.input[k], (k == i) == (action == GLFW_PRESS) && k < 8) << k;
                             }});
        cases.push_back({"digit", GLFW_KEY_1 + i, GLFW_PRESS, 0, false, true,
                         [i](TestPlayer& t) { EXPECT_EQ(t.player.hotbar.selected, glm::ivec2(0, i)); }});
    }
    auto firstSlot = [](TestPlayer& t) { EXPECT_EQ(t.player.hotbar.selected, glm::ivec2(0, 0)); };
    cases.push_back({"digit release", GLFW_KEY_5, GLFW_RELEASE, 0, false, false, firstSlot});
    cases.push_back({"9: eight slots only", GLFW_KEY_9, GLFW_PRESS, 0, false, false, firstSlot});
    cases.push_back({"E opens", GLFW_KEY_E, GLFW_PRESS, 0, false, true, [screen](TestPlayer& t) {
                         screen(true)(t);
                         EXPECT_EQ(t.player.mineStartTime, 0.0);
                     }});
    cases.push_back({"E closes", GLFW_KEY_E, GLFW_PRESS, 0, true, true, screen(false)});
    cases.push_back({"Escape closes the screen", GLFW_KEY_ESCAPE, GLFW_PRESS, 0, true, true, screen(false)});
    for (int key : {GLFW_KEY_E, GLFW_KEY_ESCAPE})  // Escape is left to the game screen
        cases.push_back({"no change", key, key == GLFW_KEY_E ? GLFW_RELEASE : GLFW_PRESS, 0, false, false,
                         [](TestPlayer& t) {
                             EXPECT_FALSE(t.player.isInventoryOpen());
                             EXPECT_EQ(t.window.captureCalls, 0);
                         }});
    cases.push_back({"Q", GLFW_KEY_Q, GLFW_PRESS, 0, false, true,
                     [](TestPlayer& t) { EXPECT_TRUE(t.player.dropRequested); }});
    cases.push_back({"Ctrl+R", GLFW_KEY_R, GLFW_PRESS, ctrl, false, true, [](TestPlayer& t) {
                         EXPECT_EQ(t.player.pos, glm::vec4(4.5f, 10.7f, 4.5f, 4.5f));
                         EXPECT_EQ(t.player.forward, glm::vec4(0, 0, 1, 0));
                         EXPECT_EQ(t.player.over, glm::vec4(0, 0, 0, 1));
                         EXPECT_EQ(t.player.pendingTurn, 0.0f);
                         EXPECT_TRUE(t.player.reloadChunks);
                         expectProperFrame(t.player, 1e-6f);
                     }});
    cases.push_back({"T", GLFW_KEY_T, GLFW_PRESS, 0, false, true, [](TestPlayer& t) {
                         EXPECT_EQ(t.player.pos, glm::vec4(4.3f, 100.0f, 4.9f, 4.1f));
                         EXPECT_EQ(t.player.headY, 101.8f);
                         EXPECT_EQ(t.player.currentBlock, glm::ivec4(4, 100, 4, 4));
                     }});
    cases.push_back({"repeat", GLFW_KEY_W, GLFW_REPEAT, 0, false, true,
                     [](TestPlayer& t) { EXPECT_FALSE(t.player.input[Player::InputW]); }});
    cases.push_back({"R without Ctrl", GLFW_KEY_R, GLFW_PRESS, 0, false, true, unchangedView});
    cases.push_back({"repeat of T", GLFW_KEY_T, GLFW_REPEAT, 0, false, true, unchangedView});
    cases.push_back({"other key", GLFW_KEY_F, GLFW_PRESS, 0, false, false, unchangedView});
    cases.push_back({"other key with Ctrl", GLFW_KEY_C, GLFW_PRESS, ctrl, false, false, unchangedView});

    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.key));
        TestPlayer t;
        setUpTurned(t);
        if (c.action == GLFW_RELEASE)
            for (int k = 0; k < 8; ++k) t.player.input[k] = true;
        if (c.screenOpen) t.player.inventoryGui->open();
        t.player.mineStartTime = 5.0;
        t.window.captured = !c.screenOpen;
        EXPECT_EQ(t.player.keyInput(nullptr, c.key, 0, c.action, c.mods), c.taken);
        c.check(t);
    }
}

TEST(PlayerControls, CursorModeFollowsTheInventoryScreen) {
    TestPlayer t;
    t.window.width = 1023;
    t.window.height = 767;
    t.player.lastCursorX = 12.0;
    t.player.lastCursorY = 34.0;
    t.player.inventoryGui->open();
    t.player.updateCursorMode(nullptr);
    EXPECT_FALSE(t.window.captured);
    ASSERT_EQ(t.window.cursorMoves.size(), 1u);
    EXPECT_EQ(t.window.cursorMoves.back(), glm::dvec2(511.0, 383.0));

    t.player.inventoryGui->close();
    t.player.updateCursorMode(nullptr);
    EXPECT_TRUE(t.window.captured);
    EXPECT_EQ(t.window.cursorMoves.back(), glm::dvec2(0.0));
    // Placed once captured: a move of the free pointer would come back as mouse motion.
    EXPECT_TRUE(t.window.capturedAtLastMove);
    EXPECT_EQ(t.player.lastCursorX, 0.0);
    EXPECT_EQ(t.player.lastCursorY, 0.0);

    // A chest's toggle sets the cursor mode on the next tick, once.
    HandWorld hand({0, 0, 0}, {0, 0, 0});
    placeAt(t.player, {4.5f, 10.0f, 4.5f, 4.5f});
    t.player.inventoryGui->open();
    t.player.inventoryToggled = true;
    t.window.captureCalls = 0;
    t.player.update(nullptr, &hand.world);
    t.player.update(nullptr, &hand.world);
    EXPECT_FALSE(t.player.inventoryToggled);
    EXPECT_EQ(t.window.captureCalls, 1);
    EXPECT_FALSE(t.window.captured);
}

// ---- View snaps: Ctrl with two of X, Z and W ----

TEST(PlayerControls, EverySnapIsAProperFrameThatWalksForward) {
    const glm::vec4 X(1, 0, 0, 0), Z(0, 0, 1, 0), W(0, 0, 0, 1);
    const glm::vec4 centre(4.5f, 10.7f, 4.5f, 4.5f), dz(0, 0, 0.05f, 0), dx(0.05f, 0, 0, 0);
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> presses;  // key, mods
        glm::vec4 left, forward, over, pos;
    } cases[] = {
        {"Ctrl+X, Ctrl+Z", {{GLFW_KEY_X, ctrl}, {GLFW_KEY_Z, ctrl}}, X, Z, W, centre},
        {"Ctrl+X, Ctrl+W", {{GLFW_KEY_X, ctrl}, {GLFW_KEY_W, ctrl}}, X, W, -Z, centre + dz},
        {"Ctrl+Z, Ctrl+W", {{GLFW_KEY_Z, ctrl}, {GLFW_KEY_W, ctrl}}, Z, W, X, centre + dx},
        {"X held, Ctrl+W", {{GLFW_KEY_X, 0}, {GLFW_KEY_W, ctrl}}, X, W, -Z, centre + dz},
        {"W held, Ctrl+Z", {{GLFW_KEY_W, 0}, {GLFW_KEY_Z, ctrl}}, Z, W, X, centre + dx},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestPlayer t;
        Player& p = t.player;
        setUpTurned(t);
        for (auto [key, mods] : c.presses) EXPECT_TRUE(press(p, key, mods));
        EXPECT_EQ(glm::mat4(p.left, p.up, p.forward, p.over), glm::mat4(c.left, glm::vec4(0, 1, 0, 0), c.forward, c.over));
        EXPECT_EQ(p.pos, c.pos);
        EXPECT_EQ(p.pendingTurn, 0.0f);
        EXPECT_TRUE(p.reloadChunks);
        EXPECT_EQ(glm::mat3x4(compassLeft, compassFacing, compassOver), glm::mat3x4(c.left, c.forward, c.over));
        expectProperFrame(p, 1e-6f);
        EXPECT_EQ(p.walkDirection(), p.forward);
        // The camera derivation keeps the snapped frame, and the mouse turns it upright.
        p.updateCameraVectors();
        EXPECT_EQ(p.forward, c.forward);
        EXPECT_EQ(p.up, glm::vec4(0, 1, 0, 0));
        p.cursorPos(nullptr, p.lastCursorX + 10.0, p.lastCursorY + 10.0);
        EXPECT_GT(p.up.y, 0.99f);
        EXPECT_GT(glm::dot(p.forward, c.forward), 0.99f);
        expectProperFrame(p);
    }

    // No snap without Ctrl on the second press, with all three held, or with another key.
    TestPlayer t;
    setUpTurned(t);
    const glm::vec4 forward = t.player.forward;
    press(t.player, GLFW_KEY_X, ctrl);
    press(t.player, GLFW_KEY_Z);
    press(t.player, GLFW_KEY_W, ctrl);
    t.player.keyInput(nullptr, GLFW_KEY_X, 0, GLFW_RELEASE, 0);
    press(t.player, GLFW_KEY_A, ctrl);
    EXPECT_EQ(t.player.forward, forward);
    EXPECT_FALSE(t.player.reloadChunks);
}

}  // namespace

// The road a newcomer takes, through the real screens and their real input callbacks at the
// game's 1024 x 768: the intro, the title screen, the empty world list, world creation (first
// without a name), the loading screen and the game; the window's close request saves and quits.
// A second start lists the world and reopens it with the player where they were.
#include "engine/JsonFile.h"
#include "game/GameState.h"
#include "gui/ContentBox.h"
#include "gui/Element.h"
#include "screens/CreateWorldState.h"
#include "screens/IntroState.h"
#include "screens/SinglePlayerState.h"
#include "screens/TitleState.h"
#include "screens/WorldGenState.h"
#include "support/AppHarness.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using testapp::AppHarness;
using testapp::containsText;
using testapp::Image;
using testapp::Rect;
using testapp::redInk;
using testapp::whiteInk;

Rect rectOf(gui::Element& element, gui::Window& window) {
    Rect r;
    element.getPos(window, r.x, r.y);
    element.getSize(window, r.width, r.height);
    return r;
}

// A widget inside a content box, in window pixels.
Rect rectInBox(gui::Element& element, gui::ContentBox& box, gui::Window& window) {
    Rect outer = rectOf(box, window), inner = rectOf(element, box);
    return {outer.x + inner.x + box.scrollX, outer.y + inner.y + box.scrollY, inner.width, inner.height};
}

void clickOn(AppHarness& app, Rect r) { app.click(r.x + r.width / 2, r.y + r.height / 2); }

bool near(glm::u8vec4 pixel, glm::vec3 color, int tolerance) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(int(pixel[c]) - int(std::lround(color[c] * 255.0f))) > tolerance) return false;
    return true;
}

// Where the sky gradient shows at a height of the window.
glm::vec3 skyAt(int y) {
    const float t = float(y) / float(AppHarness::height - 1);
    return glm::mix(titleState.skyTopColor, titleState.skyBottomColor, t);
}

// Waits for the title screen with its world loaded and one frame of it drawn.
bool reachTitle(AppHarness& app) {
    bool loaded = app.runUntil([&] { return app.top() == &titleState && titleState.backgroundLoaded(); });
    app.frame();
    return loaded;
}

bool enterGame(AppHarness& app) {
    // The loading screen leaves once every chunk of the first pass has loaded.
    return app.runUntil([&] { return app.top() == &gameState; });
}

void checkTitle(AppHarness& app) {
    const Image shot = app.image();
    // Above the logo, wherever the world leaves the sky open, it shades from blue at the top
    // towards magenta further down: a flat colour cannot match both rows.
    int skyColumns = 0, columns = 0;
    for (int x = 0; x < AppHarness::width; x += 8, ++columns)
        skyColumns += near(shot.at(x, 2), skyAt(2), 3) && near(shot.at(x, 68), skyAt(68), 3);
    EXPECT_GT(skyColumns, columns / 3) << "the sky gradient is missing";

    // The world turns in front of the lower part of the sky.
    int worldPixels = 0;
    for (int x = 0; x < AppHarness::width; x += 4)
        worldPixels += !near(shot.at(x, AppHarness::height - 10), skyAt(AppHarness::height - 10), 12);
    EXPECT_GT(worldPixels, AppHarness::width / 4 / 2) << "no background world below the horizon";

    for (gui::Button* button : {&titleState.singleplayerButton, &titleState.tutorialButton,
                                &titleState.settingsButton, &titleState.creditsButton,
                                &titleState.quitButton})
        EXPECT_TRUE(containsText(shot, rectOf(*button, titleState.interface), button->label, 2, whiteInk))
            << "no readable label \"" << button->label << "\"";
    // The disabled button's label is drawn half-transparent: at least half white, never white.
    EXPECT_FALSE(containsText(shot, rectOf(titleState.multiplayerButton, titleState.interface),
                              "multiplayer", 2, whiteInk));
    EXPECT_TRUE(containsText(shot, rectOf(titleState.multiplayerButton, titleState.interface),
                             "multiplayer", 2, [](glm::u8vec4 p) {
                                 return std::min({p.r, p.g, p.b}) >= 127 && !whiteInk(p);
                             }));
}

}  // namespace

TEST(MainRoad, FromStartUpThroughTheMenusIntoTheGameAndBackOnTheNextStart) {
    AppHarness app;
    ASSERT_TRUE(app.ready()) << "needs a display of its own, the shaders and the window's focus";
    const std::filesystem::path worlds = app.root / "worlds";

    // Intro: the first frame comes before any tick.
    app.start();
    ASSERT_EQ(app.top(), &introState);
    app.frameWithoutTick();
    app.screenshot("intro");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, {300, 330, 424, 100}, "Loading...", 4, whiteInk));
        int barFrame = 0;
        for (int x = 100; x < 924; ++x) barFrame += whiteInk(shot.at(x, AppHarness::height - 200));
        EXPECT_GT(barFrame, 800) << "no progress bar";
    }

    // Title: it generates its world on this first start.
    ASSERT_TRUE(reachTitle(app)) << "the title screen's world did not load";
    ASSERT_EQ(app.manager.states.size(), 1u);
    app.screenshot("title");
    checkTitle(app);

    // The world list, empty.
    clickOn(app, rectOf(titleState.singleplayerButton, titleState.interface));
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &singlePlayerState; }, 5));
    app.frame();
    app.screenshot("world_list_empty");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, rectOf(singlePlayerState.titleText, singlePlayerState.interface),
                                 "Your Worlds:", 2, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(singlePlayerState.worldBox, singlePlayerState.interface),
                                 "There are no worlds to load...", 2, redInk));
        EXPECT_TRUE(containsText(shot, rectOf(singlePlayerState.newWorldButton, singlePlayerState.interface),
                                 "New World", 2, whiteInk));
    }

    // World creation, with its default name.
    clickOn(app, rectOf(singlePlayerState.newWorldButton, singlePlayerState.interface));
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &createWorldState; }, 5));
    app.frame();
    app.screenshot("world_create");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, rectOf(createWorldState.nameInput, createWorldState.interface),
                                 "New World", 2, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(createWorldState.nameLabel, createWorldState.interface),
                                 "World Name:", 2, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(createWorldState.createButton, createWorldState.interface),
                                 "Create New World!", 2, whiteInk));
    }

    // Without a name nothing is made and a red line says why.
    app.key(GLFW_KEY_A, GLFW_MOD_CONTROL);
    app.key(GLFW_KEY_BACKSPACE);
    app.frame();
    EXPECT_EQ(createWorldState.nameInput.text, "");
    clickOn(app, rectOf(createWorldState.createButton, createWorldState.interface));
    app.frame();
    app.frame();
    ASSERT_EQ(app.top(), &createWorldState);
    app.screenshot("world_create_error");
    EXPECT_TRUE(containsText(app.image(), {0, 0, AppHarness::width, AppHarness::height / 2},
                             CreateWorldState::noNameMessage, 2, redInk));
    EXPECT_TRUE(std::filesystem::is_empty(worlds));

    // A name, then into the game through the loading screen.
    clickOn(app, rectOf(createWorldState.nameInput, createWorldState.interface));
    app.type("Hollow Test");
    app.frame();
    EXPECT_EQ(createWorldState.nameInput.text, "Hollow Test");
    clickOn(app, rectOf(createWorldState.createButton, createWorldState.interface));
    app.frame();
    ASSERT_EQ(app.manager.states, (std::vector<State*>{&gameState, &worldGenState}));
    ASSERT_TRUE(enterGame(app)) << "the loading screen never left";
    app.frameWithoutTick();
    app.screenshot("game_entered");
    {
        const Image shot = app.image();
        // The crosshair in the middle of the view and the health vial in its corner.
        int crosshair = 0, vial = 0;
        for (int y = AppHarness::height / 2 - 8; y < AppHarness::height / 2 + 8; ++y)
            for (int x = AppHarness::width / 2 - 8; x < AppHarness::width / 2 + 8; ++x)
                crosshair += whiteInk(shot.at(x, y));
        for (int y = AppHarness::height - 110; y < AppHarness::height; ++y)
            for (int x = 0; x < 100; ++x) {
                const glm::u8vec4 p = shot.at(x, y);
                vial += p.r > 170 && p.g < 70 && p.b < 70;
            }
        EXPECT_GT(crosshair, 10) << "no crosshair";
        EXPECT_GT(vial, 500) << "no health vial";
    }
    const std::filesystem::path folder = worlds / "hollow test";
    nlohmann::json info;
    ASSERT_EQ(jsonfile::read(folder / "info.json", info), jsonfile::ReadStatus::ok);
    EXPECT_EQ(info, nlohmann::json({{"name", "Hollow Test"}}));

    // Walk a little, then close the window: the game saves and the program's stack empties.
    app.runUntil([&] { return gameState.world.loadDone.load(); }, 60);
    app.holdKey(GLFW_KEY_W, true);
    for (int i = 0; i < 60; ++i) app.frame();
    app.holdKey(GLFW_KEY_W, false);
    for (int i = 0; i < 30; ++i) app.frame();
    app.requestClose();
    const glm::vec4 before = gameState.player.pos;
    ASSERT_TRUE(app.runUntil([&] { return app.manager.states.empty(); }, 30));
    const glm::vec4 left = gameState.player.pos;
    EXPECT_GT(glm::distance(before, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f)), 0.5f)
        << "the player never moved";
    nlohmann::json players;
    ASSERT_EQ(jsonfile::read(folder / "players.json", players), jsonfile::ReadStatus::ok);
    ASSERT_TRUE(players.contains(""));
    EXPECT_EQ(players[""]["position"],
              nlohmann::json({{"x", left.x}, {"y", left.y}, {"z", left.z}, {"w", left.w}}));

    // The next start: the title reads its world back, the list shows the new world.
    glfwSetWindowShouldClose(app.manager.window, GLFW_FALSE);
    app.start();
    ASSERT_TRUE(reachTitle(app));
    clickOn(app, rectOf(titleState.singleplayerButton, titleState.interface));
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &singlePlayerState; }, 5));
    ASSERT_EQ(singlePlayerState.worldButtons.size(), 1u);
    app.frame();
    app.screenshot("world_list");
    gui::Button& worldButton = singlePlayerState.worldButtons[0];
    const Rect worldRect = rectInBox(worldButton, singlePlayerState.worldBox, singlePlayerState.interface);
    EXPECT_TRUE(containsText(app.image(), worldRect, "Hollow Test", 2, whiteInk));

    clickOn(app, worldRect);
    ASSERT_TRUE(enterGame(app));
    EXPECT_EQ(gameState.world.path, folder);
    const glm::vec4 back = gameState.player.pos;
    EXPECT_LT(glm::distance(back, left), 1e-3f) << "the player is not where they left";

    app.requestClose();
    ASSERT_TRUE(app.runUntil([&] { return app.manager.states.empty(); }, 30));
}

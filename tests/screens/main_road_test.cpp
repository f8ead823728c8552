// The road a newcomer takes, through the real screens and their real input callbacks at the
// game's 1024 x 768: the intro, the title screen, the empty world list and back, world creation
// (left once by "Cancel", then first without a name), the loading screen and the game; the
// window's close request saves and quits. A second start lists the world and reopens it with the
// player where they were. Then the menus around the game: the pause menu and back (by its button
// and by Escape), the settings from there (both pages, the render distance changed), death and
// back twice (Escape, then "Retry..."), "quit to title screen", and the credits, which end by
// themselves, on Escape and on the window's close request. Every button is clicked where it is
// worked out to stand, and read there.
#include "engine/InputCallbacks.h"
#include "engine/JsonFile.h"
#include "game/GameState.h"
#include "game/PlayersFile.h"
#include "game/GameTestSupport.h"
#include "gui/ContentBox.h"
#include "gui/Element.h"
#include "screens/CreateWorldState.h"
#include "screens/CreditsState.h"
#include "screens/DeathScreenState.h"
#include "screens/IntroState.h"
#include "screens/PauseState.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/TitleState.h"
#include "screens/WorldFolders.h"
#include "screens/WorldGenState.h"
#include "support/AppHarness.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

namespace {

using testapp::AppHarness;
using testapp::containsText;
using testapp::expectButtonsAt;
using testapp::Image;
using testapp::Rect;
using testapp::rectInBox;
using testapp::rectOf;
using testapp::redInk;
using testapp::whiteInk;

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

const glm::vec4 spawn(131.5f, 100.0f, -101.5f, 44.5f);

// Where the menus' buttons stand in the game's window, worked out from their sizes and
// alignments: a centred button w wide starts at 512 - w / 2; one aligned to the bottom at y -d
// starts at 768 - 50 - d. The settings box starts at (50, 100), the world list's at (256, 100).
namespace at {
const Rect singleplayer{362, 250, 300, 50}, multiplayer{362, 325, 300, 50}, tutorial{362, 400, 300, 50},
    settings{362, 475, 300, 50}, credits{362, 593, 300, 50}, quitGame{362, 668, 300, 50};
const Rect newWorld{774, 668, 200, 50}, cancel{50, 668, 120, 50}, firstWorld{266, 110, 492, 50};
const Rect nameField{362, 259, 300, 50}, createWorld{362, 668, 300, 50};
const Rect ok{462, 693, 100, 50}, controls{412, 150, 200, 50}, fullscreen{362, 250, 300, 50},
    renderDistance{262, 350, 500, 50};
const Rect backToGame{337, 359, 350, 50}, menuSettings{337, 568, 350, 50}, retry{337, 568, 350, 50},
    quitToTitle{337, 668, 350, 50};
}  // namespace at

// The share of pixels in which two frames differ by more than `tolerance` in some channel.
float shareDiffering(const Image& a, const Image& b, int tolerance) {
    int differing = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const glm::u8vec4 p = a.at(x, y), q = b.at(x, y);
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(p[c]) - int(q[c])) > tolerance) {
                    ++differing;
                    break;
                }
        }
    return float(differing) / float(a.width * a.height);
}

nlohmann::json positionJson(const glm::vec4& p) {
    return {{"x", p.x}, {"y", p.y}, {"z", p.z}, {"w", p.w}};
}

int brightness(glm::u8vec4 p) { return int(p.r) + int(p.g) + int(p.b); }

std::optional<std::string> fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), {}};
}

// Every chunk of the game's world lies within `reach` chunks of the player's on each axis.
bool chunksWithin(int reach) {
    const glm::i64vec3 centre = World::chunkCoords(gameState.player.pos);
    for (const auto& [coords, chunk] : gameState.world.chunks) {
        const glm::i64vec3 d = glm::abs(coords - centre);
        if (d.x > reach || d.y > reach || d.z > reach) return false;
    }
    return true;
}

bool streamingSettled() { return gameState.world.loadDone && !gameState.player.reloadChunks; }

// Escape opens the pause menu over the frozen game; "back to game..." returns, and the very
// first game frame shows the world again as it was.
void pauseAndComeBack(AppHarness& app) {
    const Image before = app.image();
    const glm::vec4 facing = gameState.player.forward;
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    ASSERT_EQ(app.top(), &pauseState);
    app.screenshot("pause");
    const Image paused = app.image();
    EXPECT_TRUE(containsText(paused, {0, 0, AppHarness::width, 200}, "Paused...", 4, whiteInk));
    expectButtonsAt(paused, pauseState.interface,
                    {{&pauseState.backButton, at::backToGame}, {&pauseState.settingsButton, at::menuSettings},
                     {&pauseState.quitButton, at::quitToTitle}});
    // The game shows through the veil, darkened by half.
    const int x = AppHarness::width - 20;
    EXPECT_NEAR(brightness(paused.at(x, 20)), brightness(before.at(x, 20)) / 2, 12);

    app.clickOn(at::backToGame);
    app.frame();
    ASSERT_EQ(app.top(), &gameState);
    app.screenshot("pause_back_to_game");
    EXPECT_LT(shareDiffering(app.image(), before, 40), 0.05f) << "the world is not drawn after the pause";
    // Capturing the cursor again is no mouse motion: the view stays where it was.
    for (int i = 0; i < 10; ++i) app.frame();
    EXPECT_EQ(gameState.player.forward, facing) << "the view swung on the way back";
    // Escape goes back too.
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    ASSERT_EQ(app.top(), &pauseState);
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    EXPECT_EQ(app.top(), &gameState);
}

// The settings from the pause menu: both pages, the box scrolled to its end, and the render
// distance lowered from 4 to 2, which the game streams with once it goes on.
void changeRenderDistance(AppHarness& app) {
    const size_t chunksBefore = gameState.world.chunks.size();
    ASSERT_TRUE(chunksWithin(5) && !chunksWithin(3)) << "the world did not stream at distance 4";
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    app.clickOn(at::menuSettings);
    app.frame();
    ASSERT_EQ(app.top(), &settingsState);
    SettingsState& settings = settingsState;
    gui::ContentBox& box = settings.settingsBox;
    gui::Interface& page = settings.settingsPage;
    app.screenshot("settings");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, {0, 0, AppHarness::width, 100}, "Settings", 4, whiteInk));
        expectButtonsAt(shot, page, {{&settings.okButton, at::ok}});
        expectButtonsAt(shot, box, {{&settings.controlsButton, at::controls}, {&settings.fullscreenButton, at::fullscreen}},
                        {50, 100});
        for (const char* label :
             {"render distance: 4", "scroll sensitivity:", "look sensitivity:", "FOV: 70 degrees (default)"})
            EXPECT_TRUE(containsText(shot, rectOf(box, page), label, 2, whiteInk)) << label;
        EXPECT_FALSE(containsText(shot, rectOf(box, page), "Ambience Volume:", 2, whiteInk));
    }

    // Scrolled to its end, the box shows its last slider with room to spare below it.
    app.moveCursor(AppHarness::width / 2, AppHarness::height / 2);
    for (int i = 0; i < 30; ++i) app.wheel(-1.0);
    app.frame();
    EXPECT_EQ(box.scrollY, -(1450 - AppHarness::height));
    app.screenshot("settings_scrolled");
    {
        const Rect last = rectInBox(settings.ambienceVolumeSlider, box, page), inside = rectOf(box, page);
        EXPECT_LE(last.y + last.height, inside.y + inside.height - 50);
        const Image shot = app.image();
        for (const char* label : {"Audio:", "Ambience Volume:"})
            EXPECT_TRUE(containsText(shot, inside, label, 2, whiteInk)) << label;
    }
    for (int i = 0; i < 30; ++i) app.wheel(1.0);
    app.frame();

    // The controls page and back with Escape.
    app.clickOn(at::controls);
    app.frame();
    ASSERT_TRUE(settings.controlsShown);
    app.screenshot("settings_controls");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, {0, 0, AppHarness::width, 100}, "Controls", 4, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(settings.controlsBox, settings.controlsPage),
                                 "Select hotbar slot: 1-8 keys or shift + scroll wheel", 2, whiteInk));
    }
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    ASSERT_EQ(app.top(), &settingsState);
    ASSERT_FALSE(settings.controlsShown);

    // The render distance slider, dragged from 4 to 2, applies at once.
    gui::Slider& slider = settings.renderDistanceSlider;
    const Rect track = at::renderDistance;
    EXPECT_EQ(rectInBox(slider, box, page), track);
    app.drag(track.x + slider.value * slider.width / slider.max, track.y + 30,
             track.x + slider.width / slider.max, track.y + 30);
    app.frame();
    EXPECT_EQ(slider.label, "render distance: 2");
    EXPECT_FLOAT_EQ(gameState.renderDistance, 2.0f);

    // "OK" saves and returns to the pause menu.
    app.clickOn(at::ok);
    app.frame();
    ASSERT_EQ(app.top(), &pauseState);
    nlohmann::json saved;
    ASSERT_EQ(jsonfile::read(app.root / "settings.json", saved, maxSettingsBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(saved["renderDistance"], 2);

    app.clickOn(at::backToGame);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &gameState && streamingSettled(); }, 120));
    EXPECT_TRUE(chunksWithin(3)) << "the world still streams at distance 4";
    EXPECT_LT(gameState.world.chunks.size(), chunksBefore);
}

// Health runs out: the death screen fades in over the game; the player comes back at the spawn
// point with what they carried.
void die(AppHarness& app) {
    gameState.player.health = 0.0f;
    gameState.player.lastDamageTime = glfwGetTime();  // no healing in this tick
    app.frame();
    ASSERT_EQ(app.top(), &deathScreenState);
}

void checkRespawned() {
    Player& player = gameState.player;
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(player.over, glm::vec4(0, 0, 0, 1)) << "the slice is not the spawn's";
    EXPECT_EQ(player.forward, glm::vec4(0, 0, 1, 0));
    EXPECT_EQ(gametest::countOf(player.hotbar.slots[2]), 5u) << "the inventories were not kept";
}

// Escape goes on in the loaded world. The slice is back to the spawn orientation, so the world
// streams again: afterwards every chunk lies in the player's layer of w.
void dieAndGoOn(AppHarness& app) {
    // The x-y-w slice first (X held, then Ctrl + W): the world streams chunks across w.
    app.holdKey(GLFW_KEY_X, true);
    app.key(GLFW_KEY_W, GLFW_MOD_CONTROL);
    app.holdKey(GLFW_KEY_X, false);
    app.frame();
    ASSERT_TRUE(app.runUntil(streamingSettled, 120));
    const int64_t spawnLayer = World::chunkCoords(spawn).z;
    EXPECT_TRUE(std::any_of(gameState.world.chunks.begin(), gameState.world.chunks.end(),
                            [&](const auto& entry) { return entry.first.z != spawnLayer; }));

    die(app);
    // Straight through the key callback, to see what the respawn asks of the game's next tick.
    keyCallback(app.manager.window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    keyCallback(app.manager.window, GLFW_KEY_ESCAPE, 0, GLFW_RELEASE, 0);
    ASSERT_EQ(app.top(), &gameState);
    checkRespawned();
    EXPECT_TRUE(gameState.player.reloadChunks) << "the respawn asks for no chunks";
    ASSERT_TRUE(app.runUntil(streamingSettled, 120));
    EXPECT_TRUE(std::all_of(gameState.world.chunks.begin(), gameState.world.chunks.end(),
                            [&](const auto& entry) { return entry.first.z == spawnLayer; }))
        << "chunks of the old slice are still there";
    EXPECT_NE(gameState.world.getChunk(World::chunkCoords(gameState.player.pos)), nullptr);
}

// "Retry...": the world is saved and read back, the player at the spawn point.
void dieAndRetry(AppHarness& app, const std::filesystem::path& folder) {
    die(app);
    ASSERT_TRUE(app.runUntil([] { return glfwGetTime() - deathScreenState.startTime > 2.1; }, 120));
    // The frames so far may all have come before the image was whole: one more now, and without a
    // glitch copy over the image.
    std::mt19937 calm;
    for (unsigned seed = 1;; ++seed) {
        calm.seed(seed);
        std::mt19937 probe = calm;
        if (!death::glitchThisFrame(probe)) break;
    }
    deathScreenState.random = calm;
    app.frameWithoutTick();
    app.screenshot("death");
    {
        const Image shot = app.image();
        // The veil has darkened the game; the skull's bone shows in the middle of the image.
        EXPECT_LT(brightness(shot.at(20, 20)), 60);
        int bone = 0;
        for (int y = 200; y < 400; y += 2)
            for (int x = 400; x < 624; x += 2) {
                const glm::u8vec4 p = shot.at(x, y);
                bone += p.r > 150 && p.g > 140 && p.b > 120 && !whiteInk(p);
            }
        EXPECT_GT(bone, 2000) << "no death image";
        expectButtonsAt(shot, deathScreenState.interface,
                        {{&deathScreenState.retryButton, at::retry}, {&deathScreenState.quitButton, at::quitToTitle}});
    }
    app.clickOn(at::retry);
    app.frame();
    ASSERT_EQ(app.manager.states, (std::vector<State*>{&gameState, &worldGenState}));
    checkRespawned();
    EXPECT_EQ(gameState.player.pos, spawn);
    nlohmann::json players;
    ASSERT_EQ(jsonfile::read(folder / "players.json", players, playersfile::maxBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(players[""]["position"], positionJson(spawn));
    ASSERT_TRUE(enterGame(app));
    EXPECT_NE(gameState.world.getChunk(World::chunkCoords(spawn)), nullptr);
}

// The credits scroll their two lines up and end by themselves after the window's height and
// 250 pixels more; a second visit ends on Escape, a third at once on the window's close request.
void watchCredits(AppHarness& app) {
    app.clickOn(at::credits);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &creditsState; }, 120));
    ASSERT_TRUE(app.runUntil([] { return creditsState.offset >= 400.0f; }, 120));
    app.frameWithoutTick();
    app.screenshot("credits");
    {
        const Image shot = app.image();
        const int top = AppHarness::height - int(creditsState.offset);
        const int width = AppHarness::width;
        EXPECT_TRUE(containsText(shot, {0, top, width, 40}, CreditsState::firstLine, 3, whiteInk));
        EXPECT_TRUE(containsText(shot, {0, top + 200, width, 40}, CreditsState::secondLine, 3, whiteInk));
    }
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &titleState; }, 120));
    EXPECT_EQ(creditsState.offset, float(AppHarness::height) + 250.0f);

    ASSERT_TRUE(app.clickInto(at::credits, &creditsState));
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    ASSERT_EQ(app.top(), &titleState) << "Escape did not leave the credits";

    app.clickOn(at::credits);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &creditsState; }, 120));
    app.requestClose();
    for (int i = 0; i < 3; ++i) app.frame();
    EXPECT_TRUE(app.manager.states.empty()) << "the credits ignore the close request";
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

    expectButtonsAt(shot, titleState.interface,
                    {{&titleState.singleplayerButton, at::singleplayer}, {&titleState.tutorialButton, at::tutorial},
                     {&titleState.settingsButton, at::settings}, {&titleState.creditsButton, at::credits},
                     {&titleState.quitButton, at::quitGame}});
    // The disabled button's label is drawn half-transparent: at least half white, never white.
    EXPECT_EQ(rectOf(titleState.multiplayerButton, titleState.interface), at::multiplayer);
    EXPECT_FALSE(containsText(shot, at::multiplayer, "multiplayer", 2, whiteInk));
    EXPECT_TRUE(containsText(shot, at::multiplayer, "multiplayer", 2, [](glm::u8vec4 p) {
                                 return std::min({p.r, p.g, p.b}) >= 127 && !whiteInk(p);
                             }));
    // The 256-pixel logo at four times its size, as wide as the window, 75 pixels from the top.
    EXPECT_GT(testapp::pictureShown(shot, "assets/textures/logo.png", {0, 75, 1024, 160}), 0.95f);
}

}  // namespace

TEST(MainRoad, FromStartUpThroughEveryMenuIntoTheGameAndBack) {
    const std::optional<std::string> repositorySettings = fileText("settings.json");
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

    // The world list, empty; "Cancel" goes back to the title.
    app.clickOn(at::singleplayer);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &singlePlayerState; }, 120));
    app.frame();
    app.screenshot("world_list_empty");
    {
        const Image shot = app.image();
        EXPECT_TRUE(containsText(shot, rectOf(singlePlayerState.titleText, singlePlayerState.interface),
                                 "Your Worlds:", 2, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(singlePlayerState.worldBox, singlePlayerState.interface),
                                 "There are no worlds to load...", 2, redInk));
        expectButtonsAt(shot, singlePlayerState.interface,
                        {{&singlePlayerState.newWorldButton, at::newWorld}, {&singlePlayerState.cancelButton, at::cancel}});
    }
    ASSERT_TRUE(app.clickInto(at::cancel, &titleState));
    ASSERT_TRUE(app.clickInto(at::singleplayer, &singlePlayerState));

    // World creation, with its default name; "Cancel" goes back to the list.
    app.clickOn(at::newWorld);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &createWorldState; }, 120));
    app.frame();
    app.screenshot("world_create");
    {
        const Image shot = app.image();
        EXPECT_EQ(rectOf(createWorldState.nameInput, createWorldState.interface), at::nameField);
        EXPECT_TRUE(containsText(shot, at::nameField, "New World", 2, whiteInk));
        EXPECT_TRUE(containsText(shot, rectOf(createWorldState.nameLabel, createWorldState.interface),
                                 "World Name:", 2, whiteInk));
        expectButtonsAt(shot, createWorldState.interface,
                        {{&createWorldState.createButton, at::createWorld}, {&createWorldState.cancelButton, at::cancel}});
    }
    ASSERT_TRUE(app.clickInto(at::cancel, &singlePlayerState));
    ASSERT_TRUE(app.clickInto(at::newWorld, &createWorldState));

    // Without a name nothing is made and a red line says why.
    app.key(GLFW_KEY_A, GLFW_MOD_CONTROL);
    app.key(GLFW_KEY_BACKSPACE);
    app.frame();
    EXPECT_EQ(createWorldState.nameInput.text, "");
    app.clickOn(at::createWorld);
    app.frame();
    app.frame();
    ASSERT_EQ(app.top(), &createWorldState);
    app.screenshot("world_create_error");
    EXPECT_TRUE(containsText(app.image(), {0, 0, AppHarness::width, AppHarness::height / 2},
                             CreateWorldState::noNameMessage, 2, redInk));
    EXPECT_TRUE(std::filesystem::is_empty(worlds));

    // A name, then into the game through the loading screen.
    app.clickOn(at::nameField);
    app.type("Hollow Test");
    app.frame();
    EXPECT_EQ(createWorldState.nameInput.text, "Hollow Test");
    app.clickOn(at::createWorld);
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
    ASSERT_EQ(jsonfile::read(folder / "info.json", info, worlds::maxInfoBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(info, nlohmann::json({{"name", "Hollow Test"}}));

    // Walk a little, then close the window: the game saves and the program's stack empties.
    app.runUntil([&] { return gameState.world.loadDone.load(); }, 120);
    app.holdKey(GLFW_KEY_W, true);
    for (int i = 0; i < 60; ++i) app.frame();
    app.holdKey(GLFW_KEY_W, false);
    for (int i = 0; i < 30; ++i) app.frame();
    app.requestClose();
    const glm::vec4 before = gameState.player.pos;
    ASSERT_TRUE(app.runUntil([&] { return app.manager.states.empty(); }, 120));
    const glm::vec4 left = gameState.player.pos;
    EXPECT_GT(glm::distance(before, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f)), 0.5f)
        << "the player never moved";
    nlohmann::json players;
    ASSERT_EQ(jsonfile::read(folder / "players.json", players, playersfile::maxBytes), jsonfile::ReadStatus::ok);
    ASSERT_TRUE(players.contains(""));
    EXPECT_EQ(players[""]["position"], positionJson(left));

    // The next start: the title reads its world back, the list shows the new world.
    glfwSetWindowShouldClose(app.manager.window, GLFW_FALSE);
    app.start();
    ASSERT_TRUE(reachTitle(app));
    app.clickOn(at::singleplayer);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &singlePlayerState; }, 120));
    ASSERT_EQ(singlePlayerState.worldButtons.size(), 1u);
    app.frame();
    app.screenshot("world_list");
    expectButtonsAt(app.image(), singlePlayerState.worldBox, {{&singlePlayerState.worldButtons[0], at::firstWorld}},
                    {256, 100});

    app.clickOn(at::firstWorld);
    ASSERT_TRUE(enterGame(app));
    EXPECT_EQ(gameState.world.path, folder);
    const glm::vec4 back = gameState.player.pos;
    EXPECT_LT(glm::distance(back, left), 1e-3f) << "the player is not where they left";

    // Standing on the ground, with everything around loaded and drawn.
    ASSERT_TRUE(app.runUntil(streamingSettled, 120));
    for (int i = 0; i < 150; ++i) app.frame();
    pauseAndComeBack(app);
    changeRenderDistance(app);

    gameState.player.hotbar.slots[2] = gametest::blocks(3, 5);
    dieAndGoOn(app);
    dieAndRetry(app, folder);

    // "quit to title screen" saves the game and shows the title.
    app.key(GLFW_KEY_ESCAPE);
    app.frame();
    app.clickOn(at::quitToTitle);
    ASSERT_TRUE(reachTitle(app));
    EXPECT_EQ(app.manager.states, (std::vector<State*>{&titleState}));
    ASSERT_EQ(jsonfile::read(folder / "players.json", players, playersfile::maxBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(players[""]["position"], positionJson(gameState.player.pos));

    watchCredits(app);
    EXPECT_EQ(app.framesLeavingDepthWritesOff, 0) << "a screen left depth writes off";
    // The settings went to the test's own directory only.
    EXPECT_EQ(fileText("settings.json"), repositorySettings);
    EXPECT_TRUE(std::filesystem::exists(app.root / "settings.json"));
}

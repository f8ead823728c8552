// Menu buttons that change the state stack from inside their own click: "Create New World!"
// closes its own screen, the world list and the screen below them, and starts the game; a world
// button, also one scrolled into view, only records the choice, which the next tick acts on
// unless the window is closing; "Retry..." closes the death screen and the game, and starts the
// game again. A window-close request ends the program from every menu.
// Clicks go through the game's mouse callback and the screens' real interfaces. These run under
// AddressSanitizer too (target screens_menu_asan), where touching a widget or a list slot of a
// screen that a callback has closed fails.
#include "engine/Audio.h"
#include "engine/InputCallbacks.h"
#include "engine/JsonFile.h"
#include "game/GameState.h"
#include "gui/Adapters.h"
#include "screens/CreateWorldState.h"
#include "screens/DeathScreenState.h"
#include "screens/PauseState.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/WorldFolders.h"
#include "screens/WorldGenState.h"
#include "support/GlTestContext.h"
#include "support/RecordingState.h"
#include "support/TempWorkDir.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The cursor as the menus read it; a hidden window has no pointer of its own.
class FakeCursor : public gui::CursorSource {
public:
    double x = 0, y = 0;
    void getCursorPos(double& cx, double& cy) override { cx = x, cy = y; }
};

class MenuCallbacks : public ::testing::Test {
protected:
    GLFWwindow* window = testgl::context(1024, 768);
    const fs::path previousDir = fs::current_path();
    testfs::TempWorkDir dir;
    std::vector<std::string> log;
    testing_states::RecordingState title{"title", log};  // stands in for the title screen
    StateManager manager;
    FakeCursor cursor;

    void SetUp() override {
        ASSERT_NE(window, nullptr);
        // The test's directory is the working directory; the game's data stays readable.
        for (const char* file : {"itemInfo.json", "entityInfo.json", "recipes.json", "shaderList.json"})
            fs::create_symlink(previousDir / file, dir.path / file);
        fs::create_directory_symlink(previousDir / "assets", dir.path / "assets");
        ASSERT_TRUE(testgl::loadAllShaders());
        singlePlayerState.worldsRoot = createWorldState.worldsRoot = dir.path / "worlds";
        settingsState.settingsPath = dir.path / "settings.json";
        singlePlayerState.interface.cursorSource = &cursor;
        createWorldState.interface.cursorSource = &cursor;
        gameState.renderDistance = 1.0f;
        manager.window = window;
        glfwSetWindowUserPointer(window, &manager);
        glfwSetWindowShouldClose(window, GLFW_FALSE);
    }
    void TearDown() override {
        glfwSetWindowShouldClose(window, GLFW_FALSE);
        while (!manager.states.empty()) manager.popState();
        glfwSetWindowUserPointer(window, nullptr);
        singlePlayerState.interface.cursorSource = createWorldState.interface.cursorSource = nullptr;
        deathScreenState.interface.cursorSource = nullptr;
        gameState.deathScreen = nullptr;
        settingsState.settingsPath = "settings.json";
    }

    void clickAt(int x, int y) {
        cursor.x = x, cursor.y = y;
        cursorPosCallback(window, x, y);
        mouseButtonCallback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        mouseButtonCallback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    }
    // The middle of a widget of `in`, whose top-left corner stands at (originX, originY) in the
    // window.
    void click(gui::Element& element, gui::Window& in, int originX = 0, int originY = 0) {
        int x, y, w, h;
        element.getPos(in, x, y);
        element.getSize(in, w, h);
        clickAt(originX + x + w / 2, originY + y + h / 2);
    }
    // The first world button of the list, inside its box.
    void clickFirstWorld() {
        gui::ContentBox& box = singlePlayerState.worldBox;
        int bx, by;
        box.getPos(singlePlayerState.interface, bx, by);
        click(singlePlayerState.worldButtons.at(0), box, bx, by);
    }
    // Ticks the loading screen until it leaves.
    void finishLoading() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (manager.states.back() == &worldGenState && std::chrono::steady_clock::now() < deadline) {
            manager.states.back()->update(manager);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(manager.states.back(), &gameState);
    }
    // Then the game screen saves as it closes.
    void loadAndLeaveTheGame() {
        finishLoading();
        manager.popState();
    }
};

TEST_F(MenuCallbacks, CreateNewWorldLeavesThreeScreensFromInsideItsOwnClick) {
    manager.pushState(&title);
    manager.pushState(&singlePlayerState);
    click(singlePlayerState.newWorldButton, singlePlayerState.interface);
    ASSERT_EQ(manager.states.back(), &createWorldState);

    click(createWorldState.createButton, createWorldState.interface);
    EXPECT_EQ(manager.states, (std::vector<State*>{&gameState, &worldGenState}));
    EXPECT_EQ(gameState.world.path, dir.path / "worlds" / "new world");
    EXPECT_EQ(log.back(), "title.close");
    loadAndLeaveTheGame();
}

TEST_F(MenuCallbacks, AWorldClickEntersTheGameOnTheNextTickUnlessTheWindowIsClosing) {
    // Twelve worlds, more than the list shows: the first button's folder was listed before the
    // list grew.
    for (int i = 1; i <= 12; ++i) ASSERT_TRUE(worlds::createWorldFolder(dir.path / "worlds", std::to_string(i)));
    manager.pushState(&title);

    // The close request of the same tick wins: the list leaves, no game starts.
    manager.pushState(&singlePlayerState);
    clickFirstWorld();
    EXPECT_EQ(manager.states.back(), &singlePlayerState) << "a click alone changes no screen";
    glfwSetWindowShouldClose(window, GLFW_TRUE);
    singlePlayerState.update(manager);
    EXPECT_EQ(manager.states, (std::vector<State*>{&title}));

    // The wheel scrolls the list by 60 x 12 + 10 - 518 = 212 pixels to its last world, which is
    // then clicked where it shows.
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    manager.pushState(&singlePlayerState);
    cursor.x = 512, cursor.y = 400;
    for (int i = 0; i < 20; ++i) scrollCallback(window, 0.0, -1.0);
    EXPECT_EQ(singlePlayerState.worldBox.scrollY, -212);
    clickAt(512, 100 + 10 + 60 * 11 + 25 - 212);
    singlePlayerState.update(manager);
    EXPECT_EQ(manager.states, (std::vector<State*>{&gameState, &worldGenState}));
    EXPECT_EQ(gameState.world.path, singlePlayerState.worldPaths.back());
    loadAndLeaveTheGame();
}

TEST_F(MenuCallbacks, RetryLeavesTheDeathScreenAndTheGameFromInsideItsOwnClick) {
    gameState.deathScreen = &deathScreenState;
    deathScreenState.interface.cursorSource = &cursor;
    gameState.world.setPath(worlds::createWorldFolder(dir.path / "worlds", "Alpha").value().string());
    manager.pushState(&gameState);
    manager.pushState(&worldGenState);
    finishLoading();

    // The music plays until the death: then it stops and the death sound goes to the device.
    ASSERT_TRUE(audio::startEngine());
    audio::tracks = {"hollowmere_theme.ogg"};
    audio::loadSound(audio::tracks[0]);
    ASSERT_TRUE(audio::updateMusic());
    const audio::Handle music = audio::musicHandle;

    gameState.player.health = 0.0f;
    gameState.player.lastDamageTime = glfwGetTime();
    gameState.update(manager);
    ASSERT_EQ(manager.states.back(), &deathScreenState);
    EXPECT_FALSE(audio::isPlaying(music));
    ASSERT_TRUE(audio::sounds.contains("player_death_2.wav"));
    EXPECT_NE(audio::sounds.at("player_death_2.wav").deviceBuffer.name, 0u) << "the death sound never played";
    audio::shutdownEngine();
    audio::tracks.clear();
    audio::sounds.clear();

    click(deathScreenState.retryButton, deathScreenState.interface);
    EXPECT_EQ(manager.states, (std::vector<State*>{&gameState, &worldGenState}));
    EXPECT_FLOAT_EQ(gameState.player.health, 100.0f);
    loadAndLeaveTheGame();
}

// On the window's close request a menu over the game leaves together with it, world creation
// through the title screen's tick; the stack empties within the tick. The settings screen saves
// what was changed on the way.
TEST_F(MenuCallbacks, AWindowCloseRequestOnAMenuEndsTheProgramInOneTick) {
    const std::pair<State*, const char*> menus[] = {
        {&settingsState, "settings"}, {&pauseState, "pause"}, {&deathScreenState, "death"}, {&createWorldState, "world creation"}};
    for (const auto& [menu, name] : menus) {
        SCOPED_TRACE(name);
        manager.pushState(&title);  // stands in for the game or the title screen
        manager.pushState(menu);
        if (menu == &settingsState) settingsState.settings.lookSensitivity = 0;  // as its slider does
        glfwSetWindowShouldClose(window, GLFW_TRUE);
        menu->update(manager);
        EXPECT_TRUE(manager.states.empty());
        EXPECT_EQ(log.back(), "title.close");
        glfwSetWindowShouldClose(window, GLFW_FALSE);
        manager.states.clear();
    }
    nlohmann::json saved;
    ASSERT_EQ(jsonfile::read(settingsState.settingsPath, saved, maxSettingsBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(saved["lookSensitivity"], 0);
}

}  // namespace

// The title screen and the menus on it where things go wrong: shaders that did not build, a
// title screen left while its world still loads, a missing logo, a turn that goes on for hours,
// and a death screen without its image; and the ways the title ends the program. The game's data
// is linked into a working directory of the test's own, without the logo and the death image.
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "game/GameState.h"
#include "gui/FakeDesktop.h"
#include "screens/CreateWorldState.h"
#include "screens/DeathScreenState.h"
#include "screens/IntroState.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/TitleState.h"
#include "support/AppHarness.h"
#include "support/GlTestContext.h"
#include "support/RecordingState.h"
#include "support/TempWorkDir.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr float twoPi = 6.2831853f;

class TitleScreen : public ::testing::Test {
protected:
    GLFWwindow* window = testgl::context(testapp::AppHarness::width, testapp::AppHarness::height);
    const fs::path repository = fs::current_path();
    testfs::TempWorkDir dir;
    StateManager manager;

    void SetUp() override {
        ASSERT_NE(window, nullptr);
        fs::create_symlink(repository / "shaderList.json", dir.path / "shaderList.json");
        fs::create_directories(dir.path / "assets/textures");
        fs::create_directory_symlink(repository / "assets/shaders", dir.path / "assets/shaders");
        for (const auto& image : fs::directory_iterator(repository / "assets/textures"))
            if (image.path().filename() != "logo.png" && image.path().filename() != "death.png")
                fs::create_symlink(image.path(), dir.path / "assets/textures" / image.path().filename());
        ASSERT_TRUE(testgl::loadAllShaders());
        titleState.backgroundPath = (dir.path / "bgWorld").string();
        singlePlayerState.worldsRoot = createWorldState.worldsRoot = dir.path / "worlds";
        settingsState.defaultSettingsPath = repository / "defaultSettings.json";
        settingsState.settingsPath = dir.path / "settings.json";
        manager.window = window;
    }
    void TearDown() override {
        while (!manager.states.empty()) manager.popState();
        titleState.backgroundPath = TitleState().backgroundPath;
        singlePlayerState.worldsRoot = createWorldState.worldsRoot = "worlds";
        settingsState.defaultSettingsPath = "defaultSettings.json";
        settingsState.settingsPath = "settings.json";
    }

    bool loadBackground() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);
        while (!titleState.backgroundLoaded() && std::chrono::steady_clock::now() < deadline) {
            titleState.update(manager);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return titleState.backgroundLoaded();
    }
};

TEST_F(TitleScreen, MenusWhoseShadersDidNotBuildDrawWhatTheyCanAndCarryOn) {
    testgl::Framebuffer target(testapp::AppHarness::width, testapp::AppHarness::height);
    target.bind();
    std::map<std::string, std::unique_ptr<Shader>> built;
    built.swap(shaders);

    manager.pushState(&introState);
    introState.render(manager);
    while (introState.loadedCount.load() < IntroState::preloadCount) std::this_thread::yield();
    introState.update(manager);
    ASSERT_EQ(manager.states.back(), &titleState);
    titleState.render(manager);
    // Leaving while the world loads stops the pass before waiting for it.
    titleState.stopBackgroundLoading();
    World& world = titleState.bgWorld;
    EXPECT_LT(world.chunksLoaded.load(), int(world.chunks.size())) << "the whole world loaded first";
    titleState.render(manager);
    for (State* menu : {static_cast<State*>(&singlePlayerState), static_cast<State*>(&createWorldState)}) {
        manager.pushState(menu);
        menu->update(manager);
        menu->render(manager);
    }
    shaders.swap(built);
    EXPECT_EQ(manager.states.size(), 3u);
    manager.popState();
    manager.popState();
    manager.popState();
    EXPECT_TRUE(world.chunks.empty());
    testgl::Framebuffer::unbind();
}

TEST_F(TitleScreen, WithoutItsLogoTheTitleDrawsTheRestAndItsTurnStaysWithinOneRevolution) {
    manager.pushState(&titleState);
    ASSERT_TRUE(loadBackground());
    EXPECT_EQ(titleState.logo.texture, nullptr);

    titleState.yaw = twoPi - 0.0003f;
    titleState.update(manager);
    EXPECT_GE(titleState.yaw, 0.0f);
    EXPECT_NEAR(titleState.yaw, 0.0003f, 1e-5f);

    testgl::Framebuffer target(testapp::AppHarness::width, testapp::AppHarness::height);
    target.bind();
    titleState.render(manager);
    const testapp::Image shot{target.width, target.height, target.readTopDown()};
    testgl::Framebuffer::unbind();
    // "DEMO" stands where the logo would end, beside the middle.
    EXPECT_TRUE(testapp::containsText(shot, {300, 60, 300, 60}, "DEMO", 4, [](glm::u8vec4 p) {
        return p.r >= 245 && p.g >= 245 && p.b <= 10;
    }));
    EXPECT_TRUE(testapp::containsText(shot, testapp::Rect{362, 250, 300, 50}, "singleplayer", 2,
                                      testapp::whiteInk));

    // "quit game", 300 x 50 at the bottom centre, 50 pixels up, ends the program.
    EXPECT_TRUE(testapp::containsText(shot, testapp::Rect{362, 668, 300, 50}, "quit game", 2, testapp::whiteInk));
    guitest::FakeDesktop desktop;
    titleState.interface.cursorSource = &desktop;
    desktop.cursorX = 512, desktop.cursorY = 693;
    titleState.mouseButton(manager, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    titleState.mouseButton(manager, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    titleState.interface.cursorSource = nullptr;
    EXPECT_TRUE(manager.states.empty());
}

// Every start of the title applies the stored settings; Escape ends the program, also while the
// world still loads.
TEST_F(TitleScreen, TheTitleAppliesTheStoredSettingsAndEscapeEndsTheProgram) {
    dir.write("settings.json", R"({"FOV":100,"renderDistance":3})");
    gameState.fov = 70.0f;
    manager.pushState(&titleState);
    EXPECT_FLOAT_EQ(gameState.fov, 100.0f);
    EXPECT_FLOAT_EQ(gameState.renderDistance, 3.0f);
    titleState.keyInput(manager, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(manager.states.empty());
}

TEST_F(TitleScreen, WithoutItsImageTheDeathScreenDrawsTheVeilAndTheButtons) {
    std::vector<std::string> log;
    testing_states::RecordingState game("game", log);
    manager.pushState(&game);
    manager.pushState(&deathScreenState);
    EXPECT_EQ(deathScreenState.image.texture, nullptr);
    deathScreenState.startTime -= 3.0;  // the image would be whole, and glitching

    testgl::Framebuffer target(testapp::AppHarness::width, testapp::AppHarness::height);
    target.bind();
    while (glGetError() != GL_NO_ERROR) {}
    for (int i = 0; i < 30; ++i) deathScreenState.render(manager);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const testapp::Image shot{target.width, target.height, target.readTopDown()};
    testgl::Framebuffer::unbind();
    EXPECT_EQ(shot.at(512, 300), glm::u8vec4(6, 6, 8, 255)) << "not the veil alone";
    EXPECT_TRUE(
        testapp::containsText(shot, testapp::Rect{337, 568, 350, 50}, "Retry...", 2, testapp::whiteInk));
    EXPECT_EQ(std::count(log.begin(), log.end(), "game.render"), 30) << "the game is not drawn beneath";
    manager.popState();
    manager.popState();
}

}  // namespace

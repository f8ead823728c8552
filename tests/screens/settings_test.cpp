// The settings record and its files, without a window: loading key by key with its fall-backs
// and clamps, the exact text that is saved (also when the writer is killed), what the load
// pushes into the game, switching full screen on a fake desktop, and the settings screen's
// labels, sliders and scroll limit.
#include "engine/Audio.h"
#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"
#include "engine/StateManager.h"
#include "game/GameState.h"
#include "gui/FakeDesktop.h"
#include "screens/Fullscreen.h"
#include "screens/Settings.h"
#include "screens/SettingsState.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* message = "unable to load settings file. The default settings will be restored.\n";

// A default file whose values all differ from the built-in ones.
constexpr const char* defaultsText =
    R"({"FOV":100,"ambienceVolume":11,"creatureVolume":12,"difficulty":2,"fullscreen":false,)"
    R"("globalVolume":13,"lookSensitivity":4,"musicVolume":14,"renderDistance":7,"scrollSensitivity":15})";

Settings defaultsFile() {
    Settings s;
    s.fov = 70, s.ambienceVolume = 11, s.creatureVolume = 12, s.difficulty = 2;
    s.globalVolume = 13, s.lookSensitivity = 4, s.musicVolume = 14, s.renderDistance = 7;
    s.scrollSensitivity = 15;
    return s;
}

template <typename Change>
Settings with(Settings s, Change change) {
    change(s);
    return s;
}

struct LoadCase {
    const char* what;
    std::optional<std::string> stored;    // settings.json; none: missing
    std::optional<std::string> defaults;  // defaultSettings.json; none: missing
    Settings expected;
    bool message;
};

class SettingsFiles : public ::testing::Test {
protected:
    const std::filesystem::path repository = std::filesystem::current_path();
    testfs::TempWorkDir dir;
    void SetUp() override {
        settingsState.settings = Settings();
        settingsState.settingsPath = dir.path / "settings.json";
        settingsState.defaultSettingsPath = dir.path / "defaultSettings.json";
    }
    void TearDown() override {
        settingsState.settings = Settings();
        settingsState.settingsPath = "settings.json";
        settingsState.defaultSettingsPath = "defaultSettings.json";
    }

    void place(const char* name, const std::optional<std::string>& text) {
        std::filesystem::remove_all(dir.path / name);
        if (text) dir.write(name, *text);
    }
};

TEST_F(SettingsFiles, LoadsKeyByKeyFallingBackAndClampingWhateverTheFilesHold) {
    const Settings builtIn;
    const Settings defaults = defaultsFile();
    const std::vector<LoadCase> cases = {
        {"no settings file", std::nullopt, defaultsText, defaults, true},
        {"one key", R"({"FOV":90})", defaultsText, with(defaults, [](Settings& s) { s.fov = 60; }), false},
        {"every key", R"({"FOV":70,"ambienceVolume":100,"creatureVolume":100,"difficulty":1,)"
                      R"("fullscreen":false,"globalVolume":70,"lookSensitivity":2,"musicVolume":100,)"
                      R"("renderDistance":4,"scrollSensitivity":50})",
         defaultsText, builtIn, false},
        {"text after the object", R"({"globalVolume":10} and then some)", defaultsText,
         with(defaults, [](Settings& s) { s.globalVolume = 10; }), false},
        {"not JSON", R"({"globalVolume":)", defaultsText, defaults, true},
        {"nested too deeply", std::string(100, '[') + std::string(100, ']'), defaultsText, defaults, true},
        {"not an object", "[1, 2, 3]", defaultsText, defaults, false},
        {"wrong types", R"({"renderDistance":"far","fullscreen":1,"musicVolume":null,)"
                        R"("ambienceVolume":[50],"difficulty":true,"lookSensitivity":2.7})",
         defaultsText, with(defaults, [](Settings& s) { s.difficulty = 1, s.lookSensitivity = 2; }), false},
        {"out of range", R"({"renderDistance":0,"FOV":180,"globalVolume":1000000,"musicVolume":-5,)"
                         R"("creatureVolume":1e300,"ambienceVolume":-1e300,"scrollSensitivity":18446744073709551615,)"
                         R"("lookSensitivity":-9223372036854775808,"difficulty":3})",
         defaultsText,
         with(defaults, [](Settings& s) {
             s.renderDistance = 1, s.fov = 149, s.globalVolume = 100, s.musicVolume = 0;
             s.creatureVolume = 100, s.ambienceVolume = 0, s.scrollSensitivity = 100;
             s.lookSensitivity = 0, s.difficulty = 2;
         }),
         false},
        {"too far, too narrow", R"({"renderDistance":10000,"FOV":0})", defaultsText,
         with(defaults, [](Settings& s) { s.renderDistance = 12, s.fov = 0; }), false},
        {"no files at all", std::nullopt, std::nullopt, builtIn, true},
        {"broken defaults", R"({"FOV":100})", "[1, 2", with(builtIn, [](Settings& s) { s.fov = 70; }), false},
        {"defaults of the wrong types", std::nullopt, R"({"renderDistance":"7","FOV":100})",
         with(builtIn, [](Settings& s) { s.fov = 70; }), true},
        {"full screen wanted", R"({"fullscreen":true})", defaultsText, defaults, false},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        place("settings.json", c.stored);
        place("defaultSettings.json", c.defaults);
        settingsState.settings = Settings();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        settingsState.loadSettings(nullptr);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        const std::string complaint = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(printed, c.message ? message : "");
        // A settings file that is there but cannot be used is named, with where it went wrong.
        if (c.message && c.stored)
            EXPECT_EQ(complaint.find(settingsState.settingsPath.string() + ": "), 0u) << complaint;
        else
            EXPECT_EQ(complaint, "");
        // Without a window the state of the window stays as it was.
        EXPECT_EQ(settingsState.settings, c.expected);
    }
}

TEST_F(SettingsFiles, TheSavedTextIsExactAndReadsBackTheSame) {
    ASSERT_TRUE(settingsState.saveSettings());
    const std::string text = testfs::readFile(settingsState.settingsPath);
    EXPECT_EQ(text,
              R"({"FOV":70,"ambienceVolume":100,"creatureVolume":100,"difficulty":1,"fullscreen":false,)"
              R"("globalVolume":70,"lookSensitivity":2,"musicVolume":100,"renderDistance":4,"scrollSensitivity":50})");

    Settings changed = with(Settings(), [](Settings& s) { s.fov = 0, s.renderDistance = 12, s.difficulty = 0; });
    settingsState.settings = changed;
    ASSERT_TRUE(settingsState.saveSettings());
    settingsState.settings = Settings();
    settingsState.loadSettings(nullptr);
    EXPECT_EQ(settingsState.settings, changed);
    EXPECT_EQ(settingsToJson(changed)["FOV"], 30);

    // A write the disk refuses leaves the file as it was: the text goes to a file beside it first.
    std::filesystem::create_directory(temporaryPathFor(settingsState.settingsPath));
    settingsState.settings = Settings();
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(settingsState.saveSettings());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("unable to write"), std::string::npos);
    settingsState.loadSettings(nullptr);
    EXPECT_EQ(settingsState.settings, changed);
}

TEST_F(SettingsFiles, LoadingPushesTheValuesIntoTheGame) {
    place("settings.json", R"({"renderDistance":2,"FOV":100,"lookSensitivity":3,"scrollSensitivity":20,"difficulty":0})");
    place("defaultSettings.json", defaultsText);
    gameState.renderDistance = 4.0f;
    gameState.world.stopLoading = false;
    gameState.player.reloadChunks = false;
    settingsState.loadSettings(nullptr);
    EXPECT_FLOAT_EQ(gameState.renderDistance, 2.0f);
    EXPECT_TRUE(gameState.world.stopLoading) << "a smaller render distance stops the pass under way";
    EXPECT_TRUE(gameState.player.reloadChunks);
    EXPECT_FLOAT_EQ(gameState.fov, 100.0f);
    EXPECT_FLOAT_EQ(gameState.player.lookSensitivity, 4.0f);
    EXPECT_FLOAT_EQ(gameState.player.scrollSensitivity, 0.2f);
    EXPECT_EQ(gameState.world.difficulty, 0);
    EXPECT_FLOAT_EQ(audio::musicVolume, 0.14f);

    gameState.world.stopLoading = false;
    place("settings.json", R"({"renderDistance":9})");
    settingsState.loadSettings(nullptr);
    EXPECT_FALSE(gameState.world.stopLoading) << "a larger render distance needs no stop";
}

// A writer killed at any moment leaves the file it replaces or the one it writes, never a torn
// one: the screen writes beside the file and renames.
TEST_F(SettingsFiles, TheScreensFileSurvivesAKillDuringTheWrite) {
    place("defaultSettings.json", defaultsText);
    Settings near = Settings(), far = with(Settings(), [](Settings& s) { s.renderDistance = 12, s.fov = 149; });
    const std::string nearText = settingsToJson(near).dump(), farText = settingsToJson(far).dump();
    dir.write("settings.json", nearText);
    for (int attempt = 0; attempt < 12; ++attempt) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            StateManager manager;
            for (int i = 0;; ++i) {
                settingsState.settings = i % 2 ? far : near;
                settingsState.close(manager);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500 + 700 * attempt));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        const std::string text = testfs::readFile(settingsState.settingsPath);
        EXPECT_TRUE(text == nearText || text == farText) << "torn: " << text;
    }
    // A write that a kill cut short is not read as the settings.
    dir.write(temporaryPathFor("settings.json").filename().string(), R"({"renderDistance":)");
    settingsState.loadSettings(nullptr);
    EXPECT_TRUE(settingsState.settings == near || settingsState.settings == far);
}

TEST(SettingsLabels, ShowTheValuesAsThePlayerReadsThem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {renderDistanceLabel(1), "render distance: 1"},
        {renderDistanceLabel(12), "render distance: 12"},
        {fovLabel(40), "FOV: 70 degrees (default)"},
        {fovLabel(0), "FOV: 30 degrees"},
        {fovLabel(149), "FOV: 179 degrees"},
        {difficultyLabel(0), "Difficulty: Easy (no monsters)"},
        {difficultyLabel(1), "Difficulty: Normal"},
        {difficultyLabel(2), "Difficulty: Hard"},
        {fullscreenLabel(false), "Enter Fullscreen"},
        {fullscreenLabel(true), "Exit Fullscreen"},
    };
    for (const auto& [label, expected] : cases) EXPECT_EQ(label, expected);
    // The help text says which keys choose a hotbar slot: the hotbar has eight.
    EXPECT_NE(std::string(SettingsState::helpText).find("Select hotbar slot: 1-8 keys or"), std::string::npos);
}

class SettingsScreen : public SettingsFiles {
protected:
    StateManager manager;  // no window: the pages are built without GL

    void SetUp() override {
        SettingsFiles::SetUp();
        place("defaultSettings.json", defaultsText);
        settingsState.loadSettings(nullptr);
        settingsState.setUpPages(manager);
        settingsState.layout(1024, 768);
    }
};

// What each slider changes when it is let go: the render distance and the volumes reach the
// game and the audio at once, the rest only when the screen closes. Closing writes them all.
TEST_F(SettingsScreen, SlidersApplyTheRenderDistanceAndVolumesAtOnceAndTheRestAtClose) {
    SettingsState& s = settingsState;
    Player& player = gameState.player;
    struct Case {
        const char* what;
        gui::Slider& slider;
        int value;
        bool atOnce;
        std::function<bool()> applied;
        std::string label;  // the slider's label afterwards
    };
    const std::vector<Case> cases = {
        {"render distance", s.renderDistanceSlider, 0, true, [] { return gameState.renderDistance == 1.0f; },
         "render distance: 1"},
        {"scroll sensitivity", s.scrollSensitivitySlider, 80, false,
         [&] { return player.scrollSensitivity == 0.8f; }, "scroll sensitivity:"},
        {"look sensitivity", s.lookSensitivitySlider, 0, false, [&] { return player.lookSensitivity == 1.0f; },
         "look sensitivity:"},
        {"field of view", s.fovSlider, 0, false, [] { return gameState.fov == 30.0f; }, "FOV: 30 degrees"},
        {"difficulty", s.difficultySlider, 0, false, [] { return gameState.world.difficulty == 0; },
         "Difficulty: Easy (no monsters)"},
        {"global volume", s.globalVolumeSlider, 25, true, [] { return audio::getGlobalVolume() == 0.25f; },
         "Global Volume:"},
        {"music volume", s.musicVolumeSlider, 30, true,
         [] { return audio::musicVolume == 0.3f && audio::getVolume(audio::musicHandle) == 0.3f; },
         "Music Volume:"},
        {"creature volume", s.creatureVolumeSlider, 40, true,
         [] { return audio::getSoundGroup("creature").volume == 0.4f; }, "Creature Volume:"},
        {"ambience volume", s.ambienceVolumeSlider, 50, true,
         [] { return audio::getSoundGroup("ambience").volume == 0.5f; }, "Ambience Volume:"},
    };
    gameState.world.stopLoading = false;
    player.reloadChunks = false;
    // The track already playing takes the new music volume too.
    std::filesystem::create_directory_symlink(repository / "assets", dir.path / "assets");
    ASSERT_TRUE(audio::startEngine());
    audio::tracks = {"hollowmere_theme.ogg"};
    audio::loadSound(audio::tracks[0]);
    ASSERT_TRUE(audio::updateMusic());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.applied()) << "the value is there before the change";
        c.slider.value = c.value;
        c.slider.callback(c.slider.userData, c.value);
        EXPECT_EQ(c.applied(), c.atOnce);
        EXPECT_EQ(c.slider.label, c.label);
    }
    EXPECT_TRUE(gameState.world.stopLoading) << "a smaller render distance stops the pass under way";
    EXPECT_TRUE(player.reloadChunks);

    s.close(manager);
    nlohmann::json saved;
    ASSERT_EQ(jsonfile::read(s.settingsPath, saved, maxSettingsBytes), jsonfile::ReadStatus::ok);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.applied());
    }
    EXPECT_EQ(saved, settingsToJson(with(defaultsFile(), [](Settings& v) {
                  v.renderDistance = 1, v.scrollSensitivity = 80, v.lookSensitivity = 0, v.fov = 0;
                  v.difficulty = 0, v.globalVolume = 25, v.musicVolume = 30, v.creatureVolume = 40;
                  v.ambienceVolume = 50;
              })));
    audio::shutdownEngine();
    audio::tracks.clear();
    audio::musicHandle = 0;
}

// The settings box scrolls until its last slider stands as far above the box's bottom as its
// first widget stands below the top; a window tall enough does not scroll.
TEST_F(SettingsScreen, TheBoxScrollsFarEnoughToShowTheLastSlider) {
    SettingsState& s = settingsState;
    const std::vector<std::pair<int, int>> cases = {{768, 682}, {1350, 100}, {1450, 0}, {2000, 0}};
    for (const auto& [height, overflow] : cases) {
        SCOPED_TRACE(height);
        s.settingsBox.scrollY = -10000;
        s.layout(1024, height);
        EXPECT_EQ(s.settingsBox.height, height - 200);
        EXPECT_EQ(s.settingsBox.overflowY, overflow);
        EXPECT_EQ(s.settingsBox.scrollY, -overflow);
        int x, y, w, h;
        s.ambienceVolumeSlider.getPos(s.settingsBox, x, y);
        s.ambienceVolumeSlider.getSize(s.settingsBox, w, h);
        EXPECT_LE(y + h + s.settingsBox.scrollY, s.settingsBox.height - 50);
    }
}

TEST(DefaultSettings, TheInstalledFileHoldsEveryKeyWithTheBuiltInValues) {
    nlohmann::json installed;
    ASSERT_EQ(jsonfile::read("defaultSettings.json", installed, maxSettingsBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(installed, settingsToJson(Settings()));
}

// A desktop that records what the settings ask of it.
class FakeDisplay : public DisplayModes {
public:
    bool hasMode = true;
    int width = 800, height = 600;
    std::vector<std::string> calls;

    bool primaryMode(int& w, int& h) override {
        w = 1920, h = 1080;
        return hasMode;
    }
    void windowSize(int& w, int& h) override { w = width, h = height; }
    void enterFullscreen(int w, int h) override { calls.push_back("enter " + std::to_string(w) + "x" + std::to_string(h)); }
    void leaveFullscreen(int x, int y, int w, int h) override {
        calls.push_back("leave " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
                        std::to_string(h));
    }
};

TEST(Fullscreen, EntersOnThePrimaryMonitorAndLeavesToTheRememberedWindowCentred) {
    struct Case {
        const char* what;
        bool hasMode;
        int width, height;  // the window's size on entering
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"a window", true, 800, 600, {"enter 1920x1080", "leave 560,240 800x600"}},
        {"a minimised window keeps the size before", true, 0, 0, {"enter 1920x1080", "leave 448,156 1024x768"}},
        {"no monitor: nothing changes", false, 800, 600, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings settings;
        FakeDisplay display;
        display.hasMode = c.hasMode, display.width = c.width, display.height = c.height;
        switchFullscreen(settings, display, true);
        EXPECT_EQ(settings.fullscreen, c.hasMode);
        switchFullscreen(settings, display, true);  // already there
        settings.fullscreen = true;
        switchFullscreen(settings, display, false);
        EXPECT_EQ(settings.fullscreen, !c.hasMode);
        EXPECT_EQ(display.calls, c.calls);
    }
}

// At the game's 1024 x 768 the settings box starts at (50, 100): the full-screen button stands
// at (362, 250), 300 x 50, and the render distance slider's track at (262, 350), 500 wide.
// Clicked there, the button switches full screen on and off; the slider dragged beyond its right
// end gives the largest render distance, 12.
TEST_F(SettingsScreen, TheFullScreenButtonSwitchesAndTheRenderDistanceSliderEndsAt12) {
    SettingsState& s = settingsState;
    guitest::FakeDesktop desktop;
    desktop.width = 1024, desktop.height = 768;
    desktop.attach(s.settingsPage);
    FakeDisplay display;
    s.display = &display;
    desktop.click(s.settingsPage, 512, 275);
    EXPECT_EQ(s.fullscreenButton.label, "Exit Fullscreen");
    desktop.click(s.settingsPage, 512, 275);
    EXPECT_EQ(s.fullscreenButton.label, "Enter Fullscreen");
    EXPECT_EQ(display.calls, (std::vector<std::string>{"enter 1920x1080", "leave 560,240 800x600"}));
    s.display = nullptr;

    desktop.moveTo(s.settingsPage, 262 + s.renderDistanceSlider.value * 500 / 11, 380);
    desktop.press(s.settingsPage);
    desktop.moveTo(s.settingsPage, 900, 380);  // beyond the track, still in the box
    desktop.release(s.settingsPage);
    EXPECT_EQ(s.renderDistanceSlider.label, "render distance: 12");
    EXPECT_FLOAT_EQ(gameState.renderDistance, 12.0f);
}

}  // namespace

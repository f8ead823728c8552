#pragma once

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Interface.h"
#include "gui/Slider.h"
#include "gui/Text.h"
#include "screens/MenuScreen.h"
#include "screens/Settings.h"

#include <filesystem>

class DisplayModes;
struct GLFWwindow;

// The settings screen, and the owner of the user's settings and of their file. It loads them
// from "settings.json", key by key falling back to "defaultSettings.json", pushes them into the
// game screen, its player, its world and the audio engine, and writes them back when the screen
// closes. The title screen and the game screen load them at every start, so a stored change
// reaches everything that uses it. One, `settingsState`, lives for the whole run.
//
// Two pages over a dark blue background: the settings page, a scrolling box of buttons and
// sliders, and the controls page, a scrolling help text. The render distance and the volumes
// apply while their slider moves; the rest applies when the screen closes, whichever way it is
// left.
class SettingsState : public MenuScreen {
public:
    // The help text of the controls page.
    static constexpr const char* helpText =
        "Movement: WASD\n\nJump: space\n\nLook: mouse\n\nOpen/close inventory: E\n\n"
        "Select hotbar slot: 1-8 keys or shift + scroll wheel\n\nRotate in 4D: mouse scroll wheel\n\n"
        "Reset orientation: ctrl+R\n\nTeleport upwards: T\n";
    // The settings box's content ends here, 50 pixels below its last slider, as far below as
    // the first widget stands from the top.
    static constexpr int settingsContentHeight = 1250;

    gui::Interface settingsPage;
    gui::Text settingsTitle;
    gui::ContentBox settingsBox;
    gui::Button okButton;
    gui::Button controlsButton;
    gui::Button fullscreenButton;
    gui::Slider renderDistanceSlider, scrollSensitivitySlider, lookSensitivitySlider, fovSlider,
        difficultySlider;
    gui::Text audioText;
    gui::Slider globalVolumeSlider, musicVolumeSlider, creatureVolumeSlider, ambienceVolumeSlider;
    Settings settings;
    gui::Interface controlsPage;
    bool controlsShown = false;
    gui::Text controlsTitle;
    gui::ContentBox controlsBox;
    gui::Button controlsOkButton;
    gui::Text controlsText;

    // Where the settings are read and written; tests point them at a temporary directory.
    std::filesystem::path settingsPath = "settings.json";
    std::filesystem::path defaultSettingsPath = "defaultSettings.json";
    // Where full screen is switched: null for the window's own monitor; tests put a desktop
    // without one here.
    DisplayModes* display = nullptr;

    SettingsState() = default;
    // The widgets point at one another.
    SettingsState(const SettingsState&) = delete;
    SettingsState& operator=(const SettingsState&) = delete;

    // Loads the settings and builds both pages.
    void init(StateManager& s) override;
    // Saves and applies everything, then empties the pages.
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void resume(StateManager&) override {}
    void windowResize(StateManager& s, int width, int height) override;

    // The widgets of both pages, with their labels, places, values and callbacks from the
    // settings, sized for the window. Makes no GL call.
    void setUpPages(StateManager& s);
    // Sizes both boxes for a width x height window and how far each scrolls.
    void layout(int width, int height);

    // Reads both files (a missing or broken settings file prints one line and the defaults take
    // over), applies everything, and puts the window into or out of full screen as stored.
    // Never throws.
    void loadSettings(GLFWwindow* window);
    // Applies everything and writes the settings file; false (and one line printed) when the
    // file could not be written.
    bool saveSettings();

    // Render distance, sensitivities, field of view and difficulty into the game screen, its
    // player and its world. A smaller render distance stops the streaming pass under way.
    void applyGameSettings();
    // Global, music, creature and ambience volumes into the audio engine.
    void applyAudioSettings();
    // The render distance alone, as its slider moves: a smaller one stops the pass under way,
    // and the game streams again on its next tick.
    void applyRenderDistance();
    // The global volume, and the music's volume also for the track playing.
    void applyGlobalVolume();
    void applyMusicVolume();

    // Setters that store a value and show it on the screen.
    void setRenderDistance(int renderDistance);
    void setFov(int fov);
    void setDifficulty(int difficulty);
    void setFullscreen(GLFWwindow* window, bool fullscreen);
    // These also set the volume of their sound group at once.
    void setCreatureVolume(int volume);
    void setAmbienceVolume(int volume);

protected:
    gui::Interface& shownPage() override { return controlsShown ? controlsPage : settingsPage; }
    // Escape on the controls page goes back to the settings page.
    void escape(StateManager& s) override;

private:
    void setUpSettingsPage(StateManager& s);
    void setUpControlsPage();
};

extern SettingsState settingsState;

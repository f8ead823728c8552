#pragma once

#include "screens/Settings.h"

#include <filesystem>

struct GLFWwindow;

// Owner of the user's settings and of their file: it loads them from "settings.json", key by key
// falling back to "defaultSettings.json", pushes them into the game screen, its player, its world
// and the audio engine, and writes them back. The title screen and the game screen load them at
// every start, so a stored change reaches everything that uses it. One, `settingsState`, lives
// for the whole run; its pages of sliders and buttons are the settings screen.
class SettingsState {
public:
    Settings settings;
    // Where the settings are read and written; tests point them at a temporary directory.
    std::filesystem::path settingsPath = "settings.json";
    std::filesystem::path defaultSettingsPath = "defaultSettings.json";

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

    void setFullscreen(GLFWwindow* window, bool fullscreen);
    void setCreatureVolume(int volume);
    void setAmbienceVolume(int volume);
};

extern SettingsState settingsState;

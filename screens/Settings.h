#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

// A settings file (the user's or the default one) larger than this is refused unread, as
// damaged; an honest one is about 200 bytes.
constexpr std::uintmax_t maxSettingsBytes = std::uintmax_t(1) << 20;

// The user's settings. The built-in values hold until the first load; every value read from a
// file is clamped to the range the settings screen offers for it.
struct Settings {
    int windowedWidth = 1024;  // the window's size to restore when full screen is left
    int windowedHeight = 768;
    bool fullscreen = false;
    int renderDistance = 4;      // chunks, 1 to 12
    int scrollSensitivity = 50;  // 0 to 100
    int lookSensitivity = 2;     // 0 to 4
    int fov = 40;                // vertical field of view in degrees minus 30, 0 to 149
    int globalVolume = 70;       // per cent, 0 to 100
    int musicVolume = 100;
    int creatureVolume = 100;
    int ambienceVolume = 100;
    int difficulty = 1;  // 0 easy (no monsters), 1 normal, 2 hard

    bool operator==(const Settings&) const = default;
};

// The settings from the stored file's value, key by key falling back to the default file's
// value and then to the built-in value. Either value may be anything (null when its file could
// not be read): a key that is missing or holds a value of the wrong type falls back. Numbers are
// truncated towards zero and clamped into their ranges; booleans count as 1 and 0.
Settings settingsFromJson(const nlohmann::json& stored, const nlohmann::json& defaults);

// The file's object: the ten stored keys, "FOV" holding the field of view in degrees. Dumped
// compact it is the exact text of "settings.json" (keys in byte order, "FOV" first).
nlohmann::json settingsToJson(const Settings& settings);

// The labels on the settings screen that show a value: "render distance: 4", "FOV: 70 degrees
// (default)", "Difficulty: Normal", and the full-screen button's "Enter Fullscreen" or "Exit
// Fullscreen". The field of view and the difficulty are given as the record holds them.
std::string renderDistanceLabel(int renderDistance);
std::string fovLabel(int fov);
std::string difficultyLabel(int difficulty);
std::string fullscreenLabel(bool fullscreen);

#include "screens/Settings.h"

#include <algorithm>
#include <cmath>
#include <optional>

using nlohmann::json;

namespace {

// One numeric key: where it lives in the record, its range, and what the file adds to it
// ("FOV" is stored in degrees, the record keeps degrees minus 30).
struct NumericKey {
    const char* key;
    int Settings::*field;
    int min, max;
    int fileOffset;
};

const NumericKey numericKeys[] = {
    {"renderDistance", &Settings::renderDistance, 1, 12, 0},
    {"scrollSensitivity", &Settings::scrollSensitivity, 0, 100, 0},
    {"lookSensitivity", &Settings::lookSensitivity, 0, 4, 0},
    {"FOV", &Settings::fov, 0, 149, 30},
    {"difficulty", &Settings::difficulty, 0, 2, 0},
    {"globalVolume", &Settings::globalVolume, 0, 100, 0},
    {"musicVolume", &Settings::musicVolume, 0, 100, 0},
    {"creatureVolume", &Settings::creatureVolume, 0, 100, 0},
    {"ambienceVolume", &Settings::ambienceVolume, 0, 100, 0},
};

// The member of a file's value, or null when the value is no object or lacks the key.
const json* memberOf(const json& file, const char* key) {
    if (!file.is_object()) return nullptr;
    auto found = file.find(key);
    return found == file.end() ? nullptr : &*found;
}

// A value of the key's record field, truncated and clamped; nothing for a value that is not
// a number or a boolean. Arithmetic stays in double or 64-bit integers, so no value of any size
// overflows on the way.
std::optional<int> numberIn(const json* value, const NumericKey& key) {
    if (!value) return std::nullopt;
    const double low = double(key.min), high = double(key.max);
    if (value->is_boolean()) return std::clamp(int(value->get<bool>()) - key.fileOffset, key.min, key.max);
    if (value->is_number_unsigned()) {
        uint64_t v = value->get<uint64_t>();
        return int(std::clamp(double(v) - key.fileOffset, low, high));
    }
    if (value->is_number_integer()) {
        int64_t v = value->get<int64_t>();
        return int(std::clamp(double(v) - key.fileOffset, low, high));
    }
    if (value->is_number_float()) {
        double v = value->get<double>();
        if (!std::isfinite(v)) return std::nullopt;
        return int(std::clamp(std::trunc(v) - key.fileOffset, low, high));
    }
    return std::nullopt;
}

std::optional<bool> booleanIn(const json* value) {
    if (!value || !value->is_boolean()) return std::nullopt;
    return value->get<bool>();
}

}  // namespace

Settings settingsFromJson(const json& stored, const json& defaults) {
    Settings settings;
    for (const NumericKey& key : numericKeys) {
        std::optional<int> value = numberIn(memberOf(stored, key.key), key);
        if (!value) value = numberIn(memberOf(defaults, key.key), key);
        if (value) settings.*key.field = *value;
    }
    std::optional<bool> fullscreen = booleanIn(memberOf(stored, "fullscreen"));
    if (!fullscreen) fullscreen = booleanIn(memberOf(defaults, "fullscreen"));
    if (fullscreen) settings.fullscreen = *fullscreen;
    return settings;
}

json settingsToJson(const Settings& settings) {
    json file = json::object();
    for (const NumericKey& key : numericKeys) file[key.key] = settings.*key.field + key.fileOffset;
    file["fullscreen"] = settings.fullscreen;
    return file;
}

std::string renderDistanceLabel(int renderDistance) {
    return "render distance: " + std::to_string(renderDistance);
}

std::string fovLabel(int fov) {
    const Settings builtIn;
    return "FOV: " + std::to_string(fov + 30) + " degrees" + (fov == builtIn.fov ? " (default)" : "");
}

std::string difficultyLabel(int difficulty) {
    const char* name = difficulty == 0 ? "Easy (no monsters)" : difficulty == 1 ? "Normal" : "Hard";
    return std::string("Difficulty: ") + name;
}

std::string fullscreenLabel(bool fullscreen) { return fullscreen ? "Exit Fullscreen" : "Enter Fullscreen"; }

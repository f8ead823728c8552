// "settings.json" over the game's own defaults: every value lands in the range the settings
// screen offers, and what is written reads back to the same settings.
#include "FuzzSupport.h"
#include "screens/Settings.h"

namespace {

nlohmann::json defaults;

bool within(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FUZZ_CHECK(jsonfile::read("defaultSettings.json", defaults, maxSettingsBytes) == jsonfile::ReadStatus::ok);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nlohmann::json stored;
    if (!jsonfile::parse(fuzz::text(data, size), stored)) stored = nullptr;  // as a broken file
    const Settings settings = settingsFromJson(stored, defaults);
    FUZZ_CHECK(within(settings.renderDistance, 1, 12));
    FUZZ_CHECK(within(settings.scrollSensitivity, 0, 100));
    FUZZ_CHECK(within(settings.lookSensitivity, 0, 4));
    FUZZ_CHECK(within(settings.fov, 0, 149));
    FUZZ_CHECK(within(settings.difficulty, 0, 2));
    for (int volume : {settings.globalVolume, settings.musicVolume, settings.creatureVolume,
                       settings.ambienceVolume})
        FUZZ_CHECK(within(volume, 0, 100));
    FUZZ_CHECK(settingsFromJson(settingsToJson(settings), nullptr) == settings);
    return 0;
}

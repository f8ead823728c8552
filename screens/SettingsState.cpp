#include "screens/SettingsState.h"

#include "engine/Audio.h"
#include "engine/JsonFile.h"
#include "game/GameState.h"
#include "screens/Fullscreen.h"

#include <cstdio>

SettingsState settingsState;

namespace {

void setGroupVolume(const char* name, int volume) {
    audio::SoundGroup& group = audio::getSoundGroup(name);
    group.volume = float(volume) / 100.0f;
    audio::setVolume(group.group, group.volume);
}

}  // namespace

void SettingsState::loadSettings(GLFWwindow* window) {
    nlohmann::json stored, defaults;
    if (jsonfile::read(settingsPath, stored) != jsonfile::ReadStatus::ok) {
        std::printf("unable to load settings file. The default settings will be restored.\n");
        stored = nullptr;
    }
    if (jsonfile::read(defaultSettingsPath, defaults) != jsonfile::ReadStatus::ok) defaults = nullptr;

    // The window's state is switched below, not taken over: the record says what it is now.
    Settings loaded = settingsFromJson(stored, defaults);
    const bool wantFullscreen = loaded.fullscreen;
    loaded.fullscreen = settings.fullscreen;
    loaded.windowedWidth = settings.windowedWidth;
    loaded.windowedHeight = settings.windowedHeight;
    settings = loaded;

    applyGameSettings();
    applyAudioSettings();
    setFullscreen(window, wantFullscreen);
}

bool SettingsState::saveSettings() {
    applyGameSettings();
    applyAudioSettings();
    return jsonfile::write(settingsPath, settingsToJson(settings));
}

void SettingsState::applyGameSettings() {
    const float distance = float(settings.renderDistance);
    if (gameState.renderDistance > distance) gameState.world.stopLoading = true;
    gameState.renderDistance = distance;
    gameState.player.reloadChunks = true;
    gameState.player.scrollSensitivity = float(settings.scrollSensitivity) / 100.0f;
    gameState.player.lookSensitivity = float(settings.lookSensitivity + 1);
    gameState.fov = float(settings.fov + 30);
    gameState.world.difficulty = settings.difficulty;
}

void SettingsState::applyAudioSettings() {
    audio::setGlobalVolume(float(settings.globalVolume) / 100.0f);
    audio::musicVolume = float(settings.musicVolume) / 100.0f;
    if (audio::isPlaying(audio::musicHandle)) audio::setVolume(audio::musicHandle, audio::musicVolume);
    setCreatureVolume(settings.creatureVolume);
    setAmbienceVolume(settings.ambienceVolume);
}

void SettingsState::setFullscreen(GLFWwindow* window, bool fullscreen) {
    if (!window) return;
    GlfwDisplayModes display(window);
    switchFullscreen(settings, display, fullscreen);
}

void SettingsState::setCreatureVolume(int volume) {
    settings.creatureVolume = volume;
    setGroupVolume("creature", volume);
}

void SettingsState::setAmbienceVolume(int volume) {
    settings.ambienceVolume = volume;
    setGroupVolume("ambience", volume);
}

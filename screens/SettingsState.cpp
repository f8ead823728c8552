#include "screens/SettingsState.h"

#include "engine/Audio.h"
#include "engine/JsonFile.h"
#include "game/GameState.h"
#include "screens/Fullscreen.h"

#include <cstdio>
#include <string>

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
    std::string error;
    if (jsonfile::read(settingsPath, stored, maxSettingsBytes, &error) != jsonfile::ReadStatus::ok) {
        std::printf("unable to load settings file. The default settings will be restored.\n");
        // A missing file needs no more words; a damaged one says where it went wrong.
        if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
        stored = nullptr;
    }
    if (jsonfile::read(defaultSettingsPath, defaults, maxSettingsBytes) != jsonfile::ReadStatus::ok) defaults = nullptr;

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

void SettingsState::applyRenderDistance() {
    const float distance = float(settings.renderDistance);
    if (gameState.renderDistance > distance) gameState.world.stopLoading = true;
    gameState.renderDistance = distance;
    gameState.player.reloadChunks = true;
}

void SettingsState::applyGameSettings() {
    applyRenderDistance();
    gameState.player.scrollSensitivity = float(settings.scrollSensitivity) / 100.0f;
    gameState.player.lookSensitivity = float(settings.lookSensitivity + 1);
    gameState.fov = float(settings.fov + 30);
    gameState.world.difficulty = settings.difficulty;
}

void SettingsState::applyGlobalVolume() { audio::setGlobalVolume(float(settings.globalVolume) / 100.0f); }

void SettingsState::applyMusicVolume() {
    audio::musicVolume = float(settings.musicVolume) / 100.0f;
    if (audio::isPlaying(audio::musicHandle)) audio::setVolume(audio::musicHandle, audio::musicVolume);
}

void SettingsState::applyAudioSettings() {
    applyGlobalVolume();
    applyMusicVolume();
    setCreatureVolume(settings.creatureVolume);
    setAmbienceVolume(settings.ambienceVolume);
}

void SettingsState::setRenderDistance(int renderDistance) {
    settings.renderDistance = renderDistance;
    renderDistanceSlider.label = renderDistanceLabel(renderDistance);
}

void SettingsState::setFov(int fov) {
    settings.fov = fov;
    fovSlider.label = fovLabel(fov);
}

void SettingsState::setDifficulty(int difficulty) {
    settings.difficulty = difficulty;
    difficultySlider.label = difficultyLabel(difficulty);
}

void SettingsState::setFullscreen(GLFWwindow* window, bool fullscreen) {
    GlfwDisplayModes windowDisplay(window);
    DisplayModes* target = display ? display : window ? &windowDisplay : nullptr;
    if (target) switchFullscreen(settings, *target, fullscreen);
    // The label tells what the button would do now, also when no monitor let the window switch.
    fullscreenButton.label = fullscreenLabel(settings.fullscreen);
}

void SettingsState::setCreatureVolume(int volume) {
    settings.creatureVolume = volume;
    setGroupVolume("creature", volume);
}

void SettingsState::setAmbienceVolume(int volume) {
    settings.ambienceVolume = volume;
    setGroupVolume("ambience", volume);
}

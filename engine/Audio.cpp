#include "engine/Audio.h"

#include "engine/JsonFile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <iterator>

namespace audio {

std::map<std::string, Sound> sounds;
std::map<std::string, SoundGroup> soundGroups;
std::vector<std::string> tracks;
float musicVolume = 1.0f;
Handle musicHandle = 0;
unsigned nextTrack = 0;

namespace {

bool decodeFile(const std::string& path, Sound& sound) {
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        const std::vector<unsigned char> image{std::istreambuf_iterator<char>(file),
                                               std::istreambuf_iterator<char>()};
        return sound.loadMem(image.data(), image.size());
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool loadSound(const std::string& name) {
    const auto [entry, inserted] = sounds.try_emplace(name);
    if (!inserted) return false;
    if (!decodeFile("assets/audio/" + name, entry->second)) {
        sounds.erase(entry);
        return false;
    }
    return true;
}

bool loadTrackList(const std::string& path) {
    nlohmann::json list;
    if (jsonfile::read(path, list, jsonfile::maxDataFileBytes) != jsonfile::ReadStatus::ok) {
        std::cout << "error: unable to load track list file \"" << path << "\"" << std::endl;
        return false;
    }
    if (!list.is_array()) {
        std::cout << "error: expected an array for track list" << std::endl;
        return false;
    }

    bool result = false;
    for (const auto& element : list) {
        if (!element.is_string()) {
            std::cout << "error: all track names must be strings" << std::endl;
            continue;
        }
        const std::string name = element.get<std::string>();
        const bool loaded = loadSound(name);
        if (!loaded) std::cout << "error: unable to load track \"" << name << "\"" << std::endl;
        // A track that failed keeps its place and is skipped when its turn comes.
        tracks.push_back(name);
        if (loaded) std::cout << "successfully loaded track \"" << name << "\"" << std::endl;
        result = true;
    }
    return result;
}

bool updateMusic() {
    if (isPlaying(musicHandle)) return true;
    if (tracks.empty()) return false;

    const size_t start = nextTrack < tracks.size() ? nextTrack : 0;
    size_t i = start;
    Handle voice = 0;
    while (true) {
        const auto sound = sounds.find(tracks[i]);
        if (sound != sounds.end()) voice = play(sound->second, musicVolume);
        if (voice != 0) break;
        i = (i + 1) % tracks.size();
        if (i == start) return false;  // nothing playable now; the next call tries again
    }
    musicHandle = voice;
    nextTrack = static_cast<unsigned>((i + 1) % tracks.size());
    setProtectVoice(voice, true);
    return true;
}

SoundGroup& getSoundGroup(const std::string& name) {
    const auto found = soundGroups.find(name);
    if (found != soundGroups.end()) return found->second;
    return soundGroups.emplace(name, SoundGroup{createVoiceGroup(), 1.0f}).first->second;
}

Handle playSound(const std::string& file, const std::string& groupName) {
    const auto sound = sounds.find(file);
    if (sound == sounds.end()) return 0;
    SoundGroup& group = getSoundGroup(groupName);
    const Handle voice = play(sound->second);
    setVolume(voice, group.volume);
    addVoiceToGroup(group.group, voice);
    return voice;
}

}  // namespace audio

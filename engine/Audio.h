#pragma once

#include "engine/AudioEngine.h"
#include "engine/AudioSound.h"

#include <map>
#include <string>
#include <vector>

// Sound effects loaded once by file name, named voice groups with their own volume, and the
// background music that plays the tracks of the list file one after the other.
namespace audio {

// Every loaded sound and track, by its name relative to "assets/audio/".
extern std::map<std::string, Sound> sounds;

struct SoundGroup {
    Handle group = 0;     // the engine's voice group
    float volume = 1.0f;  // 0..1, for sounds started from now on
};
extern std::map<std::string, SoundGroup> soundGroups;

// The music: track names in list order (also those that failed to load), the volume of tracks
// started from now on, the voice of the current track and the next track to try.
extern std::vector<std::string> tracks;
extern float musicVolume;
extern Handle musicHandle;
extern unsigned nextTrack;

// Loads "assets/audio/" + name under name; false when it is loaded already (the first stays),
// missing or undecodable.
bool loadSound(const std::string& name);
// Reads a JSON array of track names and loads every track; true when it held a name.
bool loadTrackList(const std::string& path);
// Starts the next playable track once the current one has ended; true while one plays.
bool updateMusic();
// The group of that name, created on the first request.
SoundGroup& getSoundGroup(const std::string& name);
// Plays a loaded sound in a group at the group's volume; nothing (handle 0) when it is not
// loaded or the engine does not run.
Handle playSound(const std::string& file, const std::string& groupName);

}  // namespace audio

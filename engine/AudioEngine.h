#pragma once

#include "engine/AudioSound.h"

#include <cstdint>

// The audio engine: one output device mixing on its own thread, voices that play sounds, voice
// groups that change the volume of their voices together, and a global volume. Every call comes
// from the main thread. While the engine is not running every play call does nothing and
// returns the handle 0; volumes and groups are still kept.
namespace audio {

// Names a playing voice or a voice group; 0 names nothing. A voice's handle stops being valid
// when the voice ends or is stopped.
using Handle = uint32_t;

// The most voices playing at once. When all are busy, a new voice takes the place of the
// oldest voice that is not protected.
constexpr int maxVoices = 32;

// Opens the default output device for 44100 Hz stereo; false when there is none.
bool startEngine();
// Stops every voice and closes the device. Groups and the global volume stay.
void shutdownEngine();
bool engineRunning();

// Starts a voice playing the sound at a volume (negative: the sound's own volume), centred.
Handle play(const Sound& sound, float volume = -1.0f);
bool isPlaying(Handle voice);
// The volume of a playing voice; 0 for a handle that names none.
float getVolume(Handle voice);
// Stops a voice, or every voice of a group.
void stop(Handle handle);
// Sets the volume of a voice, or of every voice of a group at once.
void setVolume(Handle handle, float volume);
// A protected voice is never ended to make room for another one.
void setProtectVoice(Handle voice, bool protect);

void setGlobalVolume(float volume);
float getGlobalVolume();

Handle createVoiceGroup();
bool isVoiceGroup(Handle handle);
void addVoiceToGroup(Handle group, Handle voice);

// Called by a Sound that goes away: frees its device copy if the engine that made it still runs.
void releaseBuffer(const Sound::DeviceBuffer& buffer);

}  // namespace audio

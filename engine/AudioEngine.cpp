#include "engine/AudioEngine.h"

#include "platform/Platform.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace audio {

namespace {

constexpr int sampleRate = 44100;
constexpr Handle groupBit = 0x80000000u;

struct Voice {
    Handle handle = 0;  // 0 once the voice was stopped
    ALuint source = 0;
    bool isProtected = false;
    uint64_t startOrder = 0;
};

// The generation of the running engine; 0 while none runs. A plain value so that sounds
// destroyed at exit can still ask it after the engine itself is gone.
constinit unsigned liveGeneration = 0;

class Engine {
public:
    ~Engine() { shutdown(); }

    bool start();
    void shutdown();
    bool running() const { return context != nullptr; }

    Handle play(const Sound& sound, float volume);
    bool isPlaying(Handle voice);
    float volumeOf(Handle voice);
    void stop(Handle handle);
    void setVolume(Handle handle, float volume);
    void setProtect(Handle voice, bool protect);
    void setGlobalVolume(float volume);
    float globalVolume() const { return globalGain; }
    Handle createGroup();
    void addToGroup(Handle group, Handle voice);
    void releaseBuffer(const Sound::DeviceBuffer& buffer);

    // Guards the voices against the stop of the music and the protect step.
    std::mutex lock;

private:
    ALuint bufferOf(const Sound& sound);
    Voice* findVoice(Handle handle);
    Voice* freeVoice();
    bool sourcePlaying(ALuint source) const;
    Handle newVoiceHandle();

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    unsigned generationCount = 0;
    std::vector<Voice> voices;
    std::vector<ALuint> buffers;
    std::map<Handle, std::vector<Handle>> groups;
    Handle lastVoiceHandle = 0;
    Handle lastGroup = 0;
    uint64_t playCount = 0;
    float globalGain = 1.0f;
};

bool Engine::start() {
    if (running()) return true;
    {
        // Probing for hardware that is absent makes the sound libraries write to standard
        // error; a missing device is not an error for the game.
        platform::MutedStderr muted;
        device = alcOpenDevice(nullptr);
        if (device) {
            const ALCint attributes[] = {ALC_FREQUENCY, sampleRate, ALC_HRTF_SOFT, ALC_FALSE, 0};
            context = alcCreateContext(device, attributes);
        }
    }
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        if (device) alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        return false;
    }
    alListenerf(AL_GAIN, globalGain);
    liveGeneration = ++generationCount;
    return true;
}

void Engine::shutdown() {
    if (!running()) return;
    for (const Voice& voice : voices) {
        alSourceStop(voice.source);
        alDeleteSources(1, &voice.source);
    }
    voices.clear();
    if (!buffers.empty()) alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    buffers.clear();
    for (auto& group : groups) group.second.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    liveGeneration = 0;
}

ALuint Engine::bufferOf(const Sound& sound) {
    Sound::DeviceBuffer& copy = sound.deviceBuffer;
    if (copy.name != 0 && copy.generation == liveGeneration) return copy.name;

    ALuint name = 0;
    alGetError();
    alGenBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR) return 0;
    const auto bytes = static_cast<ALsizei>(sound.samples().size() * sizeof(float));
    if (alIsExtensionPresent("AL_EXT_FLOAT32")) {
        const ALenum format = sound.channels() == 2 ? AL_FORMAT_STEREO_FLOAT32 : AL_FORMAT_MONO_FLOAT32;
        alBufferData(name, format, sound.samples().data(), bytes, sound.sampleRate());
    } else {
        std::vector<int16_t> pcm(sound.samples().size());
        std::transform(sound.samples().begin(), sound.samples().end(), pcm.begin(), [](float s) {
            return static_cast<int16_t>(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        });
        const ALenum format = sound.channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
        alBufferData(name, format, pcm.data(), static_cast<ALsizei>(pcm.size() * sizeof(int16_t)),
                     sound.sampleRate());
    }
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &name);
        return 0;
    }
    buffers.push_back(name);
    copy = {name, liveGeneration};
    return name;
}

void Engine::releaseBuffer(const Sound::DeviceBuffer& buffer) {
    if (!running() || buffer.name == 0 || buffer.generation != liveGeneration) return;
    const auto it = std::find(buffers.begin(), buffers.end(), buffer.name);
    if (it == buffers.end()) return;
    // A buffer still queued on a source cannot be deleted.
    for (Voice& voice : voices) {
        ALint attached = 0;
        alGetSourcei(voice.source, AL_BUFFER, &attached);
        if (static_cast<ALuint>(attached) != buffer.name) continue;
        alSourceStop(voice.source);
        alSourcei(voice.source, AL_BUFFER, 0);
        voice.handle = 0;
    }
    alDeleteBuffers(1, &buffer.name);
    buffers.erase(it);
}

bool Engine::sourcePlaying(ALuint source) const {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

Voice* Engine::findVoice(Handle handle) {
    if (handle == 0 || (handle & groupBit)) return nullptr;
    for (Voice& voice : voices)
        if (voice.handle == handle) return sourcePlaying(voice.source) ? &voice : nullptr;
    return nullptr;
}

Voice* Engine::freeVoice() {
    for (Voice& voice : voices)
        if (voice.handle == 0 || !sourcePlaying(voice.source)) return &voice;
    if (voices.size() < static_cast<size_t>(maxVoices)) {
        ALuint source = 0;
        alGetError();
        alGenSources(1, &source);
        if (alGetError() == AL_NO_ERROR) {
            voices.push_back(Voice{0, source, false, 0});
            return &voices.back();
        }
    }
    Voice* oldest = nullptr;
    for (Voice& voice : voices)
        if (!voice.isProtected && (!oldest || voice.startOrder < oldest->startOrder)) oldest = &voice;
    return oldest;
}

Handle Engine::newVoiceHandle() {
    lastVoiceHandle = (lastVoiceHandle + 1) & ~groupBit;
    if (lastVoiceHandle == 0) lastVoiceHandle = 1;
    return lastVoiceHandle;
}

Handle Engine::play(const Sound& sound, float volume) {
    if (!running() || sound.empty()) return 0;
    const ALuint buffer = bufferOf(sound);
    if (buffer == 0) return 0;
    Voice* voice = freeVoice();
    if (!voice) return 0;

    alSourceStop(voice->source);
    alSourcei(voice->source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcef(voice->source, AL_GAIN, std::max(volume < 0.0f ? sound.volume : volume, 0.0f));
    alSourcei(voice->source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(voice->source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(voice->source, AL_LOOPING, AL_FALSE);
    alSourcePlay(voice->source);

    voice->handle = newVoiceHandle();
    voice->isProtected = false;
    voice->startOrder = ++playCount;
    return voice->handle;
}

bool Engine::isPlaying(Handle voice) { return findVoice(voice) != nullptr; }

float Engine::volumeOf(Handle handle) {
    ALfloat gain = 0.0f;
    if (Voice* voice = findVoice(handle)) alGetSourcef(voice->source, AL_GAIN, &gain);
    return gain;
}

void Engine::stop(Handle handle) {
    if (isVoiceGroup(handle)) {
        const auto group = groups.find(handle);
        if (group == groups.end()) return;
        for (Handle member : group->second) stop(member);
        group->second.clear();
        return;
    }
    if (Voice* voice = findVoice(handle)) {
        alSourceStop(voice->source);
        voice->handle = 0;
        voice->isProtected = false;
    }
}

void Engine::setVolume(Handle handle, float volume) {
    volume = std::max(volume, 0.0f);
    if (isVoiceGroup(handle)) {
        const auto group = groups.find(handle);
        if (group == groups.end()) return;
        for (Handle member : group->second) setVolume(member, volume);
        return;
    }
    if (Voice* voice = findVoice(handle)) alSourcef(voice->source, AL_GAIN, volume);
}

void Engine::setProtect(Handle handle, bool protect) {
    if (Voice* voice = findVoice(handle)) voice->isProtected = protect;
}

void Engine::setGlobalVolume(float volume) {
    globalGain = std::max(volume, 0.0f);
    if (running()) alListenerf(AL_GAIN, globalGain);
}

Handle Engine::createGroup() {
    const Handle group = groupBit | ++lastGroup;
    groups[group];
    return group;
}

void Engine::addToGroup(Handle group, Handle handle) {
    const auto it = groups.find(group);
    if (it == groups.end() || !findVoice(handle)) return;
    // Voices that have ended leave the group here, so it does not grow without end.
    std::erase_if(it->second, [this](Handle member) { return !findVoice(member); });
    it->second.push_back(handle);
}

Engine engine;

}  // namespace

bool startEngine() {
    std::lock_guard guard(engine.lock);
    return engine.start();
}

void shutdownEngine() {
    std::lock_guard guard(engine.lock);
    engine.shutdown();
}

bool engineRunning() {
    std::lock_guard guard(engine.lock);
    return engine.running();
}

Handle play(const Sound& sound, float volume) {
    std::lock_guard guard(engine.lock);
    return engine.play(sound, volume);
}

bool isPlaying(Handle voice) {
    std::lock_guard guard(engine.lock);
    return engine.isPlaying(voice);
}

float getVolume(Handle voice) {
    std::lock_guard guard(engine.lock);
    return engine.volumeOf(voice);
}

void stop(Handle handle) {
    std::lock_guard guard(engine.lock);
    engine.stop(handle);
}

void setVolume(Handle handle, float volume) {
    std::lock_guard guard(engine.lock);
    engine.setVolume(handle, volume);
}

void setProtectVoice(Handle voice, bool protect) {
    std::lock_guard guard(engine.lock);
    engine.setProtect(voice, protect);
}

void setGlobalVolume(float volume) {
    std::lock_guard guard(engine.lock);
    engine.setGlobalVolume(volume);
}

float getGlobalVolume() {
    std::lock_guard guard(engine.lock);
    return engine.globalVolume();
}

Handle createVoiceGroup() {
    std::lock_guard guard(engine.lock);
    return engine.createGroup();
}

bool isVoiceGroup(Handle handle) { return (handle & groupBit) != 0; }

void addVoiceToGroup(Handle group, Handle voice) {
    std::lock_guard guard(engine.lock);
    engine.addToGroup(group, voice);
}

void releaseBuffer(const Sound::DeviceBuffer& buffer) {
    // The engine may be gone already when sounds are destroyed at exit.
    if (buffer.name == 0 || buffer.generation != liveGeneration) return;
    std::lock_guard guard(engine.lock);
    engine.releaseBuffer(buffer);
}

}  // namespace audio

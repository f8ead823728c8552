#pragma once

#include <cstddef>
#include <vector>

namespace audio {

// A sound decoded once into memory from a file image (WAV, Ogg Vorbis, FLAC, MP3: whatever
// libsndfile reads). The audio engine uploads it to the device on its first play.
class Sound {
public:
    Sound() = default;
    ~Sound();
    Sound(Sound&& other) noexcept;
    Sound& operator=(Sound&& other) noexcept;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Decodes a whole file held in memory; false (and the sound left empty) when it cannot.
    bool loadMem(const unsigned char* data, size_t size);

    bool empty() const { return samples_.empty(); }
    int channels() const { return channels_; }  // 1 or 2
    int sampleRate() const { return sampleRate_; }
    size_t frameCount() const { return channels_ ? samples_.size() / channels_ : 0; }
    double duration() const { return sampleRate_ ? double(frameCount()) / sampleRate_ : 0.0; }
    // Interleaved samples in -1..1.
    const std::vector<float>& samples() const { return samples_; }

    // The volume of a voice started with the default volume.
    float volume = 1.0f;

    // The device's copy, owned by the audio engine; valid only while the engine that made it
    // runs (a restarted engine has a new generation).
    struct DeviceBuffer {
        unsigned name = 0;
        unsigned generation = 0;
    };
    mutable DeviceBuffer deviceBuffer;

private:
    void releaseDeviceBuffer();

    std::vector<float> samples_;
    int channels_ = 0;
    int sampleRate_ = 0;
};

}  // namespace audio

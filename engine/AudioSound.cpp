#include "engine/AudioSound.h"

#include "engine/AudioEngine.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace audio {

namespace {

// libsndfile reads the file image through these callbacks.
struct MemoryFile {
    const unsigned char* data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t memoryLength(void* user) { return static_cast<MemoryFile*>(user)->size; }

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    sf_count_t target = offset;
    if (whence == SEEK_CUR) target = file->position + offset;
    else if (whence == SEEK_END) target = file->size + offset;
    file->position = std::clamp<sf_count_t>(target, 0, file->size);
    return file->position;
}

sf_count_t memoryRead(void* out, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(file->size - file->position, 0, count);
    std::memcpy(out, file->data + file->position, static_cast<size_t>(n));
    file->position += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memoryTell(void* user) { return static_cast<MemoryFile*>(user)->position; }

}  // namespace

Sound::~Sound() { releaseDeviceBuffer(); }

Sound::Sound(Sound&& other) noexcept
    : volume(other.volume), deviceBuffer(std::exchange(other.deviceBuffer, {})),
      samples_(std::move(other.samples_)), channels_(std::exchange(other.channels_, 0)),
      sampleRate_(std::exchange(other.sampleRate_, 0)) {}

Sound& Sound::operator=(Sound&& other) noexcept {
    if (this != &other) {
        releaseDeviceBuffer();
        volume = other.volume;
        deviceBuffer = std::exchange(other.deviceBuffer, {});
        samples_ = std::move(other.samples_);
        channels_ = std::exchange(other.channels_, 0);
        sampleRate_ = std::exchange(other.sampleRate_, 0);
    }
    return *this;
}

void Sound::releaseDeviceBuffer() {
    releaseBuffer(deviceBuffer);
    deviceBuffer = {};
}

bool Sound::loadMem(const unsigned char* data, size_t size) {
    releaseDeviceBuffer();
    samples_.clear();
    channels_ = sampleRate_ = 0;

    MemoryFile memory{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) return false;
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        return false;
    }

    // The device takes mono or stereo; of more channels the first two are kept.
    const int kept = std::min(info.channels, 2);
    constexpr sf_count_t chunkFrames = 4096;
    std::vector<float> chunk(static_cast<size_t>(chunkFrames * info.channels));
    std::vector<float> decoded;
    sf_count_t read = 0;
    while ((read = sf_readf_float(file, chunk.data(), chunkFrames)) > 0) {
        for (sf_count_t frame = 0; frame < read; ++frame)
            for (int c = 0; c < kept; ++c)
                decoded.push_back(chunk[static_cast<size_t>(frame * info.channels + c)]);
    }
    const bool failed = sf_error(file) != SF_ERR_NO_ERROR;
    sf_close(file);
    if (failed) return false;

    samples_ = std::move(decoded);
    channels_ = kept;
    sampleRate_ = info.samplerate;
    return true;
}

}  // namespace audio

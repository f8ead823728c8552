// Synthesises the game's sound effects into assets/audio/ as 16-bit mono WAV files:
//  - "spider_hurt_1.wav" .. "spider_hurt_3.wav": short chittering squeals, one pitch each.
//  - "spider_death.wav": a longer squeal that sinks and rattles out.
//  - "player_death_2.wav": a low falling drone under a fading chime.
// Everything is computed from fixed formulas and a fixed-seed generator.

#include "tools/Canvas.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr double twoPi = 6.283185307179586;

bool writeWav(const std::string& path, const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::printf("error: unable to write %s\n", path.c_str());
        return false;
    }
    sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return true;
}

// Attack-release envelope over a sound of `length` seconds.
float envelope(double t, double attack, double length) {
    if (t < attack) return float(t / attack);
    return float(std::max(0.0, 1.0 - (t - attack) / (length - attack)));
}

// Peaks at 0.8 so that no sample clips.
void normalise(std::vector<float>& samples) {
    float peak = 0.0f;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    if (peak > 0.0f)
        for (float& s : samples) s *= 0.8f / peak;
}

std::vector<float> squeal(double length, double pitch, double sink, uint32_t seed) {
    std::vector<float> out(size_t(length * rate));
    ToolRng rng(seed);
    double phase = 0.0, chirp = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / rate;
        // The pitch sinks over the sound and wobbles fast, like a chitter.
        double f = pitch * (1.0 - sink * t / length) * (1.0 + 0.08 * std::sin(twoPi * 38.0 * t));
        phase += twoPi * f / rate;
        chirp += twoPi * 23.0 / rate;
        double tone = std::sin(phase) + 0.35 * std::sin(2.0 * phase + 0.3) + 0.2 * std::sin(3.0 * phase);
        double clicks = std::sin(chirp) > 0.6 ? (rng.unit() * 2 - 1) * 0.5 : 0.0;
        out[i] = float((tone * 0.7 + clicks) * envelope(t, 0.01, length));
    }
    normalise(out);
    return out;
}

std::vector<float> playerDeath() {
    const double length = 1.6;
    std::vector<float> out(size_t(length * rate));
    double low = 0.0, bell = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / rate;
        low += twoPi * (110.0 * std::exp(-0.6 * t)) / rate;
        bell += twoPi * 660.0 / rate;
        double drone = std::sin(low) + 0.5 * std::sin(2.0 * low) + 0.25 * std::sin(3.0 * low);
        double chime = std::sin(bell) * std::exp(-3.0 * t) * 0.5;
        out[i] = float((drone * envelope(t, 0.05, length) + chime));
    }
    normalise(out);
    return out;
}

}  // namespace

int main() {
    const std::string dir = "assets/audio/";
    bool ok = writeWav(dir + "spider_hurt_1.wav", squeal(0.30, 880.0, 0.3, 11)) &&
              writeWav(dir + "spider_hurt_2.wav", squeal(0.25, 1040.0, 0.35, 12)) &&
              writeWav(dir + "spider_hurt_3.wav", squeal(0.35, 760.0, 0.25, 13)) &&
              writeWav(dir + "spider_death.wav", squeal(0.9, 700.0, 0.7, 14)) &&
              writeWav(dir + "player_death_2.wav", playerDeath());
    if (ok) std::printf("wrote the sound effects\n");
    return ok ? 0 : 1;
}

// Writes the game's background music: a calm eight-bar loop in A minor / C major
// (Am - F - C - G, twice, the melody varied the second time), synthesised from plain formulas
// so every run writes the same file. Usage: gen_music [output.ogg]

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr double beatsPerMinute = 96.0;
constexpr double beat = 60.0 / beatsPerMinute;
constexpr int beatsPerBar = 4;
constexpr int bars = 8;
constexpr double twoPi = 6.283185307179586;

double frequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

struct Chord {
    int bass;
    int pad[3];
    int arpeggio[4];
};

// vi - IV - I - V in C major.
const Chord progression[4] = {
    {45, {57, 60, 64}, {69, 72, 76, 81}},  // A minor
    {41, {53, 57, 60}, {65, 69, 72, 77}},  // F major
    {48, {55, 60, 64}, {67, 72, 76, 79}},  // C major
    {43, {55, 59, 62}, {67, 71, 74, 79}},  // G major
};

struct Note {
    int bar;
    double start;     // beats into the bar
    double duration;  // beats
    int pitch;
};

const Note melody[] = {
    {0, 0, 1.5, 76}, {0, 1.5, 0.5, 74}, {0, 2, 1, 72}, {0, 3, 1, 69},
    {1, 0, 1, 72},   {1, 1, 1, 69},     {1, 2, 2, 72},
    {2, 0, 1, 76},   {2, 1, 1, 79},     {2, 2, 1, 76}, {2, 3, 1, 74},
    {3, 0, 2, 74},   {3, 2, 1, 71},     {3, 3, 1, 74},
    {4, 0, 1.5, 81}, {4, 1.5, 0.5, 79}, {4, 2, 2, 76},
    {5, 0, 1, 77},   {5, 1, 1, 76},     {5, 2, 2, 72},
    {6, 0, 0.5, 76}, {6, 0.5, 0.5, 79}, {6, 1, 2, 84}, {6, 3, 1, 79},
    {7, 0, 1, 74},   {7, 1, 1, 71},     {7, 2, 2, 74},
};

// The loop: a note that rings past the end continues at the start, so the loop is seamless.
class Loop {
public:
    explicit Loop(double seconds) : samples(static_cast<size_t>(seconds * sampleRate), 0.0) {}

    template <typename Voice>
    void add(double startSeconds, double lengthSeconds, Voice voice) {
        const auto first = static_cast<size_t>(startSeconds * sampleRate);
        const auto count = static_cast<size_t>(lengthSeconds * sampleRate);
        for (size_t i = 0; i < count; ++i)
            samples[(first + i) % samples.size()] += voice(double(i) / sampleRate);
    }

    std::vector<double> samples;
};

double attack(double t, double seconds) { return t < seconds ? t / seconds : 1.0; }

// Fades the last moments of a note to silence, so it never ends with a click.
double release(double t, double length, double seconds) {
    return t > length - seconds ? std::max(0.0, (length - t) / seconds) : 1.0;
}

// A soft, slowly swelling chord tone of two slightly detuned partials.
auto padVoice(double f, double length) {
    return [f, length](double t) {
        const double tone = 0.5 * (std::sin(twoPi * f * 1.002 * t) + std::sin(twoPi * f * 0.998 * t)) +
                            0.15 * std::sin(twoPi * 2 * f * t);
        return 0.07 * tone * attack(t, 0.6) * release(t, length, 0.8);
    };
}

// A plucked string: higher partials die away sooner.
auto pluckVoice(double f, double length) {
    return [f, length](double t) {
        double tone = 0.0;
        for (int k = 1; k <= 5; ++k)
            tone += std::sin(twoPi * k * f * t) / std::pow(k, 1.5) * std::exp(-t * 2.2 * k);
        return 0.11 * tone * attack(t, 0.004) * release(t, length, 0.05);
    };
}

auto bassVoice(double f, double length) {
    return [f, length](double t) {
        const double tone = std::sin(twoPi * f * t) + 0.25 * std::sin(twoPi * 2 * f * t);
        return 0.22 * tone * std::exp(-t * 0.9) * attack(t, 0.015) * release(t, length, 0.08);
    };
}

// A soft bell with a little vibrato for the melody.
auto bellVoice(double f, double length) {
    return [f, length](double t) {
        const double wobble = 1.0 + 0.003 * std::sin(twoPi * 5.0 * t) * std::min(t / 0.4, 1.0);
        const double phase = twoPi * f * wobble * t;
        const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) * std::exp(-t * 3.0) +
                            0.08 * std::sin(3 * phase) * std::exp(-t * 6.0);
        return 0.2 * tone * std::exp(-t * 1.1) * attack(t, 0.01) * release(t, length, 0.15);
    };
}

// A gentle echo, run twice round the loop so its tail at the end also sounds at the start.
void addEcho(std::vector<double>& samples, double delaySeconds, double feedback, double mix) {
    const auto delay = static_cast<size_t>(delaySeconds * sampleRate);
    const size_t n = samples.size();
    std::vector<double> echo(n, 0.0);
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            const size_t from = (i + n - delay) % n;
            echo[i] = feedback * (samples[from] + echo[from]);
        }
    for (size_t i = 0; i < n; ++i) samples[i] += mix * echo[i];
}

uint32_t oggCrc(const std::vector<uint8_t>& bytes, size_t begin, size_t end) {
    uint32_t crc = 0;
    for (size_t i = begin; i < end; ++i) {
        crc ^= uint32_t(bytes[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// The encoder picks a random stream serial number; a fixed one (with each page's checksum
// recomputed) makes the file the same on every run.
bool fixOggSerial(const std::string& path, uint32_t serial) {
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    size_t page = 0;
    while (page + 27 <= bytes.size()) {
        if (bytes[page] != 'O' || bytes[page + 1] != 'g' || bytes[page + 2] != 'g' || bytes[page + 3] != 'S')
            return false;
        const size_t segments = bytes[page + 26];
        size_t length = 27 + segments;
        if (page + length > bytes.size()) return false;
        for (size_t s = 0; s < segments; ++s) length += bytes[page + 27 + s];
        if (page + length > bytes.size()) return false;
        for (int i = 0; i < 4; ++i) {
            bytes[page + 14 + i] = uint8_t(serial >> (8 * i));
            bytes[page + 22 + i] = 0;
        }
        const uint32_t crc = oggCrc(bytes, page, page + length);
        for (int i = 0; i < 4; ++i) bytes[page + 22 + i] = uint8_t(crc >> (8 * i));
        page += length;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return page == bytes.size() && bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "assets/audio/hollowmere_theme.ogg";
    const double barSeconds = beat * beatsPerBar;
    Loop loop(barSeconds * bars);

    for (int bar = 0; bar < bars; ++bar) {
        const Chord& chord = progression[bar % 4];
        const double barStart = bar * barSeconds;
        for (int pitch : chord.pad) loop.add(barStart, barSeconds + 0.8, padVoice(frequency(pitch), barSeconds + 0.8));
        for (int half = 0; half < 2; ++half)
            loop.add(barStart + half * 2 * beat, 2 * beat, bassVoice(frequency(chord.bass), 2 * beat));
        static const int pattern[8] = {0, 1, 2, 1, 3, 2, 1, 2};
        for (int step = 0; step < 8; ++step)
            loop.add(barStart + step * beat / 2, 1.2, pluckVoice(frequency(chord.arpeggio[pattern[step]]), 1.2));
    }
    for (const Note& note : melody) {
        const double length = note.duration * beat + 0.6;
        loop.add(note.bar * barSeconds + note.start * beat, length, bellVoice(frequency(note.pitch), length));
    }
    addEcho(loop.samples, beat * 0.75, 0.35, 0.6);

    double peak = 0.0;
    for (double s : loop.samples) peak = std::max(peak, std::abs(s));
    std::vector<float> out(loop.samples.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(loop.samples[i] * 0.8 / peak);

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::printf("error: unable to write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return 1;
    }
    double quality = 0.3;
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    sf_writef_float(file, out.data(), static_cast<sf_count_t>(out.size()));
    sf_close(file);
    if (!fixOggSerial(path, 0x486d6d31u)) {
        std::printf("error: unexpected Ogg layout in %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s (%.1f s)\n", path.c_str(), out.size() / double(sampleRate));
    return 0;
}

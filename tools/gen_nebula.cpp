// Draws assets/textures/nebula.jpg (256 x 256): a violet and blue cloud of gas over a few stars,
// from value noise on a fixed seed. The intro screen decodes it ahead with the other images.

#include "tools/Canvas.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int size = 256;

// Smoothly interpolated random values on a square lattice that wraps around the image.
class ValueNoise {
public:
    ValueNoise(int cells, uint32_t seed) : cells(cells), values(size_t(cells) * cells) {
        ToolRng rng(seed);
        for (float& v : values) v = rng.unit();
    }
    float at(float x, float y) const {
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const float fx = smooth(x - x0), fy = smooth(y - y0);
        const float top = mix(cell(x0, y0), cell(x0 + 1, y0), fx);
        const float bottom = mix(cell(x0, y0 + 1), cell(x0 + 1, y0 + 1), fx);
        return mix(top, bottom, fy);
    }

private:
    int cells;
    std::vector<float> values;
    float cell(int x, int y) const {
        x = ((x % cells) + cells) % cells;
        y = ((y % cells) + cells) % cells;
        return values[size_t(y) * cells + x];
    }
    static float smooth(float t) { return t * t * (3 - 2 * t); }
    static float mix(float a, float b, float t) { return a + (b - a) * t; }
};

// Five octaves, 0 to 1.
float clouds(const std::vector<ValueNoise>& octaves, float x, float y) {
    float sum = 0, weight = 0.5f, total = 0;
    for (const ValueNoise& octave : octaves) {
        sum += octave.at(x, y) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "assets/textures/nebula.jpg";
    std::vector<ValueNoise> gas, tint;
    for (int i = 0; i < 5; ++i) {
        gas.emplace_back(4 << i, 0x6e65u + i);
        tint.emplace_back(4 << i, 0x7417u + i);
    }
    std::vector<uint8_t> rgb(size_t(size) * size * 3);
    ToolRng stars(0x57a5);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / size * 4, v = float(y) / size * 4;
            const float density = std::pow(std::max(clouds(gas, u, v) - 0.35f, 0.0f) / 0.65f, 1.6f);
            const float hue = clouds(tint, u + 7.3f, v + 1.9f);
            float r = 10 + density * (120 + 120 * hue);
            float g = 6 + density * (40 + 60 * (1 - hue));
            float b = 24 + density * (200 - 40 * hue);
            if (stars.next() % 211 == 0) {
                const float shine = 150 + 105 * stars.unit();
                r = std::max(r, shine), g = std::max(g, shine), b = std::max(b, shine);
            }
            uint8_t* p = &rgb[(size_t(y) * size + x) * 3];
            p[0] = clampByte(r), p[1] = clampByte(g), p[2] = clampByte(b);
        }
    if (!stbi_write_jpg(path.c_str(), size, size, 3, rgb.data(), 90)) {
        std::printf("error: unable to write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    return 0;
}

#pragma once

// A small RGBA pixel canvas for the asset generators, written out with stb_image_write.
// Generators must be deterministic: draw only from fixed seeds and formulas.

#include <stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height), pixels(size_t(width) * height) {}

    void set(int x, int y, Rgba c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = c;
    }
    Rgba get(int x, int y) const { return pixels[size_t(y) * width + x]; }
    void fillRect(int x, int y, int w, int h, Rgba c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j, c);
    }
    bool savePng(const std::string& path) const {
        if (!stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4)) {
            std::printf("error: unable to write %s\n", path.c_str());
            return false;
        }
        return true;
    }

    int width, height;
    std::vector<Rgba> pixels;
};

// A deterministic 32-bit generator (xorshift), so images do not depend on the C library.
struct ToolRng {
    uint32_t state;
    explicit ToolRng(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float unit() { return (next() >> 8) * (1.0f / 16777216.0f); }
};

inline uint8_t clampByte(float v) { return uint8_t(std::clamp(v, 0.0f, 255.0f)); }

// Whether (x, y) lies inside the axis-aligned ellipse about (cx, cy) with radii rx and ry.
inline bool inEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    const float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0f;
}

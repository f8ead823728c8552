// Draws the game screen's overlay images into assets/textures/:
//  - "crosshair.png" (16 x 16): a white cross with a dark rim, readable on sky and on stone.
//  - "health.png" (64 x 48): the health vial. The left half (x 0..31) is the red fill, shaped
//    like the vial's inside; the HUD shows its bottom rows as health rises. The right half
//    (x 32..63) is the glass frame, drawn over the fill at the same place.
//  - "targetBlock.png" (128 x 256): the target-block overlay, a row of 8 crack stages. Each
//    stage is a small 3D texture of 16 x 16 x 16 texels: its 16 layers are the 16 tile rows
//    of the stage's column. Stage 0 is only the rim of the cell; later stages add cracks.

#include "tools/Canvas.h"

#include <cmath>
#include <cstdio>

namespace {

// --- crosshair --------------------------------------------------------------------------

void drawCrosshair(const std::string& path) {
    Canvas c(16, 16);
    auto inCross = [](int x, int y) {
        bool vertical = (x == 7 || x == 8) && y >= 2 && y <= 13;
        bool horizontal = (y == 7 || y == 8) && x >= 2 && x <= 13;
        return vertical || horizontal;
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (inCross(x, y)) {
                c.set(x, y, {255, 255, 255, 255});
                continue;
            }
            bool rim = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) rim = rim || inCross(x + dx, y + dy);
            c.set(x, y, rim ? Rgba{20, 20, 28, 200} : Rgba{0, 0, 0, 0});
        }
    c.savePng(path);
}

// --- health vial --------------------------------------------------------------------------

// Inside of the vial in a 32 x 48 half: a round belly at the bottom and a neck at the top.
bool insideVial(int x, int y) {
    float cx = 15.5f;
    if (y >= 4 && y < 14) return std::fabs(x - cx) <= 4.5f;  // neck
    if (y >= 14 && y <= 44) {
        // Shoulders widen into the belly.
        float halfWidth = y < 20 ? 4.5f + (y - 14) * 1.7f : 14.0f;
        if (y > 38) halfWidth = 14.0f - (y - 38) * 1.4f;
        return std::fabs(x - cx) <= halfWidth;
    }
    return false;
}

bool nearVial(int x, int y, int distance) {
    for (int dy = -distance; dy <= distance; ++dy)
        for (int dx = -distance; dx <= distance; ++dx)
            if (insideVial(x + dx, y + dy)) return true;
    return false;
}

void drawHealth(const std::string& path) {
    Canvas c(64, 48);
    c.fillRect(0, 0, 64, 48, {0, 0, 0, 0});  // a new canvas is opaque black
    ToolRng rng(0x4ea1);
    // Fill: deep red liquid, brighter near the top of the liquid, with a few bubbles.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 32; ++x) {
            if (!insideVial(x, y)) continue;
            float shade = 0.75f + 0.25f * (1.0f - y / 48.0f);
            float grain = rng.unit() * 0.12f;
            c.set(x, y, {clampByte(230 * (shade + grain)), clampByte(25 + 30 * grain), clampByte(40 + 40 * grain), 255});
        }
    const int bubbles[][3] = {{11, 36, 2}, {19, 30, 1}, {14, 24, 1}, {21, 40, 1}, {9, 28, 1}};
    for (const auto& b : bubbles)
        for (int dy = -b[2]; dy <= b[2]; ++dy)
            for (int dx = -b[2]; dx <= b[2]; ++dx)
                if (dx * dx + dy * dy <= b[2] * b[2] && insideVial(b[0] + dx, b[1] + dy))
                    c.set(b[0] + dx, b[1] + dy, {255, 140, 150, 255});

    // Frame: a dark rim around the inside, a cork, and a glint on the glass.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 32; ++x) {
            if (insideVial(x, y)) {
                bool glint = (x == 8 || x == 9) && y >= 22 && y <= 34;
                if (glint) c.set(32 + x, y, {255, 255, 255, 150});
                continue;
            }
            if (nearVial(x, y, 1)) c.set(32 + x, y, {30, 20, 40, 255});
            else if (nearVial(x, y, 2)) c.set(32 + x, y, {200, 200, 230, 180});
        }
    for (int y = 0; y < 5; ++y)
        for (int x = 11; x <= 20; ++x) c.set(32 + x, y, {120, 80, 45, 255});
    c.savePng(path);
}

// --- target block -------------------------------------------------------------------------

uint32_t hash3(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du ^ uint32_t(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x297A2D39u ^ uint32_t(z) * 0x27D4EB2Fu;
    return h ^ (h >> 16);
}

// Value noise in -1..1 over a lattice of `cell` texels.
float noise3(float x, float y, float z, float cell, uint32_t seed) {
    x /= cell, y /= cell, z /= cell;
    int ix = int(std::floor(x)), iy = int(std::floor(y)), iz = int(std::floor(z));
    auto s = [](float t) { return t * t * (3 - 2 * t); };
    float fx = s(x - ix), fy = s(y - iy), fz = s(z - iz);
    auto v = [&](int dx, int dy, int dz) {
        return float(hash3(ix + dx, iy + dy, iz + dz, seed) >> 8) / 8388608.0f - 1.0f;
    };
    auto mix = [](float a, float b, float t) { return a + (b - a) * t; };
    return mix(mix(mix(v(0, 0, 0), v(1, 0, 0), fx), mix(v(0, 1, 0), v(1, 1, 0), fx), fy),
               mix(mix(v(0, 0, 1), v(1, 0, 1), fx), mix(v(0, 1, 1), v(1, 1, 1), fx), fy), fz);
}

void drawTargetBlock(const std::string& path) {
    constexpr int tile = 16, stages = 8;
    Canvas c(tile * stages, tile * tile);
    for (int stage = 0; stage < stages; ++stage)
        for (int layer = 0; layer < tile; ++layer)
            for (int y = 0; y < tile; ++y)
                for (int x = 0; x < tile; ++x) {
                    Rgba texel{0, 0, 0, 0};
                    // Cracks are thin sheets where the noise passes zero, so every slice
                    // through the cell shows them as lines; they widen stage by stage.
                    float n = noise3(x + 0.5f, y + 0.5f, layer + 0.5f, 6.0f, 77) +
                              0.5f * noise3(x + 0.5f, y + 0.5f, layer + 0.5f, 3.0f, 78);
                    if (stage > 0 && std::fabs(n) < 0.035f * stage) texel = {25, 22, 20, 215};
                    // The rim outlines the cell in every stage.
                    bool rim = x == 0 || y == 0 || x == tile - 1 || y == tile - 1;
                    if (rim) texel = {10, 10, 14, 170};
                    c.set(stage * tile + x, layer * tile + y, texel);
                }
    c.savePng(path);
}

}  // namespace

int main() {
    const std::string dir = "assets/textures/";
    drawCrosshair(dir + "crosshair.png");
    drawHealth(dir + "health.png");
    drawTargetBlock(dir + "targetBlock.png");
    std::printf("wrote crosshair.png, health.png and targetBlock.png\n");
    return 0;
}

// Draws the sky's images into assets/textures/:
//  - "sun.png" and "moon.png" (64 x 64): round faces. The sphere that carries them maps its
//    surface onto the disc inscribed in the image, so only that disc is seen.
//  - "skybox.png" (256 x 192): the sky box's cross of 4 x 3 cells of 64 texels (top in
//    column 1 of row 0, the four sides in row 1, the bottom in column 1 of row 2). The sky's
//    colour is the clear colour of the time of day, so the box is mostly clear: it adds a haze
//    along the horizon and darkens what lies below it.

#include "tools/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int faceSize = 64;

void drawSun(const std::string& path) {
    Canvas c(faceSize, faceSize);
    ToolRng rng(0x5a11);
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x) {
            float dx = (x + 0.5f) / faceSize * 2 - 1, dy = (y + 0.5f) / faceSize * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float glow = 1.0f - std::min(r, 1.0f);
            float flicker = rng.unit() * 0.06f;
            c.set(x, y, {255, clampByte(200 + 55 * glow - 30 * flicker), clampByte(90 + 140 * glow * glow), 255});
        }
    c.savePng(path);
}

void drawMoon(const std::string& path) {
    Canvas c(faceSize, faceSize);
    ToolRng rng(0x3007);
    struct Crater {
        float x, y, r;
    };
    Crater craters[9];
    for (Crater& crater : craters)
        crater = {8 + rng.unit() * 48, 8 + rng.unit() * 48, 3 + rng.unit() * 7};
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x) {
            float grey = 200 + rng.unit() * 18;
            for (const Crater& crater : craters) {
                float d = std::hypot(x + 0.5f - crater.x, y + 0.5f - crater.y);
                if (d < crater.r) grey -= 45 * (1 - d / crater.r) + 15;
                else if (d < crater.r + 1.5f) grey += 20;  // the bright lip
            }
            c.set(x, y, {clampByte(grey), clampByte(grey), clampByte(grey + 12), 255});
        }
    c.savePng(path);
}

// Side cells: v runs 0 (45 degrees up) to 1 (45 degrees down), the horizon at 0.5.
Rgba sideTexel(float v) {
    if (v < 0.5f) {
        // Haze only in the lowest part of the sky, so the sky's own colour shows above it.
        float t = std::clamp((v - 0.38f) / 0.12f, 0.0f, 1.0f);
        return {235, 240, 255, clampByte(90 * t * t)};
    }
    float t = std::clamp((v - 0.5f) / 0.2f, 0.0f, 1.0f);
    return {40, 48, 70, clampByte(90 + 80 * t)};
}

void drawSkybox(const std::string& path) {
    Canvas c(4 * faceSize, 3 * faceSize);
    for (int y = 0; y < faceSize; ++y)
        for (int x = 0; x < faceSize; ++x) {
            float v = (y + 0.5f) / faceSize;
            Rgba side = sideTexel(v);
            for (int column = 0; column < 4; ++column) c.set(column * faceSize + x, faceSize + y, side);
            // Above: clear. Below: the darkened ground haze.
            c.set(faceSize + x, y, {0, 0, 0, 0});
            c.set(faceSize + x, 2 * faceSize + y, {40, 48, 70, 170});
        }
    c.savePng(path);
}

}  // namespace

int main() {
    const std::string dir = "assets/textures/";
    drawSun(dir + "sun.png");
    drawMoon(dir + "moon.png");
    drawSkybox(dir + "skybox.png");
    std::printf("wrote sun.png, moon.png and skybox.png\n");
    return 0;
}

// Draws "assets/textures/death.png" (256 x 256) for the death screen: a pixel-art skull with one
// magenta and one cyan eye, on a clear background. The skull fills the square of texels
// (64, 25) to (192, 153), the part of the image from which the screen's glitches cut their
// slices, in cells of 4 x 4 texels.

#include "tools/Canvas.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int imageSize = 256;
constexpr int motifLeft = 64, motifTop = 25, cell = 4, cells = 32;

enum class Part { none, bone, socket, magentaEye, cyanEye, nose, crack, gap };

// What the cell at (gx, gy) of the 32 x 32 grid shows.
Part partAt(int gx, int gy) {
    const float x = gx + 0.5f, y = gy + 0.5f;
    // The eyes: a bright core in each socket.
    if (inEllipse(x, y, 10.5f, 15.0f, 1.3f, 1.3f)) return Part::magentaEye;
    if (inEllipse(x, y, 21.5f, 15.0f, 1.3f, 1.3f)) return Part::cyanEye;
    if (inEllipse(x, y, 10.5f, 15.0f, 3.6f, 3.1f) || inEllipse(x, y, 21.5f, 15.0f, 3.6f, 3.1f))
        return Part::socket;
    // The nose: an upturned notch.
    if (gy >= 20 && gy <= 22 && std::fabs(x - 16.0f) <= (gy - 19) * 0.75f) return Part::nose;
    // A crack from the crown down to the left socket.
    static const int crack[][2] = {{13, 2}, {13, 3}, {12, 4}, {12, 5}, {13, 6},
                                   {12, 7}, {11, 8}, {11, 9}, {10, 10}};
    for (const auto& c : crack)
        if (gx == c[0] && gy == c[1]) return Part::crack;

    const bool cranium = inEllipse(x, y, 16.0f, 13.0f, 13.0f, 11.5f) && gy <= 22;
    // The jaw narrows downwards; the teeth stand in its upper rows, split by gaps.
    const float jawHalfWidth = 9.0f - std::max(0, gy - 24) * 0.6f;
    const bool jaw = gy >= 20 && gy <= 29 && std::fabs(x - 16.0f) <= jawHalfWidth;
    if (!cranium && !jaw) return Part::none;
    if (gy >= 24 && gy <= 26 && std::fabs(x - 16.0f) <= 6.0f && gx % 2 == 1) return Part::gap;
    if (gy == 23 && std::fabs(x - 16.0f) <= 7.0f) return Part::gap;  // between the rows of teeth
    return Part::bone;
}

bool solid(int gx, int gy) {
    if (gx < 0 || gy < 0 || gx >= cells || gy >= cells) return false;
    return partAt(gx, gy) != Part::none;
}

Rgba colourOf(Part part, int gx, int gy, ToolRng& rng) {
    const float grain = rng.unit() * 14.0f;
    switch (part) {
    case Part::bone: {
        // Lit from the upper left; the rim darkens towards the outline.
        bool rim = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) rim = rim || !solid(gx + dx, gy + dy);
        const float light = 1.0f - 0.012f * float(gx + gy) - (rim ? 0.18f : 0.0f);
        return {clampByte(232 * light + grain), clampByte(224 * light + grain),
                clampByte(204 * light + grain), 255};
    }
    case Part::socket:
    case Part::nose:
        return {clampByte(26 + grain), clampByte(14 + grain), clampByte(34 + grain), 255};
    case Part::gap:
    case Part::crack:
        return {clampByte(70 + grain), clampByte(58 + grain), clampByte(64 + grain), 255};
    case Part::magentaEye:
        return {255, clampByte(60 + grain), clampByte(220 + grain), 255};
    case Part::cyanEye:
        return {clampByte(60 + grain), clampByte(235 + grain), 255, 255};
    case Part::none:
        break;
    }
    return {0, 0, 0, 0};
}

}  // namespace

int main() {
    Canvas image(imageSize, imageSize);
    image.fillRect(0, 0, imageSize, imageSize, {0, 0, 0, 0});
    ToolRng rng(0xdea7);
    for (int gy = 0; gy < cells; ++gy)
        for (int gx = 0; gx < cells; ++gx) {
            Part part = partAt(gx, gy);
            Rgba colour = colourOf(part, gx, gy, rng);
            // A dark outline one cell wide around the skull.
            if (part == Part::none) {
                bool edge = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) edge = edge || solid(gx + dx, gy + dy);
                if (edge) colour = {18, 12, 24, 255};
            }
            image.fillRect(motifLeft + gx * cell, motifTop + gy * cell, cell, cell, colour);
        }
    if (!image.savePng("assets/textures/death.png")) return 1;
    std::printf("wrote death.png\n");
    return 0;
}

// Draws assets/textures/items.png: the item icon atlas. Every icon is a cell of 35 x 36 texels
// on a grid with columns 36 and rows 37 texels apart (the game draws it at twice the size):
//   y = 0    slot frame (x 0) and crafting result frame (x 36)
//   y = 37   block icons, block id k at x = (k - 1) * 36
//   y = 74   tools: Stick, Hammer, Iron Pick, Deadly Pick, Iron Axe, Deadly Axe
//   y = 111  materials: Rock, Hypersilk, Iron Bars, Deadly Bars, Compass, 4D Glasses,
//            Klein Bottle, Health Potion
// Texels between the cells stay transparent.

#include "tools/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int CELL_W = 35, CELL_H = 36, PITCH_X = 36, PITCH_Y = 37;
constexpr int ATLAS_W = 512, ATLAS_H = 148;

// --- colours and noise -----------------------------------------------------------------------

struct Color {
    float r, g, b, a = 1.0f;
};

Color rgb(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }
Color mix(Color x, Color y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}
Color shade(Color c, float f) { return {c.r * f, c.g * f, c.b * f, c.a}; }

uint32_t hash3(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= uint32_t(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    return h ^ (h >> 16);
}
float grain(int x, int y, uint32_t seed) { return float(hash3(x, y, seed) >> 8) / 16777216.0f; }

// One cell being painted: coordinates are texel centres relative to the cell's top-left.
class Cell {
public:
    Cell(Canvas& canvas, int column, int rowY) : canvas(canvas), x0(column * PITCH_X), y0(rowY) {}

    // Paints every texel for which fn gives a colour with alpha above 0, blending over what
    // is there.
    void paint(const std::function<bool(float x, float y, Color& c)>& fn) {
        for (int j = 0; j < CELL_H; ++j)
            for (int i = 0; i < CELL_W; ++i) {
                Color c;
                if (!fn(i + 0.5f, j + 0.5f, c) || c.a <= 0.0f) continue;
                blend(i, j, c);
            }
    }
    void blend(int i, int j, Color c) {
        Rgba old = canvas.get(x0 + i, y0 + j);
        const float a = std::clamp(c.a, 0.0f, 1.0f), oldA = old.a / 255.0f;
        const float outA = a + oldA * (1 - a);
        auto channel = [&](float src, uint8_t dst) {
            return outA <= 0 ? 0.0f : (src * a + dst * oldA * (1 - a)) / outA;
        };
        canvas.set(x0 + i, y0 + j,
                   {clampByte(channel(c.r, old.r)), clampByte(channel(c.g, old.g)),
                    clampByte(channel(c.b, old.b)), clampByte(outA * 255.0f)});
    }
    // A dark rim around every opaque shape of the cell, for legibility on any background.
    void outline(Color rim) {
        std::vector<bool> solid(CELL_W * CELL_H);
        for (int j = 0; j < CELL_H; ++j)
            for (int i = 0; i < CELL_W; ++i) solid[j * CELL_W + i] = canvas.get(x0 + i, y0 + j).a > 128;
        auto at = [&](int i, int j) {
            return i >= 0 && j >= 0 && i < CELL_W && j < CELL_H && solid[j * CELL_W + i];
        };
        for (int j = 0; j < CELL_H; ++j)
            for (int i = 0; i < CELL_W; ++i)
                if (!at(i, j) && (at(i - 1, j) || at(i + 1, j) || at(i, j - 1) || at(i, j + 1)))
                    blend(i, j, rim);
    }

private:
    Canvas& canvas;
    int x0, y0;
};

// --- shapes ----------------------------------------------------------------------------------

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    float qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

void line(Cell& cell, float ax, float ay, float bx, float by, float width, Color color) {
    cell.paint([&](float x, float y, Color& c) {
        c = color;
        return segmentDistance(x, y, ax, ay, bx, by) <= width * 0.5f;
    });
}

void disc(Cell& cell, float cx, float cy, float radius, Color color) {
    cell.paint([&](float x, float y, Color& c) {
        c = color;
        return std::hypot(x - cx, y - cy) <= radius;
    });
}

void ring(Cell& cell, float cx, float cy, float radius, float width, Color color) {
    cell.paint([&](float x, float y, Color& c) {
        c = color;
        return std::fabs(std::hypot(x - cx, y - cy) - radius) <= width * 0.5f;
    });
}

void box(Cell& cell, float left, float top, float right, float bottom, Color color) {
    cell.paint([&](float x, float y, Color& c) {
        c = color;
        return x >= left && x <= right && y >= top && y <= bottom;
    });
}

// --- frames ----------------------------------------------------------------------------------

// A hexagonal slot: the grid staggers them into a honeycomb.
float hexDistance(float x, float y) {
    const float cx = 17.5f, cy = 18.0f;
    float dx = std::fabs(x - cx) / 16.5f, dy = std::fabs(y - cy) / 17.0f;
    return std::max(dx, dx * 0.5f + dy * 0.87f);
}

void drawFrame(Cell& cell, Color border, Color fill) {
    cell.paint([&](float x, float y, Color& c) {
        float d = hexDistance(x, y);
        if (d > 1.0f) return false;
        c = d > 0.88f ? border : mix(fill, shade(fill, 0.6f), d);
        return true;
    });
}

// --- block icons -----------------------------------------------------------------------------

enum Face { TOP, LEFT, RIGHT };

// Texel colour of a block's face at face coordinates u (across) and v (down), both 0..1.
using BlockFace = std::function<Color(Face face, float u, float v, int i, int j)>;

Color speckle(Color base, Color other, float amount, int i, int j, uint32_t seed) {
    return grain(i, j, seed) < amount ? other : mix(base, shade(base, 0.85f), grain(i, j, seed + 1));
}

Color stoneTexel(int i, int j, uint32_t seed) {
    Color c = mix(rgb(128, 128, 132), rgb(100, 100, 106), grain(i / 2, j / 2, seed));
    return grain(i, j, seed + 3) < 0.08f ? rgb(80, 80, 86) : c;
}

Color strataTexel(Color a, Color b, float v, int i, int j, uint32_t seed) {
    float band = std::sin(v * 14.0f + grain(i / 4, 0, seed) * 1.5f);
    return mix(band > 0 ? a : b, shade(a, 0.9f), grain(i, j, seed + 2) * 0.5f);
}

Color rings(float u, float v, Color light, Color dark, Color bark) {
    float r = std::hypot(u - 0.5f, v - 0.5f);
    if (r > 0.42f) return bark;
    return std::fmod(r * 9.0f, 1.0f) < 0.5f ? light : dark;
}

Color barkTexel(Color base, float u, int i, int j, uint32_t seed) {
    float furrow = std::sin(u * 22.0f + grain(0, j / 3, seed));
    return shade(mix(base, shade(base, 0.7f), furrow > 0.4f ? 1.0f : 0.0f),
                 0.9f + 0.2f * grain(i, j, seed + 1));
}

Color leafTexel(Color base, int i, int j, uint32_t seed) {
    float g = grain(i / 2, j / 2, seed);
    if (g < 0.15f) return shade(base, 0.45f);
    return mix(base, rgb(base.r * 1.3f, base.g * 1.25f, base.b), grain(i, j, seed + 5));
}

Color oreTexel(Color vein, Color glint, float u, float v, int i, int j, uint32_t seed) {
    Color c = stoneTexel(i, j, seed);
    float d = std::min({std::hypot(u - 0.3f, v - 0.3f), std::hypot(u - 0.72f, v - 0.45f),
                        std::hypot(u - 0.4f, v - 0.78f)});
    if (d < 0.09f) return glint;
    if (d < 0.17f) return vein;
    return c;
}

Color chestTexel(Face face, float u, float v) {
    Color wood = mix(rgb(150, 98, 52), rgb(122, 76, 38), std::fmod(v * 5.0f, 1.0f) < 0.15f ? 1 : 0);
    Color iron = rgb(70, 70, 76);
    if (u < 0.1f || u > 0.9f || v < 0.1f || v > 0.9f) return iron;
    if (face != TOP && v > 0.33f && v < 0.42f) return iron;  // the lid's band
    if (face == LEFT && u > 0.42f && u < 0.58f && v > 0.3f && v < 0.55f) return rgb(230, 196, 80);
    return wood;
}

BlockFace blockFace(int id) {
    const Color oakLight = rgb(188, 150, 94), oakDark = rgb(146, 108, 64), oakBark = rgb(98, 70, 44);
    const Color paleLight = rgb(214, 190, 140), paleDark = rgb(176, 146, 100),
                paleBark = rgb(150, 132, 104);
    const Color dirt = rgb(124, 86, 56), grass = rgb(86, 160, 62), sand = rgb(226, 206, 150);
    switch (id) {
    case 1:  // grass: turf on top, hanging down the sides
        return [=](Face f, float, float v, int i, int j) {
            if (f == TOP) return speckle(grass, rgb(120, 190, 80), 0.15f, i, j, 11);
            float hang = 0.2f + 0.15f * grain(i, 0, 12);
            return v < hang ? speckle(grass, rgb(60, 120, 44), 0.2f, i, j, 13)
                            : speckle(dirt, rgb(150, 150, 150), 0.06f, i, j, 14);
        };
    case 2:
        return [=](Face, float, float, int i, int j) {
            return speckle(dirt, rgb(150, 150, 150), 0.06f, i, j, 21);
        };
    case 3:
        return [](Face, float, float, int i, int j) { return stoneTexel(i, j, 31); };
    case 4:
        return [=](Face f, float u, float v, int i, int j) {
            return f == TOP ? rings(u, v, oakLight, oakDark, oakBark) : barkTexel(oakBark, u, i, j, 41);
        };
    case 5:
        return [](Face, float, float, int i, int j) { return leafTexel(rgb(52, 128, 44), i, j, 51); };
    case 6:  // basalt: dark columns
        return [](Face f, float u, float, int i, int j) {
            Color c = mix(rgb(58, 56, 64), rgb(44, 42, 50), grain(i / 3, j / 3, 61));
            if (f != TOP && std::fmod(u * 4.0f, 1.0f) < 0.12f) c = rgb(30, 30, 36);
            return c;
        };
    case 7:
        return [](Face, float u, float v, int i, int j) {
            return oreTexel(rgb(206, 138, 84), rgb(240, 190, 140), u, v, i, j, 71);
        };
    case 8:
        return [](Face, float u, float v, int i, int j) {
            return oreTexel(rgb(64, 214, 196), rgb(226, 120, 240), u, v, i, j, 81);
        };
    case 9:
        return [](Face f, float u, float v, int, int) { return chestTexel(f, u, v); };
    case 10:
        return [=](Face, float, float v, int i, int j) {
            Color c = speckle(sand, rgb(200, 176, 120), 0.1f, i, j, 101);
            return std::sin(v * 18.0f) > 0.8f ? shade(c, 0.92f) : c;
        };
    case 11:
        return [](Face f, float, float v, int i, int j) {
            if (f == TOP) return speckle(rgb(222, 196, 136), rgb(196, 166, 106), 0.1f, i, j, 111);
            return strataTexel(rgb(220, 192, 132), rgb(172, 132, 82), v * 2.0f, i, j, 112);
        };
    case 12:
        return [](Face, float, float v, int i, int j) {
            return strataTexel(rgb(178, 96, 64), rgb(146, 74, 50), v, i, j, 121);
        };
    case 13:
        return [=](Face f, float u, float v, int i, int j) {
            return f == TOP ? rings(u, v, paleLight, paleDark, paleBark) : barkTexel(paleBark, u, i, j, 131);
        };
    default:  // 14: dry thatch of the desert trees
        return [](Face, float u, float v, int i, int j) {
            Color c = leafTexel(rgb(170, 150, 70), i, j, 141);
            return std::fmod(u * 6.0f + v * 3.0f, 1.0f) < 0.15f ? shade(c, 0.7f) : c;
        };
    }
}

// An isometric cube: the top rhombus and the two front faces, lit from the upper left.
void drawBlock(Cell& cell, int id) {
    const BlockFace face = blockFace(id);
    cell.paint([&](float x, float y, Color& c) {
        const int i = int(x), j = int(y);
        const float topDist = std::fabs(x - 17.5f) / 16.5f + std::fabs(y - 10.0f) / 8.5f;
        if (topDist <= 1.0f) {
            float a = (x - 17.5f) / 16.5f, b = (y - 10.0f) / 8.5f;
            c = face(TOP, (a + b + 1) * 0.5f, (b - a + 1) * 0.5f, i, j);
            return true;
        }
        if (x >= 1.0f && x < 17.5f) {
            float upper = 10.0f + (x - 1.0f) * 0.5f, lower = upper + 16.5f;
            if (y < upper || y > lower) return false;
            c = shade(face(LEFT, (x - 1.0f) / 16.5f, (y - upper) / 16.5f, i, j), 0.82f);
            return true;
        }
        if (x >= 17.5f && x <= 34.0f) {
            float upper = 18.5f - (x - 17.5f) * 0.5f, lower = upper + 16.5f;
            if (y < upper || y > lower) return false;
            c = shade(face(RIGHT, (x - 17.5f) / 16.5f, (y - upper) / 16.5f, i, j), 0.62f);
            return true;
        }
        return false;
    });
}

// --- tools -----------------------------------------------------------------------------------

const Color stickBrown = rgb(140, 96, 52), stickDark = rgb(96, 62, 30);
const Color ironGrey = rgb(190, 190, 196), ironDark = rgb(120, 120, 128);
const Color magenta = rgb(236, 60, 236), cyan = rgb(60, 230, 230);

void drawHandle(Cell& cell) {
    line(cell, 7, 31, 26, 9, 4.0f, stickDark);
    line(cell, 7, 31, 26, 9, 2.2f, stickBrown);
}

// A pick head: a curved bar across the handle's top end, its points bent back toward the hand.
void drawPickHead(Cell& cell, Color main, Color tip) {
    const float topX = 25.0f, topY = 10.0f;
    const float dirX = 0.65f, dirY = -0.76f;   // along the handle, away from the hand
    const float perpX = 0.76f, perpY = 0.65f;  // across it
    for (int k = -12; k < 12; ++k) {
        auto point = [&](float t, float& x, float& y) {
            x = topX + perpX * t * 14.0f + dirX * (2.0f - 6.0f * t * t);
            y = topY + perpY * t * 14.0f + dirY * (2.0f - 6.0f * t * t);
        };
        float ax, ay, bx, by;
        point(k / 12.0f, ax, ay);
        point((k + 1) / 12.0f, bx, by);
        const bool end = k < -8 || k >= 8;
        line(cell, ax, ay, bx, by, end ? 2.6f : 4.0f, end ? tip : main);
    }
}

void drawAxeHead(Cell& cell, Color main, Color edge) {
    cell.paint([&](float x, float y, Color& c) {
        // A blade beside the handle's top: a half disc facing up and right.
        float dx = x - 24.0f, dy = y - 11.0f;
        float r = std::hypot(dx, dy);
        if (r > 10.0f || dx + dy * -0.9f < -2.0f) return false;
        c = r > 7.5f ? edge : main;
        return true;
    });
}

void drawTool(Cell& cell, int index) {
    switch (index) {
    case 0:  // Stick: a bare branch with a twig
        drawHandle(cell);
        line(cell, 17, 20, 13, 13, 2.0f, stickBrown);
        disc(cell, 12.5f, 12.5f, 1.6f, rgb(80, 150, 60));
        break;
    case 1:  // Hammer: a faceted grey head
        drawHandle(cell);
        cell.paint([&](float x, float y, Color& c) {
            float dx = x - 24.5f, dy = y - 10.5f;
            float d = std::max(std::fabs(dx * 0.8f + dy * 0.6f), std::fabs(-dx * 0.6f + dy * 0.8f) * 1.6f);
            if (d > 8.0f) return false;
            c = d > 6.5f ? ironDark : mix(ironGrey, ironDark, grain(int(x) / 2, int(y) / 2, 7) * 0.5f);
            return true;
        });
        break;
    case 2: drawHandle(cell); drawPickHead(cell, ironGrey, ironDark); break;
    case 3: drawHandle(cell); drawPickHead(cell, magenta, cyan); break;
    case 4: drawHandle(cell); drawAxeHead(cell, ironGrey, rgb(230, 230, 236)); break;
    default: drawHandle(cell); drawAxeHead(cell, magenta, cyan); break;
    }
    cell.outline(rgb(20, 16, 24, 0.9f));
}

// --- materials -------------------------------------------------------------------------------

void drawBar(Cell& cell, float x, float y, Color color) {
    cell.paint([&](float px, float py, Color& c) {
        float u = px - x, v = py - y;
        if (u < 0 || v < 0 || u > 20 || v > 7) return false;
        if (v < 2.5f && u > v && u < 20 - 0) c = shade(color, 1.15f);  // lit top bevel
        else c = v > 5.5f ? shade(color, 0.6f) : color;
        return true;
    });
}

// A bottle turned through itself: a round body, a neck that bends back into it.
void drawBottle(Cell& cell, Color glass, Color contents, bool filled) {
    if (filled)
        cell.paint([&](float x, float y, Color& c) {
            c = contents;
            return std::hypot(x - 17.5f, y - 23.0f) <= 9.0f && y > 17.0f;
        });
    ring(cell, 17.5f, 23.0f, 10.0f, 1.8f, glass);
    line(cell, 17.5f, 13.0f, 17.5f, 5.0f, 1.8f, glass);
    cell.paint([&](float x, float y, Color& c) {
        c = glass;
        float r = std::hypot(x - 22.5f, y - 5.0f);
        return std::fabs(r - 5.0f) <= 0.9f && y < 5.5f;
    });
    line(cell, 27.5f, 5.0f, 27.0f, 19.0f, 1.8f, shade(glass, 0.8f));
    disc(cell, 14.0f, 20.0f, 1.5f, rgb(255, 255, 255, 0.8f));
}

void drawMaterial(Cell& cell, int index) {
    switch (index) {
    case 0:  // Rock
        cell.paint([&](float x, float y, Color& c) {
            float dx = (x - 17.5f) / 13.0f, dy = (y - 20.0f) / 10.0f;
            float lump = 1.0f + 0.12f * std::sin(std::atan2(dy, dx) * 5.0f);
            if (dx * dx + dy * dy > lump * lump) return false;
            c = mix(rgb(150, 150, 154), rgb(92, 92, 98), std::clamp(dy * 0.5f + dx * 0.3f + 0.5f, 0.0f, 1.0f));
            if (grain(int(x), int(y), 201) < 0.1f) c = shade(c, 0.75f);
            return true;
        });
        break;
    case 1: {  // Hypersilk: a tesseract of white threads with a coloured shimmer
        const float outer[4][2] = {{5, 6}, {29, 6}, {29, 30}, {5, 30}};
        const float inner[4][2] = {{12, 13}, {22, 13}, {22, 23}, {12, 23}};
        for (int pass = 0; pass < 3; ++pass) {
            Color color = pass == 0 ? rgb(236, 60, 236, 0.7f) : pass == 1 ? rgb(60, 230, 230, 0.7f)
                                                                           : rgb(250, 250, 255);
            float o = pass == 0 ? -1.0f : pass == 1 ? 1.0f : 0.0f;
            for (int k = 0; k < 4; ++k) {
                int n = (k + 1) % 4;
                line(cell, outer[k][0] + o, outer[k][1], outer[n][0] + o, outer[n][1], 1.3f, color);
                line(cell, inner[k][0] + o, inner[k][1], inner[n][0] + o, inner[n][1], 1.3f, color);
                line(cell, outer[k][0] + o, outer[k][1], inner[k][0] + o, inner[k][1], 1.3f, color);
            }
        }
        break;
    }
    case 2:
        drawBar(cell, 9, 22, rgb(190, 170, 170));
        drawBar(cell, 4, 14, rgb(176, 152, 152));
        drawBar(cell, 11, 6, rgb(204, 180, 180));
        cell.outline(rgb(30, 24, 24, 0.9f));
        break;
    case 3:
        drawBar(cell, 9, 22, rgb(0, 204, 204));
        drawBar(cell, 4, 14, rgb(178, 0, 178));
        drawBar(cell, 11, 6, rgb(153, 0, 153));
        cell.outline(rgb(20, 10, 24, 0.9f));
        break;
    case 4:  // Compass: a dial with a two-coloured needle
        disc(cell, 17.5f, 18.0f, 15.0f, rgb(150, 120, 70));
        disc(cell, 17.5f, 18.0f, 12.5f, rgb(236, 230, 210));
        for (int k = 0; k < 8; ++k) {
            float a = k * 0.785398f;
            line(cell, 17.5f + std::cos(a) * 10.0f, 18.0f + std::sin(a) * 10.0f,
                 17.5f + std::cos(a) * 12.0f, 18.0f + std::sin(a) * 12.0f, 1.0f, rgb(60, 50, 40));
        }
        line(cell, 17.5f, 18.0f, 24.0f, 8.0f, 2.4f, rgb(220, 40, 40));
        line(cell, 17.5f, 18.0f, 11.0f, 28.0f, 2.4f, rgb(40, 60, 220));
        disc(cell, 17.5f, 18.0f, 1.8f, rgb(40, 40, 40));
        break;
    case 5:  // 4D Glasses: two lenses side by side and a third above, in a white frame
        box(cell, 1, 13, 34, 29, rgb(240, 240, 240));
        box(cell, 10, 4, 25, 14, rgb(240, 240, 240));
        box(cell, 3, 16, 15, 26, rgb(230, 30, 30));
        box(cell, 20, 16, 32, 26, rgb(40, 70, 235));
        box(cell, 13, 6, 22, 12, rgb(40, 200, 60));
        cell.outline(rgb(30, 30, 30, 0.9f));
        break;
    case 6: drawBottle(cell, rgb(200, 220, 255), rgb(0, 0, 0), false); break;
    default: drawBottle(cell, rgb(200, 220, 255), rgb(214, 30, 40), true); break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "assets/textures/items.png";
    Canvas canvas(ATLAS_W, ATLAS_H);
    for (Rgba& p : canvas.pixels) p = {0, 0, 0, 0};

    Cell slotFrame(canvas, 0, 0 * PITCH_Y), resultFrame(canvas, 1, 0 * PITCH_Y);
    drawFrame(slotFrame, rgb(210, 210, 220), rgb(60, 60, 70, 0.75f));
    drawFrame(resultFrame, rgb(240, 200, 70), rgb(90, 70, 30, 0.75f));

    for (int id = 1; id <= 14; ++id) {
        Cell cell(canvas, id - 1, 1 * PITCH_Y);
        drawBlock(cell, id);
        cell.outline(rgb(16, 14, 18, 0.85f));
    }
    for (int tool = 0; tool < 6; ++tool) {
        Cell cell(canvas, tool, 2 * PITCH_Y);
        drawTool(cell, tool);
    }
    for (int material = 0; material < 8; ++material) {
        Cell cell(canvas, material, 3 * PITCH_Y);
        drawMaterial(cell, material);
    }

    if (!canvas.savePng(out)) return 1;
    std::printf("wrote %s\n", out);
    return 0;
}

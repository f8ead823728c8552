// Draws assets/textures/tiles.png: the volumetric block textures. Each face texture is a
// 16 x 16 x 16 block of voxels stored in one tile column, layer L in tile row L, so that any
// slice through a block face shows a recognisable material. Odd columns hold faces, even
// columns are padding that repeats the neighbouring edge pixels.

#include "tools/Canvas.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

constexpr int TILE = 16;
constexpr int COLUMNS = 96;
constexpr int LAYERS = 16;

// --- deterministic noise over voxel coordinates ---------------------------------------------

uint32_t hash4(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= uint32_t(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    h ^= uint32_t(z) * 0x27D4EB2Fu;
    h = (h ^ (h >> 16)) * 0x165667B1u;
    return h ^ (h >> 15);
}

float hashUnit(int x, int y, int z, uint32_t seed) {
    return float(hash4(x, y, z, seed) >> 8) / 16777216.0f;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Value noise in -1..1 with lattice spacing `cell` voxels.
float noise(float x, float y, float z, float cell, uint32_t seed) {
    x /= cell;
    y /= cell;
    z /= cell;
    int ix = int(std::floor(x)), iy = int(std::floor(y)), iz = int(std::floor(z));
    float fx = smooth(x - ix), fy = smooth(y - iy), fz = smooth(z - iz);
    auto corner = [&](int dx, int dy, int dz) {
        return hashUnit(ix + dx, iy + dy, iz + dz, seed) * 2.0f - 1.0f;
    };
    auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    float x00 = lerp(corner(0, 0, 0), corner(1, 0, 0), fx);
    float x10 = lerp(corner(0, 1, 0), corner(1, 1, 0), fx);
    float x01 = lerp(corner(0, 0, 1), corner(1, 0, 1), fx);
    float x11 = lerp(corner(0, 1, 1), corner(1, 1, 1), fx);
    return lerp(lerp(x00, x10, fy), lerp(x01, x11, fy), fz);
}

float fbm(float x, float y, float z, float cell, uint32_t seed) {
    return 0.6f * noise(x, y, z, cell, seed) + 0.3f * noise(x, y, z, cell / 2, seed + 1) +
           0.1f * noise(x, y, z, cell / 4, seed + 2);
}

// Distance from a voxel to the nearest of a few random points per `cell`-sized box, and to the
// second nearest: cell patterns whose borders are where the two are close.
void worley(float x, float y, float z, float cell, uint32_t seed, float& d1, float& d2) {
    d1 = d2 = 1e9f;
    int cx = int(std::floor(x / cell)), cy = int(std::floor(y / cell)), cz = int(std::floor(z / cell));
    for (int i = cx - 1; i <= cx + 1; ++i)
        for (int j = cy - 1; j <= cy + 1; ++j)
            for (int k = cz - 1; k <= cz + 1; ++k) {
                float px = (i + hashUnit(i, j, k, seed)) * cell;
                float py = (j + hashUnit(i, j, k, seed + 7)) * cell;
                float pz = (k + hashUnit(i, j, k, seed + 13)) * cell;
                float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y) + (pz - z) * (pz - z));
                if (d < d1) {
                    d2 = d1;
                    d1 = d;
                } else if (d < d2) {
                    d2 = d;
                }
            }
}

// --- colours --------------------------------------------------------------------------------

struct Color {
    float r, g, b;
};

Color rgb(float r, float g, float b) { return {r, g, b}; }
Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Color scale(Color c, float f) { return {c.r * f, c.g * f, c.b * f}; }
Rgba toRgba(Color c) { return {clampByte(c.r), clampByte(c.g), clampByte(c.b), 255}; }

// A voxel: i across the face (u), j down the face (v, 0 at the top of side faces), L the layer.
// Coordinates are voxel centres in 0.5 .. 15.5.
using VoxelFn = std::function<Color(float i, float j, float L)>;

// --- materials ------------------------------------------------------------------------------

Color dirt(float i, float j, float L, uint32_t seed) {
    Color base = rgb(124, 86, 56);
    Color c = scale(base, 1.0f + 0.16f * fbm(i, j, L, 5.0f, seed));
    // Small pebbles: voxel-sized grains, some grey, some dark.
    float grain = hashUnit(int(i), int(j), int(L), seed + 50);
    if (grain > 0.93f) c = rgb(146, 132, 118);
    else if (grain < 0.07f) c = scale(base, 0.68f);
    return c;
}

Color grassTop(float i, float j, float L) {
    Color c = scale(rgb(92, 158, 56), 1.0f + 0.18f * fbm(i, j, L, 4.0f, 11));
    float blade = hashUnit(int(i), int(j), int(L), 12);
    if (blade > 0.88f) c = rgb(132, 190, 74);
    else if (blade < 0.08f) c = rgb(62, 116, 38);
    return c;
}

Color grassSide(float i, float j, float L) {
    // The turf hangs 3 to 6 voxels down, ragged in the other two directions.
    float depth = 3.5f + 2.2f * (noise(i, 0.0f, L, 3.0f, 21) + 0.5f);
    if (j < depth) return grassTop(i, j, L);
    return dirt(i, j, L, 22);
}

Color stone(float i, float j, float L, uint32_t seed) {
    Color c = scale(rgb(128, 128, 130), 1.0f + 0.14f * fbm(i, j, L, 5.0f, seed));
    float d1, d2;
    worley(i, j, L, 7.0f, seed + 3, d1, d2);
    if (d2 - d1 < 0.9f) c = scale(c, 0.72f);  // cracks between the slabs
    if (hashUnit(int(i), int(j), int(L), seed + 9) > 0.95f) c = scale(c, 1.15f);
    return c;
}

Color basalt(float i, float j, float L) {
    Color c = scale(rgb(52, 50, 58), 1.0f + 0.2f * fbm(i, j, L, 4.0f, 31));
    float d1, d2;
    worley(i, j, L, 6.0f, 32, d1, d2);
    if (d2 - d1 < 1.0f) c = rgb(30, 28, 34);
    if (hashUnit(int(i), int(j), int(L), 33) > 0.96f) c = rgb(96, 92, 104);
    return c;
}

// Growth rings: spherical shells around the trunk's core, bark outside.
Color rings(float i, float j, float L, Color light, Color dark, Color bark, uint32_t seed) {
    float di = i - 8.0f, dj = j - 8.0f, dL = L - 8.0f;
    float r = std::sqrt(di * di + dj * dj + dL * dL) + 0.7f * noise(i, j, L, 4.0f, seed);
    if (r > 8.3f) return scale(bark, 1.0f + 0.1f * noise(i, j, L, 2.0f, seed + 1));
    float band = 0.5f + 0.5f * std::cos(r * 2.4f);
    return scale(mix(light, dark, band), 1.0f + 0.05f * noise(i, j, L, 2.0f, seed + 2));
}

// Bark: furrows that run along the trunk (down the face), so every slice shows stripes.
Color bark(float i, float j, float L, Color base, uint32_t seed) {
    float furrow = std::fabs(noise(i * 1.6f, j * 0.25f, L * 1.6f, 4.0f, seed));
    Color c = scale(base, 0.8f + 0.5f * std::min(furrow * 3.0f, 1.0f));
    if (furrow < 0.08f) c = scale(base, 0.55f);
    return scale(c, 1.0f + 0.06f * noise(i, j, L, 2.0f, seed + 5));
}

Color leaves(float i, float j, float L, uint32_t seed) {
    float n = fbm(i, j, L, 3.5f, seed);
    Color c = mix(rgb(40, 98, 32), rgb(84, 150, 52), 0.5f + 0.6f * n);
    if (n < -0.3f) c = rgb(24, 58, 20);  // gaps between the clumps
    if (hashUnit(int(i), int(j), int(L), seed + 4) > 0.93f) c = rgb(110, 176, 70);
    return c;
}

// Ore: stone crossed by mineral sheets (lines in every slice) with brighter nuggets.
Color ore(float i, float j, float L, Color vein, Color glint, uint32_t seed) {
    Color c = stone(i, j, L, seed);
    float sheet = std::fabs(noise(i, j, L, 6.0f, seed + 40));
    float nugget = hashUnit(int(i), int(j), int(L), seed + 41);
    if (sheet < 0.09f) c = scale(vein, 1.0f + 0.15f * noise(i, j, L, 2.0f, seed + 42));
    if (sheet < 0.16f && nugget > 0.8f) c = glint;
    float d1, d2;
    worley(i, j, L, 8.0f, seed + 43, d1, d2);
    if (d1 < 1.6f) c = vein;  // a few round nuggets
    return c;
}

Color sand(float i, float j, float L, uint32_t seed) {
    Color c = scale(rgb(222, 206, 150), 1.0f + 0.05f * fbm(i, j, L, 4.0f, seed));
    float grain = hashUnit(int(i), int(j), int(L), seed + 1);
    if (grain > 0.9f) c = rgb(240, 228, 178);
    else if (grain < 0.1f) c = rgb(198, 180, 124);
    return c;
}

Color sandTop(float i, float j, float L) {
    // Ripples of wind-blown sand.
    float ripple = std::sin((i + 0.6f * L + 1.5f * noise(i, j, L, 6.0f, 52)) * 1.3f);
    return scale(sand(i, j, L, 51), 1.0f + 0.05f * ripple);
}

// Layered rock: bands down the face with a wobble.
Color strata(float i, float j, float L, Color a, Color b, uint32_t seed) {
    float band = std::sin((j + 1.4f * noise(i, j, L, 6.0f, seed)) * 1.1f) * 0.5f + 0.5f;
    Color c = mix(a, b, band);
    return scale(c, 1.0f + 0.07f * noise(i, j, L, 2.5f, seed + 1));
}

Color sandstoneTop(float i, float j, float L) {
    float n = fbm(i, j, L, 5.0f, 61);
    return scale(mix(rgb(214, 186, 126), rgb(194, 160, 100), 0.5f + 0.5f * n), 1.0f);
}

// A chest: planks inside an iron-bound frame.
Color chest(float i, float j, float L, bool lockFace, bool planksAcross) {
    float edge = std::min({i, 16.0f - i, j, 16.0f - j, L, 16.0f - L});
    if (edge < 1.5f) return scale(rgb(74, 64, 58), 1.0f + 0.1f * noise(i, j, L, 2.0f, 71));
    if (lockFace && i > 6.0f && i < 10.0f && j > 4.0f && j < 9.0f) {
        bool keyhole = i > 7.5f && i < 8.5f && j > 5.5f && j < 7.5f;
        return keyhole ? rgb(36, 30, 24) : rgb(226, 190, 80);
    }
    float across = planksAcross ? i : j;
    Color wood = scale(rgb(166, 114, 62), 1.0f + 0.08f * noise(i * 0.3f, j, L, 3.0f, 72));
    if (std::fmod(across, 5.0f) < 1.0f) wood = scale(wood, 0.62f);  // plank seams
    if (j > 5.5f && j < 6.5f && !planksAcross) wood = rgb(74, 64, 58);  // the lid's band
    return wood;
}

Color dryCrown(float i, float j, float L, uint32_t seed) {
    float n = fbm(i, j, L, 3.5f, seed);
    Color c = mix(rgb(118, 112, 44), rgb(170, 160, 70), 0.5f + 0.6f * n);
    if (n < -0.3f) c = rgb(86, 74, 34);
    float bloom = hashUnit(int(i), int(j), int(L), seed + 2);
    if (bloom > 0.96f) c = rgb(232, 136, 52);
    return c;
}

Color fallback(float i, float j, float L) {
    bool odd = (int(i) / 4 + int(j) / 4 + int(L) / 4) % 2;
    return odd ? rgb(230, 0, 230) : rgb(20, 20, 20);
}

void drawTile(Canvas& canvas, int column, const VoxelFn& fn) {
    for (int L = 0; L < LAYERS; ++L)
        for (int j = 0; j < TILE; ++j)
            for (int i = 0; i < TILE; ++i)
                canvas.set(column * TILE + i, L * TILE + j, toRgba(fn(i + 0.5f, j + 0.5f, L + 0.5f)));
}

// Even columns repeat the edge pixels of the faces beside them.
void drawPadding(Canvas& canvas, const bool used[COLUMNS]) {
    for (int column = 0; column < COLUMNS; column += 2)
        for (int y = 0; y < LAYERS * TILE; ++y)
            for (int i = 0; i < TILE; ++i) {
                bool fromLeft = i < TILE / 2;
                int source = fromLeft ? column - 1 : column + 1;
                if (source < 0 || source >= COLUMNS || !used[source]) continue;
                int sx = fromLeft ? source * TILE + TILE - 1 : source * TILE;
                canvas.set(column * TILE + i, y, canvas.get(sx, y));
            }
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "assets/textures/tiles.png";
    Canvas canvas(COLUMNS * TILE, LAYERS * TILE);
    for (Rgba& p : canvas.pixels) p = {0, 0, 0, 0};
    bool used[COLUMNS] = {};
    auto tile = [&](int column, const VoxelFn& fn) {
        drawTile(canvas, column, fn);
        used[column] = true;
    };

    const Color oakLight = rgb(188, 150, 94), oakDark = rgb(146, 108, 64), oakBark = rgb(98, 70, 44);
    const Color paleLight = rgb(214, 190, 140), paleDark = rgb(176, 146, 100),
                paleBark = rgb(150, 132, 104);

    tile(1, grassTop);                                                        // grass top
    tile(3, grassSide);                                                       // grass side
    tile(5, [](float i, float j, float L) { return dirt(i, j, L, 5); });      // dirt top
    tile(7, [](float i, float j, float L) { return dirt(i, j, L, 7); });      // dirt side
    tile(9, [](float i, float j, float L) { return dirt(i, j, L, 9); });      // dirt bottom
    tile(11, [](float i, float j, float L) { return stone(i, j, L, 111); });  // stone
    tile(13, [](float i, float j, float L) { return stone(i, j, L, 113); });
    tile(15, [](float i, float j, float L) { return stone(i, j, L, 115); });
    tile(17, basalt);                                                         // world floor
    tile(19, [=](float i, float j, float L) { return rings(i, j, L, oakLight, oakDark, oakBark, 119); });
    tile(21, [=](float i, float j, float L) { return bark(i, j, L, oakBark, 121); });
    tile(23, [=](float i, float j, float L) { return rings(i, j, L, oakLight, oakDark, oakBark, 123); });
    tile(25, [](float i, float j, float L) { return leaves(i, j, L, 125); });
    tile(27, [](float i, float j, float L) { return leaves(i, j, L, 127); });
    tile(29, [](float i, float j, float L) { return leaves(i, j, L, 129); });
    const Color rust = rgb(206, 138, 84), rustGlint = rgb(240, 190, 140);
    tile(31, [=](float i, float j, float L) { return ore(i, j, L, rust, rustGlint, 131); });
    tile(33, [=](float i, float j, float L) { return ore(i, j, L, rust, rustGlint, 133); });
    tile(35, [=](float i, float j, float L) { return ore(i, j, L, rust, rustGlint, 135); });
    const Color venom = rgb(64, 214, 196), venomGlint = rgb(226, 120, 240);
    tile(37, [=](float i, float j, float L) { return ore(i, j, L, venom, venomGlint, 137); });
    tile(39, [=](float i, float j, float L) { return ore(i, j, L, venom, venomGlint, 139); });
    tile(41, [=](float i, float j, float L) { return ore(i, j, L, venom, venomGlint, 141); });
    tile(43, [](float i, float j, float L) { return chest(i, j, L, false, true); });  // top
    tile(45, [](float i, float j, float L) { return chest(i, j, L, true, false); });  // side
    tile(47, [](float i, float j, float L) { return chest(i, j, L, false, true); });  // bottom
    tile(49, sandTop);                                                              // sand
    tile(51, [](float i, float j, float L) { return sand(i, j, L, 151); });
    const Color sandstoneA = rgb(216, 188, 128), sandstoneB = rgb(190, 154, 96);
    tile(53, sandstoneTop);                                                         // sandstone
    tile(55, [=](float i, float j, float L) { return strata(i, j, L, sandstoneA, sandstoneB, 155); });
    tile(57, [](float i, float j, float L) { return scale(sandstoneTop(i, j, L), 0.94f); });
    tile(59, [=](float i, float j, float L) { return rings(i, j, L, paleLight, paleDark, paleBark, 159); });
    tile(61, [=](float i, float j, float L) { return bark(i, j, L, paleBark, 161); });
    tile(63, [=](float i, float j, float L) { return rings(i, j, L, paleLight, paleDark, paleBark, 163); });
    tile(65, [](float i, float j, float L) { return dryCrown(i, j, L, 165); });
    tile(67, [](float i, float j, float L) { return dryCrown(i, j, L, 167); });
    tile(69, [](float i, float j, float L) { return dryCrown(i, j, L, 169); });
    const Color clayA = rgb(178, 96, 64), clayB = rgb(146, 74, 50);
    tile(71, [=](float i, float j, float L) { return strata(i, j, L, clayA, clayB, 171); });  // red rock
    tile(73, [=](float i, float j, float L) { return strata(i, j, L, clayA, clayB, 173); });
    tile(75, [=](float i, float j, float L) { return strata(i, j, L, clayA, clayB, 175); });
    tile(77, fallback);  // ids without a texture of their own
    drawPadding(canvas, used);

    if (!canvas.savePng(out)) return 1;
    std::printf("wrote %s\n", out);
    return 0;
}

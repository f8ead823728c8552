// Draws assets/textures/forg.png: the sprite sheet of Frank the forg, 256 x 256 pixels of 16 x 16
// cells. Row 0 holds his idle frames (columns 0 to 5, the scene shows 0, 2 and 4, the slideshow
// 0, 1 and 2) and his jump (columns 6, 7); row 2 his walk (columns 0 to 5, shown 0, 2 and 4).
// Columns 0 to 7 face right, 8 to 15 are the same frames facing left. Rows 4 and 6 repeat rows 0
// and 2 for the 3D view, rows 8 and 10 hold their glowing outlines, drawn through the terrain.

#include "tools/Canvas.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int cell = 16;

enum Part : uint8_t { none, body, light, belly, leg, eyeWhite, pupil, mouth, outline };

const Rgba palette[] = {
    {0, 0, 0, 0},          // none
    {40, 205, 150, 255},   // body: a bright teal green
    {120, 235, 190, 255},  // light on his back
    {235, 230, 150, 255},  // belly
    {25, 160, 115, 255},   // legs
    {250, 250, 250, 255},  // eye
    {15, 15, 15, 255},     // pupil
    {10, 70, 60, 255},     // mouth
    {10, 60, 50, 255},     // outline
};
const Rgba glow{255, 255, 200, 210};

enum class Legs { crouch, stride, together, crossed, leap };

struct Pose {
    float lift = 0;     // body raised, pixels
    float squash = 1;   // body height factor
    float throat = 0;   // puffed throat
    bool blink = false;
    Legs legs = Legs::crouch;
};

struct Sprite {
    Part p[cell][cell] = {};
    void set(int x, int y, Part part) {
        if (x >= 0 && y >= 0 && x < cell && y < cell) p[y][x] = part;
    }
};

void fillEllipse(Sprite& s, float cx, float cy, float rx, float ry, Part part, bool onlyOverBody = false) {
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            if (inEllipse(x + 0.5f, y + 0.5f, cx, cy, rx, ry) && (!onlyOverBody || s.p[y][x] == body))
                s.set(x, y, part);
}

void line(Sprite& s, float x0, float y0, float x1, float y1, Part part) {
    const int steps = 16;
    for (int i = 0; i <= steps; ++i) {
        const float t = float(i) / steps;
        s.set(int(x0 + (x1 - x0) * t), int(y0 + (y1 - y0) * t), part);
    }
}

void drawLegs(Sprite& s, const Pose& pose) {
    const float hip = 12.8f - pose.lift * 0.5f;
    fillEllipse(s, 4.2f, hip, 2.6f, 1.9f, leg);  // the back thigh
    switch (pose.legs) {
        case Legs::crouch:
            line(s, 1, 15, 5, 15, leg);
            line(s, 9, 13, 9, 15, leg);
            line(s, 9, 15, 12, 15, leg);
            break;
        case Legs::stride:
            line(s, 3, hip, 0, 15, leg);
            line(s, 0, 15, 3, 15, leg);
            line(s, 10, 13, 12, 15, leg);
            line(s, 12, 15, 14, 15, leg);
            break;
        case Legs::together:
            line(s, 5, hip, 6, 15, leg);
            line(s, 5, 15, 8, 15, leg);
            line(s, 9, 13, 8, 15, leg);
            line(s, 8, 15, 11, 15, leg);
            break;
        case Legs::crossed:
            line(s, 4, hip, 3, 15, leg);
            line(s, 2, 15, 6, 15, leg);
            line(s, 9, 13, 10, 15, leg);
            line(s, 10, 15, 13, 15, leg);
            break;
        case Legs::leap:
            line(s, 3, hip, 0, 14, leg);
            line(s, 0, 14, 0, 15, leg);
            line(s, 10, 12, 13, 14, leg);
            line(s, 13, 14, 14, 15, leg);
            break;
    }
}

Sprite drawForg(const Pose& pose) {
    Sprite s;
    const float cy = 10.8f - pose.lift;
    const float ry = 3.6f * pose.squash;
    drawLegs(s, pose);
    fillEllipse(s, 7.0f, cy, 5.6f, ry, body);
    fillEllipse(s, 10.4f, cy - 3.9f, 2.6f, 2.6f, body);  // the eye's bump
    // Light along his back.
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            if (s.p[y][x] == body && y + 0.5f < cy - ry * 0.45f) s.p[y][x] = light;
    fillEllipse(s, 8.6f, cy + 1.6f, 4.0f + pose.throat, 1.9f + 0.5f * pose.throat, belly, true);
    if (pose.blink) {
        line(s, 9, cy - 3.9f, 12, cy - 3.9f, outline);
    } else {
        fillEllipse(s, 10.6f, cy - 4.0f, 1.7f, 1.7f, eyeWhite);
        fillEllipse(s, 11.4f, cy - 3.9f, 0.8f, 0.9f, pupil);
    }
    line(s, 10, cy - 0.6f, 12.6f, cy - 0.6f, mouth);

    // A dark outline around all of him.
    Sprite outlined = s;
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
            if (s.p[y][x] != none) continue;
            bool touches = false;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                touches |= nx >= 0 && ny >= 0 && nx < cell && ny < cell && s.p[ny][nx] != none;
            }
            if (touches) outlined.p[y][x] = outline;
        }
    return outlined;
}

// Puts a sprite into cell (col, row), mirrored for the left-facing half, and its glow outline
// into the overlay row.
void place(Canvas& sheet, const Sprite& sprite, int col, int row) {
    for (int mirrored = 0; mirrored < 2; ++mirrored)
        for (int copy : {row, row + 4}) {
            const int x0 = (col + 8 * mirrored) * cell, y0 = copy * cell;
            for (int y = 0; y < cell; ++y)
                for (int x = 0; x < cell; ++x) {
                    const Part part = sprite.p[y][mirrored ? cell - 1 - x : x];
                    sheet.set(x0 + x, y0 + y, palette[part]);
                    if (copy == row + 4 && part == outline)
                        sheet.set(x0 + x, (row + 8) * cell + y, glow);
                }
        }
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "assets/textures/forg.png";
    Canvas sheet(256, 256);
    for (Rgba& p : sheet.pixels) p = {0, 0, 0, 0};

    const Pose base;
    Pose puff = base, bigPuff = base, blink = base, leap = base;
    puff.throat = 0.6f;
    bigPuff.throat = 1.2f;
    bigPuff.squash = 0.95f;
    blink.blink = true;
    leap.lift = 2.0f;
    leap.squash = 0.9f;
    leap.legs = Legs::leap;
    const Pose idle[8] = {base, puff, bigPuff, puff, blink, base, leap, leap};
    for (int col = 0; col < 8; ++col) place(sheet, drawForg(idle[col]), col, 0);

    Pose stride = base, together = base, crossed = base;
    stride.legs = Legs::stride;
    together.legs = Legs::together;
    together.lift = 1.0f;
    crossed.legs = Legs::crossed;
    const Pose walk[6] = {stride, stride, together, together, crossed, crossed};
    for (int col = 0; col < 6; ++col) place(sheet, drawForg(walk[col]), col, 2);

    if (!sheet.savePng(out)) return 1;
    std::printf("wrote %s\n", out);
    return 0;
}

// Draws the tutorial's diagrams at the sizes the slideshow shows them:
// assets/textures/comparison.png (391 x 325): a square, a cube and a tesseract side by side, each
// the one before stretched into one more dimension;
// assets/textures/rotation4D.png (500 x 250): turning a 2D slice inside a 3D cube beside turning
// a 3D slice inside a 4D tesseract.
// Clear backgrounds, so they sit on the slideshow's panels.

#include "tools/LineArt.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float pi = 3.14159265f;
const Rgba white{255, 255, 255, 255}, cyan{0, 255, 255, 255}, magenta{255, 0, 255, 255};
const Rgba cyanFill{0, 255, 255, 70}, magentaFill{255, 0, 255, 70};

struct Vec3 {
    float x, y, z;
};
struct Vec4 {
    float x, y, z, w;
};

// A view from above and to the side: turned about the vertical, then tilted; y up in space,
// down on the picture.
Point project(Vec3 p, Point centre, float scale, float yaw = 0.55f, float tilt = 0.35f) {
    const float x = p.x * std::cos(yaw) - p.z * std::sin(yaw);
    const float z = p.x * std::sin(yaw) + p.z * std::cos(yaw);
    const float y = p.y * std::cos(tilt) - z * std::sin(tilt);
    return {centre.x + x * scale, centre.y - y * scale};
}

// From 4D to 3D, looking along w: the far cube (w = -1) small, the near one (w = +1) large.
Vec3 project4(Vec4 p) {
    const float s = 2.2f / (3.2f - p.w);
    return {p.x * s, p.y * s, p.z * s};
}

// The 12 edges of a box given by its 8 corners in binary order (bit 0 x, bit 1 y, bit 2 z).
void drawBoxEdges(Canvas& canvas, const std::array<Point, 8>& c, float width, Rgba color) {
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) drawLine(canvas, c[i], c[i | bit], width, color);
}

void fillBoxFaces(Canvas& canvas, const std::array<Point, 8>& c, Rgba color) {
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& f : faces) fillConvex(canvas, {c[f[0]], c[f[1]], c[f[2]], c[f[3]]}, color);
}

std::array<Point, 8> cubeCorners(Point centre, float scale, float half = 1.0f) {
    std::array<Point, 8> c;
    for (int i = 0; i < 8; ++i)
        c[i] = project({i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half}, centre, scale);
    return c;
}

// The tesseract's 32 edges, its w = -1 cube and w = +1 cube and the lines joining them.
void drawTesseract(Canvas& canvas, Point centre, float scale, float width) {
    auto corner = [&](int i) {
        const Vec4 p{i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f, i & 8 ? 1.f : -1.f};
        return project(project4(p), centre, scale);
    };
    for (int i = 0; i < 16; ++i)
        for (int bit = 1; bit < 16; bit <<= 1) {
            if (i & bit) continue;
            const Rgba color = bit == 8 ? magenta : (i & 8 ? white : cyan);
            drawLine(canvas, corner(i), corner(i | bit), width, color);
        }
}

void comparison() {
    Canvas canvas(391, 325);
    for (Rgba& p : canvas.pixels) p = {0, 0, 0, 0};
    const float y = 120.0f;

    // A square: the 2D world.
    const Point square{62, y};
    fillConvex(canvas, {{square.x - 38, y - 38}, {square.x + 38, y - 38}, {square.x + 38, y + 38}, {square.x - 38, y + 38}},
               cyanFill);
    drawLine(canvas, {square.x - 38, y - 38}, {square.x + 38, y - 38}, 3, cyan);
    drawLine(canvas, {square.x + 38, y - 38}, {square.x + 38, y + 38}, 3, cyan);
    drawLine(canvas, {square.x + 38, y + 38}, {square.x - 38, y + 38}, 3, cyan);
    drawLine(canvas, {square.x - 38, y + 38}, {square.x - 38, y - 38}, 3, cyan);

    // A cube: the square stretched into depth.
    const Point cube{190, y};
    const std::array<Point, 8> c = cubeCorners(cube, 34.0f);
    fillBoxFaces(canvas, c, {0, 255, 255, 25});
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) drawLine(canvas, c[i], c[i | bit], 3, bit == 4 ? magenta : cyan);

    // A tesseract: the cube stretched into the fourth direction.
    drawTesseract(canvas, {318, y}, 34.0f, 2.5f);

    // Arrows from each shape to the next.
    for (float x : {113.0f, 242.0f}) {
        drawLine(canvas, {x, y}, {x + 22, y}, 3, white);
        drawLine(canvas, {x + 22, y}, {x + 14, y - 7}, 3, white);
        drawLine(canvas, {x + 22, y}, {x + 14, y + 7}, 3, white);
    }

    drawCentredText(canvas, "2D", 62, 18, 3, cyan);
    drawCentredText(canvas, "3D", 190, 18, 3, cyan);
    drawCentredText(canvas, "4D", 318, 18, 3, magenta);
    drawCentredText(canvas, "square", 62, 186, 2, white);
    drawCentredText(canvas, "cube", 190, 186, 2, white);
    drawCentredText(canvas, "tesseract", 318, 186, 2, white);

    const char* lines[] = {"A cube is a square", "stretched into depth.", "A tesseract is a cube",
                           "stretched into a 4th", "direction."};
    int line = 0;
    for (const char* text : lines) drawCentredText(canvas, text, 195, 222 + 20 * line++, 2, white);
    if (!canvas.savePng("assets/textures/comparison.png")) std::exit(1);
}

// A vertical plane through the cube's centre, turned about the vertical by `angle`.
std::array<Point, 4> planeInCube(Point centre, float scale, float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    const float reach = 1.0f / std::max(std::fabs(s), std::fabs(c));
    const Vec3 along{s * reach, 0, c * reach};
    return {project({along.x, 1, along.z}, centre, scale), project({-along.x, 1, -along.z}, centre, scale),
            project({-along.x, -1, -along.z}, centre, scale), project({along.x, -1, along.z}, centre, scale)};
}

// The 3D slice w = 0 of the tesseract after turning it by `angle` in the x-w plane: a box whose
// x runs as far as both |x| <= 1 and |w| <= 1 allow.
std::array<Point, 8> sliceOfTesseract(Point centre, float scale, float angle) {
    const float t = std::tan(angle);
    const float xm = std::fabs(t) > 1.0f ? 1.0f / std::fabs(t) : 1.0f;
    std::array<Point, 8> corners;
    for (int i = 0; i < 8; ++i) {
        const float x = i & 1 ? xm : -xm;
        // The slice's points lie at w = -x tan(angle) in the tesseract's own frame.
        const Vec4 p{x, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f, -x * t};
        corners[i] = project(project4(p), centre, scale);
    }
    return corners;
}

void rotation4D() {
    Canvas canvas(500, 250);
    for (Rgba& p : canvas.pixels) p = {0, 0, 0, 0};

    // Left: a 3D world and the 2D slices a turn of the plane shows.
    const Point left{125, 122};
    const float cubeScale = 52.0f;
    const std::array<Point, 8> cube = cubeCorners(left, cubeScale);
    const std::array<Point, 4> before = planeInCube(left, cubeScale, 0.0f);
    const std::array<Point, 4> after = planeInCube(left, cubeScale, 0.9f);
    fillConvex(canvas, {before.begin(), before.end()}, cyanFill);
    fillConvex(canvas, {after.begin(), after.end()}, magentaFill);
    for (int i = 0; i < 4; ++i) {
        drawLine(canvas, before[i], before[(i + 1) % 4], 2, cyan);
        drawDashedLine(canvas, after[i], after[(i + 1) % 4], 2, 5, magenta);
    }
    drawBoxEdges(canvas, cube, 2, white);
    drawArcArrow(canvas, {left.x, left.y - 78}, 40, 10, 0.6f * pi, 0.1f * pi, 2.5f, white);

    // Right: a 4D world and the 3D slices a turn of the slice shows.
    const Point right{375, 122};
    const float tesseractScale = 46.0f;
    drawTesseract(canvas, right, tesseractScale, 1.5f);
    const std::array<Point, 8> sliceBefore = sliceOfTesseract(right, tesseractScale, 0.0f);
    const std::array<Point, 8> sliceAfter = sliceOfTesseract(right, tesseractScale, 0.6f);
    fillBoxFaces(canvas, sliceBefore, {0, 255, 255, 30});
    drawBoxEdges(canvas, sliceBefore, 2.5f, cyan);
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) drawDashedLine(canvas, sliceAfter[i], sliceAfter[i | bit], 2.5f, 5, magenta);
    drawArcArrow(canvas, {right.x, right.y - 82}, 40, 10, 0.6f * pi, 0.1f * pi, 2.5f, white);

    drawCentredText(canvas, "a 2D slice", 125, 206, 2, white);
    drawCentredText(canvas, "of a 3D world", 125, 226, 2, white);
    drawCentredText(canvas, "a 3D slice", 375, 206, 2, white);
    drawCentredText(canvas, "of a 4D world", 375, 226, 2, white);
    if (!canvas.savePng("assets/textures/rotation4D.png")) std::exit(1);
}

}  // namespace

int main() {
    comparison();
    rotation4D();
    std::printf("wrote assets/textures/comparison.png and assets/textures/rotation4D.png\n");
    return 0;
}

#pragma once

// Line drawings for the tutorial's pictures on a Canvas: smooth lines, filled convex polygons,
// text in our bitmap font, and points of small 3D and 4D figures projected onto the picture.
// Everything is blended over what is there, so pictures can start clear.

#include "tools/Canvas.h"
#include "tools/FontGlyphs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

struct Point {
    float x = 0, y = 0;
};

// Source over destination, with the source's alpha scaled by coverage (0..1).
inline void blendPixel(Canvas& canvas, int x, int y, Rgba color, float coverage) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || coverage <= 0.0f) return;
    const Rgba dst = canvas.get(x, y);
    const float sa = color.a / 255.0f * std::min(coverage, 1.0f), da = dst.a / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f) return;
    auto channel = [&](uint8_t s, uint8_t d) { return clampByte((s * sa + d * da * (1.0f - sa)) / oa); };
    canvas.set(x, y, {channel(color.r, dst.r), channel(color.g, dst.g), channel(color.b, dst.b),
                      clampByte(oa * 255.0f)});
}

// A line of the given width with smooth edges and round ends.
inline void drawLine(Canvas& canvas, Point a, Point b, float width, Rgba color) {
    const float reach = width / 2.0f + 1.0f;
    const int x0 = int(std::floor(std::min(a.x, b.x) - reach)), x1 = int(std::ceil(std::max(a.x, b.x) + reach));
    const int y0 = int(std::floor(std::min(a.y, b.y) - reach)), y1 = int(std::ceil(std::max(a.y, b.y) + reach));
    const float dx = b.x - a.x, dy = b.y - a.y, lengthSquared = dx * dx + dy * dy;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
            const float t = lengthSquared > 0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0f, 1.0f) : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float distance = std::sqrt(ex * ex + ey * ey);
            blendPixel(canvas, x, y, color, width / 2.0f + 0.5f - distance);
        }
}

// A dashed line: dashes and gaps of `dash` pixels.
inline void drawDashedLine(Canvas& canvas, Point a, Point b, float width, float dash, Rgba color) {
    const float length = std::hypot(b.x - a.x, b.y - a.y);
    for (float s = 0; s < length; s += 2 * dash) {
        const float e = std::min(s + dash, length);
        auto at = [&](float d) { return Point{a.x + (b.x - a.x) * d / length, a.y + (b.y - a.y) * d / length}; };
        drawLine(canvas, at(s), at(e), width, color);
    }
}

// A convex polygon, filled at pixel centres.
inline void fillConvex(Canvas& canvas, const std::vector<Point>& corners, Rgba color) {
    if (corners.size() < 3) return;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const Point& p : corners) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    for (int y = int(minY); y <= int(maxY); ++y)
        for (int x = int(minX); x <= int(maxX); ++x) {
            const Point c{x + 0.5f, y + 0.5f};
            int positive = 0, negative = 0;
            for (size_t i = 0; i < corners.size(); ++i) {
                const Point& p = corners[i];
                const Point& q = corners[(i + 1) % corners.size()];
                const float side = (q.x - p.x) * (c.y - p.y) - (q.y - p.y) * (c.x - p.x);
                positive += side > 0, negative += side < 0;
            }
            if (positive == 0 || negative == 0) blendPixel(canvas, x, y, color, 1.0f);
        }
}

// Text in the game's font: 8 x 8 cells, each font pixel a scale x scale block.
inline int textWidth(const std::string& text, int scale) { return int(text.size()) * 8 * scale; }

inline void drawText(Canvas& canvas, const std::string& text, int x, int y, int scale, Rgba color,
                     bool shadow = true) {
    for (int pass = shadow ? 0 : 1; pass < 2; ++pass) {
        const int offset = pass == 0 ? scale : 0;
        const Rgba ink = pass == 0 ? Rgba{0, 0, 0, 255} : color;
        for (size_t i = 0; i < text.size(); ++i) {
            const Glyph* glyph = findGlyph(text[i]);
            if (!glyph) continue;
            for (int row = 0; row < 8; ++row)
                for (int column = 0; glyph->rows[row][column]; ++column)
                    if (glyph->rows[row][column] == '#')
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                blendPixel(canvas, x + offset + (int(i) * 8 + column) * scale + dx,
                                           y + offset + row * scale + dy, ink, 1.0f);
        }
    }
}

inline void drawCentredText(Canvas& canvas, const std::string& text, int centreX, int y, int scale, Rgba color) {
    drawText(canvas, text, centreX - textWidth(text, scale) / 2, y, scale, color);
}

// An arc of a circle from angle a0 to a1 (radians, y down), with an arrow head at its end.
inline void drawArcArrow(Canvas& canvas, Point centre, float rx, float ry, float a0, float a1, float width,
                         Rgba color) {
    const int steps = 48;
    Point previous{centre.x + rx * std::cos(a0), centre.y + ry * std::sin(a0)};
    for (int i = 1; i <= steps; ++i) {
        const float a = a0 + (a1 - a0) * float(i) / steps;
        const Point p{centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)};
        drawLine(canvas, previous, p, width, color);
        previous = p;
    }
    // The head points along the arc's direction at its end.
    const float direction = a1 > a0 ? 1.0f : -1.0f;
    float tx = -rx * std::sin(a1) * direction, ty = ry * std::cos(a1) * direction;
    const float length = std::hypot(tx, ty);
    tx /= length, ty /= length;
    const float head = 4.0f * width;
    drawLine(canvas, previous, {previous.x - head * (tx + 0.6f * ty), previous.y - head * (ty - 0.6f * tx)}, width, color);
    drawLine(canvas, previous, {previous.x - head * (tx - 0.6f * ty), previous.y - head * (ty + 0.6f * tx)}, width, color);
}

#include "world/DiscSelection.h"

#include <algorithm>
#include <cmath>

namespace {

// Beyond this a cell coordinate no longer fits the walk's arithmetic exactly.
constexpr double MAX_COORDINATE = 1e15;
// A chord shorter than this has no direction to walk along.
constexpr double MIN_CHORD = 1e-6;

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

glm::dvec3 unitNormal(const glm::vec3& normal) {
    const glm::dvec3 n(normal);
    const double length = glm::length(n);
    if (!isFinite(normal) || !(length > 0.0) || !std::isfinite(length)) return {0.0, 0.0, 1.0};
    return n / length;
}

int stepAxisOf(const glm::dvec3& n) {
    const int m = std::abs(n.y) <= std::abs(n.x) ? 1 : 0;
    return std::abs(n[m]) < std::abs(n.z) ? m : 2;
}

}  // namespace

int discStepAxis(const glm::vec3& normal) { return stepAxisOf(unitNormal(normal)); }

DiscSelection selectDisc(const glm::vec3& centre, float radius, const glm::vec3& normal) {
    DiscSelection result;
    const glm::dvec3 n = unitNormal(normal);
    const int k = stepAxisOf(n);
    result.stepAxis = k;
    if (!isFinite(centre) || !(radius > 0.0f) || !std::isfinite(radius)) return result;
    if (std::abs(centre.x) > MAX_COORDINATE || std::abs(centre.y) > MAX_COORDINATE ||
        std::abs(centre.z) > MAX_COORDINATE || radius > MAX_COORDINATE)
        return result;

    // Double precision throughout: far from the origin single-precision steps lose the cells.
    const glm::dvec3 p(centre);
    const double r = radius;
    const int i = k == 0 ? 1 : 0;
    const int j = k == 2 ? 1 : 2;
    glm::dvec3 axis(0.0);
    axis[k] = 1.0;
    const glm::dvec3 u = glm::normalize(glm::cross(axis, n));
    const glm::dvec3 v = glm::normalize(glm::cross(u, n));

    // The lines are the integers of axis k that the disc reaches, counted as integers so
    // that the walk always ends.
    const double s = v[k] > 0.0 ? -1.0 : 1.0;
    const double firstEnd = std::ceil(p[k] + v[k] * r * s);
    const double lastEnd = std::floor(p[k] - v[k] * r * s);
    const auto first = int64_t(std::min(firstEnd, lastEnd));
    const auto last = int64_t(std::max(firstEnd, lastEnd));

    const glm::dvec2 uPlane(u[i], u[j]);
    const glm::dvec2 chordDirection = uPlane / glm::length(uPlane);
    for (int64_t line = first; line <= last; ++line) {
        const glm::dvec3 cur = p + v * ((double(line) - p[k]) / v[k]);
        // The disc's edge on an integer line can come out a hair beyond R.
        const double ratio = std::min(glm::length(cur - p) / r, 1.0);
        const double h = std::cos(std::asin(ratio));
        const glm::dvec3 a = cur - u * (h * r);
        const glm::dvec2 a2(a[i], a[j]);
        const glm::dvec2 d = chordDirection * (2.0 * h * r);
        const double chord = glm::length(d);

        auto cellAt = [&](int64_t ci, int64_t cj) {
            glm::i64vec3 cell;
            cell[k] = line;
            cell[i] = ci;
            cell[j] = cj;
            return cell;
        };
        result.cells.push_back({cellAt(int64_t(std::floor(a2.x)), int64_t(std::floor(a2.y))), true});
        if (!(chord >= MIN_CHORD)) continue;

        // Grid walk along the chord: each step crosses the nearer of the next i and j
        // boundaries. A chord crosses at most |D_i| + |D_j| + 2 boundaries.
        const int maxSteps = int(std::ceil(std::abs(d.x)) + std::ceil(std::abs(d.y))) + 4;
        glm::dvec2 c = a2;
        for (int step = 0; step < maxSteps; ++step) {
            const double nextI = d.x > 0.0 ? std::floor(c.x) + 1.0 : std::ceil(c.x) - 1.0;
            const double nextJ = d.y > 0.0 ? std::floor(c.y) + 1.0 : std::ceil(c.y) - 1.0;
            const bool crossJ = std::abs(d.y / d.x) > std::abs((nextJ - c.y) / (nextI - c.x));
            if (crossJ) {
                c += d * ((nextJ - c.y) / d.y);
                c.y = std::round(c.y);
            } else {
                c += d * ((nextI - c.x) / d.x);
                c.x = std::round(c.x);
            }
            if (glm::length(c - a2) > chord) break;

            // Through a grid corner both boundaries are crossed at once: the chord goes on in
            // the diagonal cell, not in one that only touches the corner.
            const bool corner = crossJ ? c.x == nextI : c.y == nextJ;
            auto ci = int64_t(std::floor(c.x));
            auto cj = int64_t(std::floor(c.y));
            if ((crossJ || corner) && d.y < 0.0) --cj;
            if ((!crossJ || corner) && d.x < 0.0) --ci;
            result.cells.push_back({cellAt(ci, cj), false});
        }
    }
    return result;
}

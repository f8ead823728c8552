#include "game/Player.h"
#include "world/World.h"

#include <cmath>

namespace {

constexpr float gridTolerance = 1e-7f;
// Cells are int coordinates: an eye beyond this (only damaged data puts it there) aims at
// nothing.
constexpr float gridLimit = 1.0e9f;
// A ray of a few blocks crosses at most a few dozen cell boundaries (one per block and axis);
// a stalled walk (huge coordinates where +1 rounds away) stops here instead of spinning.
constexpr int maxCrossings = 64;

bool isFinite(const glm::vec4& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

bool onGrid(const glm::vec4& v) {
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(v[i]) < gridLimit)) return false;
    return true;
}

// The cell the walk enters at p: a coordinate on a grid plane belongs to the cell ahead.
glm::ivec4 enteredCell(const glm::vec4& p, const glm::vec4& f) {
    glm::ivec4 cell;
    for (int i = 0; i < 4; ++i) {
        const float r = std::round(p[i]);
        if (std::fabs(p[i] - r) < gridTolerance)
            cell[i] = int(r) - (f[i] < 0.0f ? 1 : 0);
        else
            cell[i] = int(std::floor(p[i]));
    }
    return cell;
}

}  // namespace

void Player::raycastBlock(World* world, float reach) {
    const glm::vec4 f = forward;
    const auto aimAt = [this](const glm::ivec4& cell) {
        if (hasTargetBlock && targetBlock == cell) return;
        hasTargetBlock = true;
        targetBlock = cell;
        mineStartTime = clock();
        breakProgress = 0.0f;
    };
    const auto missed = [&] {
        hasTargetBlock = false;
        rayEnd = eyePos + f * reach;
    };

    if (!onGrid(eyePos) || !isFinite(f) || !std::isfinite(reach)) {
        hasTargetBlock = false;
        rayEnd = eyePos;
        return;
    }

    const glm::ivec4 eyeCell(glm::floor(eyePos));
    if (world->getBlock(eyeCell) > 0) {
        aimAt(eyeCell);
        hasPlacePos = false;
        rayEnd = eyePos;
        return;
    }

    glm::vec4 p = eyePos;
    for (int crossing = 0; crossing < maxCrossings; ++crossing) {
        glm::vec4 diff;
        for (int i = 0; i < 4; ++i) {
            const float plane = f[i] > 0.0f ? std::floor(p[i]) + 1.0f : std::ceil(p[i]) - 1.0f;
            diff[i] = plane - p[i];
        }
        // The axis whose next plane comes first; a comparison with an undefined quotient
        // (a zero component) keeps the current choice.
        int best = 0;
        for (int j = 1; j < 4; ++j)
            if (std::fabs(f[j] / f[best]) > std::fabs(diff[j] / diff[best])) best = j;

        p += f * (diff[best] / f[best]);
        if (!onGrid(p) || glm::length(p - eyePos) > reach) {
            missed();
            return;
        }

        const glm::ivec4 cell = enteredCell(p, f);
        if (world->getBlock(cell) > 0) {
            aimAt(cell);
            hasPlacePos = true;
            placePos = targetBlock;
            placePos[best] += f[best] < 0.0f ? 1 : -1;
            rayEnd = p;
            return;
        }
    }
    missed();
}

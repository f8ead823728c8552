#include "tutorial/Forg.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cassert>
#include <cmath>

namespace tutorial {

namespace {

bool onGrid(float v) { return std::fabs(v - std::round(v)) < Forg::gridTolerance; }

int nearest(float v) { return int(std::lround(v)); }

// Whether every column x in [lo.x, hi.x], z in [lo.z, hi.z] holds a solid cell in rows y0..y1.
bool everyColumnBlocked(const Blocks& blocks, glm::ivec3 lo, glm::ivec3 hi, int y0, int y1) {
    for (int x = lo.x; x <= hi.x; ++x)
        for (int z = lo.z; z <= hi.z; ++z) {
            bool blocked = false;
            for (int y = y0; y <= y1 && !blocked; ++y) blocked = isSolidCell(blocks, x, y, z);
            if (!blocked) return false;
        }
    return true;
}

}  // namespace

void Forg::reset(double now) {
    *this = Forg{};
    updateSlice();
    animStart = now;
}

void Forg::setAnim(ForgAnim state, double now) {
    if (animState == state) return;
    animState = state;
    animStart = now;
}

bool Forg::onGround(const Blocks& blocks) const {
    if (!onGrid(pos.y)) return false;
    const int below = nearest(pos.y) - 1;
    return below < worldSize && isSolidCell(blocks, currentBlock.x, below, currentBlock.z);
}

void Forg::tick(const Blocks& blocks, double now) {
    const bool grounded = onGround(blocks);
    if (leftKey) {
        velocity += forward * walkAcceleration;
        facing = 1;
        if (grounded) setAnim(ForgAnim::walking, now);
    } else if (rightKey) {
        velocity -= forward * walkAcceleration;
        facing = 0;
        if (grounded) setAnim(ForgAnim::walking, now);
    } else if (grounded) {
        setAnim(ForgAnim::idle, now);
    }

    if ((jumpKey || upKey) && grounded) {
        velocity.y = jumpVelocity;
    } else if (!grounded) {
        velocity.y -= gravity;
        setAnim(ForgAnim::inAir, now);
    }
    velocity.x *= damping;
    velocity.z *= damping;

    if (glm::length(velocity) > smallestSpeed) move(blocks);
    turnSlice();
}

void Forg::turnSlice() {
    if (pendingRotation == 0.0f) return;
    if (std::fabs(pendingRotation) < smallestTurn) {
        pendingRotation = 0.0f;
        return;
    }
    const float a = pendingRotation * turnShare;
    const glm::quat turn(std::cos(a / 2.0f), up * std::sin(a / 2.0f));
    sliceRotation = sliceRotation * glm::mat4_cast(turn);
    pendingRotation -= a;
    updateSlice();
}

void Forg::updateSlice() {
    forward = glm::vec3(sliceRotation * glm::vec4(0.0f, 0.0f, 1.0f, 0.0f));
    up = glm::vec3(sliceRotation * glm::vec4(0.0f, 1.0f, 0.0f, 0.0f));
}

void Forg::updateCurrentBlock() {
    for (int i = 0; i < 3; ++i)
        if (!onGrid(pos[i])) currentBlock[i] = int(std::floor(pos[i]));
}

void Forg::move(const Blocks& blocks) {
    glm::vec3 feet = pos;
    glm::vec3 head(pos.x, headY, pos.z);
    const bool headLeads = velocity.y > 0.0f;
    // The end of the body that meets the boundaries first; the other end moves along.
    auto lead = [&]() -> glm::vec3& { return headLeads ? head : feet; };
    glm::vec3 start = lead();

    for (int i = 0; i < 3; ++i) {
        if (!onGrid(lead()[i]) || velocity[i] == 0.0f) continue;
        collide(blocks, feet, head, i);
        if (glm::length(velocity) < smallestSpeed) return;
    }
    if (glm::length(velocity) < smallestSpeed) return;

    for (int crossings = 0; crossings < maxCrossingsPerTick; ++crossings) {
        const glm::vec3 from = lead();
        glm::vec3 boundary = from;
        int k = -1;
        float best = 0.0f;
        for (int i = 0; i < 3; ++i) {
            if (velocity[i] == 0.0f) continue;
            boundary[i] = velocity[i] > 0.0f ? std::floor(from[i]) + 1.0f : std::ceil(from[i]) - 1.0f;
            const float time = (boundary[i] - from[i]) / velocity[i];
            if (k < 0 || time < best) {
                k = i;
                best = time;
            }
        }
        if (k < 0) return;

        const glm::vec3 step = velocity * best;
        feet += step;
        head += step;
        // Exactly onto the boundary, so the collision and ground tests see it.
        if (k == 1) {
            lead().y = boundary.y;
            if (headLeads) feet.y = boundary.y - height;
            else head.y = boundary.y + height;
        } else {
            feet[k] = head[k] = boundary[k];
        }

        if (glm::distance(start, lead()) > glm::length(velocity)) {
            // The boundary lies beyond this tick.
            pos += velocity;
            headY = pos.y + height;
            updateCurrentBlock();
            assert(!std::isnan(pos.x));
            assert(std::isfinite(pos.x));
            return;
        }

        pos = feet;
        headY = head.y;
        updateCurrentBlock();
        collide(blocks, feet, head, k);
        assert(!std::isnan(pos.x));
        assert(std::isfinite(pos.x));
        if (glm::length(velocity) < smallestSpeed) return;
        start = lead();
    }
    // A stalled sweep keeps the last boundary it reached.
}

void Forg::collide(const Blocks& blocks, const glm::vec3& feet, const glm::vec3& head, int axis) {
    glm::ivec3 lo = currentBlock, hi = currentBlock;
    int y0, y1;
    if (axis == 1) {
        if (velocity.y >= 0.0f) {
            y0 = int(std::floor(feet.y));
            y1 = int(std::ceil(head.y));
        } else {
            y0 = int(std::floor(feet.y)) - 1;
            y1 = int(std::floor(head.y));
        }
    } else {
        y0 = int(std::floor(feet.y));
        y1 = int(std::floor(head.y));
        // The column being entered along the tested axis.
        const int r = nearest(pos[axis]);
        if (velocity[axis] > 0.0f && r > currentBlock[axis]) lo[axis] = hi[axis] = currentBlock[axis] + 1;
        if (velocity[axis] < 0.0f && r == currentBlock[axis]) lo[axis] = hi[axis] = currentBlock[axis] - 1;
        if (velocity.y < 0.0f) {
            if (onGrid(feet.y)) y0 -= 1;
            else if (onGrid(head.y)) y1 -= 1;
        }
    }
    // Through a grid corner the body enters the diagonal cell: for every other horizontal axis
    // that moves across its boundary too, the column tested is the one entered on it.
    for (int other : {0, 2}) {
        if (other == axis || velocity[other] == 0.0f || !onGrid(pos[other])) continue;
        const int boundary = nearest(pos[other]);
        lo[other] = hi[other] = velocity[other] > 0.0f ? boundary : boundary - 1;
    }
    // Standing still on a boundary, the body touches the columns on both sides of it.
    if ((velocity.x != 0.0f) != (velocity.z != 0.0f)) {
        for (int other : {0, 2}) {
            if (other == axis || velocity[other] != 0.0f || !onGrid(feet[other])) continue;
            const int r = nearest(feet[other]);
            lo[other] = r - 1;
            hi[other] = r;
        }
    }

    if (!everyColumnBlocked(blocks, lo, hi, y0, y1)) return;
    if (axis == 1) {
        velocity.y = 0.0f;
    } else {
        velocity.x = 0.0f;
        velocity.z = 0.0f;
    }
}

}  // namespace tutorial

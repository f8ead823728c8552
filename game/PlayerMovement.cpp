#include "game/Compass.h"
#include "game/Player.h"
#include "world/World.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

constexpr float walkAcceleration = 0.005f;  // per tick and key
constexpr float jumpVelocity = 0.12f;
constexpr float gravity = 0.003f;  // per tick
constexpr float horizontalDamping = 0.92f;
constexpr float gridTolerance = 1e-7f;
constexpr float headHeight = 1.8f;
constexpr float smallestMovingSpeed = 1e-7f;
constexpr float voidHeight = -20.0f;
// Below this the slide direction along a wall is undefined: the wall's normal is parallel to
// the horizontal part of the fourth view axis.
constexpr float degenerateCross = 1e-6f;

const glm::vec4 worldUp(0.0f, 1.0f, 0.0f, 0.0f);
constexpr int horizontalAxes[3] = {0, 2, 3};

bool onGridPlane(float v) { return std::fabs(v - std::round(v)) < gridTolerance; }

bool isSolid(World* world, int x, int y, int z, int w) {
    return world->getBlock(glm::ivec4(x, y, z, w)) != 0;
}

// Whether the column (x, z, w) holds a solid cell in rows yFrom to yTo.
bool columnHasBlock(World* world, int x, int z, int w, int yFrom, int yTo) {
    for (int y = yFrom; y <= yTo; ++y)
        if (isSolid(world, x, y, z, w)) return true;
    return false;
}

void stopHorizontal(glm::vec4& velocity) { velocity.x = velocity.z = velocity.w = 0.0f; }

bool isFinite(const glm::vec4& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

}  // namespace

glm::vec4 Player::walkDirection() const { return cross4(left, worldUp, over); }

bool Player::onGround(World* world) const {
    if (!onGridPlane(pos.y)) return false;
    const int below = int(std::round(pos.y)) - 1;
    return isSolid(world, currentBlock.x, below, currentBlock.z, currentBlock.w);
}

void Player::applyWalkingInput(bool screenOpen, bool grounded) {
    if (!screenOpen) {
        const glm::vec4 d = walkDirection();
        if (input[InputW])
            velocity += d * walkAcceleration;
        else if (input[InputS])
            velocity -= d * walkAcceleration;
        if (input[InputA])
            velocity += left * walkAcceleration;
        else if (input[InputD])
            velocity -= left * walkAcceleration;
    }
    if (input[InputSpace] && !screenOpen && grounded)
        velocity.y = jumpVelocity;
    else if (!grounded)
        velocity.y -= gravity;
}

void Player::update(GLFWwindow* window, World* world) {
    regenerate();
    const bool grounded = onGround(world);
    applyWalkingInput(isInventoryOpen(), grounded);
    velocity.x *= horizontalDamping;
    velocity.z *= horizontalDamping;
    velocity.w *= horizontalDamping;

    if (glm::length(velocity) > smallestMovingSpeed) {
        move(world);
        if (pos.y < voidHeight) health = 0.0f;
    }
    // Every tick, so that a player who stands still after loading, respawning or a view key
    // reads the position where they stand.
    compassPlayerPos = pos;

    updateEye(world);
    raycastBlock(world, 6.0f);

    dropPendingItem(world);
    if (inventoryToggled) {
        updateCursorMode(window);
        inventoryToggled = false;
    }
    updateWheelTurn();
    if (!isInventoryOpen()) useHands(world);
    applyWaitingReleases();
}

void Player::move(World* world) {
    // Each component below one block per tick keeps consecutive stops on one axis more than a
    // velocity step apart, which is what ends the sweep.
    for (int i = 0; i < 4; ++i) velocity[i] = std::clamp(velocity[i], -maxAxisSpeed, maxAxisSpeed);

    glm::vec4 foot = pos;
    glm::vec4 head(pos.x, headY, pos.z, pos.w);
    const bool headLeads = velocity.y > 0.0f;
    glm::vec4& lead = headLeads ? head : foot;
    glm::vec4& trail = headLeads ? foot : head;
    glm::vec4 start = lead;

    collide(world);
    if (glm::length(velocity) < smallestMovingSpeed) return;

    for (int crossings = 0;; ++crossings) {
        // A stalled sweep keeps the last position that passed the collision test.
        if (crossings == maxCrossingsPerTick) return;

        glm::vec4 target, diff;
        for (int i = 0; i < 4; ++i) {
            target[i] = velocity[i] > 0.0f ? std::floor(lead[i]) + 1.0f : std::ceil(lead[i]) - 1.0f;
            diff[i] = target[i] - lead[i];
        }
        int best = 0;
        for (int j = 1; j < 4; ++j)
            if (std::fabs(velocity[j] / velocity[best]) > std::fabs(diff[j] / diff[best])) best = j;

        const glm::vec4 step = velocity * (diff[best] / velocity[best]);
        lead += step;
        trail += step;
        // Land exactly on the plane so the collision test sees it.
        lead[best] = target[best];
        if (best != 1) trail[best] = target[best];
        if (!isFinite(lead) || !isFinite(trail)) return;

        if (glm::distance(start, lead) > glm::length(velocity)) break;

        assert(!std::isnan(foot.x));
        pos = foot;
        headY = head.y;
        updateCurrentBlock();
        collide(world);
        assert(!std::isnan(pos.x));
        assert(std::isfinite(pos.x));
        if (glm::length(velocity) < smallestMovingSpeed) return;
        start = lead;
    }

    pos += velocity;
    headY = pos.y + headHeight;
    assert(!std::isnan(pos.x));
    assert(std::isfinite(pos.x));
    updateCurrentBlock();
}

void Player::updateCurrentBlock() {
    for (int i = 0; i < 4; ++i)
        if (!onGridPlane(pos[i])) currentBlock[i] = int(std::floor(pos[i]));
}

void Player::collide(World* world) {
    const glm::ivec4 R(glm::round(pos));
    const glm::ivec4 cb = currentBlock;
    const int RH = int(std::round(headY));
    const int FH = int(std::floor(headY));

    int boundaryAxes[3];
    int boundaryCount = 0;
    for (int i : horizontalAxes)
        if (std::fabs(pos[i] - float(R[i])) < gridTolerance) boundaryAxes[boundaryCount++] = i;
    const bool footOnGrid = std::fabs(pos.y - float(R.y)) < gridTolerance;
    const bool headOnGrid = std::fabs(headY - float(RH)) < gridTolerance;

    int vertical = 0;
    if (velocity.y > 0.0f)
        vertical = headOnGrid ? 1 : 0;
    else if (velocity.y < 0.0f)
        vertical = footOnGrid ? -1 : 0;

    // Rows a horizontal move sweeps through: the body's, plus the row it is about to enter.
    int top = headOnGrid ? RH : FH;
    if (headOnGrid && !isSolid(world, cb.x, top + 1, cb.z, cb.w)) top += 1;
    int bottom = footOnGrid ? R.y : int(std::floor(pos.y));
    if (footOnGrid && !isSolid(world, cb.x, cb.y - 1, cb.z, cb.w)) bottom -= 1;

    auto columnSolid = [&](const glm::ivec4& d) {
        return columnHasBlock(world, cb.x + d.x, cb.z + d.z, cb.w + d.w, bottom, top);
    };

    struct Contact {
        int axis;
        glm::ivec4 offset;
    };
    for (int pass = 0; pass < 2; ++pass) {
        // Contacts: boundaries the body moves out of its cell across.
        Contact contacts[3];
        int contactCount = 0;
        for (int k = 0; k < boundaryCount; ++k) {
            const int i = boundaryAxes[k];
            if (velocity[i] == 0.0f) continue;
            if ((velocity[i] > 0.0f) != (R[i] > cb[i])) continue;
            glm::ivec4 offset(0);
            offset[i] = R[i] > cb[i] ? 1 : -1;
            contacts[contactCount++] = {i, offset};
        }

        int hitAxis = -1;
        if (contactCount == 1) {
            if (columnSolid(contacts[0].offset)) hitAxis = contacts[0].axis;
        } else if (contactCount == 2) {
            const bool hit0 = columnSolid(contacts[0].offset);
            const bool hit1 = columnSolid(contacts[1].offset);
            const bool hitDiagonal = columnSolid(contacts[0].offset + contacts[1].offset);
            if (hit0 && hit1) {
                stopHorizontal(velocity);
                break;
            }
            if (!hitDiagonal) {
                // The body passes the corner into the free diagonal cell.
            } else if (hit0 != hit1) {
                hitAxis = hit0 ? contacts[0].axis : contacts[1].axis;
            } else {
                const int a0 = contacts[0].axis, a1 = contacts[1].axis;
                hitAxis = std::fabs(velocity[a0]) < std::fabs(velocity[a1]) ? a0 : a1;
            }
        } else if (contactCount == 3) {
            stopHorizontal(velocity);
            break;
        }

        if (hitAxis < 0) break;
        if (pass == 1) {
            stopHorizontal(velocity);
            break;
        }
        clipVelocity(hitAxis);
    }

    if (vertical == 0) return;
    if (boundaryCount == 0) {
        const int y = vertical > 0 ? (headOnGrid ? RH : FH) : cb.y - 1;
        if (isSolid(world, cb.x, y, cb.z, cb.w)) velocity.y = 0.0f;
        return;
    }

    // The body stands over every column it touches: it stops only when all of them are solid.
    int movingHorizontal = 0;
    for (int i : horizontalAxes)
        if (velocity[i] != 0.0f) ++movingHorizontal;
    glm::ivec4 lo = cb, hi = cb;
    if (movingHorizontal == 1 || movingHorizontal == 2) {
        for (int k = 0; k < boundaryCount; ++k) {
            const int i = boundaryAxes[k];
            if (velocity[i] != 0.0f) continue;
            lo[i] = R[i] - 1;
            hi[i] = R[i];
        }
    }
    const int yFrom = footOnGrid ? cb.y - 1 : cb.y;
    const int yTo = headOnGrid ? RH : FH;
    for (int x = lo.x; x <= hi.x; ++x)
        for (int z = lo.z; z <= hi.z; ++z)
            for (int w = lo.w; w <= hi.w; ++w)
                if (!columnHasBlock(world, x, z, w, yFrom, yTo)) return;
    velocity.y = 0.0f;
}

void Player::clipVelocity(int axis) {
    if (axis == 1) {
        velocity.y = 0.0f;
        return;
    }
    const glm::vec3 h(velocity.x, velocity.z, velocity.w);
    if (glm::length(h) < gridTolerance) {
        stopHorizontal(velocity);
        return;
    }
    const int k = axis == 0 ? 0 : axis - 1;  // x, z, w -> 0, 1, 2
    glm::vec3 n(0.0f);
    n[k] = h[k] > 0.0f ? -1.0f : 1.0f;
    const glm::vec3 o(over.x, over.z, over.w);
    const glm::vec3 c = glm::cross(n, o);
    if (glm::length(c) < degenerateCross) {
        // No slide line within the seen slice: the wall stops the body.
        stopHorizontal(velocity);
        return;
    }
    const glm::vec3 s = glm::normalize(c);
    const glm::vec3 slide = s * glm::dot(h, s);
    velocity.x = slide.x;
    velocity.z = slide.y;
    velocity.w = slide.z;
    assert(!std::isnan(pos.x));
    assert(std::isfinite(pos.x));
}

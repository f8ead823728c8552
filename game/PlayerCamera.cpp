#include "game/Compass.h"
#include "game/Player.h"
#include "world/World.h"

#include <glm/gtc/constants.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

const glm::vec4 worldUp(0.0f, 1.0f, 0.0f, 0.0f);
constexpr float pi = glm::pi<float>();
constexpr float halfPi = glm::half_pi<float>();

constexpr float eyeBelowHead = 0.023f;
constexpr float eyePushMargin = 0.023f;
constexpr float eyeBlockMargin = 0.0054f;
constexpr int blockBelowWorld = 6;
constexpr float wheelEase = 0.1f;  // share of the pending turn applied per tick
constexpr float wheelStop = 0.001f;
constexpr float cursorScale = 0.5f;
constexpr float compassTurnPerPixel = 0.005f;
// A push whose direction within the slice is shorter than this has none: the wall's normal is
// parallel to the horizontal part of the fourth view axis.
constexpr float degenerateCross = 1e-6f;

// Pitch from the up vector's height: 0 level, positive looking up.
float pitchOf(float upHeight, float forwardHeight) {
    const float c = std::clamp(upHeight, -1.0f, 1.0f);
    const float p = forwardHeight > 0.0f ? pi - std::asin(c) : std::asin(c);
    return p - halfPi;
}

// Turns the orientation by a rotor, on the world side.
void turn(Mat5& orientation, const Rotor4& rotor) { orientation = rotor.toMat5() * orientation; }

glm::vec4 column(const Mat5& m, int i) { return {m.at(i, 0), m.at(i, 1), m.at(i, 2), m.at(i, 3)}; }

void setColumn(Mat5& m, int i, const glm::vec4& v) {
    for (int r = 0; r < 4; ++r) m.at(i, r) = v[r];
}

glm::vec3 horizontal(const glm::vec4& v) { return {v.x, v.z, v.w}; }

float distanceToGridPlane(float v) { return std::fabs(v - std::round(v)); }

// The columns around `cell`: two on each horizontal axis on which p lies within `margin` of a
// cell boundary, the cell's own otherwise.
void columnsNear(const glm::vec4& p, const glm::ivec4& cell, float margin, glm::ivec4& lo,
                 glm::ivec4& hi) {
    lo = hi = cell;
    for (int i : {0, 2, 3}) {
        if (distanceToGridPlane(p[i]) > margin) continue;
        hi[i] = int(std::round(p[i]));
        lo[i] = hi[i] - 1;
    }
}

}  // namespace

void Player::updateCameraVectors() {
    left = column(orientation, 0);
    up = column(orientation, 1);
    forward = column(orientation, 2);
    over = column(orientation, 3);
    const glm::vec4 readUp = up;
    const glm::vec4 readForward = forward;

    over.y = 0.0f;
    over = glm::normalize(over);
    left.y = 0.0f;
    left = glm::normalize(left);

    const glm::vec4 a = glm::normalize(cross4(over, left, worldUp));
    left = glm::normalize(cross4(a, over, worldUp));
    const glm::vec4 h = glm::normalize(cross4(over, left, worldUp));

    const float pitch = pitchOf(readUp.y / glm::length(readUp), readForward.y);
    if (pitch != 0.0f)
        forward = glm::normalize(Rotor4(wedge4(h, worldUp), pitch).rotate(h));
    else
        forward = glm::normalize(readForward);
    assert(!std::isnan(forward.x));
    up = glm::normalize(cross4(forward, left, over));

    setColumn(orientation, 0, left);
    setColumn(orientation, 1, up);
    setColumn(orientation, 2, forward);
    setColumn(orientation, 3, over);

    compassFacing = h;
    compassLeft = left;
    compassOver = over;
}

void Player::cursorPos(GLFWwindow* window, double x, double y) {
    if (isInventoryOpen()) {
        inventoryGui->cursorPos(window, x, y);
        return;
    }

    const float s = lookSensitivity * cursorScale;
    const double newX = lastCursorX + double(float((x - lastCursorX) * s));
    const double newY = lastCursorY + double(float((y - lastCursorY) * s));
    windowAdapter->setCursorPos(window, newX, newY);
    const double dx = newX - lastCursorX;
    const double dy = lastCursorY - newY;  // moving the mouse up looks up
    lastCursorX = newX;
    lastCursorY = newY;

    if (input[InputUsing] && holdingCompass()) {
        compassAngles[0] += float(dx * 0.5 * compassTurnPerPixel);
        compassAngles[1] += float(dy * compassTurnPerPixel);
        return;
    }

    const float yaw = float(dx / 1000.0 * glm::pi<double>());
    float dp = float(dy / 1000.0 * glm::pi<double>());
    const float p = pitchOf(up.y, forward.y);
    if (p + dp > halfPi) dp = halfPi - p;
    if (p + dp < -halfPi) dp = -halfPi - p;

    const glm::vec4 d = cross4(left, worldUp, over);
    Rotor4 rotor(wedge4(left, d), yaw);
    rotor.multiply(Rotor4(wedge4(d, worldUp), dp));
    turn(orientation, rotor);
    assert(!std::isnan(orientation.at(0, 0)));
    updateCameraVectors();
}

void Player::updateWheelTurn() {
    if (pendingTurn == 0.0f) return;
    if (std::fabs(pendingTurn) < wheelStop) {
        pendingTurn = 0.0f;
    } else {
        const float step = pendingTurn * wheelEase;
        const glm::vec4 d = cross4(left, worldUp, over);
        turn(orientation, Rotor4(wedge4(d, over), step));
        pendingTurn -= step;
        updateCameraVectors();
        assert(!std::isnan(over.x));
    }
    reloadChunks = true;
}

void Player::updateEye(World* world) {
    const glm::vec4 e(pos.x, headY - eyeBelowHead, pos.z, pos.w);
    eyePos = e;
    if (!std::isfinite(e.x) || !std::isfinite(e.y) || !std::isfinite(e.z) || !std::isfinite(e.w)) {
        eyeBlock = 0;
        return;
    }
    const glm::ivec4 eyeCell(currentBlock.x, int(std::floor(headY)), currentBlock.z, currentBlock.w);

    glm::ivec4 lo, hi;
    columnsNear(e, eyeCell, eyePushMargin, lo, hi);

    if (headY < 0.0f) {
        eyeBlock = blockBelowWorld;
        return;
    }
    const int feetBlock = world->getBlock(currentBlock);
    if (feetBlock != 0) {
        eyeBlock = feetBlock;
        return;
    }
    if (lo == hi) {
        eyeBlock = 0;
        return;
    }

    // Push away from solid neighbours of the eye cell.
    glm::ivec4 push(0);
    for (int x = lo.x; x <= hi.x; ++x)
        for (int z = lo.z; z <= hi.z; ++z) {
            bool afterSolid = false;
            for (int w = lo.w; w <= hi.w; ++w) {
                const glm::ivec4 cell(x, eyeCell.y, z, w);
                if (cell == eyeCell) continue;
                const bool solid = world->getBlock(cell) != 0;
                if (solid) afterSolid = true;
                for (int i : {0, 2, 3}) {
                    if (cell[i] == eyeCell[i]) continue;
                    if (solid || (i == 3 && afterSolid)) push[i] = cell[i] < eyeCell[i] ? 1 : -1;
                }
            }
        }

    // Pushes follow one another: each starts from where the previous one left the eye.
    const glm::vec3 o = horizontal(over);
    glm::vec4 moved = e;
    for (int i : {0, 2, 3}) {
        const float gap = distanceToGridPlane(moved[i]);
        if (push[i] == 0 || gap > eyePushMargin) continue;
        glm::vec3 n(0.0f);
        n[i == 0 ? 0 : i - 1] = float(push[i]);
        const glm::vec3 c = glm::cross(n, o);
        if (glm::length(c) < degenerateCross) continue;  // no way out within the slice
        const glm::vec3 m = glm::normalize(glm::cross(glm::normalize(c), o));
        const glm::vec3 shift = -m * (eyePushMargin - gap);
        moved.x += shift.x;
        moved.z += shift.y;
        moved.w += shift.z;
    }

    // The moved eye must not sit within a hair of a solid neighbour.
    const glm::ivec4 movedCell(glm::floor(moved));
    glm::ivec4 lo2, hi2;
    columnsNear(moved, movedCell, eyeBlockMargin, lo2, hi2);
    if (lo2 != hi2) {
        for (int x = lo2.x; x <= hi2.x; ++x)
            for (int z = lo2.z; z <= hi2.z; ++z)
                for (int w = lo2.w; w <= hi2.w; ++w) {
                    const int id = world->getBlock(glm::ivec4(x, movedCell.y, z, w));
                    if (id != 0) {
                        eyeBlock = id;
                        return;
                    }
                }
    }
    eyePos = moved;
    eyeBlock = 0;
}

bool Player::holdingCompass() {
    const std::unique_ptr<Item>& held = hotbar.selectedSlot();
    return held && held->getName() == "Compass";
}

#include "game/BoxMotion.h"

#include "world/World.h"

#include <algorithm>
#include <cmath>

namespace boxmotion {

bool onGrid(const glm::vec4& p) {
    for (int k = 0; k < 4; ++k)
        if (!(std::fabs(p[k]) < gridLimit)) return false;
    return true;
}

void slideAndFall(glm::vec4& velocity) {
    velocity.x *= damping;
    velocity.z *= damping;
    velocity.w *= damping;
    velocity.y = std::max(velocity.y - gravity, -maxFallSpeed);
}

void cellRange(float lo, float hi, int& first, int& last) {
    const float nearLo = std::round(lo);
    first = int(std::fabs(nearLo - lo) <= borderTolerance ? nearLo : std::floor(lo));
    const float nearHi = std::round(hi);
    last = std::fabs(nearHi - hi) <= borderTolerance ? int(nearHi) - 1 : int(std::floor(hi));
}

bool moveAxis(World* world, glm::vec4& pos, glm::vec4& velocity, float halfExtent, int axis) {
    pos[axis] += velocity[axis];
    if (!onGrid(pos)) return false;

    glm::ivec4 first, last;
    for (int k = 0; k < 4; ++k) cellRange(pos[k] - halfExtent, pos[k] + halfExtent, first[k], last[k]);

    bool collided = false;
    glm::ivec4 cell;
    for (cell.x = first.x; cell.x <= last.x; ++cell.x)
        for (cell.y = first.y; cell.y <= last.y; ++cell.y)
            for (cell.z = first.z; cell.z <= last.z; ++cell.z)
                for (cell.w = first.w; cell.w <= last.w; ++cell.w) {
                    if (world->getBlock(cell) < 1) continue;  // air, or a chunk not loaded
                    const float border = float(cell[axis]);
                    pos[axis] = velocity[axis] > 0.0f ? border - halfExtent
                                                      : border + 1.0f + halfExtent;
                    collided = true;
                }
    if (collided) velocity[axis] = 0.0f;
    return collided;
}

}  // namespace boxmotion

#include "game/GameRules.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

namespace gamerules {

bool streamingDue(bool reloadRequested, const glm::vec4& pos, const glm::vec4& lastLoadPos) {
    return reloadRequested || glm::distance(pos, lastLoadPos) >= streamingStep;
}

int crackStage(double mineStartTime, float breakProgress) {
    if (mineStartTime == 0.0 || !(breakProgress > 0.0f)) return 0;
    return int(std::floor(std::min(breakProgress, 1.0f) * 7.0f));
}

int scrolledHotbarRow(int row, double dy) {
    int step = dy < 0 ? 1 : -1;
    return ((row + step) % hotbarRows + hotbarRows) % hotbarRows;
}

float wheelTurn(double dy, float scrollSensitivity) {
    return float(dy) * scrollSensitivity * 0.01f;
}

}  // namespace gamerules

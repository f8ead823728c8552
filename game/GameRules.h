#pragma once

#include <glm/vec4.hpp>

// Small decisions of the game screen's tick and frame, kept apart so tests can state them.
namespace gamerules {

// A streaming pass is asked for when the player asked to reload (a turn of the slice, a snap,
// new settings) or has moved 8 blocks in 4D since the last pass began.
constexpr float streamingStep = 8.0f;
bool streamingDue(bool reloadRequested, const glm::vec4& pos, const glm::vec4& lastLoadPos);

// The crack stage of the target overlay, 0..7: 0 until mining starts, then the progress in
// sevenths.
int crackStage(double mineStartTime, float breakProgress);

// The hotbar row after a Shift + wheel event: down (dy < 0) to the next row, otherwise to the
// previous one, wrapping over the eight rows.
constexpr int hotbarRows = 8;
int scrolledHotbarRow(int row, double dy);

// The wheel's turn through the fourth dimension for one event.
float wheelTurn(double dy, float scrollSensitivity);

}  // namespace gamerules

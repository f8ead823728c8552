#include "game/Compass.h"
#include "game/Player.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>
#include <iterator>

namespace {

// The held-key flags in the order of Player::input.
constexpr int heldKeys[] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S,     GLFW_KEY_D,
                            GLFW_KEY_X, GLFW_KEY_Z, GLFW_KEY_SPACE, GLFW_KEY_LEFT_SHIFT};

int heldFlagOf(int key) {
    for (int i = 0; i < int(std::size(heldKeys)); ++i)
        if (heldKeys[i] == key) return i;
    return -1;
}

void centreInCell(glm::vec4& pos, const glm::ivec4& cell) {
    pos.x = float(cell.x) + 0.5f;
    pos.z = float(cell.z) + 0.5f;
    pos.w = float(cell.w) + 0.5f;
}

}  // namespace

void Player::mouseButton(int button, int action) {
    const int flag = button == GLFW_MOUSE_BUTTON_LEFT ? InputMining
                     : button == GLFW_MOUSE_BUTTON_RIGHT ? InputUsing
                                                          : -1;
    if (flag < 0) return;
    if (action == GLFW_PRESS) {
        if (flag == InputMining) mousePressTime = clock();
        input[flag] = true;
        // A click on the open inventory screen is the screen's: no tick acts on it in the world.
        pressUnseen[flag] = !isInventoryOpen();
        releaseWaiting[flag] = false;
    } else if (pressUnseen[flag]) {
        releaseWaiting[flag] = true;
    } else {
        input[flag] = false;
    }
}

void Player::applyWaitingReleases() {
    for (int flag = 0; flag < InputCount; ++flag) {
        if (releaseWaiting[flag]) input[flag] = false;
        releaseWaiting[flag] = pressUnseen[flag] = false;
    }
}

bool Player::keyInput(GLFWwindow* window, int key, int /*scancode*/, int action, int mods) {
    if (action == GLFW_REPEAT) return true;
    const int held = heldFlagOf(key);
    if (action == GLFW_RELEASE) {
        if (held < 0) return false;
        input[held] = false;
        return true;
    }
    if (action != GLFW_PRESS) return false;

    const bool ctrl = (mods & GLFW_MOD_CONTROL) != 0;
    if (held >= 0) {
        input[held] = true;
        if (ctrl && (key == GLFW_KEY_W || key == GLFW_KEY_X || key == GLFW_KEY_Z) &&
            int(input[InputX]) + int(input[InputW]) + int(input[InputZ]) == 2)
            snapViewToAxes();
        return true;
    }
    if (key >= GLFW_KEY_1 && key <= GLFW_KEY_8) {
        hotbar.selected = glm::ivec2(0, key - GLFW_KEY_1);
        return true;
    }
    switch (key) {
    case GLFW_KEY_E:
        if (isInventoryOpen()) {
            inventoryGui->close();
        } else {
            mineStartTime = 0.0;
            inventoryGui->open();
        }
        updateCursorMode(window);
        return true;
    case GLFW_KEY_Q:
        dropRequested = true;
        return true;
    case GLFW_KEY_R:
        if (ctrl) {
            centreInCell(pos, currentBlock);
            orientation = Mat5();
            updateCameraVectors();
            pendingTurn = 0.0f;
            reloadChunks = true;
        }
        return true;
    case GLFW_KEY_T:
        pos.y = 100.0f;
        headY = 101.8f;
        currentBlock = glm::ivec4(glm::floor(pos));
        return true;
    case GLFW_KEY_ESCAPE:
        if (!isInventoryOpen()) return false;  // the game screen pauses
        inventoryGui->close();
        updateCursorMode(window);
        return true;
    default:
        return false;
    }
}

// Ctrl with two of X, Z and W: the slice spanned by those two axes and up, looking along the
// later of them. Every frame is a proper rotation, so walking follows `forward`.
void Player::snapViewToAxes() {
    const glm::vec4 axisX(1, 0, 0, 0), axisZ(0, 0, 1, 0), axisW(0, 0, 0, 1);
    centreInCell(pos, currentBlock);
    up = glm::vec4(0, 1, 0, 0);
    if (input[InputX] && input[InputZ]) {
        left = axisX;
        forward = axisZ;
        over = axisW;
    } else if (input[InputX] && input[InputW]) {
        left = axisX;
        forward = axisW;
        over = -axisZ;
        pos.z += 0.05f;
    } else {
        left = axisZ;
        forward = axisW;
        over = axisX;
        pos.x += 0.05f;
    }
    orientation = Mat5();
    const glm::vec4 columns[4] = {left, up, forward, over};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) orientation.at(c, r) = columns[c][r];
    pendingTurn = 0.0f;
    reloadChunks = true;
    compassFacing = forward;
    compassLeft = left;
    compassOver = over;
}

void Player::updateCursorMode(GLFWwindow* window) {
    if (isInventoryOpen()) {
        windowAdapter->setCursorCaptured(window, false);
        int width = 0, height = 0;
        windowAdapter->getWindowSize(window, width, height);
        windowAdapter->setCursorPos(window, width / 2, height / 2);
    } else {
        // Captured first: a captured cursor is placed without moving the pointer. Moving the
        // pointer first would report that move as mouse motion once the events arrive, and the
        // view would swing by the pointer's distance from the corner.
        lastCursorX = lastCursorY = 0.0;
        windowAdapter->setCursorCaptured(window, true);
        windowAdapter->setCursorPos(window, 0.0, 0.0);
    }
}

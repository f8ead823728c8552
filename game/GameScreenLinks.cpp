#include "game/GameState.h"

#include <GLFW/glfw3.h>

// Where the game screen hands over to the menu screens: the pause screen on Escape, the death
// screen at death, and the stored settings at start.

void GameState::openPauseScreen(StateManager& s) {
    if (pauseScreen) s.pushState(pauseScreen);
}

void GameState::openDeathScreen(StateManager& s) {
    if (deathScreen) {
        s.pushState(deathScreen);
        return;
    }
    // Without a death screen the player comes back at once, keeping the inventories, as the
    // death screen's close would do.
    player.health = 100.0f;
    player.pos = glm::vec4(131.5f, 100.0f, -101.5f, 44.5f);
    player.headY = 101.8f;
    player.orientation = Mat5();
    player.velocity = glm::vec4(0.0f);
    player.currentBlock = glm::ivec4(glm::floor(player.pos));
    player.updateCameraVectors();
}

void GameState::applyStoredSettings(GLFWwindow* window) {
    if (!settingsLoader) return;
    settingsLoader(window);
    // The field of view may have changed since the projection was made.
    int width = 0, height = 0;
    glfwGetWindowSize(window, &width, &height);
    updateProjection(width, height);
}

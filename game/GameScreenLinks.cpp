#include "game/GameState.h"

#include <GLFW/glfw3.h>

// Where the game screen hands over to the menu screens: the pause screen on Escape, the death
// screen at death and the respawn when it closes, and the stored settings at start.

void GameState::openPauseScreen(StateManager& s) {
    if (pauseScreen) s.pushState(pauseScreen);
}

void GameState::openDeathScreen(StateManager& s) {
    if (deathScreen) s.pushState(deathScreen);
}

void GameState::respawnPlayer() {
    player.respawn();
    // The slice has turned back to the one of the spawn orientation, and the player may stand
    // far from where the chunks were chosen: a pass under way stops, and the next tick streams
    // around the player again.
    world.stopLoading = true;
    player.reloadChunks = true;
}

void GameState::applyStoredSettings(GLFWwindow* window) {
    if (!settingsLoader) return;
    settingsLoader(window);
    // The field of view may have changed since the projection was made.
    int width = 0, height = 0;
    glfwGetWindowSize(window, &width, &height);
    updateProjection(width, height);
}

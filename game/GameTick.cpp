#include "game/GameState.h"

#include "engine/Audio.h"
#include "engine/StateManager.h"
#include "game/DayCycle.h"
#include "game/GameRules.h"
#include "game/InventoryScreen.h"

#include <GLFW/glfw3.h>

#include <algorithm>

void GameState::update(StateManager& s) {
    if (glfwWindowShouldClose(s.window)) {
        // close has saved and freed the world: nothing of this tick may run after it.
        s.popState();
        return;
    }

    bool newDay = false;
    timeOfDay = daycycle::advance(timeOfDay, newDay);
    if (newDay) audio::updateMusic();

    player.update(s.window, &world);

    // Chunks a running pass is still filling belong to its threads until they are loaded.
    for (auto& [coords, chunk] : world.chunks)
        if (chunk->loaded) chunk->updateMesh(&world);

    clouds.update(player.pos, player.over, uint8_t(cloudRadius), player.reloadChunks);

    streamAroundPlayer();

    for (auto& [coords, chunk] : world.chunks)
        if (chunk->loaded) chunk->updateEntities(&world, &player);

    // The player and the chunks as this tick leaves them, the dropped ones included: one moment.
    saver.endOfTick(world, player, droppedChunks);

    if (player.health <= 0.0f) openDeathScreen(s);
}

void GameState::streamAroundPlayer() {
    if (!gamerules::streamingDue(player.reloadChunks, player.pos, player.lastLoadPos)) return;
    // A pass could load a dropped chunk again before its save is written: while a save step
    // writes, the request waits as it does for a running pass.
    if (saver.writing()) return;
    auto distance = uint8_t(std::clamp(int(renderDistance), 1, 255));
    // A refused request (a pass still runs) is asked again next tick; the position counts as
    // loaded only once a pass has started from it.
    if (!world.update(player.pos, player.over, distance, &droppedChunks)) return;
    player.lastLoadPos = player.pos;
    player.reloadChunks = false;
}

void GameState::cursorPos(StateManager& s, double x, double y) { player.cursorPos(s.window, x, y); }

void GameState::scroll(StateManager&, double dx, double dy) {
    if (player.isInventoryOpen()) {
        if (InventoryGUI* screen = inventoryScreenOf(player)) screen->scroll(dx, dy);
        return;
    }
    if (player.input[Player::InputShift]) {
        player.hotbar.selected.y = gamerules::scrolledHotbarRow(player.hotbar.selected.y, dy);
        return;
    }
    if (player.pendingTurn != 0.0f) player.reloadChunks = true;
    player.pendingTurn += gamerules::wheelTurn(dy, player.scrollSensitivity);
    // The slice turns away from what the running pass selected: it should load no more.
    world.stopLoading = true;
}

void GameState::mouseButton(StateManager&, int button, int action, int mods) {
    player.mouseButton(button, action);

    // The open screen reads the cursor itself, as whole pixels, before it offers the click.
    InventoryGUI* screen = inventoryScreenOf(player);
    if (screen && screen->isOpen()) screen->mouseButton(button, action, mods, player.pendingDrop);
}

void GameState::keyInput(StateManager& s, int key, int scancode, int action, int mods) {
    if (player.keyInput(s.window, key, scancode, action, mods)) return;
    if (action == GLFW_PRESS && key == GLFW_KEY_ESCAPE) openPauseScreen(s);
}

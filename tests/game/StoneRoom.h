#pragma once

#include "engine/InputCallbacks.h"
#include "game/GameState.h"
#include "game/GameTestSupport.h"
#include "support/GameHarness.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

// The scene of the game's screenshot tests: a new world entered through the harness, the player
// centred in its cell looking along +z with the slice at constant w (Ctrl+R), walled in with
// stone at noon, so that what the view shows is what the test puts into the room. The room
// reaches 6 cells ahead and 3 to each side in x and w. Call through ASSERT_NO_FATAL_FAILURE.
namespace gametest {

inline void enterStoneRoom(testgame::GameHarness& game) {
    constexpr uint8_t stone = 3;
    Player& player = gameState.player;
    ASSERT_TRUE(game.ready());
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    keyCallback(game.window(), GLFW_KEY_R, 0, GLFW_PRESS, GLFW_MOD_CONTROL);
    keyCallback(game.window(), GLFW_KEY_R, 0, GLFW_RELEASE, GLFW_MOD_CONTROL);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    ASSERT_NEAR(player.forward.z, 1.0f, 1e-6f);

    const glm::ivec4 cell = player.currentBlock;
    ASSERT_NO_FATAL_FAILURE(buildRoom(gameState.world, cell + glm::ivec4(-4, -1, -3, -3),
                                      cell + glm::ivec4(4, 5, 7, 3), stone));
    game.tick(2);  // the changed sections are rebuilt
    gameState.timeOfDay = 0.5f;
    player.lastDamageTime = -10.0;  // no shake of the health frame in the shots
}

// Share of pixels of a rectangle that are close to any of the colours.
inline float shareOfColours(const std::vector<uint8_t>& image, int x0, int y0, int x1, int y1,
                            std::initializer_list<glm::u8vec4> colours, int tolerance) {
    float share = 0.0f;
    for (const glm::u8vec4& colour : colours) share += testgame::shareNear(image, x0, y0, x1, y1, colour, tolerance);
    return share;
}

}  // namespace gametest

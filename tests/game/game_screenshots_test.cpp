#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "game/DayCycle.h"
#include "game/GameState.h"
#include "world/WorldGenState.h"

#include <gtest/gtest.h>

#include <cmath>

// What a player sees: the loading screen of a new world, then the world at noon, at night and
// after turning the slice through the fourth dimension. The shots land in build/screenshots/.

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;

// Much of the top of the view (away from the hotbar) is sky of the time's colour, and none of
// it has the colour of the other end of the day.
void expectSkyColor(const std::vector<uint8_t>& image, float timeOfDay, float otherTime) {
    glm::u8vec4 expected = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(timeOfDay)));
    glm::u8vec4 other = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(otherTime)));
    EXPECT_GT(testgame::shareNear(image, W / 4, 0, W, H / 4, expected, 4), 0.15f);
    EXPECT_LT(testgame::shareNear(image, W / 4, 0, W, H / 4, other, 4), 0.01f);
}

// Terrain covers the lower part of the view: hardly any sky-coloured pixel there.
void expectTerrainBelow(const std::vector<uint8_t>& image, float timeOfDay) {
    glm::u8vec4 sky = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(timeOfDay)));
    float skyShare = testgame::shareNear(image, W / 4, H * 3 / 4, W, H - 10, sky, 6);
    EXPECT_LT(skyShare, 0.05f);
}

void expectCrosshair(const GameHarness& game) {
    // The cross is white at the centre and along its arms.
    for (auto [dx, dy] : {std::pair{0, 0}, {3, 0}, {-5, 0}, {0, 4}, {0, -5}}) {
        glm::u8vec4 p = game.pixel(W / 2 + dx, H / 2 + dy);
        EXPECT_GE(p.r, 250) << dx << "," << dy;
        EXPECT_GE(p.g, 250) << dx << "," << dy;
        EXPECT_GE(p.b, 250) << dx << "," << dy;
    }
}

void expectHud(const std::vector<uint8_t>& image, const GameHarness& game, float timeOfDay) {
    // The health vial stands full in the bottom-left corner: red liquid at its texel (6, 30),
    // left of the hotbar's slots.
    glm::u8vec4 liquid = game.pixel(10 + 2 * 6 + 1, H - 106 + 2 * 30 + 1);
    EXPECT_GT(liquid.r, 150);
    EXPECT_LT(liquid.g, 90);
    // The selected hotbar slot (top-left, shifted right on its even row) is drawn over the sky.
    glm::u8vec4 sky = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(timeOfDay)));
    float untouched = testgame::shareNear(image, 25 + 34, 50, 25 + 34 + 70, 50 + 72, sky, 3);
    EXPECT_LT(untouched, 0.9f);
}

TEST(GameScreenshots, LoadingThenNoonNightAndTurnedSlice) {
    GameHarness game;
    ASSERT_TRUE(game.ready());
    game.enterWorld(2.0f);
    ASSERT_EQ(game.manager.states.back(), &worldGenState);

    game.tick();
    game.frame();
    game.screenshot("game_loading");
    // The loading screen: black, with the white bar frame 200 px above the bottom.
    glm::u8vec4 corner = game.pixel(5, 5);
    EXPECT_LT(corner.r + corner.g + corner.b, 30);
    glm::u8vec4 frameTop = game.pixel(W / 2, H - 200);
    EXPECT_GT(frameTop.r + frameTop.g + frameTop.b, 600);

    ASSERT_TRUE(game.finishLoading());
    ASSERT_EQ(game.manager.states.back(), &gameState);
    ASSERT_TRUE(game.settle());
    ASSERT_TRUE(game.finishLoading());

    gameState.timeOfDay = 0.5f;
    gameState.player.lastDamageTime = -10.0;  // no shake of the health frame in the shots
    game.frame();
    game.screenshot("game_noon");
    std::vector<uint8_t> noon = game.image();
    expectSkyColor(noon, 0.5f, 0.0f);
    expectTerrainBelow(noon, 0.5f);
    expectCrosshair(game);
    expectHud(noon, game, 0.5f);

    gameState.timeOfDay = 0.0f;
    game.frame();
    game.screenshot("game_night");
    std::vector<uint8_t> night = game.image();
    expectSkyColor(night, 0.0f, 0.5f);
    expectTerrainBelow(night, 0.0f);
    expectCrosshair(game);

    // A quick wheel turn through the fourth dimension: the slice swings, a pass follows.
    glm::vec4 overBefore = gameState.player.over;
    for (int i = 0; i < 5; ++i) scrollCallback(game.window(), 0.0, 40.0);
    game.tick(150);
    EXPECT_EQ(gameState.player.pendingTurn, 0.0f);
    ASSERT_TRUE(game.finishLoading());
    game.settle();
    ASSERT_TRUE(game.finishLoading());
    glm::vec4 overAfter = gameState.player.over;
    EXPECT_LT(glm::dot(overBefore, overAfter), 0.8f);  // turned by more than 35 degrees
    EXPECT_NEAR(overAfter.y, 0.0f, 1e-5f);

    gameState.timeOfDay = 0.5f;
    game.frame();
    game.screenshot("game_turned_slice");
    std::vector<uint8_t> turned = game.image();
    // The new slice shows other ground: most of the picture has changed, and it is still
    // whole (no holes of sky colour below) and lit as at noon.
    int changed = 0;
    for (size_t i = 0; i < turned.size(); i += 4)
        changed += std::abs(int(turned[i]) - int(noon[i])) + std::abs(int(turned[i + 1]) - int(noon[i + 1])) > 24;
    EXPECT_GT(changed, W * H / 3);
    expectTerrainBelow(turned, 0.5f);
    glm::u8vec4 nightSky = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(0.0f)));
    EXPECT_LT(testgame::shareNear(turned, 0, 0, W, H, nightSky, 4), 0.01f);
    expectCrosshair(game);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace

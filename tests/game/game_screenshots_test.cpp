#include "support/GameHarness.h"

#include "engine/GlSetup.h"
#include "engine/InputCallbacks.h"
#include "game/GameState.h"
#include "game/GameTestSupport.h"
#include "items/InventoryLayout.h"
#include "screens/WorldGenState.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>

// What a player sees: the loading screen of a new world, then the world at noon, at night and
// after turning the slice through the fourth dimension; a leaves block straight ahead, mined
// with the held pick, gone from the cross-section in the very next frame, its item in the
// hotbar once the player walks over its drop; and a block held in the hand. The harness draws
// as the game does (its window, its GL state, 1024 x 768); the shots land in
// build/screenshots/.

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;
constexpr uint8_t stone = 3, leaves = 5;

// Much of the top of the view (away from the hotbar) is sky of the time's colour (when the view
// shows sky), none of it has the colour of the other end of the day, and terrain covers the
// lower part of the view.
void expectSkyAndTerrain(const std::vector<uint8_t>& image, float timeOfDay, float otherTime, bool skyAbove = true) {
    const glm::u8vec4 sky = testgame::skyBytes(timeOfDay);
    if (skyAbove) { EXPECT_GT(testgame::shareNear(image, W / 4, 0, W, H / 4, sky, 4), 0.15f); }
    EXPECT_LT(testgame::shareNear(image, 0, 0, W, H, testgame::skyBytes(otherTime), 4), 0.01f);
    EXPECT_LT(testgame::shareNear(image, W / 4, H * 3 / 4, W, H - 10, sky, 6), 0.05f);
}

// The share of the lower quarter of the view (the ground before the player) that is grass green.
float grassShare(const std::vector<uint8_t>& image) {
    int green = 0, total = 0;
    for (int y = H * 3 / 4; y < H - 10; ++y)
        for (int x = W / 4; x < W; ++x, ++total) {
            const uint8_t* p = &image[(size_t(y) * W + x) * 4];
            green += p[1] > p[2] + 30;
        }
    return float(green) / float(total);
}

// The cross is white at the centre and along its arms.
void expectCrosshair(const GameHarness& game) {
    for (auto [dx, dy] : {std::pair{0, 0}, {3, 0}, {-5, 0}, {0, 4}, {0, -5}}) {
        const glm::u8vec4 p = game.pixel(W / 2 + dx, H / 2 + dy);
        EXPECT_GE(std::min({p.r, p.g, p.b}), 250) << dx << "," << dy;
    }
}

// The red liquid of the health vial in the bottom-left corner (its texel (6, 30)).
void expectHealthVial(const GameHarness& game) {
    const glm::u8vec4 liquid = game.pixel(10 + 2 * 6 + 1, H - 106 + 2 * 30 + 1);
    EXPECT_GT(liquid.r, 150);
    EXPECT_LT(liquid.g, 90);
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
    const glm::u8vec4 corner = game.pixel(5, 5), frameTop = game.pixel(W / 2, H - 200);
    EXPECT_LT(corner.r + corner.g + corner.b, 30);
    EXPECT_GT(frameTop.r + frameTop.g + frameTop.b, 600);

    ASSERT_TRUE(game.finishLoading());
    ASSERT_EQ(game.manager.states.back(), &gameState);
    ASSERT_TRUE(game.settle());
    ASSERT_TRUE(game.finishLoading());
    gameState.timeOfDay = 0.5f;
    gameState.player.lastDamageTime = -10.0;  // no shake of the health frame in the shots
    game.frame();
    game.screenshot("game_noon");
    const std::vector<uint8_t> noon = game.image();
    expectSkyAndTerrain(noon, 0.5f, 0.0f);
    EXPECT_GT(grassShare(noon), 0.4f) << "the sky is drawn over the ground";
    expectCrosshair(game);
    // The health vial stands full in the bottom-left corner, and the selected hotbar slot
    // (top-left) is drawn over the sky.
    expectHealthVial(game);
    EXPECT_LT(testgame::shareNear(noon, 25 + 34, 50, 25 + 34 + 70, 50 + 72, testgame::skyBytes(0.5f), 3), 0.9f);

    gameState.timeOfDay = 0.0f;
    game.frame();
    game.screenshot("game_night");
    expectSkyAndTerrain(game.image(), 0.0f, 0.5f);
    expectCrosshair(game);

    // Where no chunk covers it the sky box shows: its ground, below the horizon, fills the lower
    // part of the picture that the sky colour alone would leave.
    gameState.timeOfDay = 0.5f;
    for (auto& [coords, chunk] : gameState.world.chunks) chunk->loaded = false;
    game.frame();
    for (auto& [coords, chunk] : gameState.world.chunks) chunk->loaded = true;
    game.screenshot("game_sky_box");
    EXPECT_LT(testgame::shareNear(game.image(), W / 4, H * 3 / 4, W, H - 10, testgame::skyBytes(0.5f), 6), 0.05f);

    // A quick wheel turn through the fourth dimension: the slice swings, a pass follows.
    const glm::vec4 overBefore = gameState.player.over;
    for (int i = 0; i < 5; ++i) scrollCallback(game.window(), 0.0, 40.0);
    game.tick(150);
    EXPECT_EQ(gameState.player.pendingTurn, 0.0f);
    ASSERT_TRUE(game.finishLoading());
    game.settle();
    ASSERT_TRUE(game.finishLoading());
    EXPECT_LT(glm::dot(overBefore, gameState.player.over), 0.8f);  // turned by more than 35 degrees
    EXPECT_NEAR(gameState.player.over.y, 0.0f, 1e-5f);
    gameState.timeOfDay = 0.5f;
    game.frame();
    game.screenshot("game_turned_slice");
    // The new slice shows other ground: most of the picture has changed, and it is still whole
    // (no holes of sky colour below) and lit as at noon.
    const std::vector<uint8_t> turned = game.image();
    EXPECT_GT(testgame::changedShare(noon, turned, 0, 0, W, H, 24), 1.0f / 3.0f);
    expectSkyAndTerrain(turned, 0.5f, 0.0f, false);
    expectCrosshair(game);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GameScreenshots, AMinedBlockIsGoneTheNextFrameAndItsItemLandsInTheHotbar) {
    GameHarness game;
    ASSERT_TRUE(game.ready());
    Player& player = gameState.player;
    World& world = gameState.world;
    auto press = [&](int key, int action, int mods = 0) { keyCallback(game.window(), key, 0, action, mods); };
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    // Ctrl+R: centred in the cell, looking along +z with the slice at constant w.
    press(GLFW_KEY_R, GLFW_PRESS, GLFW_MOD_CONTROL);
    press(GLFW_KEY_R, GLFW_RELEASE, GLFW_MOD_CONTROL);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    ASSERT_NEAR(player.forward.z, 1.0f, 1e-6f);

    // A stone room around the player, whatever the terrain, with the leaves at eye height two
    // cells ahead: the slice shows the leaves against stone walls only.
    const glm::ivec4 cell = player.currentBlock, target = cell + glm::ivec4(0, 1, 2, 0);
    ASSERT_NO_FATAL_FAILURE(gametest::buildRoom(world, cell + glm::ivec4(-4, -1, -3, -3),
                                                 cell + glm::ivec4(4, 4, 6, 3), stone));
    world.setBlock(target, leaves);
    player.hotbar.selected = {0, 0};
    player.hotbar.getSlot(0) = std::make_unique<gametest::TestPick>();
    ASSERT_EQ(player.hotbar.getSlot(1), nullptr);
    game.tick(2);
    ASSERT_TRUE(player.hasTargetBlock);
    ASSERT_EQ(player.targetBlock, target);

    gameState.timeOfDay = 0.5f;
    player.lastDamageTime = -10.0;  // no shake of the health frame in the shots
    game.frame();
    game.screenshot("game_mined_block_before");
    const std::vector<uint8_t> before = game.image();

    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    for (int i = 0; i < 20 && world.getBlock(target) == leaves; ++i) game.tick();
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    ASSERT_EQ(world.getBlock(target), 0);
    game.frame();
    game.screenshot("game_mined_block_gone");
    const std::vector<uint8_t> gone = game.image();
    // The view's centre (beside the crosshair) showed the leaves and shows the far wall now.
    EXPECT_GT(testgame::changedShare(before, gone, W / 2 + 12, H / 2 - 60, W / 2 + 72, H / 2 - 12), 0.5f);

    // Walk forward over the drop until it is picked up.
    press(GLFW_KEY_W, GLFW_PRESS);
    for (int i = 0; i < 400 && !player.hotbar.getSlot(1); ++i) game.tick();
    press(GLFW_KEY_W, GLFW_RELEASE);
    game.tick(60);
    auto* picked = dynamic_cast<BlockItem*>(player.hotbar.getSlot(1).get());
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->id, leaves);
    EXPECT_EQ(picked->count, 1u);

    game.frame();
    game.screenshot("game_mined_block_after");
    // The second hotbar slot now shows the leaves' icon inside its frame.
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, 1);
    EXPECT_GT(testgame::changedShare(gone, game.image(), slot.x + 15, slot.y + 15,
                                     slot.x + inventoryLayout::SLOT_WIDTH - 15,
                                     slot.y + inventoryLayout::SLOT_HEIGHT - 15),
              0.3f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The block in hand is small and low at the right: the crosshair, the hotbar and the health
// bar all stay in view. The frame is drawn with the GL state the game's start-up sets.
TEST(GameScreenshots, ABlockInHandSitsLowAtTheRightAndTheHudStaysInView) {
    GameHarness game;
    ASSERT_TRUE(game.ready());
    GLint samples = 0, blendSource = 0, blendDestination = 0, depthFunction = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendSource);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendDestination);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(samples, glsetup::samples);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(blendSource, GL_SRC_ALPHA);
    EXPECT_EQ(blendDestination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(depthFunction, GL_LESS);
    EXPECT_EQ(glfwGetInputMode(game.window(), GLFW_STICKY_KEYS), GLFW_TRUE);

    Player& player = gameState.player;
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    ASSERT_TRUE(game.finishLoading());
    gameState.timeOfDay = 0.5f;
    player.lastDamageTime = -10.0;  // no shake of the health frame in the shots
    player.hotbar.selected = {0, 0};
    ASSERT_EQ(player.hotbar.getSlot(0), nullptr);
    game.frame();
    const std::vector<uint8_t> emptyHand = game.image();

    player.hotbar.getSlot(0) = gametest::blocks(stone, 1);
    game.frame();
    game.screenshot("game_held_block");
    const std::vector<uint8_t> held = game.image();
    expectCrosshair(game);
    expectHealthVial(game);
    // The hotbar below its first slot (which now shows the stone's icon) is as it was.
    const glm::ivec2 hotbar = player.hotbar.pos;
    const int belowFirstSlot = hotbar.y + inventoryLayout::SLOT_HEIGHT;
    EXPECT_LT(testgame::changedShare(emptyHand, held, hotbar.x, belowFirstSlot,
                                     hotbar.x + 2 * inventoryLayout::SLOT_WIDTH, H / 2),
              0.01f);
    // The block takes a modest part of the view, all of it in the lower right quarter.
    const float whole = testgame::changedShare(emptyHand, held, 0, 0, W, H);
    const float lowerRight = testgame::changedShare(emptyHand, held, W / 2, H / 2, W, H);
    EXPECT_GT(lowerRight, 0.1f);
    EXPECT_LT(whole, 0.15f);
    EXPECT_GT(lowerRight / 4.0f, whole * 0.9f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace

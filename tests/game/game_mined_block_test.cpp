#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "game/GameState.h"
#include "game/TestPick.h"
#include "items/InventoryLayout.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>

// The road of a mined block as a player sees it: a leaves block straight ahead, mined with the
// held pick, is gone from the cross-section in the very next frame, and once the player walks
// over its drop the leaves are in the hotbar. The shots land in build/screenshots/.

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;
constexpr uint8_t stone = 3, leaves = 5;

// Mean colour of a rectangle of an image, rows from the top.
glm::vec3 meanColour(const std::vector<uint8_t>& image, int x0, int y0, int x1, int y1) {
    glm::vec3 sum(0.0f);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &image[(size_t(y) * W + x) * 4];
            sum += glm::vec3(p[0], p[1], p[2]);
        }
    return sum / float((x1 - x0) * (y1 - y0));
}

float colourDistance(const glm::vec3& a, const glm::vec3& b) {
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

// Share of pixels of a rectangle that differ clearly between two images.
float changedShare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x0, int y0,
                   int x1, int y1) {
    int changed = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            size_t i = (size_t(y) * W + x) * 4;
            int d = 0;
            for (int c = 0; c < 3; ++c) d += std::abs(int(a[i + c]) - int(b[i + c]));
            changed += d > 30;
        }
    return float(changed) / float((x1 - x0) * (y1 - y0));
}

class MinedBlock : public ::testing::Test {
protected:
    GameHarness game;
    Player& player = gameState.player;
    World& world = gameState.world;
    glm::ivec4 cell{0};  // the player's feet cell, centred in it

    void SetUp() override { ASSERT_TRUE(game.ready()); }

    void press(int key, int action, int mods = 0) {
        keyCallback(game.window(), key, 0, action, mods);
    }
    void set(const glm::ivec4& p, uint8_t id) {
        world.setBlock(p, id);
        ASSERT_EQ(world.getBlock(p), id) << "the room must lie in loaded chunks";
    }
    // A stone room around the player, whatever the terrain: the slice shows the leaves against
    // stone walls only.
    void buildRoom() {
        const glm::ivec4 lo = cell + glm::ivec4(-4, -1, -3, -3);
        const glm::ivec4 hi = cell + glm::ivec4(4, 4, 6, 3);
        glm::ivec4 p;
        for (p.x = lo.x; p.x <= hi.x; ++p.x)
            for (p.y = lo.y; p.y <= hi.y; ++p.y)
                for (p.z = lo.z; p.z <= hi.z; ++p.z)
                    for (p.w = lo.w; p.w <= hi.w; ++p.w) {
                        bool wall = p.x == lo.x || p.x == hi.x || p.y == lo.y || p.y == hi.y ||
                                    p.z == lo.z || p.z == hi.z || p.w == lo.w || p.w == hi.w;
                        set(p, wall ? stone : 0);
                    }
    }
};

TEST_F(MinedBlock, IsGoneTheNextFrameAndItsItemLandsInTheHotbar) {
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    // Ctrl+R: centred in the cell, looking along +z with the slice at constant w.
    press(GLFW_KEY_R, GLFW_PRESS, GLFW_MOD_CONTROL);
    press(GLFW_KEY_R, GLFW_RELEASE, GLFW_MOD_CONTROL);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    ASSERT_NEAR(player.forward.z, 1.0f, 1e-6f);
    cell = player.currentBlock;

    buildRoom();
    const glm::ivec4 target = cell + glm::ivec4(0, 1, 2, 0);  // at eye height, two ahead
    set(target, leaves);
    player.hotbar.selected = {0, 0};
    player.hotbar.getSlot(0) = std::make_unique<TestPick>();
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
    const int x0 = W / 2 + 12, y0 = H / 2 - 60, x1 = W / 2 + 72, y1 = H / 2 - 12;
    EXPECT_GT(changedShare(before, gone, x0, y0, x1, y1), 0.5f);
    EXPECT_GT(colourDistance(meanColour(before, x0, y0, x1, y1), meanColour(gone, x0, y0, x1, y1)),
              30.0f);

    // Walk forward over the drop until it is picked up.
    press(GLFW_KEY_W, GLFW_PRESS);
    for (int i = 0; i < 400 && !player.hotbar.getSlot(1); ++i) game.tick();
    press(GLFW_KEY_W, GLFW_RELEASE);
    game.tick(60);
    ASSERT_NE(player.hotbar.getSlot(1), nullptr);
    auto* picked = dynamic_cast<BlockItem*>(player.hotbar.getSlot(1).get());
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->id, leaves);
    EXPECT_EQ(picked->count, 1u);

    game.frame();
    game.screenshot("game_mined_block_after");
    const std::vector<uint8_t> after = game.image();
    // The second hotbar slot now shows the leaves' icon inside its frame.
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, 1);
    const int sx0 = slot.x + 15, sy0 = slot.y + 15;
    const int sx1 = slot.x + inventoryLayout::SLOT_WIDTH - 15;
    const int sy1 = slot.y + inventoryLayout::SLOT_HEIGHT - 15;
    EXPECT_GT(changedShare(gone, after, sx0, sy0, sx1, sy1), 0.3f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace

#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "engine/ThreadRandom.h"
#include "game/ChestEntity.h"
#include "game/GameState.h"
#include "game/GameTestSupport.h"
#include "game/InventoryScreen.h"
#include "game/SpiderEntity.h"
#include "game/StoneRoom.h"
#include "items/InventoryLayout.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

// What a player sees of the creatures, the tools and the chests: a spider standing in a stone
// room facing the player, the same spider flashing after a hit, a pick in the hand, and a chest
// opened beside the player's inventory. The shots land in build/screenshots/.

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;
constexpr uint8_t stone = 3;

using gametest::shareOfColours;

class CreaturesScreenshots : public ::testing::Test {
protected:
    GameHarness game;
    Player& player = gameState.player;
    World& world = gameState.world;

    void enterRoom() { ASSERT_NO_FATAL_FAILURE(gametest::enterStoneRoom(game)); }
};

TEST_F(CreaturesScreenshots, ASpiderStandsOnItsLegsAndFlashesWhenHit) {
    enterRoom();

    // On a step four cells ahead, facing the player (exactly -z). The slice is turned 22.5
    // degrees from x towards w, where it runs along four of the 32 legs.
    const glm::ivec4 cell = player.currentBlock;
    for (int x = -3; x <= 3; ++x)
        for (int z = 3; z <= 6; ++z)
            for (int w = -2; w <= 2; ++w) world.setBlock(cell + glm::ivec4(x, 0, z, w), stone);
    player.orientation = Rotor4(wedge4({1, 0, 0, 0}, {0, 0, 0, 1}), -3.14159265f / 8.0f).toMat5();
    player.updateCameraVectors();
    game.tick(2);
    game.frame();
    const std::vector<uint8_t> empty = game.image();
    const glm::vec4 at(player.pos.x, player.pos.y + 1.6f, player.pos.z + 4.0f, player.pos.w);
    std::unique_ptr<Entity> entity = Entity::create("Spider", at);
    ASSERT_NE(entity, nullptr);
    auto* spider = static_cast<SpiderEntity*>(entity.get());
    spider->type = 0;  // black with red cells, its lower legs red
    spider->direction = glm::vec4(0, 0, -1, 0);
    spider->legPhase = 0.8f;
    double now = 10.0;
    spider->clock = [&now] { return now; };
    ASSERT_TRUE(world.addEntity(entity));
    game.frame();
    game.screenshot("spider");
    const std::vector<uint8_t> standing = game.image();

    // The body fills the middle of the view; the red lower legs stand out on both sides, beyond
    // the body, where the empty room showed nothing red.
    const glm::u8vec4 black(0, 0, 0, 255), red(255, 0, 0, 255);
    EXPECT_GT(shareOfColours(standing, W / 2 - 40, H / 2 - 40, W / 2 + 40, H / 2 + 40, {black, red}, 10), 0.95f);
    const int body = int(0.6f / 4.0f / 0.41421f * float(H) / 2.0f) + 10;  // projected radius, and some
    for (auto [x0, x1] : {std::pair{W / 5, W / 2 - body}, {W / 2 + body, W}}) {
        EXPECT_GT(testgame::shareNear(standing, x0, 0, x1, H, red, 10), 0.002f) << x0;
        EXPECT_EQ(testgame::shareNear(empty, x0, 0, x1, H, red, 10), 0.0f) << x0;
    }

    // Hit: magenta and cyan ghosts of the body shake around it for 0.7 s. Where they are shaken
    // to is drawn anew each frame: seeded here, so that they stand out beside the body.
    spider->hit(5.0f, &world);
    threadrandom::generator().seed(7);
    game.frame();
    game.screenshot("spider_hit");
    const glm::u8vec4 magenta(255, 0, 255, 255), cyan(0, 255, 255, 255);
    EXPECT_GT(testgame::shareNear(game.image(), 0, 0, W, H, magenta, 10), 0.01f);
    EXPECT_GT(testgame::shareNear(game.image(), 0, 0, W, H, cyan, 10), 0.01f);
    now += 0.71;
    game.frame();
    EXPECT_EQ(shareOfColours(game.image(), 0, 0, W, H, {magenta, cyan}, 10), 0.0f) << "the flash is over";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(CreaturesScreenshots, APickInTheHand) {
    enterRoom();
    player.hotbar.selected = {0, 0};
    game.frame();
    const std::vector<uint8_t> emptyHand = game.image();
    player.hotbar.getSlot(0) = Item::create("Iron Pick", 1);
    ASSERT_NE(player.hotbar.getSlot(0), nullptr);
    game.frame();
    game.screenshot("tool_in_hand");
    const std::vector<uint8_t> holding = game.image();

    // The pick shows at the lower right of the view; the crosshair and the health bar stay.
    EXPECT_GT(testgame::changedShare(emptyHand, holding, W / 2, H / 2, W, H), 0.1f);
    EXPECT_LT(testgame::changedShare(emptyHand, holding, 0, 0, W / 2, H / 2), 0.02f);
    const glm::u8vec4 centre = game.pixel(W / 2, H / 2);
    EXPECT_GE(std::min({centre.r, centre.g, centre.b}), 250) << "the crosshair";
    EXPECT_GT(game.pixel(10 + 2 * 6 + 1, H - 106 + 2 * 30 + 1).r, 150) << "the health bar";
    // The hotbar's first slot shows the pick's icon.
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, 0);
    EXPECT_GT(testgame::changedShare(emptyHand, holding, slot.x + 15, slot.y + 15, slot.x + 55, slot.y + 57), 0.2f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(CreaturesScreenshots, AChestOpensBesideTheInventory) {
    enterRoom();
    const glm::ivec4 cell = player.currentBlock + glm::ivec4(0, 1, 2, 0);
    player.hotbar.selected = {0, 0};
    world.setBlock(cell + glm::ivec4(0, 0, 1, 0), stone);  // to place the chest against
    player.hotbar.getSlot(0) = Item::create("Chest", 1);
    player.hotbar.getSlot(1) = Item::create("Hammer", 1);
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    game.tick();
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    game.tick();
    ASSERT_EQ(world.getBlock(cell), 9) << "placed on the stone ahead";
    std::unique_ptr<Entity>* placed = world.getBlockEntity(cell);
    ASSERT_NE(placed, nullptr);
    auto& chest = static_cast<ChestEntity&>(**placed);
    chest.inventory.getSlot(0) = Item::create("Stone", 42);
    chest.inventory.getSlot(9) = Item::create("Deadly Pick", 1);

    // The player's own inventory screen (E) first, to compare.
    keyCallback(game.window(), GLFW_KEY_E, 0, GLFW_PRESS, 0);
    game.tick();
    ASSERT_TRUE(player.isInventoryOpen());
    game.frame();
    const std::vector<uint8_t> ownInventory = game.image();
    keyCallback(game.window(), GLFW_KEY_E, 0, GLFW_PRESS, 0);
    game.tick();
    ASSERT_FALSE(player.isInventoryOpen());

    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    game.tick();
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    game.tick();
    ASSERT_TRUE(player.isInventoryOpen());
    InventoryGUI& screen = *inventoryScreenOf(player);
    ASSERT_EQ(screen.second, &chest.inventory);
    game.frame();
    game.screenshot("chest_open");
    const std::vector<uint8_t> open = game.image();

    // The hotbar and the inventory are drawn where they were, and the chest's grid beside them:
    // its first column of slots (with the stone in its first slot) where the inventory screen of
    // the player alone shows the game behind it.
    const glm::ivec2 first = chest.inventory.pos + inventoryLayout::slotOffset(0, 0);
    EXPECT_GT(testgame::changedShare(ownInventory, open, first.x + 10, first.y + 10, first.x + 60, first.y + 62), 0.3f);
    const glm::ivec2 lower = chest.inventory.pos + inventoryLayout::slotOffset(0, 5);
    EXPECT_GT(testgame::changedShare(ownInventory, open, lower.x + 5, lower.y + 5, lower.x + 65, lower.y + 67), 0.1f);
    const glm::ivec2 own = player.inventory.pos + inventoryLayout::slotOffset(1, 3);
    EXPECT_LT(testgame::changedShare(ownInventory, open, own.x, own.y, own.x + 60, own.y + 60), 0.05f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace

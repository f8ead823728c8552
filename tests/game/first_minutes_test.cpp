#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "engine/ThreadRandom.h"
#include "game/ChestEntity.h"
#include "game/GameState.h"
#include "game/InventoryScreen.h"
#include "gui/FakeDesktop.h"
#include "items/InventoryLayout.h"
#include "screens/WorldGenState.h"
#include "world/SpawnRoll.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>

// The first minutes of a new world, from empty hands, through the game screen's own input: break
// leaves by hand for Sticks, dig with a Stick until the Rocks for a Hammer have turned up, craft
// the Hammer, mine stone with it and place the stone; then place a chest (given to the player),
// put a stack into it, leave the world and come back to find the stack in the chest.

namespace {

using testgame::GameHarness;

constexpr uint8_t STONE = 3, LEAVES = 5, DIRT = 2, CHEST = 9;

class FirstMinutes : public ::testing::Test {
protected:
    GameHarness game;
    Player& player = gameState.player;
    World& world = gameState.world;
    guitest::FakeDesktop desktop;  // the cursor of the inventory screen

    void TearDown() override {
        if (InventoryGUI* screen = inventoryScreenOf(player)) screen->interface.cursorSource = nullptr;
        world.spawnClock = secondsSinceStart;
    }

    void key(int code, int mods = 0) {
        keyCallback(game.window(), code, 0, GLFW_PRESS, mods);
        keyCallback(game.window(), code, 0, GLFW_RELEASE, mods);
    }
    // A quick click: its press and release both come before the next tick.
    void click(int button) {
        mouseButtonCallback(game.window(), button, GLFW_PRESS, 0);
        mouseButtonCallback(game.window(), button, GLFW_RELEASE, 0);
        game.tick(2);
    }
    // How many of an item the hotbar and the inventory hold.
    unsigned total(const std::string& name) {
        unsigned n = 0;
        for (auto& slot : player.inventoryManager)
            if (slot && slot->getName() == name) n += slot->count;
        return n;
    }
    // Selects the hotbar slot holding the item (keys 1 to 8).
    void select(const std::string& name) {
        for (int row = 0; row < 8; ++row) {
            auto& slot = player.hotbar.getSlot(row);
            if (slot && slot->getName() == name) {
                key(GLFW_KEY_1 + row);
                return;
            }
        }
        ADD_FAILURE() << "no " << name << " in the hotbar";
    }
    // Centred in its cell, looking along +z (Ctrl+R), on a stone floor with air around: the block
    // to work on two cells ahead at head height. Returns that cell.
    glm::ivec4 standBefore(uint8_t id) {
        key(GLFW_KEY_R, GLFW_MOD_CONTROL);
        EXPECT_TRUE(game.finishLoading());
        EXPECT_TRUE(game.settle());
        const glm::ivec4 c = player.currentBlock;
        for (int x = -1; x <= 1; ++x)
            for (int z = -1; z <= 4; ++z)
                for (int w = -1; w <= 1; ++w)
                    for (int y = -1; y <= 2; ++y) {
                        const glm::ivec4 p = c + glm::ivec4(x, y, z, w);
                        world.setBlock(p, y == -1 ? STONE : 0);
                        EXPECT_EQ(world.getBlock(p), y == -1 ? STONE : 0) << "in loaded chunks";
                    }
        const glm::ivec4 target = c + glm::ivec4(0, 1, 2, 0);
        world.setBlock(target, id);
        game.tick(2);
        EXPECT_TRUE(player.hasTargetBlock);
        EXPECT_EQ(player.targetBlock, target);
        return target;
    }
    // Holds the left button until the block breaks; the ticks it took (0: it held out).
    int mine(const glm::ivec4& target) {
        mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        int ticks = 0;
        while (world.getBlock(target) != 0 && ticks < 400) {
            game.tick();
            ++ticks;
        }
        mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
        game.tick();
        return world.getBlock(target) == 0 ? ticks : 0;
    }
    // Once the drop has landed, walks ahead over it until something new is in the inventories,
    // then stops.
    void walkOverTheDrop() {
        game.tick(60);
        unsigned before = 0;
        for (auto& slot : player.inventoryManager) before += slot ? slot->count : 0;
        keyCallback(game.window(), GLFW_KEY_W, 0, GLFW_PRESS, 0);
        for (int i = 0; i < 300; ++i) {
            game.tick();
            unsigned now = 0;
            for (auto& slot : player.inventoryManager) now += slot ? slot->count : 0;
            if (now > before) break;
        }
        keyCallback(game.window(), GLFW_KEY_W, 0, GLFW_RELEASE, 0);
        game.tick(40);
    }
};

double spawnSeconds = 0.0;

TEST_F(FirstMinutes, FromEmptyHandsToAHammerAndAChestThatKeepsItsStack) {
    ASSERT_TRUE(game.ready());
    // A clock at which the chunks around the start would spawn spiders: the harness keeps them out.
    const int64_t column = int64_t(std::floor(player.pos.x / 8.0f));
    while (spawnRoll(spawnSeconds, column) >= 2.0f) spawnSeconds += 0.001;
    world.spawnClock = [] { return spawnSeconds; };
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    ASSERT_TRUE(game.settle());
    for (auto& [coords, chunk] : world.chunks)
        for (auto& entity : chunk->entities) EXPECT_NE(entity->getName(), "Spider");
    threadrandom::generator().seed(2024);  // the Stick's Rock rolls
    for (auto& slot : player.inventoryManager) ASSERT_EQ(slot, nullptr) << "empty hands";

    // Leaves by hand: 101 ticks each, a Stick each.
    for (int i = 0; i < 3; ++i) {
        const glm::ivec4 leaves = standBefore(LEAVES);
        EXPECT_EQ(mine(leaves), 101);
        walkOverTheDrop();
    }
    ASSERT_EQ(total("Stick"), 3u);

    // Dirt with a Stick: 201 ticks each, a Rock about every other time.
    select("Stick");
    int dug = 0;
    while (total("Rock") < 3 && dug < 30) {
        const glm::ivec4 dirt = standBefore(DIRT);
        EXPECT_EQ(mine(dirt), 201);
        ++dug;
        walkOverTheDrop();
    }
    ASSERT_GE(total("Rock"), 3u) << "after " << dug << " blocks of dirt";
    EXPECT_GT(dug, 3) << "not every block gives a Rock";

    // The Hammer from the crafting panel onto the cursor, then into an empty hotbar slot.
    key(GLFW_KEY_E);
    game.tick();
    ASSERT_TRUE(player.isInventoryOpen());
    InventoryGUI& screen = *inventoryScreenOf(player);
    screen.interface.cursorSource = &desktop;
    const std::vector<glm::ivec2> entries = screen.craftingMenu.entryPositions(screen.craftingBox);
    int hammer = -1;
    for (size_t i = 0; i < screen.craftingMenu.entries.size(); ++i)
        if (screen.craftingMenu.entries[i].result->getName() == "Hammer") hammer = int(i);
    ASSERT_GE(hammer, 0) << "two Sticks and three Rocks make a Hammer";
    glm::ivec2 box;
    screen.craftingBox.getPos(screen.interface, box.x, box.y);
    desktop.cursorX = box.x + entries[hammer].x + 20;
    desktop.cursorY = box.y + entries[hammer].y + 20;
    click(GLFW_MOUSE_BUTTON_LEFT);
    ASSERT_NE(screen.cursor.item, nullptr);
    EXPECT_EQ(screen.cursor.item->getName(), "Hammer");
    int emptyRow = 0;
    while (player.hotbar.getSlot(emptyRow)) ++emptyRow;
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, emptyRow) + glm::ivec2(35, 36);
    desktop.cursorX = slot.x;
    desktop.cursorY = slot.y;
    click(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_EQ(screen.cursor.item, nullptr);
    key(GLFW_KEY_E);
    game.tick();
    ASSERT_FALSE(player.isInventoryOpen());
    EXPECT_EQ(total("Hammer"), 1u);
    EXPECT_EQ(total("Stick"), 1u);

    // Stone with the Hammer: 101 ticks, and the stone drops; then placed again.
    select("Hammer");
    EXPECT_EQ(mine(standBefore(STONE)), 101);
    walkOverTheDrop();
    ASSERT_EQ(total("Stone"), 1u);
    select("Stone");
    const glm::ivec4 wall = standBefore(DIRT);
    click(GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_EQ(world.getBlock(wall - glm::ivec4(0, 0, 1, 0)), STONE) << "placed before the dirt";
    EXPECT_EQ(total("Stone"), 0u);

    // A chest, placed and filled with the Sticks through the open chest screen.
    std::unique_ptr<Item> chestItem = Item::create("Chest", 1);
    player.inventoryManager.addItem(chestItem);
    select("Chest");
    const glm::ivec4 chestCell = standBefore(DIRT) - glm::ivec4(0, 0, 1, 0);
    click(GLFW_MOUSE_BUTTON_RIGHT);
    ASSERT_EQ(world.getBlock(chestCell), CHEST);
    ASSERT_EQ(player.targetBlock, chestCell);
    click(GLFW_MOUSE_BUTTON_RIGHT);
    ASSERT_TRUE(player.isInventoryOpen());
    ASSERT_NE(dynamic_cast<Inventory*>(screen.second), nullptr);
    EXPECT_EQ(static_cast<Inventory*>(screen.second)->title, "Chest:");
    int stickRow = 0;
    while (!player.hotbar.getSlot(stickRow) || player.hotbar.getSlot(stickRow)->getName() != "Stick") ++stickRow;
    const glm::ivec2 sticks = player.hotbar.pos + inventoryLayout::slotOffset(0, stickRow) + glm::ivec2(35, 36);
    desktop.cursorX = sticks.x;
    desktop.cursorY = sticks.y;
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, GLFW_MOD_SHIFT);
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, GLFW_MOD_SHIFT);
    EXPECT_EQ(total("Stick"), 0u) << "moved into the chest";
    key(GLFW_KEY_E);
    game.tick();

    // Leave the world (it is saved) and come back.
    while (!game.manager.states.empty()) game.manager.popState();
    game.enterWorld(2.0f);
    ASSERT_TRUE(game.finishLoading());
    std::unique_ptr<Entity>* stored = world.getBlockEntity(chestCell);
    ASSERT_NE(stored, nullptr);
    auto* chest = dynamic_cast<ChestEntity*>(stored->get());
    ASSERT_NE(chest, nullptr);
    const std::unique_ptr<Item>& kept = chest->inventory.getSlot(0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getName(), "Stick");
    EXPECT_EQ(kept->count, 1u);
    EXPECT_EQ(total("Hammer"), 1u) << "the player's inventory came back too";
}

}  // namespace

#include "support/GameHarness.h"
#include "support/RecordingState.h"

#include "engine/InputCallbacks.h"
#include "engine/Shader.h"
#include "game/ChestEntity.h"
#include "game/GameState.h"
#include "game/GameTestSupport.h"
#include "items/BlockItem.h"
#include "screens/WorldGenState.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <thread>

// The game screen's life on a temporary world: start, ticks, input, the menus it opens, and
// what it leaves on disk when it closes.

namespace {

using gametest::blocks;
using nlohmann::json;
using testgame::GameHarness;

const glm::vec4 spawn(131.5f, 100.0f, -101.5f, 44.5f);

// How many of the named item a stored player record holds in its hotbar and inventory.
uint32_t countInRecord(const json& record, const std::string& name) {
    uint32_t count = 0;
    for (const char* inventory : {"hotbar", "inventory"})
        for (const json& slot : record[inventory])
            if (slot.is_object() && slot.value("name", "") == name) count += slot.value("count", 0u);
    return count;
}

class GameLifecycle : public ::testing::Test {
protected:
    GameHarness game;
    Player& player = gameState.player;
    World& world = gameState.world;

    void SetUp() override { ASSERT_TRUE(game.ready()); }
    void TearDown() override {
        gameState.pauseScreen = gameState.deathScreen = nullptr;
        gameState.saver.intervalTicks = GameSaver::defaultIntervalTicks;
        gameState.saver.onCopied = nullptr;
        gameState.saver.onWritten = nullptr;
    }

    void enterAndLoad() {
        game.enterWorld(2.0f);
        ASSERT_TRUE(game.finishLoading());
        ASSERT_EQ(game.manager.states.back(), &gameState);
    }
    void writePlayers(const std::string& text) {
        std::filesystem::create_directories(game.worldDir);
        std::ofstream(game.worldDir / "players.json") << text;
    }
};

TEST_F(GameLifecycle, InitTickCloseSavesTheWorldAndThePlayer) {
    writePlayers(R"({"visitor":{"health":3}})");
    enterAndLoad();
    game.tick(50);
    game.frame();
    const glm::ivec4 cell = player.currentBlock + glm::ivec4(0, 4, 0, 0);
    world.setBlock(cell, 3);
    ASSERT_EQ(world.getBlock(cell), 3);
    const auto chunkDir = world.getChunk(World::chunkCoords(cell))->getDirectory(world.chunksPath);
    player.health = 55.0f;
    // A chunk a stopped pass left unloaded keeps what is stored of it.
    Chunk* remnant = new Chunk(glm::i64vec3(1000, 1000, 1000));
    world.chunks[remnant->coords] = remnant;
    const auto remnantList = Chunk::entitiesPath(remnant->getDirectory(world.chunksPath));
    const std::string stored =
        R"([{"name":"Item","position":{"x":8000.5,"y":70,"z":8000.5,"w":8000.5},"attributes":{}}])";
    std::filesystem::create_directories(remnantList.parent_path());
    std::ofstream(remnantList) << stored;
    // Stacks in flight when the game closes go back into the inventories.
    player.inventoryGui->cursorItem() = blocks(3, 5);
    player.pendingDrop = blocks(3, 7);
    const std::string stone = player.pendingDrop->getName();

    game.manager.popState();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(game.manager.states.empty());
    EXPECT_TRUE(world.chunks.empty());
    EXPECT_EQ(world.chunksLoaded, 0);
    EXPECT_FALSE(player.inventoryGui->cursorItem());
    EXPECT_FALSE(player.pendingDrop);
    EXPECT_TRUE(std::filesystem::exists(Chunk::blocksPath(chunkDir)));
    EXPECT_EQ(json::parse(std::ifstream(remnantList)), json::parse(stored));
    const json file = json::parse(std::ifstream(game.worldDir / "players.json"), nullptr, false);
    ASSERT_TRUE(file.is_object());
    EXPECT_EQ(file["visitor"]["health"], 3);
    EXPECT_EQ(file[""]["health"], 55.0);
    EXPECT_EQ(countInRecord(file[""], stone), 12u);

    // Coming back: the saved player and the changed block are there again, and the clouds at
    // once. Health is read before the first tick, since loading takes real time and health
    // regenerates meanwhile.
    game.enterWorld(2.0f);
    EXPECT_FLOAT_EQ(player.health, 55.0f);
    EXPECT_GT(gameState.clouds.count.load(), 0);
    ASSERT_TRUE(game.finishLoading());
    EXPECT_EQ(world.getBlock(cell), 3);
}

// Play is saved in steps while the screen stays open: after 30 s of play (3000 ticks; shorter
// below) the player and the changed chunks are on disk as one moment: a chest emptied into the
// inventory, with a stack still on the cursor, is empty on disk and the player holds it all; a
// mined block is mined. A step that falls due while one still writes takes no copies and no
// streaming pass starts; it is taken once the writes are over, with what changed meanwhile.
TEST_F(GameLifecycle, PlayIsSavedInStepsWhileTheScreenStaysOpen) {
    // The spawn chunk's stored entity list cannot be read: the first step that writes a list
    // there keeps it aside, and only that one.
    const glm::i64vec3 home = World::chunkCoords(spawn);
    const auto homeDir = Chunk::directoryOf(game.worldDir / "chunks", home);
    std::filesystem::create_directories(homeDir);
    std::ofstream(homeDir / "entities.json") << "{damaged";
    enterAndLoad();
    ASSERT_TRUE(game.settle());
    ASSERT_EQ(World::chunkCoords(player.pos), home);
    player.lastDamageTime = 1e300;  // no regeneration: the health saved is the one set here
    GameSaver& saver = gameState.saver;
    const auto waitForWrites = [&] {
        while (saver.writing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    const auto storedRecord = [&] {
        return json::parse(std::ifstream(game.worldDir / "players.json"), nullptr, false)[""];
    };
    const auto storedCount = [&](const std::string& name) { return countInRecord(storedRecord(), name); };
    const auto storedHome = [&] {
        auto chunk = std::make_unique<Chunk>(home);
        EXPECT_TRUE(chunk->load(world.chunksPath));
        return chunk;
    };
    const auto storedBlock = [&](const glm::ivec4& cell) {
        const glm::ivec4 local = World::localCell(cell);
        return storedHome()->blocks[Chunk::index(local.x, local.y, local.z, local.w)];
    };
    const auto keptCopies = [&] {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(homeDir))
            n += entry.path().filename().string().starts_with("entities.json.damaged");
        return n;
    };

    // Standing where the last pass chose its chunks, so that no pass drops any from here on.
    const auto streamingDue = [&] {
        return player.reloadChunks || glm::distance(player.pos, player.lastLoadPos) >= 8.0f;
    };
    for (int i = 0; i < 1000 && streamingDue(); ++i) game.tick();
    ASSERT_TRUE(game.finishLoading());
    waitForWrites();
    std::filesystem::remove(game.worldDir / "players.json");
    int copies = 0;
    saver.onCopied = [&copies](const std::vector<std::unique_ptr<Chunk>>&) { ++copies; };
    saver.start();  // play time counts from here
    game.tick(3000 - 1);  // 30 s of play are 3000 ticks
    EXPECT_EQ(copies, 0);
    game.tick();
    EXPECT_EQ(copies, 1);
    waitForWrites();
    ASSERT_TRUE(std::filesystem::exists(game.worldDir / "players.json")) << "saved after 30 s of play";
    EXPECT_EQ(storedRecord()["position"]["y"], player.pos.y);

    saver.intervalTicks = 10;
    const glm::ivec4 chestCell = player.currentBlock + glm::ivec4(1, 0, 0, 0);
    world.setBlock(chestCell, 0);
    ASSERT_TRUE(static_cast<BlockItem&>(*Item::create("Chest", 1)).place(&world, chestCell));
    auto& chest = static_cast<ChestEntity&>(**world.getBlockEntity(chestCell));
    chest.inventory.getSlot(0) = Item::create("Stone", 20);
    chest.inventory.getSlot(1) = Item::create("Stick", 3);
    game.tick(10);
    waitForWrites();
    EXPECT_EQ(keptCopies(), 1);
    ASSERT_TRUE(chest.interact(&world, &player, 1));
    player.inventoryManager.addItem(chest.inventory.getSlot(0));  // as a shift-click moves it
    player.inventoryGui->cursorItem() = std::move(chest.inventory.getSlot(1));
    game.tick(10);
    waitForWrites();
    EXPECT_EQ(storedCount("Stone"), 20u);
    EXPECT_EQ(storedCount("Stick"), 3u) << "the stack on the cursor is the player's";
    {
        auto stored = storedHome();
        auto found = stored->blockEntities.find(Chunk::localCell(glm::vec4(chestCell)));
        ASSERT_NE(found, stored->blockEntities.end());
        for (const auto& slot : static_cast<ChestEntity&>(*found->second).inventory.slots)
            EXPECT_EQ(slot, nullptr);
    }
    // With no room left in the inventories, the carried stack lies on the disk at the player's
    // feet, as the close throws it, instead of nowhere.
    for (Inventory* inventory : {&player.hotbar, &player.inventory})
        for (std::unique_ptr<Item>& slot : inventory->slots)
            if (!slot) slot = Item::create("Dirt", 1);
    game.tick(10);
    waitForWrites();
    EXPECT_EQ(storedCount("Stick"), 0u);
    uint32_t sticksOnGround = 0;
    const auto storedWithDrop = storedHome();
    for (const auto& entity : storedWithDrop->entities)
        if (auto* dropped = dynamic_cast<ItemEntity*>(entity.get()); dropped && dropped->item->getName() == "Stick")
            sticksOnGround += dropped->item->count;
    EXPECT_EQ(sticksOnGround, 3u);

    // A mined block; its step is held in its writes.
    const glm::ivec4 mined = chestCell - glm::ivec4(0, 1, 0, 0);
    const glm::ivec4 minedLater = mined - glm::ivec4(0, 1, 0, 0);
    ASSERT_NE(world.getBlock(mined), 0);
    ASSERT_NE(world.getBlock(minedLater), 0);
    world.setBlock(mined, 0);
    player.health = 40.0f;
    std::atomic<bool> holding{true};
    copies = 0;
    saver.onWritten = [&holding] {
        // Held for the test, never for ever: a pass that waited for the writes shows as a failure.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (holding && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    game.tick(10);
    EXPECT_EQ(copies, 1);
    EXPECT_TRUE(saver.writing());
    world.setBlock(minedLater, 0);
    player.health = 30.0f;
    player.reloadChunks = true;
    game.tick(20);
    EXPECT_EQ(copies, 1) << "a step due while one writes takes no copies";
    EXPECT_TRUE(player.reloadChunks) << "no pass starts while a step writes";
    holding = false;
    waitForWrites();
    EXPECT_EQ(storedRecord()["health"], 40.0);
    EXPECT_EQ(storedBlock(mined), 0);
    game.tick();
    EXPECT_EQ(copies, 1 + 1) << "taken at once after the writes";
    EXPECT_FALSE(player.reloadChunks);
    waitForWrites();
    EXPECT_EQ(storedRecord()["health"], 30.0);
    EXPECT_EQ(storedBlock(minedLater), 0);
    EXPECT_EQ(keptCopies(), 1);

    // A pass that drops chunks saves them in a step of its own tick, whenever the next is due.
    saver.intervalTicks = 1 << 30;
    const glm::ivec4 minedLast = minedLater - glm::ivec4(0, 1, 0, 0);
    ASSERT_NE(world.getBlock(minedLast), 0);
    world.setBlock(minedLast, 0);
    bool homeDropped = false;
    saver.onCopied = [&](const std::vector<std::unique_ptr<Chunk>>& dropped) {
        ++copies;
        for (const auto& chunk : dropped) homeDropped = homeDropped || chunk->coords == home;
    };
    player.pos.x += 64.0f;  // far beyond every loaded chunk
    game.tick();
    EXPECT_EQ(copies, 3);
    EXPECT_TRUE(homeDropped);
    waitForWrites();
    EXPECT_EQ(storedBlock(minedLast), 0);
}

TEST_F(GameLifecycle, UnusableRecordStartsAFreshPlayerWithOneLine) {
    // A record that makes no player, and a file that does not parse.
    for (const char* text : {R"({"":{"health":"lots","position":7}})", R"({"":{"health":)"}) {
        writePlayers(text);
        testing::internal::CaptureStdout();
        game.enterWorld(2.0f);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("players.json"), std::string::npos) << text;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_EQ(player.pos, spawn);
        EXPECT_FLOAT_EQ(player.health, 100.0f);
        ASSERT_TRUE(game.finishLoading());
        game.manager.popState();
    }
}

TEST_F(GameLifecycle, WindowCloseWaitsForLoadingThenSavesAndStopsTheTick) {
    game.enterWorld(2.0f);
    game.tick();
    glfwSetWindowShouldClose(game.window(), GLFW_TRUE);
    // The loading screen does not act on the request; the game screen pops on its next tick.
    bool sawGame = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!game.manager.states.empty() && std::chrono::steady_clock::now() < deadline) {
        if (game.manager.states.back() == &gameState) {
            sawGame = true;
            player.reloadChunks = true;  // nothing of the tick may run after the pop: no new pass
        }
        game.tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(sawGame);
    EXPECT_TRUE(game.manager.states.empty());
    EXPECT_TRUE(world.chunks.empty());
    EXPECT_TRUE(world.loadDone);
    EXPECT_TRUE(std::filesystem::exists(game.worldDir / "players.json"));
    glfwSetWindowShouldClose(game.window(), GLFW_FALSE);
}

TEST_F(GameLifecycle, StreamingStartsAndRecordsItsPositionOnlyWhenAPassCanStart) {
    enterAndLoad();
    game.settle();
    ASSERT_TRUE(game.finishLoading());
    const glm::vec4 before = player.lastLoadPos;
    world.loadDone = false;  // as if a pass were still running
    player.reloadChunks = true;
    game.tick();
    EXPECT_TRUE(player.reloadChunks);
    EXPECT_EQ(player.lastLoadPos, before);
    world.loadDone = true;
    game.tick();
    EXPECT_FALSE(player.reloadChunks);
    EXPECT_EQ(player.lastLoadPos, player.pos);

    // Chunks a pass is still filling are neither updated nor remeshed by the tick.
    auto* loading = new Chunk(glm::i64vec3(1000, 1000, 1000));
    loading->sectionMeshes[0].dirty = loading->meshDirty = true;
    world.chunks[loading->coords] = loading;
    game.tick(3);
    EXPECT_TRUE(loading->meshDirty);
    EXPECT_TRUE(loading->sectionMeshes[0].dirty);
    EXPECT_TRUE(loading->sectionMeshes[0].empty());
}

TEST_F(GameLifecycle, InputReachesThePlayerAndOnlyTheSliceTurnCutsARunningPass) {
    enterAndLoad();
    GLFWwindow* window = game.window();
    const double before = glfwGetTime();
    for (auto [button, flag] : {std::pair{GLFW_MOUSE_BUTTON_LEFT, Player::InputMining},
                                {GLFW_MOUSE_BUTTON_RIGHT, Player::InputUsing}}) {
        mouseButtonCallback(window, button, GLFW_PRESS, 0);
        EXPECT_TRUE(player.input[flag]);
        mouseButtonCallback(window, button, GLFW_RELEASE, 0);
        EXPECT_TRUE(player.input[flag]) << "a press no tick has seen yet";
        game.tick();
        EXPECT_FALSE(player.input[flag]);
    }
    EXPECT_GE(player.mousePressTime, before);

    // Shift + wheel moves the hotbar selection and leaves the pass alone.
    keyCallback(window, GLFW_KEY_LEFT_SHIFT, 0, GLFW_PRESS, 0);
    player.hotbar.selected = {0, 0};
    scrollCallback(window, 0.0, 1.0);
    EXPECT_EQ(player.hotbar.selected.y, 7);
    scrollCallback(window, 0.0, -1.0);
    EXPECT_EQ(player.hotbar.selected.y, 0);
    keyCallback(window, GLFW_KEY_LEFT_SHIFT, 0, GLFW_RELEASE, 0);
    // The wheel over the open inventory screen scrolls the screen only.
    keyCallback(window, GLFW_KEY_E, 0, GLFW_PRESS, 0);
    ASSERT_TRUE(player.isInventoryOpen());
    scrollCallback(window, 0.0, 1.0);
    keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_FALSE(player.isInventoryOpen());
    EXPECT_FALSE(world.stopLoading);
    EXPECT_EQ(player.pendingTurn, 0.0f);

    // A turn of the slice: the first notch asks no reload, a second one before the first is
    // used up does; both cut the pass.
    player.reloadChunks = false;
    scrollCallback(window, 0.0, 1.0);
    EXPECT_FLOAT_EQ(player.pendingTurn, 0.005f);
    EXPECT_FALSE(player.reloadChunks);
    EXPECT_TRUE(world.stopLoading);
    scrollCallback(window, 0.0, 1.0);
    EXPECT_TRUE(player.reloadChunks);
}

TEST_F(GameLifecycle, EscapePausesAndDeathOpensTheDeathScreenWhichRespawns) {
    std::vector<std::string> log;
    testing_states::RecordingState pause("pause", log), death("death", log);
    gameState.pauseScreen = &pause;
    gameState.deathScreen = &death;
    enterAndLoad();
    keyCallback(game.window(), GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    ASSERT_EQ(game.manager.states.back(), &pause);
    game.manager.popState();
    player.health = 0.0f;
    player.lastDamageTime = glfwGetTime();  // no regeneration in this tick
    game.tick();
    ASSERT_EQ(game.manager.states.back(), &death);
    game.manager.popState();
    EXPECT_EQ(log, (std::vector<std::string>{"pause.init", "pause.close", "death.init", "death.close"}));

    // The death screen's respawn: at the spawn point, still, keeping the inventory, and the
    // world streams around the player on the next tick.
    player.hotbar.slots[1] = blocks(3, 9);
    player.health = -4.0f;
    player.velocity = glm::vec4(0.0f, -0.5f, 0.0f, 0.0f);
    player.reloadChunks = false;
    player.inventoryGui->open();  // died with the inventory open: it does not follow to the spawn
    ASSERT_TRUE(player.isInventoryOpen());
    gameState.respawnPlayer();
    EXPECT_FALSE(player.isInventoryOpen());
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(player.pos, spawn);
    EXPECT_EQ(player.velocity, glm::vec4(0.0f));
    EXPECT_EQ(gametest::countOf(player.hotbar.slots[1]), 9u);
    EXPECT_TRUE(player.reloadChunks);
}

TEST_F(GameLifecycle, EyeInsideABlockShowsOnlyThatBlockAndProjectionReachesEveryShader) {
    enterAndLoad();
    gameState.timeOfDay = 0.5f;
    player.eyeBlock = 3;  // a frame draws the eye block from the player's state
    game.frame();
    game.screenshot("game_eye_in_stone");
    EXPECT_LT(testgame::shareNear(game.image(), 0, 0, GameHarness::width, GameHarness::height,
                                  testgame::skyBytes(0.5f), 4),
              0.02f);
    player.eyeBlock = 200;  // an id without a model draws no block, and nothing breaks
    game.frame();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    player.eyeBlock = 0;

    gameState.updateProjection(800, 500);
    const glm::mat4 perspective = glm::perspective(45.0f * 0.017453292f, 1.6f, 0.003f, 1000.0f);
    const glm::mat4 ortho = glm::ortho(0.0f, 800.0f, 500.0f, 0.0f, -1.0f, 1.0f);
    for (const char* name : {"cloudShader", "moonShader", "simplexShader", "blockShader", "targetBlockShader",
                             "simplexColorShader", "simplexSolidColorShader", "simplexColorAlphaShader",
                             "simplexNormalShader", "simplexColorNormalShader", "simplexSolidColorNormalShader",
                             "wireframeShader", "wireframeColorShader", "tex2DShader", "textShader"}) {
        ASSERT_NE(getShader(name), nullptr) << name;
        const GLint location = glGetUniformLocation(getShader(name)->program, "P");
        ASSERT_GE(location, 0) << name;
        glm::mat4 actual(0.0f);
        glGetUniformfv(getShader(name)->program, location, &actual[0][0]);
        const glm::mat4& expected = std::string(name).rfind("tex", 0) == 0 ? ortho : perspective;
        for (int i = 0; i < 16; ++i) EXPECT_NEAR((&actual[0][0])[i], (&expected[0][0])[i], 1e-6f) << name;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    gameState.updateProjection(GameHarness::width, GameHarness::height);
}

TEST_F(GameLifecycle, FramesWithoutRegisteredShadersSkipTheirDraws) {
    enterAndLoad();
    // A shader list that failed to build leaves names unregistered: every draw that looks its
    // shader up per frame must skip itself rather than use a null program.
    std::map<std::string, std::unique_ptr<Shader>> registered;
    registered.swap(shaders);
    gameState.timeOfDay = 0.5f;
    game.tick(5);
    game.frame();
    player.eyeBlock = 3;
    game.frame();
    player.eyeBlock = 0;
    registered.swap(shaders);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(game.manager.states.back(), &gameState);
}

TEST_F(GameLifecycle, LoadingScreenLeavesAtOnceOnAnEmptyMapWithAFreshBar) {
    world.setPath(game.worldDir.string());
    game.manager.pushState(&gameState);
    // A pass that is still running refuses the loading screen's request: the map stays empty.
    world.loadDone = false;
    worldGenState.progress = 0.7f;
    game.manager.pushState(&worldGenState);
    EXPECT_EQ(worldGenState.progress, 0.0f);
    EXPECT_TRUE(world.chunks.empty());
    game.tick();
    EXPECT_EQ(game.manager.states.back(), &gameState);
    EXPECT_FALSE(std::isnan(worldGenState.progress));
    EXPECT_LE(worldGenState.progress, 0.01f);
    world.loadDone = true;
}

}  // namespace

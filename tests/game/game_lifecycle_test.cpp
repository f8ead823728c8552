#include "support/GameHarness.h"
#include "support/RecordingState.h"

#include "engine/InputCallbacks.h"
#include "engine/Shader.h"
#include "game/DayCycle.h"
#include "game/GameState.h"
#include "items/BlockItem.h"
#include "world/WorldGenState.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

// The game screen's life on a temporary world: start, ticks, input, the menus it opens, and
// what it leaves on disk when it closes.

namespace {

using testgame::GameHarness;
using nlohmann::json;

json readJson(const std::filesystem::path& path) {
    std::ifstream in(path);
    return json::parse(in, nullptr, false);
}

std::unique_ptr<Item> blocks(int id, uint32_t count) {
    auto item = std::make_unique<BlockItem>(id);
    item->count = count;
    return item;
}

uint32_t countOfId(const json& inventoryArray, const std::string& name) {
    uint32_t total = 0;
    for (const json& slot : inventoryArray)
        if (slot.is_object() && slot.value("name", "") == name) total += slot.value("count", 0u);
    return total;
}

class GameLifecycle : public ::testing::Test {
protected:
    GameHarness game;

    void SetUp() override { ASSERT_TRUE(game.ready()); }
    void TearDown() override {
        gameState.pauseScreen = nullptr;
        gameState.deathScreen = nullptr;
    }

    void enterAndLoad() {
        game.enterWorld(2.0f);
        ASSERT_TRUE(game.finishLoading());
        ASSERT_EQ(game.manager.states.back(), &gameState);
    }
};

TEST_F(GameLifecycle, InitTickCloseSavesTheWorldAndThePlayer) {
    std::filesystem::create_directories(game.worldDir);
    std::ofstream(game.worldDir / "players.json") << R"({"visitor":{"health":3}})";
    enterAndLoad();
    game.tick(50);
    game.frame();

    Player& player = gameState.player;
    glm::ivec4 cell = player.currentBlock + glm::ivec4(0, 4, 0, 0);
    gameState.world.setBlock(cell, 3);
    ASSERT_EQ(gameState.world.getBlock(cell), 3);
    std::filesystem::path chunkDir =
        gameState.world.getChunk(World::chunkCoords(cell))->getDirectory(gameState.world.chunksPath);
    player.health = 55.0f;
    // Stacks in flight when the game closes go back into the inventories.
    player.inventoryGui->cursorItem() = blocks(3, 5);
    player.pendingDrop = blocks(3, 7);
    std::string stoneName = player.inventoryGui->cursorItem()->getName();

    game.manager.popState();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(game.manager.states.empty());
    EXPECT_TRUE(gameState.world.chunks.empty());
    EXPECT_EQ(gameState.world.chunksLoaded, 0);
    EXPECT_FALSE(player.inventoryGui->cursorItem());
    EXPECT_FALSE(player.pendingDrop);

    EXPECT_TRUE(std::filesystem::exists(Chunk::blocksPath(chunkDir)));
    json file = readJson(game.worldDir / "players.json");
    ASSERT_TRUE(file.is_object());
    EXPECT_EQ(file["visitor"]["health"], 3);
    json record = file[""];
    EXPECT_EQ(record["health"], 55.0);
    EXPECT_EQ(countOfId(record["hotbar"], stoneName) + countOfId(record["inventory"], stoneName), 12u);

    // Coming back: the saved player and the changed block are there again. Health is read
    // before the first tick, since loading takes real time and health regenerates meanwhile.
    game.enterWorld(2.0f);
    EXPECT_FLOAT_EQ(gameState.player.health, 55.0f);
    ASSERT_TRUE(game.finishLoading());
    EXPECT_EQ(gameState.world.getBlock(cell), 3);
}

TEST_F(GameLifecycle, UnusableRecordStartsAFreshPlayerWithOneLine) {
    std::filesystem::create_directories(game.worldDir);
    std::ofstream(game.worldDir / "players.json") << R"({"":{"health":"lots","position":7}})";
    testing::internal::CaptureStdout();
    game.enterWorld(2.0f);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("players.json"), std::string::npos);
    EXPECT_EQ(gameState.player.pos, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f));
    EXPECT_FLOAT_EQ(gameState.player.health, 100.0f);
    ASSERT_TRUE(game.finishLoading());
}

TEST_F(GameLifecycle, WindowCloseWaitsForLoadingThenSavesAndStopsTheTick) {
    game.enterWorld(2.0f);
    game.tick();
    glfwSetWindowShouldClose(game.window(), GLFW_TRUE);
    // The loading screen does not act on the request; the game screen pops on its next tick.
    bool sawGame = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!game.manager.states.empty() && std::chrono::steady_clock::now() < deadline) {
        if (game.manager.states.back() == &gameState) {
            sawGame = true;
            // Nothing of the tick may run after the pop: no new pass on the freed world.
            gameState.player.reloadChunks = true;
        }
        game.tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(sawGame);
    EXPECT_TRUE(game.manager.states.empty());
    EXPECT_TRUE(gameState.world.chunks.empty());
    EXPECT_TRUE(gameState.world.loadDone);
    EXPECT_TRUE(std::filesystem::exists(game.worldDir / "players.json"));
    glfwSetWindowShouldClose(game.window(), GLFW_FALSE);
}

TEST_F(GameLifecycle, StreamingPositionIsRecordedOnlyWhenAPassStarts) {
    enterAndLoad();
    game.settle();
    ASSERT_TRUE(game.finishLoading());
    Player& player = gameState.player;
    World& world = gameState.world;

    glm::vec4 before = player.lastLoadPos;
    world.loadDone = false;  // as if a pass were still running
    player.reloadChunks = true;
    game.tick();
    EXPECT_TRUE(player.reloadChunks);
    EXPECT_EQ(player.lastLoadPos, before);

    world.loadDone = true;
    game.tick();
    EXPECT_FALSE(player.reloadChunks);
    EXPECT_EQ(player.lastLoadPos, player.pos);
}

TEST_F(GameLifecycle, OnlyTheSliceTurnCutsARunningPass) {
    enterAndLoad();
    Player& player = gameState.player;
    World& world = gameState.world;
    GLFWwindow* window = game.window();

    // Shift + wheel moves the hotbar selection and leaves the pass alone.
    keyCallback(window, GLFW_KEY_LEFT_SHIFT, 0, GLFW_PRESS, 0);
    player.hotbar.selected = {0, 0};
    scrollCallback(window, 0.0, 1.0);
    EXPECT_EQ(player.hotbar.selected.y, 7);
    scrollCallback(window, 0.0, -1.0);
    EXPECT_EQ(player.hotbar.selected.y, 0);
    EXPECT_FALSE(world.stopLoading);
    EXPECT_EQ(player.pendingTurn, 0.0f);
    keyCallback(window, GLFW_KEY_LEFT_SHIFT, 0, GLFW_RELEASE, 0);

    // The wheel over the open inventory screen scrolls the screen only.
    keyCallback(window, GLFW_KEY_E, 0, GLFW_PRESS, 0);
    ASSERT_TRUE(player.isInventoryOpen());
    scrollCallback(window, 0.0, 1.0);
    EXPECT_FALSE(world.stopLoading);
    EXPECT_EQ(player.pendingTurn, 0.0f);
    keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_FALSE(player.isInventoryOpen());

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

TEST_F(GameLifecycle, ChunksStillLoadingAreNotRemeshedByTheTick) {
    enterAndLoad();
    auto* loading = new Chunk(glm::i64vec3(1000, 1000, 1000));
    loading->sectionMeshes[0].dirty = true;
    loading->meshDirty = true;
    gameState.world.chunks[loading->coords] = loading;
    game.tick(3);
    EXPECT_TRUE(loading->meshDirty);
    EXPECT_TRUE(loading->sectionMeshes[0].dirty);
    EXPECT_TRUE(loading->sectionMeshes[0].empty());
}

TEST_F(GameLifecycle, EscapeOpensThePauseScreenAndDeathTheDeathScreen) {
    std::vector<std::string> log;
    testing_states::RecordingState pause("pause", log), death("death", log);
    gameState.pauseScreen = &pause;
    gameState.deathScreen = &death;
    enterAndLoad();

    keyCallback(game.window(), GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    ASSERT_EQ(game.manager.states.back(), &pause);
    game.manager.popState();

    gameState.player.health = 0.0f;
    gameState.player.lastDamageTime = glfwGetTime();  // no regeneration in this tick
    game.tick();
    ASSERT_EQ(game.manager.states.back(), &death);
    game.manager.popState();
    EXPECT_EQ(log, (std::vector<std::string>{"pause.init", "pause.close", "death.init", "death.close"}));
}

TEST_F(GameLifecycle, WithoutADeathScreenThePlayerComesBackAtOnce) {
    enterAndLoad();
    Player& player = gameState.player;
    player.hotbar.slots[1] = blocks(3, 9);
    player.health = -4.0f;
    player.lastDamageTime = glfwGetTime();
    game.tick();
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(player.pos, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f));
    ASSERT_TRUE(player.hotbar.slots[1]);
    EXPECT_EQ(player.hotbar.slots[1]->count, 9u);
}

TEST_F(GameLifecycle, EyeInsideABlockShowsOnlyThatBlock) {
    enterAndLoad();
    Player& player = gameState.player;
    gameState.timeOfDay = 0.5f;
    glm::u8vec4 sky = testgame::toBytes(daycycle::skyColor(daycycle::lightAt(0.5f)));

    // A frame draws the eye block from the player's state; the tick would recompute it.
    player.eyeBlock = 3;
    game.frame();
    game.screenshot("game_eye_in_stone");
    std::vector<uint8_t> inside = game.image();
    EXPECT_LT(testgame::shareNear(inside, 0, 0, GameHarness::width, GameHarness::height, sky, 4), 0.02f);

    // An id without a model draws no block, and nothing breaks.
    player.eyeBlock = 200;
    game.frame();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    player.eyeBlock = 0;
}

TEST_F(GameLifecycle, ProjectionReachesEveryShaderThatDrawsInTheGame) {
    enterAndLoad();
    auto projectionOf = [](const char* name) {
        Shader* shader = getShader(name);
        glm::mat4 m(0.0f);
        if (!shader) return m;
        GLint location = glGetUniformLocation(shader->program, "P");
        EXPECT_GE(location, 0) << name;
        if (location >= 0) glGetUniformfv(shader->program, location, &m[0][0]);
        return m;
    };
    auto expectMatrix = [](const glm::mat4& actual, const glm::mat4& expected, const char* name) {
        for (int i = 0; i < 16; ++i) EXPECT_NEAR((&actual[0][0])[i], (&expected[0][0])[i], 1e-6f) << name;
    };

    gameState.updateProjection(800, 500);
    glm::mat4 perspective = glm::perspective(45.0f * 0.017453292f, 1.6f, 0.003f, 1000.0f);
    glm::mat4 ortho = glm::ortho(0.0f, 800.0f, 500.0f, 0.0f, -1.0f, 1.0f);
    for (const char* name : {"cloudShader", "moonShader", "simplexShader", "blockShader",
                             "targetBlockShader", "simplexColorShader", "simplexSolidColorShader",
                             "simplexColorAlphaShader", "simplexNormalShader",
                             "simplexColorNormalShader", "simplexSolidColorNormalShader",
                             "wireframeShader", "wireframeColorShader"}) {
        ASSERT_NE(getShader(name), nullptr) << name;
        expectMatrix(projectionOf(name), perspective, name);
    }
    for (const char* name : {"tex2DShader", "textShader"}) expectMatrix(projectionOf(name), ortho, name);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    gameState.updateProjection(GameHarness::width, GameHarness::height);
}

TEST_F(GameLifecycle, MouseButtonsSetTheMiningAndUsingFlags) {
    enterAndLoad();
    Player& player = gameState.player;
    GLFWwindow* window = game.window();
    double before = glfwGetTime();
    mouseButtonCallback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_TRUE(player.input[Player::InputMining]);
    EXPECT_GE(player.mousePressTime, before);
    mouseButtonCallback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_FALSE(player.input[Player::InputMining]);
    mouseButtonCallback(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    EXPECT_TRUE(player.input[Player::InputUsing]);
    mouseButtonCallback(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    EXPECT_FALSE(player.input[Player::InputUsing]);
}

TEST_F(GameLifecycle, LoadingScreenLeavesAtOnceOnAnEmptyMapWithAFreshBar) {
    gameState.world.setPath(game.worldDir.string());
    game.manager.pushState(&gameState);
    // A pass that is still running refuses the loading screen's request: the map stays empty.
    gameState.world.loadDone = false;
    worldGenState.progress = 0.7f;
    game.manager.pushState(&worldGenState);
    EXPECT_EQ(worldGenState.progress, 0.0f);
    EXPECT_TRUE(gameState.world.chunks.empty());
    game.tick();
    EXPECT_EQ(game.manager.states.back(), &gameState);
    EXPECT_FALSE(std::isnan(worldGenState.progress));
    EXPECT_LE(worldGenState.progress, 0.01f);
    gameState.world.loadDone = true;
}

}  // namespace

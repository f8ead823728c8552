#include "game/GameState.h"

#include "engine/Audio.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/ChestEntity.h"
#include "game/Entity.h"
#include "game/InventoryScreen.h"
#include "game/ItemEntity.h"
#include "game/PlayerRecordCheck.h"
#include "game/PlayersFile.h"
#include "game/SpiderEntity.h"
#include "game/TesseractEdges.h"
#include "gui/PixelProjection.h"
#include "items/BlockModels.h"
#include "items/CompassRenderer.h"
#include "items/CraftingMenu.h"
#include "items/Inventory.h"
#include "items/Item.h"
#include "shapes/Shapes.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <chrono>
#include <cstdio>
#include <thread>

GameState gameState;
glm::ivec2 gameWindowSize{1024, 768};

namespace {

// 3D shaders that take the game's perspective projection as "P".
const char* const projectedShaders[] = {
    "cloudShader", "moonShader", "simplexShader", "blockShader", "targetBlockShader",
    "simplexColorShader", "simplexSolidColorShader", "simplexColorAlphaShader",
    "simplexNormalShader", "simplexColorNormalShader", "simplexSolidColorNormalShader",
    "wireframeShader", "wireframeColorShader", "solidColor3DShader",
    "blockCrossSectionAreaShader", "blockCrossSectionEdgesShader"};

void setProjection(const char* name, const glm::mat4& matrix) {
    uniforms::setProjection(getShader(name), matrix);
}

GLint uniformOf(const Shader* shader, const char* name) {
    return shader ? glGetUniformLocation(shader->program, name) : -1;
}

}  // namespace

GameState::GameState() {
    player.inventoryGui = std::make_unique<InventoryScreen>(player.hotbar, player.inventory);
}

void GameState::updateProjection(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection = glm::perspective(fov * 0.017453292f, float(width) / float(height), 0.003f, 1000.0f);
    orthoProjection = gui::pixelProjection(width, height);
    world.updateFrustum(projection);
    setProjection("tex2DShader", orthoProjection);
    setProjection("textShader", orthoProjection);
    crosshair.setRect(float(width / 2 - 8), float(height / 2 - 8), 16.0f, 16.0f);
    for (const char* name : projectedShaders) setProjection(name, projection);
}

void GameState::loadResources() {
    cloudShader = getShader("cloudShader");
    cloudMvLocation = uniformOf(cloudShader, "MV");
    moonShader = getShader("moonShader");
    moonMvLocation = uniformOf(moonShader, "MV");
    moonBlendLocation = uniformOf(moonShader, "blend");
    moonTextureLocation = uniformOf(moonShader, "moonTexture");
    simplexShader = getShader("simplexShader");
    simplexMvLocation = uniformOf(simplexShader, "MV");
    simplexTexSamplerLocation = uniformOf(simplexShader, "texSampler");

    targetBlockRenderer.init(&hypercubeMesh);
    targetBlockRenderer.mode = GL_LINES_ADJACENCY;
    skyboxRenderer.init(&skyboxMesh);
    skyboxRenderer.mode = GL_TRIANGLES;

    tex2DShader = getShader("tex2DShader");
    crosshair.texture = getTexture("crosshair.png");
    crosshair.shader = tex2DShader;
    crosshair.init();
    blockShader = getShader("blockShader");
    targetBlockShader = getShader("targetBlockShader");
}

void GameState::init(StateManager& s) {
    glEnable(GL_DEPTH_TEST);
    loadResources();

    int width = 0, height = 0;
    glfwGetWindowSize(s.window, &width, &height);
    updateProjection(width, height);

    initBlockMeshes();

    loadEntityInfo();
    SpiderEntity::initRender();
    uploadTesseractEdges(itemEntityOutline);
    uploadTesseractEdges(chestOutline);

    for (const char* sound : {"spider_hurt_1.wav", "spider_hurt_2.wav", "spider_hurt_3.wav",
                              "spider_death.wav"})
        audio::loadSound(sound);

    Item::loadItemInfo();
    Inventory::initRender();

    loadPlayer();
    saver.start();

    player.updateEye(&world);
    player.initHud(s.window);
    CompassRenderer::init();
    gameWindowSize = {width, height};
    CraftingMenu::loadRecipes();

    glfwGetCursorPos(s.window, &savedCursorX, &savedCursorY);
    player.updateCursorMode(s.window);

    sphereRenderer.init(&sphereMesh);

    // Forced: the clouds were cleared at the last close, and on coming back to the same spot an
    // unforced selection would wait until the drift had carried them 6 units.
    clouds.update(player.pos, player.over, uint8_t(cloudRadius), true);

    applyStoredSettings(s.window);
}

void GameState::loadPlayer() {
    bool damaged = false;
    nlohmann::json record =
        playersfile::localRecord(playersfile::read(playersfile::pathIn(world.path), &damaged));
    player.reset();
    // The file stays as it is until the first save keeps it aside.
    if (damaged) std::printf("players.json: unreadable; the player starts afresh\n");
    if (!record.is_object()) return;
    std::string problem = playerrecord::problemWith(record);
    if (problem.empty()) {
        player.fromJson(record);
        return;
    }
    std::printf("players.json: %s; the player starts afresh\n", problem.c_str());
}

void GameState::savePlayer() {
    playersfile::writeLocalRecord(playersfile::pathIn(world.path), player.toJson());
}

void GameState::close(StateManager& s) {
    glfwSetInputMode(s.window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    glfwSetCursorPos(s.window, savedCursorX, savedCursorY);

    world.stopLoading = true;
    while (!world.loadDone) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    saver.finish();
    world.waitForSaves();

    putBackCarriedItems();
    saveAndFreeChunks();
    clouds.clear();
    savePlayer();
}

void GameState::putBackCarriedItems() {
    // A stack on the inventory cursor or waiting to be thrown would be lost with the screen:
    // it goes back into the inventories, and what does not fit is thrown into the world while
    // its chunk is still there to be saved.
    for (std::unique_ptr<Item>* carried : player.carriedStacks()) {
        if (!*carried) continue;
        player.inventoryManager.addItem(*carried);
        if (*carried) player.dropItem(&world, *carried);
        carried->reset();
    }
    player.inventoryGui->close();
}

void GameState::saveAndFreeChunks() {
    std::vector<Chunk*> all;
    all.reserve(world.chunks.size());
    for (auto& [coords, chunk] : world.chunks) all.push_back(chunk);
    // Saved side by side on the workers; destroyed here, where their entities were made.
    world.saveChunks(all);
    world.freeChunks();
}

void GameState::pause(StateManager& s) {
    glfwSetInputMode(s.window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    glfwSetCursorPos(s.window, savedCursorX, savedCursorY);
}

void GameState::resume(StateManager& s) {
    glfwGetCursorPos(s.window, &savedCursorX, &savedCursorY);
    player.updateCursorMode(s.window);
    player.input.fill(false);
    int width = 0, height = 0;
    glfwGetWindowSize(s.window, &width, &height);
    updateProjection(width, height);
}

void GameState::windowResize(StateManager&, int width, int height) {
    updateProjection(width, height);
    if (InventoryGUI* screen = inventoryScreenOf(player)) screen->resize(nullptr, width, height);
    gameWindowSize = {width, height};
}

void GameState::releaseGl() {
    targetBlockRenderer.release();
    skyboxRenderer.release();
    sphereRenderer.release();
    crosshair.release();
}

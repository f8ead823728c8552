#pragma once

#include "engine/MeshRenderer.h"
#include "engine/State.h"
#include "engine/StateManager.h"
#include "engine/TexturedQuad.h"
#include "game/DayCycle.h"
#include "game/GameSaver.h"
#include "game/Player.h"
#include "world/Clouds.h"
#include "world/World.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>

struct Shader;
struct GLFWwindow;

// The in-game screen: it owns the world being played, the clouds and the player, runs the fixed
// tick, routes input to the player and the inventory screen, draws the frame, and saves the
// world and the player when it is popped. There is one, `gameState`, built before main.
class GameState : public State {
public:
    World world;
    Clouds clouds;

    glm::mat4 orthoProjection{1.0f};
    glm::mat4 projection{1.0f};

    // Drawing resources, looked up or built by init. A missing shader leaves its draw out.
    Shader* cloudShader = nullptr;
    GLint cloudMvLocation = -1;
    Shader* simplexShader = nullptr;
    GLint simplexTexSamplerLocation = -1;
    GLint simplexMvLocation = -1;
    MeshRenderer targetBlockRenderer;
    MeshRenderer skyboxRenderer;
    Shader* moonShader = nullptr;
    GLint moonTextureLocation = -1;
    GLint moonMvLocation = -1;
    GLint moonBlendLocation = -1;
    MeshRenderer sphereRenderer;
    Shader* tex2DShader = nullptr;
    TexturedQuad crosshair;
    Shader* blockShader = nullptr;
    Shader* targetBlockShader = nullptr;

    float timeOfDay = daycycle::startTime;
    Player player;
    // Saves the world and the player while they are played.
    GameSaver saver;
    double savedCursorX = 0.0;
    double savedCursorY = 0.0;
    float renderDistance = 4.0f;
    float cloudRadius = 2.0f;
    float fov = 45.0f;

    // The screens this one opens: Escape pushes pauseScreen, death pushes deathScreen. Until
    // the menu screens set them, neither does anything.
    State* pauseScreen = nullptr;
    State* deathScreen = nullptr;
    // Loads and applies the stored settings at every start (the settings screen's loader, set by
    // the menu screens); without it the game runs with the built-in values.
    void (*settingsLoader)(GLFWwindow* window) = nullptr;

    GameState();
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager& s) override;
    void resume(StateManager& s) override;
    void cursorPos(StateManager& s, double x, double y) override;
    void scroll(StateManager& s, double dx, double dy) override;
    void mouseButton(StateManager& s, int button, int action, int mods) override;
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager&, unsigned) override {}

    // After a death: the player comes back at the spawn point, keeping the inventories, and
    // the world streams around the player again.
    void respawnPlayer();

    // The 3D and 2D projections, sent as "P" to every shader that draws in the game.
    void updateProjection(int width, int height);

    // Frees the GL objects this screen holds; called before the context goes away.
    void releaseGl();

private:
    // Chunks the streaming pass of this tick dropped, saved and destroyed at its end.
    std::vector<std::unique_ptr<Chunk>> droppedChunks;

    void loadResources();
    void loadPlayer();
    void savePlayer();
    void streamAroundPlayer();
    void putBackCarriedItems();
    void saveAndFreeChunks();
    void openPauseScreen(StateManager& s);
    void openDeathScreen(StateManager& s);
    void applyStoredSettings(GLFWwindow* window);

    void drawSky(const Mat5& skyView, float daylight);
    void drawSkyBehind(const Mat5& skyView, float daylight);
    void drawWorld(const Mat5& view, const Mat5& skyView, const daycycle::Light& light,
                   const glm::vec4& cloudColor);
    void drawTargetOverlay(const Mat5& view);
    void drawBlockAroundEye(const Mat5& view);
    void drawCrosshair();
};

extern GameState gameState;
// The window size the game screen saw last (width, height); the compass readout reads it.
extern glm::ivec2 gameWindowSize;

#pragma once

#include "engine/Math4D.h"
#include "game/InventoryScreenLink.h"
#include "game/PlayerInput.h"
#include "items/Inventory.h"
#include "items/PlayerInventoryManager.h"

#include <glm/glm.hpp>
#include <nlohmann/json_fwd.hpp>

#include <array>
#include <memory>

struct GLFWwindow;
class World;

// The local player: a vertical segment 1.8 high standing in the 4D block grid, with a 4D
// orientation, the aim at a block, health and the inventories. One lives in the game screen,
// which calls update once per 0.01 s tick and routes input here.
class Player {
public:
    // Flags of `input`, in order.
    enum InputFlag : int {
        InputW,
        InputA,
        InputS,
        InputD,
        InputX,
        InputZ,
        InputSpace,
        InputShift,
        InputMining,
        InputUsing,
        InputCount
    };

    // The movement sweep stops at every grid plane it crosses; it ends only while each velocity
    // component stays below one block per tick, and never takes more stops than this per tick.
    static constexpr float maxAxisSpeed = 0.99f;
    static constexpr int maxCrossingsPerTick = 16;

    std::array<bool, InputCount> input{};
    // Flags pressed in the world since the last tick, and those released before a tick saw
    // the press (see mouseButton).
    std::array<bool, InputCount> pressUnseen{};
    std::array<bool, InputCount> releaseWaiting{};
    float scrollSensitivity = 0.5f;
    float lookSensitivity = 3.0f;
    glm::vec4 pos{131.5f, 100.0f, -101.5f, 44.5f};  // feet
    float headY = 101.8f;
    glm::vec4 eyePos = pos;
    glm::ivec4 currentBlock = glm::ivec4(glm::floor(pos));
    glm::vec4 lastLoadPos = pos;
    bool reloadChunks = false;
    glm::vec4 forward{0.0f, 0.0f, 1.0f, 0.0f};
    glm::vec4 up{0.0f, 1.0f, 0.0f, 0.0f};
    glm::vec4 left{1.0f, 0.0f, 0.0f, 0.0f};
    glm::vec4 over{0.0f, 0.0f, 0.0f, 1.0f};
    Mat5 orientation;
    glm::vec4 velocity{0.0f};
    float pendingTurn = 0.0f;
    double lastCursorX = 0.0;
    double lastCursorY = 0.0;
    double mousePressTime = 0.0;
    double lastUseTime = 0.0;
    glm::ivec4 targetBlock{0};
    bool hasTargetBlock = false;
    double mineStartTime = 0.0;
    float breakProgress = 0.0f;
    glm::ivec4 placePos{0};
    bool hasPlacePos = false;
    glm::vec4 rayEnd{0.0f};
    Inventory hotbar{{1, 8}, {0, 0}, {0, 0}};
    Inventory inventory{{4, 8}, {0, 0}, {0, 0}};
    PlayerInventoryManager inventoryManager{&hotbar, &inventory};
    // The inventory screen; see InventoryScreenLink.
    std::unique_ptr<InventoryScreenLink> inventoryGui = std::make_unique<DetachedInventoryScreen>();
    bool dropRequested = false;
    std::unique_ptr<Item> pendingDrop;
    // The stacks held outside the inventories: the one on the inventory screen's cursor and the
    // one waiting to be thrown. Whatever saves or closes the game puts them somewhere first.
    std::array<std::unique_ptr<Item>*, 2> carriedStacks() { return {&inventoryGui->cursorItem(), &pendingDrop}; }
    bool inventoryToggled = false;
    float health = 100.0f;
    double lastAttackTime = 0.0;
    double lastDamageTime = 0.0;
    int eyeBlock = 0;

    // Seams: the clock and the window's cursor and size.
    PlayerClock clock = glfwClockSeconds;
    PlayerWindow* windowAdapter = &glfwPlayerWindow();

    Player() = default;
    // inventoryManager points into this object.
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // One tick, called by the game screen.
    void update(GLFWwindow* window, World* world);

    // Movement and collision.
    void move(World* world);
    void collide(World* world);
    void clipVelocity(int axis);
    void updateCurrentBlock();

    // Orientation and camera.
    void updateCameraVectors();
    void cursorPos(GLFWwindow* window, double x, double y);
    // One tick of the wheel's turn through the fourth dimension.
    void updateWheelTurn();
    void updateEye(World* world);
    bool holdingCompass();

    // Targeting, mining, using and dropping.
    void raycastBlock(World* world, float reach);
    void dropItem(World* world, std::unique_ptr<Item>& item);
    // The action steps of a tick before the wheel turn (the pending drop) and after the early
    // stop while the inventory screen is open (drops, creatures, mining, using).
    void dropPendingItem(World* world);
    void useHands(World* world);

    // Record, health, respawn and HUD.
    // A fresh player: empty inventories, at the spawn point with full health.
    void reset();
    // Back after a death: at the spawn point, still and facing the spawn orientation, with full
    // health; the inventories stay, and the inventory screen closes.
    void respawn();
    nlohmann::json toJson();
    void fromJson(const nlohmann::json& j);
    void initHud(GLFWwindow* window);
    void renderHud(GLFWwindow* window);
    // First step of a tick: health comes back after a while without damage.
    void regenerate();

    // Keyboard, mouse buttons and cursor mode.
    bool keyInput(GLFWwindow* window, int key, int scancode, int action, int mods);
    // The left button mines, the right one uses. A press in the world keeps its flag until a
    // tick has acted on it, so a click whose press and release both come between two ticks
    // still counts once; the release waits for the end of that tick.
    void mouseButton(int button, int action);
    // The last step of a tick: releases that waited for it take effect.
    void applyWaitingReleases();
    void updateCursorMode(GLFWwindow* window);

    bool isInventoryOpen() const { return inventoryGui->isOpen(); }
    // The walking direction: orthogonal to the side vector, the world's up and the fourth axis.
    glm::vec4 walkDirection() const;

private:
    // Feet at the spawn point, in the spawn orientation.
    void placeAtSpawn();
    bool onGround(World* world) const;
    void applyWalkingInput(bool screenOpen, bool grounded);
    void snapViewToAxes();
};

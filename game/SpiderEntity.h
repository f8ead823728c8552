#pragma once

#include "engine/MeshRenderer.h"
#include "game/Entity.h"
#include "shapes/Dodecaplex.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <functional>

// One body variant: its two colours and the two-coloured 120-cell drawn for it.
struct SpiderPart {
    glm::vec3 colourA{0.0f};
    glm::vec3 colourB{0.0f};
    const Dodecaplex* mesh = nullptr;
    MeshRenderer renderer;
};

// Shared drawing resources of every spider, uploaded by SpiderEntity::initRender.
extern std::array<SpiderPart, SPIDER_PART_COUNT> spiderParts;
extern MeshRenderer spiderPentachoronRenderer;  // one leg segment: the 5-cell on its base
extern MeshRenderer spiderWireRenderer;         // the 120-cell's edges, seen through the glasses
// The 32 legs' directions in the body's frame: row k / 8, column k mod 8 for leg k. Rows 1 and
// 2 are shorter than 1: the legs start at 0.6 times the raw direction.
extern const std::array<std::array<glm::vec4, 8>, 4> spiderLegDirections;

// A leg's two segments as model matrices in the body's frame, each drawn over the 5-cell that
// stands on its base: the upper one from the body out and up to the knee, the lower one from
// the knee down.
struct SpiderLegFrames {
    Mat5 upper;
    Mat5 lower;
};
SpiderLegFrames spiderLegFrames(int leg, float legPhase);

// The only creature: a four-dimensional body with 32 legs that chases the player within 25
// blocks, backs off and bites inside 1, jumps onto steps, flashes when hit and dies into
// Hypersilk (now and then a Health Potion as well). Spawned by the world in new chunks and
// never saved.
class SpiderEntity : public Entity {
public:
    static constexpr float halfExtent = 0.6f;
    static constexpr float chaseDistance = 25.0f;
    static constexpr float biteDistance = 1.0f;
    static constexpr float acceleration = 0.003f;
    static constexpr float legPhaseStep = 0.05f;
    static constexpr float jumpSpeed = 0.08f;
    static constexpr float startHealth = 20.0f;
    static constexpr double biteInterval = 1.2;
    static constexpr double hitCooldown = 0.7;
    static constexpr float bodyScale = 0.16205446f;  // the 120-cell of edge 1 at radius 0.6

    glm::vec4 pos{0.0f};
    glm::vec4 velocity{0.0f};
    int type = 0;  // the body variant, 0 to 4
    glm::vec4 direction{0.0f};  // horizontal, towards the player as last seen
    float legPhase = 0.0f;
    bool dead = false;
    bool onGround = false;
    bool jump = false;
    float health = startHealth;
    double lastHitTime = 0.0;  // 0: never hit
    // Seconds of the game clock for hits and the flash (glfwGetTime in the game).
    std::function<double()> clock;

    explicit SpiderEntity(int type);

    std::string getName() const override { return "Spider"; }
    void render(World* world, const Mat5& view, bool glasses) override;
    void update(World* world, Player* player) override;
    glm::vec4 getPos() const override { return pos; }
    void setPos(const glm::vec4& p) override { pos = p; }
    bool isDead() const override { return dead; }
    bool isPersistent() const override { return false; }
    bool isTargetable() const override { return true; }
    bool isBlockEntity() const override { return false; }
    float getRadius() const override { return 0.6f; }
    // Damage from the player's tool; ignored within 0.7 s of the last hit and once dead.
    void hit(float damage, World* world) override;
    bool interact(World*, Player*, int) override { return false; }
    nlohmann::json getAttributes() const override;

    // One axis of movement with collision; a sideways bump while on the ground asks for a jump.
    bool moveAxis(World* world, int axis);
    // The body's frame under the view: at the position, its z axis turned onto the direction.
    Mat5 bodyFrame(const Mat5& view) const;
    // Within 0.7 s of a hit.
    bool isFlashing() const;

    // Uploads the shared drawing resources (earlier uploads are released). GL context needed.
    static void initRender();

private:
    void chase(World* world, Player& player);
    void testGround(World* world);
    void dropLoot(World* world);
};

#pragma once

#include "game/Entity.h"
#include "items/Item.h"

#include <glm/vec4.hpp>
#include <nlohmann/json.hpp>

#include <memory>

class MeshRenderer;

// The tesseract edges drawn around each dropped item with the 4D glasses; the game screen
// uploads it at start.
extern MeshRenderer itemEntityOutline;

// An item stack lying in the world: it falls, slides, spins and bobs, and goes into the
// player's inventories when the player comes close. Saved with its chunk.
class ItemEntity : public Entity {
public:
    static constexpr float pickUpDistance = 0.5f;
    static constexpr float halfExtent = 0.1f;
    static constexpr float spinPerTick = 0.01f;

    std::unique_ptr<Item> item;
    glm::vec4 pos{0.0f};
    glm::vec4 velocity{0.0f};
    float spin = 0.0f;
    bool dead = false;

    // The entity of a definition's or record's attributes {"item": <item record>}; null when
    // the attributes hold no item that can be made (or an empty stack), so no entity ever
    // lacks its item.
    static std::unique_ptr<Entity> fromAttributes(const nlohmann::json& attributes);
    // A new dropped item carrying the given stack; null when there is no stack.
    static std::unique_ptr<Entity> make(std::unique_ptr<Item> item, const glm::vec4& position,
                                        const glm::vec4& velocity);
    // A new dropped item that pops out of a point (a broken block's centre, a chest, a dead
    // creature): slightly upwards, with a small random push sideways from the calling thread's
    // generator, drawn whether or not there is a stack. Null when there is no stack.
    static std::unique_ptr<Entity> makePopping(std::unique_ptr<Item> item, const glm::vec4& position);

    std::string getName() const override { return "Item"; }
    void render(World* world, const Mat5& view, bool glasses) override;
    void update(World* world, Player* player) override;
    glm::vec4 getPos() const override { return pos; }
    void setPos(const glm::vec4& p) override { pos = p; }
    bool isDead() const override { return dead; }
    bool isPersistent() const override { return true; }
    bool isTargetable() const override { return false; }
    bool isBlockEntity() const override { return false; }
    float getRadius() const override { return 0.2f; }
    void hit(float, World*) override {}
    bool interact(World*, Player*, int) override { return false; }
    nlohmann::json getAttributes() const override;

    // One axis of movement with collision against solid blocks; true when a block stopped it.
    bool moveAxis(World* world, int axis);
    // The model-view of the spinning, bobbing item under the view matrix.
    Mat5 modelView(const Mat5& view) const;

private:
    explicit ItemEntity(std::unique_ptr<Item> item) : item(std::move(item)) {}
};

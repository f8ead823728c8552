#pragma once

#include "game/Entity.h"

#include <functional>
#include <string>

// A scriptable entity for chunk and world tests; the real kinds live elsewhere.
class FakeEntity : public Entity {
public:
    std::string name = "Fake";
    glm::vec4 pos{0.0f};
    bool dead = false;
    bool persistent = true;
    bool targetable = false;
    bool blockEntity = false;
    float radius = 0.0f;
    nlohmann::json attributes = nlohmann::json::object();
    int updates = 0;
    // Runs on every update, e.g. to move or kill the entity.
    std::function<void(FakeEntity&)> onUpdate;

    FakeEntity() = default;
    explicit FakeEntity(const glm::vec4& p) : pos(p) {}

    std::string getName() const override { return name; }
    void render(World*, const Mat5&, bool) override {}
    void update(World*, Player*) override {
        ++updates;
        if (onUpdate) onUpdate(*this);
    }
    glm::vec4 getPos() const override { return pos; }
    void setPos(const glm::vec4& p) override { pos = p; }
    bool isDead() const override { return dead; }
    bool isPersistent() const override { return persistent; }
    bool isTargetable() const override { return targetable; }
    bool isBlockEntity() const override { return blockEntity; }
    float getRadius() const override { return radius; }
    void hit(float, World*) override {}
    bool interact(World*, Player*, int) override { return false; }
    nlohmann::json getAttributes() const override { return attributes; }
};

inline std::unique_ptr<FakeEntity> makeFake(const glm::vec4& pos) {
    return std::make_unique<FakeEntity>(pos);
}

// A fake bound to its block cell, as a chest is.
inline std::unique_ptr<FakeEntity> makeBlockEntity(const glm::vec4& pos) {
    auto entity = makeFake(pos);
    entity->blockEntity = true;
    return entity;
}

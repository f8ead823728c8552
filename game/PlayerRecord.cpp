#include "game/Player.h"

#include <nlohmann/json.hpp>

#include <algorithm>

using nlohmann::json;

namespace {

// Where a new or respawned player stands.
const glm::vec4 spawnPosition{131.5f, 100.0f, -101.5f, 44.5f};
constexpr float headHeight = 1.8f;

json vectorJson(const glm::vec4& v) { return {{"x", v.x}, {"y", v.y}, {"z", v.z}, {"w", v.w}}; }
json vectorJson(const glm::ivec4& v) { return {{"x", v.x}, {"y", v.y}, {"z", v.z}, {"w", v.w}}; }

template <typename T>
glm::vec<4, T> vectorFrom(const json& j) {
    return {j.at("x").get<T>(), j.at("y").get<T>(), j.at("z").get<T>(), j.at("w").get<T>()};
}

}  // namespace

void Player::reset() {
    hotbar.pos = {25, 50};
    inventory.pos = {109, 50};
    inventory.selected = {-1, -1};

    hotbar.clear();
    inventory.clear();
    inventoryGui->cursorItem().reset();

    placeAtSpawn();

    lastCursorX = lastCursorY = 0.0;
    lastAttackTime = lastDamageTime = 0.0;
    health = 100.0f;
}

void Player::respawn() {
    placeAtSpawn();
    velocity = glm::vec4(0.0f);
    health = 100.0f;
    inventoryGui->close();
}

void Player::placeAtSpawn() {
    pos = spawnPosition;
    currentBlock = glm::ivec4(glm::floor(pos));
    headY = pos.y + headHeight;
    eyePos = pos;
    orientation = Mat5();
    updateCameraVectors();
}

json Player::toJson() {
    json orientationJson = json::array();
    for (int column = 0; column < 5; ++column) {
        json values = json::array();
        for (int row = 0; row < 5; ++row) values.push_back(orientation.at(column, row));
        orientationJson.push_back(values);
    }
    return {{"currentBlock", vectorJson(currentBlock)},
            {"health", health},
            {"hotbar", hotbar.toJson()},
            {"inventory", inventory.toJson()},
            {"orientation", orientationJson},
            {"position", vectorJson(pos)}};
}

void Player::fromJson(const json& j) {
    hotbar.fromJson(j.at("hotbar"));
    inventory.fromJson(j.at("inventory"));

    pos = vectorFrom<float>(j.at("position"));
    headY = pos.y + headHeight;
    eyePos = pos;

    currentBlock = vectorFrom<int>(j.at("currentBlock"));

    const json& matrix = j.at("orientation");
    for (int column = 0; column < 5; ++column)
        for (int row = 0; row < 5; ++row)
            orientation.at(column, row) = matrix.at(column).at(row).get<float>();
    updateCameraVectors();

    // Health lives in 0..100 whatever the file says.
    health = std::clamp(j.at("health").get<float>(), 0.0f, 100.0f);
}

#pragma once

#include "game/Player.h"
#include "world/World.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace playertest {

// A world of loaded, empty chunks (x, z, w chunk coordinates from lo to hi) filled by hand.
class HandWorld {
public:
    World world;

    explicit HandWorld(const glm::ivec3& lo = glm::ivec3(-1), const glm::ivec3& hi = glm::ivec3(1)) {
        for (int x = lo.x; x <= hi.x; ++x)
            for (int z = lo.y; z <= hi.y; ++z)
                for (int w = lo.z; w <= hi.z; ++w) {
                    auto* chunk = new Chunk(glm::i64vec3(x, z, w));
                    chunk->loaded = true;
                    world.chunks[chunk->coords] = chunk;
                }
    }
    ~HandWorld() {
        for (auto& entry : world.chunks) delete entry.second;
    }
    HandWorld(const HandWorld&) = delete;
    HandWorld& operator=(const HandWorld&) = delete;

    void set(const glm::ivec4& p, uint8_t id) {
        Chunk* chunk = world.getChunk(World::chunkCoords(p));
        ASSERT_NE(chunk, nullptr) << "cell outside the test world";
        const glm::ivec4 c = World::localCell(p);
        chunk->setBlock(c.x, c.y, c.z, c.w, id);
    }
    // Every cell of the inclusive box a..b.
    void fill(const glm::ivec4& a, const glm::ivec4& b, uint8_t id) {
        for (int x = a.x; x <= b.x; ++x)
            for (int y = a.y; y <= b.y; ++y)
                for (int z = a.z; z <= b.z; ++z)
                    for (int w = a.w; w <= b.w; ++w) set({x, y, z, w}, id);
    }
};

// Puts the body's feet at p, at rest, in the cell `cell` (the cell it came from when p lies on
// a boundary).
inline void placeAt(Player& player, const glm::vec4& p, const glm::ivec4& cell) {
    player.pos = p;
    player.headY = p.y + 1.8f;
    player.currentBlock = cell;
    player.velocity = glm::vec4(0.0f);
}
inline void placeAt(Player& player, const glm::vec4& p) {
    placeAt(player, p, glm::ivec4(glm::floor(p)));
}

// Records what the player asks of the window.
class RecordingWindow : public PlayerWindow {
public:
    struct CursorMove {
        double x, y;
    };
    std::vector<CursorMove> cursorMoves;
    int captureCalls = 0;
    bool captured = false;
    int width = 1024, height = 768;

    void setCursorPos(GLFWwindow*, double x, double y) override { cursorMoves.push_back({x, y}); }
    void setCursorCaptured(GLFWwindow*, bool c) override {
        ++captureCalls;
        captured = c;
    }
    void getWindowSize(GLFWwindow*, int& w, int& h) override {
        w = width;
        h = height;
    }
};

// A player with a fake clock and a recording window.
struct TestPlayer {
    double now = 0.0;
    RecordingWindow window;
    Player player;

    TestPlayer() {
        player.clock = [this] { return now; };
        player.windowAdapter = &window;
    }
};

inline glm::mat4 frameOf(const Player& p) { return glm::mat4(p.left, p.up, p.forward, p.over); }

// The camera vectors are orthonormal, a rotation (no mirror), with the side vector and the
// fourth axis horizontal, and the orientation's columns hold them.
inline void expectProperFrame(const Player& p, float tolerance = 1e-4f) {
    const glm::vec4 v[4] = {p.left, p.up, p.forward, p.over};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(glm::length(v[i]), 1.0f, tolerance) << "vector " << i;
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NEAR(glm::dot(v[i], v[j]), 0.0f, tolerance) << "vectors " << i << ", " << j;
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(p.orientation.at(i, r), v[i][r]) << "orientation column " << i;
    }
    EXPECT_NEAR(glm::determinant(frameOf(p)), 1.0f, 10 * tolerance);
    EXPECT_EQ(p.left.y, 0.0f);
    EXPECT_EQ(p.over.y, 0.0f);
}

}  // namespace playertest

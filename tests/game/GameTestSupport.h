#pragma once

#include "game/Entity.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "items/BlockItem.h"
#include "items/Item.h"
#include "world/World.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// A hand-filled world of loaded chunks (no streaming, no GL), a player on a fake clock with a
// recording window, and a few items, for the game's tests without a window.
namespace gametest {

inline std::unique_ptr<Item> blocks(int id, uint32_t count) {
    auto item = std::make_unique<BlockItem>(id);
    item->count = count;
    return item;
}
inline uint32_t countOf(const std::unique_ptr<Item>& item) { return item ? item->count : 0; }

// Blocks as the game numbers them; "Stick" stands in as a block kind of its own id so the
// leaves' drop can be seen without the tool kind.
inline void loadCatalogue() {
    const auto path = std::filesystem::temp_directory_path() /
                      ("hm-game-" + std::to_string(getpid()) + "-items.json");
    std::ofstream(path) << R"({
      "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
      "Stone": {"type": "block", "baseAttributes": {"id": 3}},
      "Leaves": {"type": "block", "baseAttributes": {"id": 5}},
      "Chest": {"type": "block", "baseAttributes": {"id": 9}},
      "Stick": {"type": "block", "baseAttributes": {"id": 99}}
    })";
    ASSERT_TRUE(Item::loadItemInfo(path.string()));
    std::filesystem::remove(path);
    entityInfo = nlohmann::json::parse(R"({"Item": {"type": "item", "baseAttributes": {"item": null}}})");
}

// Loaded, empty chunks over x, z, w chunk coordinates lo..hi.
class HandWorld {
public:
    World world;

    explicit HandWorld(const glm::ivec3& lo = glm::ivec3(-1), const glm::ivec3& hi = glm::ivec3(1)) {
        for (int x = lo.x; x <= hi.x; ++x)
            for (int z = lo.y; z <= hi.y; ++z)
                for (int w = lo.z; w <= hi.z; ++w) addChunk({x, z, w});
    }
    ~HandWorld() {
        for (auto& entry : world.chunks) delete entry.second;
    }
    HandWorld(const HandWorld&) = delete;
    HandWorld& operator=(const HandWorld&) = delete;

    Chunk* addChunk(const glm::i64vec3& coords, bool loaded = true) {
        auto* chunk = new Chunk(coords);
        chunk->loaded = loaded;
        world.chunks[coords] = chunk;
        return chunk;
    }
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
    // Row y of every chunk.
    void fillLayer(int y, uint8_t id) {
        for (auto& [coords, chunk] : world.chunks)
            for (int x = 0; x < Chunk::SIZE; ++x)
                for (int z = 0; z < Chunk::SIZE; ++z)
                    for (int w = 0; w < Chunk::SIZE; ++w) chunk->setBlock(x, y, z, w, id);
    }
    template <class Kind = Entity>
    std::vector<Kind*> entities() {
        std::vector<Kind*> found;
        for (auto& [coords, chunk] : world.chunks)
            for (auto& entity : chunk->entities)
                if (auto* kind = dynamic_cast<Kind*>(entity.get())) found.push_back(kind);
        return found;
    }
};

// Walls of `wall` on the faces of the box lo..hi (corners included) with air inside, whatever
// the world held there; every cell must lie in a loaded chunk.
inline void buildRoom(World& world, const glm::ivec4& lo, const glm::ivec4& hi, uint8_t wall) {
    glm::ivec4 p;
    for (p.x = lo.x; p.x <= hi.x; ++p.x)
        for (p.y = lo.y; p.y <= hi.y; ++p.y)
            for (p.z = lo.z; p.z <= hi.z; ++p.z)
                for (p.w = lo.w; p.w <= hi.w; ++p.w) {
                    const bool onWall = glm::any(glm::equal(p, lo)) || glm::any(glm::equal(p, hi));
                    world.setBlock(p, onWall ? wall : 0);
                    ASSERT_EQ(world.getBlock(p), onWall ? wall : 0) << "the room must lie in loaded chunks";
                }
}

// The ground most tests of the player stand on: chunks -1..2 with stone in row 63 and dirt in
// row 64, the player at (4.5, 65, 4.5, 4.5) looking along +z, on a fake clock at 100 s.
class PlayerOnGroundTest : public ::testing::Test {
protected:
    HandWorld hand{glm::ivec3(-1), glm::ivec3(2)};
    World& world = hand.world;
    Player player;
    double now = 100.0;

    void SetUp() override;
    // One game tick of the player, 0.01 s of the fake clock.
    void tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i, now += 0.01) player.update(nullptr, &world);
    }
    std::vector<ItemEntity*> dropped() { return hand.entities<ItemEntity>(); }
    // Every entity of the loaded chunks gone: the dropped items of an earlier case, for one.
    void clearEntities() {
        for (auto& [coords, chunk] : world.chunks) chunk->entities.clear();
    }
    // A stack of a catalogue item in the first hotbar slot, the selected one.
    std::unique_ptr<Item>& hold(const std::string& name, unsigned count = 1) {
        player.hotbar.getSlot(0) = Item::create(name, count);
        EXPECT_NE(player.hotbar.getSlot(0), nullptr) << name;
        return player.hotbar.getSlot(0);
    }
    // The game's own item and entity catalogues. Call through ASSERT_NO_FATAL_FAILURE.
    static void loadCatalogues() {
        ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));
        ASSERT_TRUE(loadEntityInfo("entityInfo.json"));
    }
};

// The body's feet at p, at rest, in `cell` (the cell it came from when p lies on a boundary).
inline void placeAt(Player& player, const glm::vec4& p, const glm::ivec4& cell) {
    player.pos = p;
    player.headY = p.y + 1.8f;
    player.currentBlock = cell;
    player.velocity = glm::vec4(0.0f);
    player.eyePos = glm::vec4(p.x, player.headY - 0.023f, p.z, p.w);
}
inline void placeAt(Player& player, const glm::vec4& p) {
    placeAt(player, p, glm::ivec4(glm::floor(p)));
}

inline void PlayerOnGroundTest::SetUp() {
    player.clock = [this] { return now; };
    hand.fillLayer(63, 3);
    hand.fillLayer(64, 2);
    placeAt(player, {4.5f, 65.0f, 4.5f, 4.5f});
}

// Records what the player asks of the window.
class RecordingWindow : public PlayerWindow {
public:
    std::vector<glm::dvec2> cursorMoves;
    int captureCalls = 0;
    bool captured = false;
    bool capturedAtLastMove = false;
    int width = 1024, height = 768;

    void setCursorPos(GLFWwindow*, double x, double y) override {
        cursorMoves.push_back({x, y});
        capturedAtLastMove = captured;
    }
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

// The camera vectors are orthonormal and a rotation (no mirror), the side vector and the fourth
// axis are horizontal, and the orientation's columns hold them.
inline void expectProperFrame(const Player& p, float tolerance = 1e-4f) {
    const glm::vec4 v[4] = {p.left, p.up, p.forward, p.over};
    for (int i = 0; i < 4; ++i) {
        for (int j = i; j < 4; ++j)
            EXPECT_NEAR(glm::dot(v[i], v[j]), i == j ? 1.0f : 0.0f, tolerance) << i << ", " << j;
        for (int r = 0; r < 4; ++r) EXPECT_EQ(p.orientation.at(i, r), v[i][r]) << "column " << i;
    }
    EXPECT_NEAR(glm::determinant(glm::mat4(v[0], v[1], v[2], v[3])), 1.0f, 10 * tolerance);
    EXPECT_EQ(p.left.y, 0.0f);
    EXPECT_EQ(p.over.y, 0.0f);
}

// A held item that mines at a fixed speed, drops the broken block itself and counts its hits
// and uses, as the tools will. It draws nothing.
class TestPick : public Item {
public:
    std::string name = "Test Pick";
    float speed = 0.25f;
    int hits = 0, uses = 0, lastButton = -1;

    TestPick() { count = 1; }
    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return false; }
    bool canStackWith(const std::unique_ptr<Item>&) const override { return false; }
    unsigned getMaxStack() const override { return 1; }
    bool use(World*, Player* player, int button) override {
        ++uses;
        lastButton = button;
        if (button == 0 && player->hasTargetBlock) player->breakProgress += speed;
        return false;
    }
    bool onBlockBroken(World* world, Player*, uint8_t id, const glm::ivec4& pos) override {
        auto drop = ItemEntity::make(blocks(id, 1), glm::vec4(pos) + 0.5f, glm::vec4(0.0f));
        world->addEntity(drop);
        return true;
    }
    bool useOnEntity(World*, Player*, std::unique_ptr<Entity>&, int) override {
        ++hits;
        return true;
    }
    std::unique_ptr<Item> clone() const override { return std::make_unique<TestPick>(); }
};

}  // namespace gametest

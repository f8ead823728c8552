#pragma once

#include "game/Entity.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "items/BlockItem.h"
#include "items/Item.h"
#include "world/World.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// A world of hand-filled loaded chunks without streaming or GL, a player on a fake clock and
// a small item catalogue, for the tests of dropped items and the player's actions.
namespace play {

// Blocks as the game numbers them; "Stick" stands in as a block kind of its own id until the
// tool kind exists, so the leaves' drop can be seen.
inline const char* catalogue() {
    return R"({
      "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
      "Stone": {"type": "block", "baseAttributes": {"id": 3}},
      "Leaves": {"type": "block", "baseAttributes": {"id": 5}},
      "Chest": {"type": "block", "baseAttributes": {"id": 9}},
      "Stick": {"type": "block", "baseAttributes": {"id": 99}}
    })";
}

inline void loadCatalogue() {
    const auto path = std::filesystem::temp_directory_path() /
                      ("hm-play-" + std::to_string(getpid()) + "-items.json");
    std::ofstream(path) << catalogue();
    ASSERT_TRUE(Item::loadItemInfo(path.string()));
    std::error_code error;
    std::filesystem::remove(path, error);
}

inline void loadEntityDefinitions() {
    entityInfo = nlohmann::json::parse(R"({
      "Item": {"type": "item", "baseAttributes": {"item": null}}
    })");
}

inline std::unique_ptr<Item> blocks(int id, uint32_t count) {
    auto item = std::make_unique<BlockItem>(id);
    item->count = count;
    return item;
}

inline uint32_t countOf(const std::unique_ptr<Item>& item) { return item ? item->count : 0; }

class PlayTest : public ::testing::Test {
protected:
    World world;
    Player player;
    double now = 100.0;

    void SetUp() override {
        loadCatalogue();
        loadEntityDefinitions();
        player.clock = [this] { return now; };
    }
    ~PlayTest() override {
        for (auto& [coords, chunk] : world.chunks) delete chunk;
    }

    Chunk* addChunk(const glm::i64vec3& coords, bool loaded = true) {
        auto* chunk = new Chunk(coords);
        chunk->loaded = loaded;
        world.chunks[coords] = chunk;
        return chunk;
    }
    // Loaded chunks over x, z, w from lo to hi chunk coordinates.
    void addChunks(int lo, int hi) {
        for (int x = lo; x <= hi; ++x)
            for (int z = lo; z <= hi; ++z)
                for (int w = lo; w <= hi; ++w) addChunk({x, z, w});
    }
    // A solid layer at height y over every loaded chunk.
    void fillLayer(int y, uint8_t id) {
        for (auto& [coords, chunk] : world.chunks)
            for (int x = 0; x < Chunk::SIZE; ++x)
                for (int z = 0; z < Chunk::SIZE; ++z)
                    for (int w = 0; w < Chunk::SIZE; ++w) chunk->setBlock(x, y, z, w, id);
    }
    void set(const glm::ivec4& pos, uint8_t id) {
        Chunk* chunk = world.getChunk(World::chunkCoords(pos));
        ASSERT_NE(chunk, nullptr);
        glm::ivec4 cell = World::localCell(pos);
        chunk->setBlock(cell.x, cell.y, cell.z, cell.w, id);
    }
    // Every moving entity of every loaded chunk.
    std::vector<Entity*> entities() {
        std::vector<Entity*> all;
        for (auto& [coords, chunk] : world.chunks)
            for (auto& entity : chunk->entities) all.push_back(entity.get());
        return all;
    }
    // Stands the player with the feet at pos, looking along forward (a unit vector).
    void stand(const glm::vec4& feet, const glm::vec4& forward = {0, 0, 1, 0}) {
        player.pos = feet;
        player.headY = feet.y + 1.8f;
        player.currentBlock = glm::ivec4(glm::floor(feet));
        player.eyePos = glm::vec4(feet.x, player.headY - 0.023f, feet.z, feet.w);
        player.forward = forward;
    }
};

}  // namespace play

#include "game/Player.h"
#include "game/PlayerRecordCheck.h"
#include "items/BlockItem.h"
#include "items/Item.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace {

using nlohmann::json;

class PlayerRecordTest : public ::testing::Test {
protected:
    testfs::TempWorkDir dir;

    void SetUp() override {
        dir.write("itemInfo.json", R"({
          "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
          "Stone": {"type": "block", "baseAttributes": {"id": 3}}
        })");
        ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));
    }

    static std::unique_ptr<Item> blocks(int id, uint32_t count) {
        auto item = std::make_unique<BlockItem>(id);
        item->count = count;
        return item;
    }
};

TEST_F(PlayerRecordTest, ResetSpawnsAFreshPlayer) {
    Player player;
    player.pos = glm::vec4(3, 4, 5, 6);
    player.health = 12.0f;
    player.orientation.at(0, 0) = -1.0f;
    player.hotbar.slots[0] = blocks(3, 10);
    player.inventory.slots[5] = blocks(2, 1);
    player.inventory.selected = {1, 1};
    player.inventoryGui->cursorItem() = blocks(2, 4);
    player.lastDamageTime = 50.0;

    player.reset();

    EXPECT_EQ(player.pos, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f));
    EXPECT_EQ(player.currentBlock, glm::ivec4(131, 100, -102, 44));
    EXPECT_FLOAT_EQ(player.headY, 101.8f);
    EXPECT_EQ(player.eyePos, player.pos);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(player.lastDamageTime, 0.0);
    EXPECT_EQ(player.forward, glm::vec4(0, 0, 1, 0));
    EXPECT_EQ(player.left, glm::vec4(1, 0, 0, 0));
    for (auto& slot : player.hotbar.slots) EXPECT_FALSE(slot);
    for (auto& slot : player.inventory.slots) EXPECT_FALSE(slot);
    EXPECT_FALSE(player.inventoryGui->cursorItem());
    EXPECT_EQ(player.hotbar.pos, glm::ivec2(25, 50));
    EXPECT_EQ(player.inventory.pos, glm::ivec2(109, 50));
    EXPECT_EQ(player.inventory.selected, glm::ivec2(-1, -1));
    EXPECT_EQ(player.hotbar.selected, glm::ivec2(0, 0));  // the hotbar keeps its selection
}

TEST_F(PlayerRecordTest, RecordHasTheSixMembersInKeyOrder) {
    Player player;
    player.reset();
    json record = player.toJson();
    std::vector<std::string> keys;
    for (auto it = record.begin(); it != record.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"currentBlock", "health", "hotbar", "inventory",
                                              "orientation", "position"}));
    EXPECT_TRUE(record["currentBlock"]["x"].is_number_integer());
    EXPECT_TRUE(record["position"]["x"].is_number_float());
    EXPECT_EQ(record["hotbar"].size(), 8u);
    EXPECT_EQ(record["inventory"].size(), 32u);
    EXPECT_EQ(record["orientation"].size(), 5u);
    EXPECT_EQ(playerrecord::problemWith(record), "");
}

TEST_F(PlayerRecordTest, SaveThenLoadRestoresEverythingSaved) {
    Player saved;
    saved.reset();
    saved.pos = glm::vec4(10.3f, 64.0f, -3.7f, 7.125f);
    saved.currentBlock = glm::ivec4(10, 64, -4, 7);
    Bivector4 plane = wedge4(glm::vec4(0, 0, 1, 0), glm::vec4(0.3f, 0, 0, 1));
    saved.orientation = Rotor4(plane, 0.7f).toMat5();
    saved.health = 37.3f;
    saved.hotbar.slots[2] = blocks(3, 42);
    saved.inventory.slots[31] = blocks(2, 7);

    // Through the text of the file, as the game stores it.
    json record = json::parse(saved.toJson().dump());
    ASSERT_EQ(playerrecord::problemWith(record), "");

    Player loaded;
    loaded.reset();
    loaded.fromJson(record);
    EXPECT_EQ(loaded.pos, saved.pos);
    EXPECT_FLOAT_EQ(loaded.headY, saved.pos.y + 1.8f);
    EXPECT_EQ(loaded.eyePos, saved.pos);
    EXPECT_EQ(loaded.currentBlock, saved.currentBlock);
    // Loading recomputes the camera vectors, which may re-orthonormalise in the last bit.
    for (int i = 0; i < 25; ++i) EXPECT_NEAR(loaded.orientation.m[i], saved.orientation.m[i], 1e-6f) << i;
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(loaded.forward[i], saved.orientation.at(2, i), 1e-6f);
        EXPECT_NEAR(loaded.over[i], saved.orientation.at(3, i), 1e-6f);
    }
    EXPECT_EQ(loaded.health, saved.health);
    ASSERT_TRUE(loaded.hotbar.slots[2]);
    EXPECT_EQ(loaded.hotbar.slots[2]->getName(), "Stone");
    EXPECT_EQ(loaded.hotbar.slots[2]->count, 42u);
    ASSERT_TRUE(loaded.inventory.slots[31]);
    EXPECT_EQ(loaded.inventory.slots[31]->getName(), "Dirt");
    EXPECT_EQ(loaded.inventory.slots[31]->count, 7u);
    EXPECT_FALSE(loaded.hotbar.slots[0]);
}

TEST_F(PlayerRecordTest, LoadedHealthStaysWithinItsRange) {
    Player player;
    player.reset();
    json record = player.toJson();
    record["health"] = 250.0;
    player.fromJson(record);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    record["health"] = -40;
    player.fromJson(record);
    EXPECT_FLOAT_EQ(player.health, 0.0f);
}

TEST_F(PlayerRecordTest, UnknownItemsSurviveTheRoundTrip) {
    Player player;
    player.reset();
    json record = player.toJson();
    json mystery = {{"attributes", json::object()}, {"count", 3}, {"name", "Mystery"}};
    record["inventory"][4] = mystery;
    ASSERT_EQ(playerrecord::problemWith(record), "");
    player.fromJson(record);
    EXPECT_FALSE(player.inventory.slots[4]);
    EXPECT_EQ(player.toJson()["inventory"][4], mystery);
}

}  // namespace

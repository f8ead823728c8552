#include "game/Compass.h"
#include "game/GameTestSupport.h"
#include "game/PlayerRecordCheck.h"
#include "game/PlayersFile.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

// The player's record in "players.json", its checks, health and regeneration, and the void.

namespace {

using gametest::blocks;
using gametest::placeAt;
using nlohmann::json;

std::string readText(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class PlayerRecordTest : public ::testing::Test {
protected:
    Player player;
    void SetUp() override {
        gametest::loadCatalogue();
        player.clock = [] { return 500.0; };
        player.reset();
    }
};

TEST_F(PlayerRecordTest, ResetSpawnsAFreshPlayer) {
    placeAt(player, {3, 4, 5, 6});
    player.health = 12.0f;
    player.lastDamageTime = 50.0;
    player.orientation.at(0, 0) = -1.0f;
    player.hotbar.slots[0] = blocks(3, 10);
    player.inventory.slots[5] = blocks(2, 1);
    player.inventoryGui->cursorItem() = blocks(2, 4);
    player.reset();
    EXPECT_EQ(player.pos, glm::vec4(131.5f, 100.0f, -101.5f, 44.5f));
    EXPECT_EQ(player.currentBlock, glm::ivec4(131, 100, -102, 44));
    EXPECT_FLOAT_EQ(player.headY, 101.8f);
    EXPECT_EQ(player.health, 100.0f);
    EXPECT_EQ(player.lastDamageTime, 0.0);
    EXPECT_EQ(player.orientation.at(0, 0), 1.0f);
    EXPECT_FALSE(player.hotbar.slots[0] || player.inventory.slots[5] || player.inventoryGui->cursorItem());
}

TEST_F(PlayerRecordTest, SaveThenLoadRestoresEverythingSaved) {
    player.pos = glm::vec4(10.3f, 64.0f, -3.7f, 7.125f);
    player.currentBlock = glm::ivec4(10, 64, -4, 7);
    player.orientation = Rotor4(wedge4(glm::vec4(0, 0, 1, 0), glm::vec4(0.3f, 0, 0, 1)), 0.7f).toMat5();
    player.health = 37.3f;
    player.hotbar.slots[2] = blocks(3, 42);
    player.inventory.slots[31] = blocks(2, 7);

    const json record = json::parse(player.toJson().dump());  // through the file's text
    EXPECT_TRUE(record["currentBlock"]["x"].is_number_integer());
    EXPECT_TRUE(record["position"]["x"].is_number_float());
    EXPECT_EQ(record["hotbar"].size(), 8u);
    EXPECT_EQ(record["inventory"].size(), 32u);
    ASSERT_EQ(playerrecord::problemWith(record), "");

    Player loaded;
    loaded.reset();
    loaded.fromJson(record);
    EXPECT_EQ(loaded.pos, player.pos);
    EXPECT_FLOAT_EQ(loaded.headY, player.pos.y + 1.8f);
    EXPECT_EQ(loaded.eyePos, player.pos);
    EXPECT_EQ(loaded.currentBlock, player.currentBlock);
    // Loading recomputes the camera vectors, which may re-orthonormalise in the last bit.
    for (int i = 0; i < 25; ++i) EXPECT_NEAR(loaded.orientation.m[i], player.orientation.m[i], 1e-6f) << i;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(loaded.over[i], player.orientation.at(3, i), 1e-6f);
    EXPECT_EQ(loaded.health, player.health);
    EXPECT_EQ(loaded.hotbar.slots[2]->getName(), "Stone");
    EXPECT_EQ(loaded.hotbar.slots[2]->count, 42u);
    EXPECT_EQ(loaded.inventory.slots[31]->getName(), "Dirt");
    EXPECT_EQ(loaded.inventory.slots[31]->count, 7u);
    EXPECT_FALSE(loaded.hotbar.slots[0]);

    json outOfRange = record;
    for (auto [health, loadedHealth] : {std::pair{250.0, 100.0f}, {-40.0, 0.0f}}) {
        outOfRange["health"] = health;
        loaded.fromJson(outOfRange);
        EXPECT_FLOAT_EQ(loaded.health, loadedHealth);
    }
}

TEST_F(PlayerRecordTest, TheCheckRefusesEveryBrokenRecord) {
    const json good = player.toJson();
    json turned = good;  // a turn by 0.6 rad in the x-w plane
    const float c = std::cos(0.6f), s = std::sin(0.6f);
    turned["orientation"][0][0] = turned["orientation"][3][3] = c;
    turned["orientation"][0][3] = s;
    turned["orientation"][3][0] = -s;
    json boundary = good;  // on a cell boundary the cell may be the one the body came from
    boundary["position"]["x"] = 132.0;
    json oddSlots = good;  // short arrays, empty slots of any kind, unknown items kept as read
    oddSlots["inventory"] = {nullptr, json::object(), json::array(), {{"name", "Mystery"}, {"count", 3}}};
    for (const json& record : {good, turned, boundary, oddSlots})
        EXPECT_EQ(playerrecord::problemWith(record), "") << record.dump();

    std::vector<std::pair<std::string, std::function<void(json&)>>> broken;
    for (const char* key : {"currentBlock", "health", "hotbar", "inventory", "orientation", "position"}) {
        broken.push_back({std::string("no ") + key, [key](json& r) { r.erase(key); }});
        broken.push_back({std::string("text ") + key, [key](json& r) { r[key] = "text"; }});
    }
    // Rotations the camera cannot be rebuilt from: the side vector (column 0) or the fourth axis
    // (column 3) tilted off the level.
    auto tilt = [](int column, float angle) {
        return [column, angle](json& r) {
            r["orientation"][column][column] = r["orientation"][1][1] = std::cos(angle);
            r["orientation"][column][1] = std::sin(angle);
            r["orientation"][1][column] = -std::sin(angle);
        };
    };
    const std::pair<std::string, std::function<void(json&)>> more[] = {
        {"an array", [](json& r) { r = json::array(); }},
        {"null", [](json& r) { r = nullptr; }},
        {"NaN position", [](json& r) { r["position"]["y"] = nullptr; }},  // how NaN is written
        {"health beyond float", [](json& r) { r["health"] = 1e300; }},
        {"NaN orientation", [](json& r) { r["orientation"][2][1] = nullptr; }},
        {"stretched", [](json& r) { r["orientation"][1][1] = 2.0; }},
        {"two equal axes", [](json& r) { r["orientation"][2] = r["orientation"][0]; }},
        {"four columns", [](json& r) { r["orientation"].erase(4); }},
        {"a long column", [](json& r) { r["orientation"][3].push_back(0.0); }},
        {"upright side", tilt(0, 1.5707964f)},
        {"upright fourth axis", tilt(3, 1.5707964f)},
        {"tilted fourth axis", tilt(3, 0.2f)},
        {"cell far away", [](json& r) { r["currentBlock"]["z"] = 500; }},
        {"cell beyond int", [](json& r) { r["currentBlock"]["z"] = 1e12; }},
        {"a number as a stack", [](json& r) { r["inventory"] = {42}; }},
        {"a stack without name", [](json& r) { r["inventory"] = {{{"count", 3}}}; }},
        {"a count in words", [](json& r) { r["inventory"] = {{{"name", "Stick"}, {"count", "three"}}}; }},
    };
    broken.insert(broken.end(), std::begin(more), std::end(more));
    for (const auto& [name, breakIt] : broken) {
        json record = good;
        breakIt(record);
        EXPECT_NE(playerrecord::problemWith(record), "") << name;
    }
}

TEST_F(PlayerRecordTest, RegenerationWaitsAfterDamageThenAddsAHundredthPerTick) {
    double now = 500.0;
    player.clock = [&now] { return now; };
    player.health = 40.0f;
    player.lastDamageTime = now;
    // The wait is the float 1.2, a hair above the double 1.2.
    for (double wait : {1.19, 1.2}) {
        now = player.lastDamageTime + wait;
        player.regenerate();
        EXPECT_FLOAT_EQ(player.health, 40.0f) << wait;
    }
    now = player.lastDamageTime + 1.2000001;
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 40.01f);
    for (int i = 0; i < 99; ++i) player.regenerate();
    EXPECT_NEAR(player.health, 41.0f, 1e-3f);
    player.health = 99.995f;
    player.regenerate();
    player.regenerate();
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

TEST_F(PlayerRecordTest, FallingBelowMinusTwentyKillsInTheSameTick) {
    World world;  // nothing loaded: below height 0 every cell is air
    for (auto [y, dies] : {std::pair{-19.95f, true}, {-5.0f, false}}) {
        player.reset();
        placeAt(player, {0.5f, y, 0.5f, 0.5f});
        player.velocity.y = -0.1f;
        player.lastDamageTime = 1e12;  // no regeneration
        player.update(nullptr, &world);
        EXPECT_EQ(player.health, dies ? 0.0f : 100.0f) << y;
        EXPECT_EQ(player.pos.y < -20.0f, dies) << y;
        EXPECT_EQ(compassPlayerPos, player.pos);
    }
}

TEST(PlayersFile, MissingInvalidOrNonObjectFilesReadAsEmptyObjects) {
    testfs::TempWorkDir dir;
    EXPECT_EQ(playersfile::read("worlds/a/players.json"), json::object());
    for (const char* text : {"", "{\"\":", "[1, 2]", "42", "\"text\"", "null"}) {
        dir.write("worlds/a/players.json", text);
        const json file = playersfile::read("worlds/a/players.json");
        EXPECT_EQ(file, json::object()) << text;
        EXPECT_TRUE(playersfile::localRecord(file).is_null()) << text;
    }
    EXPECT_EQ(playersfile::localRecord({{"", {{"health", 50}}}, {"other", 1}})["health"], 50);
}

// What an unreadable file held is unknown: saving the player keeps it aside, never overwrites it,
// nor a copy kept aside before: one damaged file after another, each keeps a name of its own.
TEST(PlayersFile, SavingOverAnUnreadableFileKeepsItAsideFirst) {
    testfs::TempWorkDir dir;
    const std::string nested = std::string(100000, '[') + std::string(100000, ']');
    const std::string texts[] = {"{\"\":", "[1, 2]", nested};
    const std::string kept[] = {"players.json.damaged", "players.json.damaged.1", "players.json.damaged.2"};
    for (int i = 0; i < 3; ++i) {
        dir.write("w/players.json", texts[i]);
        bool damaged = false;
        playersfile::read("w/players.json", &damaged);
        EXPECT_TRUE(damaged);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(playersfile::writeLocalRecord("w/players.json", {{"health", 5}}));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_NE(out.find("kept as " + kept[i] + "\n"), std::string::npos) << out;
        for (int k = 0; k <= i; ++k) EXPECT_EQ(readText("w/" + kept[k]), texts[k]) << kept[k];
        EXPECT_EQ(readText("w/players.json"), R"({"":{"health":5}})");
    }
    // A readable file is merged into, nothing is kept aside, and a missing one is no damage.
    ASSERT_TRUE(playersfile::writeLocalRecord("w/players.json", {{"health", 6}}));
    EXPECT_FALSE(std::filesystem::exists("w/players.json.damaged.3"));
    bool damaged = true;
    playersfile::read("w/none.json", &damaged);
    EXPECT_FALSE(damaged);
}

TEST(PlayersFile, MergeReplacesTheLocalRecordKeepsOtherMembersAndReplacesTheWholeFile) {
    testfs::TempWorkDir dir;
    dir.write("w/players.json", R"({"friend":{"health":3},"":{"health":1},"z":[1,2]})");
    const json merged = playersfile::withLocalRecord(playersfile::read("w/players.json"), {{"health", 77}});
    ASSERT_TRUE(playersfile::write("w/players.json", merged));
    EXPECT_EQ(readText("w/players.json"), R"({"":{"health":77},"friend":{"health":3},"z":[1,2]})");
    EXPECT_FALSE(std::filesystem::exists("w/players.json.tmp"));

    ASSERT_TRUE(playersfile::write("new/world/players.json", playersfile::withLocalRecord(42, {{"a", 1}})));
    EXPECT_EQ(readText("new/world/players.json"), R"({"":{"a":1}})");
    dir.write("new/world/players.json", std::string(5000, 'x'));
    ASSERT_TRUE(playersfile::write("new/world/players.json", {{"", 1}}));
    EXPECT_EQ(readText("new/world/players.json"), R"({"":1})");
}

TEST(PlayersFile, AFailedWriteLeavesTheOldFileAndSaysSoInOneLine) {
    testfs::TempWorkDir dir;
    dir.write("w/players.json", R"({"":1})");
    std::filesystem::create_directories("w/players.json.tmp/blocker");  // the temporary file cannot be made
    testing::internal::CaptureStdout();
    EXPECT_FALSE(playersfile::write("w/players.json", {{"", 2}}));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("players.json"), std::string::npos);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
    EXPECT_EQ(readText("w/players.json"), R"({"":1})");
}

}  // namespace

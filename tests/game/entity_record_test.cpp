#include "game/Entity.h"
#include "support/TempWorkDir.h"
#include "world/FakeEntity.h"

#include <gtest/gtest.h>

using nlohmann::json;

namespace {

TEST(EntityRecord, MergeReplacesTopLevelKeysOnly) {
    const json base = {{"item", {{"name", "Y"}, {"count", 1}}}, {"extra", 1}};
    EXPECT_EQ(Entity::mergeAttributes(base, {{"item", {{"name", "X"}}}}),
              (json{{"item", {{"name", "X"}}}, {"extra", 1}}));
    EXPECT_EQ(Entity::mergeAttributes(base, json::object()), base);
    EXPECT_EQ(Entity::mergeAttributes(json::object(), {{"a", {1, 2}}}), (json{{"a", {1, 2}}}));
}

TEST(EntityRecord, ToJsonWritesNamePositionAndAttributes) {
    FakeEntity spider({1.5f, -2.0f, 3.25f, 100.0f});
    spider.name = "Spider";
    spider.attributes = {{"type", 2}, {"direction", {{"x", 1.0}}}};
    EXPECT_EQ(spider.toJson(), json::parse(R"({"name": "Spider",
        "position": {"x": 1.5, "y": -2.0, "z": 3.25, "w": 100.0},
        "attributes": {"type": 2, "direction": {"x": 1.0}}})"));
}

TEST(EntityRecord, ShippedDefinitionsNameTheThreeKindsAndBrokenFilesLoadAsNothing) {
    ASSERT_TRUE(loadEntityInfo());
    for (auto [name, type] : {std::pair("Item", "item"), {"Spider", "spider"}, {"Chest", "chest"}})
        EXPECT_EQ(entityInfo.at(name).at("type"), type);
    EXPECT_TRUE(entityInfo.at("Chest").at("baseAttributes").at("inventory").is_array());
    for (const auto& [name, definition] : entityInfo.items())
        EXPECT_TRUE(definition.at("baseAttributes").is_object()) << name;

    testfs::TempWorkDir tmp;
    tmp.write("broken.json", "{\"Item\": ");
    tmp.write("array.json", "[1, 2]");
    for (const char* file : {"missing.json", "broken.json", "array.json"}) {
        EXPECT_FALSE(loadEntityInfo(file)) << file;
        EXPECT_FALSE(entityInfo.is_object()) << file;
    }
}

// Records and definitions from disk are untrusted: none of these may throw or build anything.
TEST(EntityRecord, UnusableRecordsAndDefinitionsGiveNoEntity) {
    const json empty = json::object();
    entityInfo = {{"Odd", "not an object"},
                  {"NoType", {{"baseAttributes", empty}}},
                  {"NumberType", {{"type", 3}, {"baseAttributes", empty}}},
                  {"NoBase", {{"type", "item"}}},
                  {"Unknown", {{"type", "dragon"}, {"baseAttributes", empty}}},
                  {"WrongCase", {{"type", "Item"}, {"baseAttributes", {{"item", nullptr}}}}}};
    const json at = {{"x", 1}, {"y", 2}, {"z", 3}, {"w", 4}};
    const json records[] = {
        nullptr,
        json::array(),
        {{"name", 7}, {"position", at}, {"attributes", empty}},
        {{"name", "Unknown"}, {"attributes", empty}},
        {{"name", "Unknown"}, {"position", {{"x", 1}, {"y", 2}, {"z", 3}}}, {"attributes", empty}},
        {{"name", "Unknown"}, {"position", {{"x", "1"}, {"y", 2}, {"z", 3}, {"w", 4}}},
         {"attributes", empty}},
        {{"name", "Unknown"}, {"position", at}},
        {{"name", "Unknown"}, {"position", at}, {"attributes", nullptr}},
        {{"name", "WrongCase"}, {"position", at}, {"attributes", json::array()}},
        {{"name", "Missing"}, {"position", at}, {"attributes", empty}},
        {{"name", "Odd"}, {"position", at}, {"attributes", empty}},
        {{"name", "NoType"}, {"position", at}, {"attributes", empty}},
        {{"name", "NumberType"}, {"position", at}, {"attributes", empty}},
        {{"name", "NoBase"}, {"position", at}, {"attributes", empty}},
    };
    for (const json& record : records) {
        std::unique_ptr<Entity> entity;
        EXPECT_NO_THROW(entity = Entity::fromJson(record)) << record.dump();
        EXPECT_EQ(entity, nullptr) << record.dump();
    }
    for (const char* name : {"Odd", "NoType", "NumberType", "NoBase", "Unknown", "Missing"})
        EXPECT_EQ(Entity::create(name, glm::vec4(0.0f)), nullptr) << name;
    EXPECT_EQ(Entity::createByType(glm::vec4(0.0f), "Chest", {{"inventory", json::array()}}),
              nullptr);
    entityInfo = nullptr;
    EXPECT_EQ(Entity::create("Item", glm::vec4(0.0f)), nullptr);
}

}  // namespace

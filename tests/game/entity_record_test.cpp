#include "game/Entity.h"
#include "world/FakeEntity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using nlohmann::json;

namespace {

TEST(EntityRecord, MergeReplacesTopLevelKeysOnly) {
    json base = {{"item", {{"name", "Y"}, {"count", 1}}}, {"extra", 1}};
    json additions = {{"item", {{"name", "X"}}}};
    EXPECT_EQ(Entity::mergeAttributes(base, additions),
              (json{{"item", {{"name", "X"}}}, {"extra", 1}}));
    EXPECT_EQ(Entity::mergeAttributes(base, json::object()), base);
    EXPECT_EQ(Entity::mergeAttributes(json::object(), {{"a", {1, 2}}}), (json{{"a", {1, 2}}}));
}

TEST(EntityRecord, ToJsonWritesNamePositionAndAttributes) {
    FakeEntity spider({1.5f, -2.0f, 3.25f, 100.0f});
    spider.name = "Spider";
    spider.attributes = {{"type", 2}, {"direction", {{"x", 1.0}}}};
    EXPECT_EQ(spider.toJson(),
              (json{{"name", "Spider"},
                    {"position", {{"x", 1.5}, {"y", -2.0}, {"z", 3.25}, {"w", 100.0}}},
                    {"attributes", {{"type", 2}, {"direction", {{"x", 1.0}}}}}}));
}

TEST(EntityRecord, ShippedDefinitionsNameTheThreeKinds) {
    ASSERT_TRUE(loadEntityInfo());
    const json& info = entityInfo;
    EXPECT_EQ(info.at("Item").at("type"), "item");
    EXPECT_EQ(info.at("Spider").at("type"), "spider");
    EXPECT_EQ(info.at("Chest").at("type"), "chest");
    EXPECT_TRUE(info.at("Chest").at("baseAttributes").at("inventory").is_array());
    for (const auto& [name, definition] : info.items())
        EXPECT_TRUE(definition.at("baseAttributes").is_object()) << name;
}

TEST(EntityRecord, MissingOrBrokenDefinitionFilesLoadAsNothing) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("hm-entity-info-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_FALSE(loadEntityInfo((dir / "missing.json").string()));
    EXPECT_TRUE(entityInfo.is_null());
    std::ofstream(dir / "broken.json") << "{\"Item\": ";
    EXPECT_FALSE(loadEntityInfo((dir / "broken.json").string()));
    std::ofstream(dir / "array.json") << "[1, 2]";
    EXPECT_FALSE(loadEntityInfo((dir / "array.json").string()));
    std::filesystem::remove_all(dir);
}

// Records and definitions from disk are untrusted: none of these may throw or build anything.
TEST(EntityRecord, UnusableRecordsAndDefinitionsGiveNoEntity) {
    entityInfo = {{"Odd", "not an object"},
                  {"NoType", {{"baseAttributes", json::object()}}},
                  {"NumberType", {{"type", 3}, {"baseAttributes", json::object()}}},
                  {"NoBase", {{"type", "item"}}},
                  {"Unknown", {{"type", "dragon"}, {"baseAttributes", json::object()}}},
                  {"WrongCase", {{"type", "Item"}, {"baseAttributes", {{"item", nullptr}}}}}};
    json position = {{"x", 1}, {"y", 2}, {"z", 3}, {"w", 4}};
    const json records[] = {
        json(nullptr),
        json::array(),
        {{"name", 7}, {"position", position}, {"attributes", json::object()}},
        {{"name", "Unknown"}, {"attributes", json::object()}},
        {{"name", "Unknown"}, {"position", {{"x", 1}, {"y", 2}, {"z", 3}}}, {"attributes", {}}},
        {{"name", "Unknown"}, {"position", {{"x", "1"}, {"y", 2}, {"z", 3}, {"w", 4}}},
         {"attributes", {}}},
        {{"name", "Unknown"}, {"position", position}},
        {{"name", "Missing"}, {"position", position}, {"attributes", json::object()}},
        {{"name", "Odd"}, {"position", position}, {"attributes", json::object()}},
        {{"name", "NoType"}, {"position", position}, {"attributes", json::object()}},
        {{"name", "NumberType"}, {"position", position}, {"attributes", json::object()}},
        {{"name", "NoBase"}, {"position", position}, {"attributes", json::object()}},
        {{"name", "Unknown"}, {"position", position}, {"attributes", nullptr}},
        {{"name", "WrongCase"}, {"position", position}, {"attributes", json::array()}},
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

#include "items/TestItems.h"

namespace {

// --- stack moves -----------------------------------------------------------------------------

enum Op { MERGE, ONE, HALF };
struct Move {
    Op op;
    const char *from, *to;
    bool moved;
    const char *fromAfter = nullptr, *toAfter = nullptr;  // null: unchanged
};

TEST_F(CatalogueTest, StackMovesFollowTheirRules) {
    const Move moves[] = {
        {MERGE, "Stone 60", "Stone 70", true, "Stone 30", "Stone 100"},
        {MERGE, "Stone 20", "Stone 70", true, "-", "Stone 90"},
        {MERGE, "Stone 42", "-", true, "-", "Stone 42"},
        {MERGE, "Pick 1", "-", true, "-", "Pick 1"},
        {MERGE, "Stone 20", "Wood 70", false},
        {MERGE, "Stone 20", "Stone 100", false},
        {MERGE, "Pick 1", "Pick 1", false},
        {MERGE, "Stone 0", "-", false},  // the clone that received nothing is dropped again
        {MERGE, "Stone 4294967285", "Stone 50", true, "Stone 4294967235", "Stone 100"},
        {ONE, "Stone 5", "-", true, "Stone 4", "Stone 1"},
        {ONE, "Stone 5", "Stone 1", true, "Stone 4", "Stone 2"},
        {ONE, "Stone 1", "Stone 2", true, "-", "Stone 3"},
        {ONE, "Pick 1", "-", true, "-", "Pick 1"},
        {ONE, "Stone 5", "Stone 100", false},
        {ONE, "Stone 5", "Wood 1", false},
        {HALF, "Stone 1", "Stone 0", true, "-", "Stone 1"},
        {HALF, "Stone 7", "Stone 0", true, "Stone 3", "Stone 4"},
        {HALF, "Stone 5", "Stone 0", true, "Stone 2", "Stone 3"},
        {HALF, "Stone 100", "Stone 0", true, "Stone 50", "Stone 50"},
        {HALF, "Stone 10", "Stone 98", true, "Stone 8", "Stone 100"},
        {HALF, "Stone 4294967295", "Stone 0", true, "Stone 4294967195", "Stone 100"},
        {HALF, "Stone 8", "Stone 100", false},
        {HALF, "Stone 8", "Wood 0", false},
        {HALF, "Stone 0", "Stone 0", false},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(std::to_string(m.op) + ": " + m.from + " -> " + m.to);
        auto from = make(m.from), to = make(m.to);
        const bool moved = m.op == MERGE ? Item::mergeStack(from, to)
                           : m.op == ONE ? Item::moveOne(from, to)
                                         : Item::takeHalf(*to, from);
        EXPECT_EQ(moved, m.moved);
        EXPECT_EQ(describe(from), m.fromAfter ? m.fromAfter : m.from);
        EXPECT_EQ(describe(to), m.toAfter ? m.toAfter : m.to);
    }
}

// --- catalogue and factory -------------------------------------------------------------------

TEST_F(CatalogueTest, RegistersBlockNamesAndMakesBlockItems) {
    EXPECT_EQ(BlockItem::blockNames.at(3), "Stone");
    EXPECT_EQ(BlockItem::blockNames.size(), 6u);
    auto stone = Item::create("Stone", 5);
    ASSERT_TRUE(stone);
    EXPECT_EQ(describe(stone), "Stone 5");
    EXPECT_EQ(static_cast<BlockItem&>(*stone).id, 3);
    EXPECT_FALSE(stone->canStackWith(material("Stone", 1))) << "a kind test, not the name";
    EXPECT_FALSE(stone->canStackWith(nullptr));
    EXPECT_TRUE(BlockItem(8).isSpecial());
    EXPECT_FALSE(BlockItem(3).isSpecial());
    EXPECT_EQ(BlockItem(77).getName(), "Block 77") << "an unnamed id still has a name";
    // But no item of an unnamed id is ever made: it would be saved under a name that nothing
    // loads back, and would place a block of no kind.
    EXPECT_FALSE(BlockItem::make(77, 1));
    EXPECT_FALSE(Item::createByType("Stone", 1, "block", json{{"id", 77}}));
    auto stored = Item::fromJson({{"name", "Stone"}, {"count", 2}, {"attributes", {{"id", 77}}}});
    ASSERT_TRUE(stored) << "a saved id that fits no block falls back to the catalogue's";
    EXPECT_EQ(static_cast<BlockItem&>(*stored).id, 3);

    EXPECT_FALSE(Item::create("Nothing", 1));
    EXPECT_FALSE(Item::create("Widget", 1)) << "a type word without a kind makes no item";
    EXPECT_FALSE(Item::createByType("Stone", 1, "Block", json{{"id", 3}}));
    EXPECT_EQ(itemInfo.count("Nothing"), 0u) << "lookups must not insert";
}

TEST(ItemCatalogue, OnlyExactBlockTypeWordsRegisterAndTheLastKeyNamesASharedId) {
    TempFile file("odd-catalogue.json", R"({
      "a": {"type": "block", "baseAttributes": {"id": 3}},
      "b": {"type": "block", "baseAttributes": {"id": 3}},
      "c": {"type": "Block", "baseAttributes": {"id": 4}},
      "d": {"type": "block ", "baseAttributes": {"id": 5}},
      "e": 17,
      "f": {"type": "block", "baseAttributes": {"id": "six"}},
      "g": {"type": "block"},
      "h": {"type": "block", "baseAttributes": {"id": 7.9}},
      "i": {"type": "block", "baseAttributes": {"id": true}}
    })");
    BlockItem::blockNames.clear();
    ASSERT_TRUE(Item::loadItemInfo(file.str()));
    EXPECT_EQ(BlockItem::blockNames.at(3), "b");
    EXPECT_EQ(BlockItem::blockNames.at(7), "h");
    EXPECT_EQ(BlockItem::blockNames.at(1), "i");
    EXPECT_EQ(BlockItem::blockNames.size(), 3u);
    EXPECT_FALSE(Item::create("g", 1)) << "a block without an id makes no item";
}

TEST(ItemCatalogue, BadFilesAreRefusedAndLeaveTheCatalogueAsItWas) {
    loadTestCatalogue();
    const json before = itemInfo;
    TempFile broken("broken.json", "{\"Stone\": ");
    TempFile array("array.json", "[1, 2]");
    EXPECT_FALSE(Item::loadItemInfo(broken.str()));
    EXPECT_FALSE(Item::loadItemInfo(array.str()));
    EXPECT_FALSE(Item::loadItemInfo("/nonexistent/itemInfo.json"));
    EXPECT_FALSE(Item::loadItemInfo(std::filesystem::temp_directory_path().string()));
    EXPECT_EQ(itemInfo, before);
}

TEST(ItemCatalogue, TheShippedCatalogueNamesEveryBlockToolAndMaterial) {
    BlockItem::blockNames.clear();
    ASSERT_TRUE(Item::loadItemInfo());
    for (int id = 1; id <= 14; ++id) EXPECT_TRUE(BlockItem::blockNames.contains(id)) << id;
    for (const char* name :
         {"Stick", "Hammer", "Iron Pick", "Deadly Pick", "Iron Axe", "Deadly Axe"})
        EXPECT_EQ(itemInfo.at(name).at("type"), "tool") << name;
    for (const char* name : {"Rock", "Hypersilk", "Iron Bars", "Deadly Bars", "Compass",
                             "4D Glasses", "Klein Bottle", "Health Potion"})
        EXPECT_EQ(itemInfo.at(name).at("type"), "material") << name;
    for (const auto& [name, definition] : itemInfo.items())
        EXPECT_TRUE(definition.at("baseAttributes").is_object()) << name;
}

// --- saved records ---------------------------------------------------------------------------

TEST_F(CatalogueTest, ToJsonWritesSortedKeysAndFromJsonReadsThemBack) {
    auto stone = block(3, 7);
    EXPECT_EQ(stone->toJson().dump(), R"({"attributes":{},"count":7,"name":"Stone"})");
    auto back = Item::fromJson(stone->toJson());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toJson(), stone->toJson());
}

TEST_F(CatalogueTest, FromJsonConvertsAndClampsCounts) {
    struct Case {
        json count;
        uint32_t expected;
    };
    for (const Case& c :
         {Case{3, 3}, Case{2.9, 2}, Case{true, 1}, Case{-5, 0}, Case{-0.5, 0}, Case{1e12, 100},
          Case{4294967296.0, 100}, Case{uint64_t(1) << 40, 100}, Case{int64_t(-1) << 40, 0}}) {
        auto item = Item::fromJson({{"name", "Stone"}, {"count", c.count}});
        ASSERT_TRUE(item) << c.count;
        EXPECT_EQ(item->count, c.expected) << c.count;
    }
}

TEST_F(CatalogueTest, FromJsonMergesAttributesAndFallsBackToTheCatalogue) {
    auto wood = Item::fromJson({{"name", "Stone"}, {"count", 1}, {"attributes", {{"id", 4}}}});
    ASSERT_TRUE(wood);
    EXPECT_EQ(static_cast<BlockItem&>(*wood).id, 4);

    for (const json& attributes : {json(5), json{{"id", "x"}}, json::array()}) {
        auto stone = Item::fromJson({{"name", "Stone"}, {"count", 2}, {"attributes", attributes}});
        ASSERT_TRUE(stone) << attributes;
        EXPECT_EQ(static_cast<BlockItem&>(*stone).id, 3) << attributes;
    }
}

TEST_F(CatalogueTest, UnusableRecordsMakeNoItemAndThrowNothing) {
    for (const json& record :
         {json(nullptr), json(5), json::array(), json::object(), json{{"count", 1}},
          json{{"name", "Stone"}}, json{{"name", 3}, {"count", 1}},
          json{{"name", "Stone"}, {"count", "3"}}, json{{"name", "Stone"}, {"count", nullptr}},
          json{{"name", "Nothing"}, {"count", 1}}, json{{"name", "Widget"}, {"count", 1}}}) {
        EXPECT_NO_THROW(EXPECT_FALSE(Item::fromJson(record)) << record) << record;
    }
}

}  // namespace

#include "items/TestItems.h"

using nlohmann::json;

namespace {

class ItemCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { loadTestCatalogue(); }
};

// --- stack moves -----------------------------------------------------------------------------

TEST(ItemMoves, MergeStackFillsUpToTheMaximumAndDeletesAnEmptiedSource) {
    auto from = block(3, 60), to = block(3, 70);
    EXPECT_TRUE(Item::mergeStack(from, to));
    EXPECT_EQ(to->count, 100u);
    ASSERT_TRUE(from);
    EXPECT_EQ(from->count, 30u);

    from = block(3, 20);
    to = block(3, 70);
    EXPECT_TRUE(Item::mergeStack(from, to));
    EXPECT_EQ(to->count, 90u);
    EXPECT_FALSE(from);
}

TEST(ItemMoves, MergeStackRefusesOtherKindsFullTargetsAndEmptySources) {
    auto from = block(3, 20), to = block(4, 70);
    EXPECT_FALSE(Item::mergeStack(from, to));
    EXPECT_EQ(from->count, 20u);
    EXPECT_EQ(to->count, 70u);

    to = block(3, 100);
    EXPECT_FALSE(Item::mergeStack(from, to));
    EXPECT_EQ(from->count, 20u);

    auto pick = tool(), otherPick = tool();
    EXPECT_FALSE(Item::mergeStack(pick, otherPick));
    EXPECT_TRUE(pick);

    auto empty = block(3, 0);
    std::unique_ptr<Item> slot;
    EXPECT_FALSE(Item::mergeStack(empty, slot));
    EXPECT_FALSE(slot) << "a clone that received nothing is dropped again";
    EXPECT_TRUE(empty);
}

TEST(ItemMoves, MergeIntoAnEmptySlotMovesToolsWholeAndClonesStacks) {
    auto pick = tool();
    Item* object = pick.get();
    std::unique_ptr<Item> slot;
    EXPECT_TRUE(Item::mergeStack(pick, slot));
    EXPECT_EQ(slot.get(), object);
    EXPECT_FALSE(pick);

    auto stone = block(3, 42);
    Item* stoneObject = stone.get();
    std::unique_ptr<Item> other;
    EXPECT_TRUE(Item::mergeStack(stone, other));
    ASSERT_TRUE(other);
    EXPECT_NE(other.get(), stoneObject);
    EXPECT_EQ(other->count, 42u);
    EXPECT_EQ(static_cast<BlockItem&>(*other).id, 3);
    EXPECT_FALSE(stone);
}

TEST(ItemMoves, SumsDoNotWrapAroundInThirtyTwoBits) {
    auto from = block(3, UINT32_MAX - 10), to = block(3, 50);
    EXPECT_TRUE(Item::mergeStack(from, to));
    EXPECT_EQ(to->count, 100u);
    ASSERT_TRUE(from);
    EXPECT_EQ(from->count, UINT32_MAX - 60);

    auto half = block(3, 0), big = block(3, UINT32_MAX);
    EXPECT_TRUE(Item::takeHalf(*half, big));
    EXPECT_EQ(half->count, 100u);
}

TEST(ItemMoves, MoveOneMovesExactlyOneItem) {
    auto from = block(3, 5);
    std::unique_ptr<Item> to;
    EXPECT_TRUE(Item::moveOne(from, to));
    EXPECT_EQ(to->count, 1u);
    EXPECT_EQ(from->count, 4u);
    EXPECT_TRUE(Item::moveOne(from, to));
    EXPECT_EQ(to->count, 2u);

    auto last = block(3, 1);
    EXPECT_TRUE(Item::moveOne(last, to));
    EXPECT_FALSE(last);
    EXPECT_EQ(to->count, 3u);

    auto pick = tool();
    Item* object = pick.get();
    std::unique_ptr<Item> hand;
    EXPECT_TRUE(Item::moveOne(pick, hand));
    EXPECT_EQ(hand.get(), object);
}

TEST(ItemMoves, MoveOneRefusesFullTargetsAndOtherKinds) {
    auto from = block(3, 5), full = block(3, 100), other = block(4, 1);
    EXPECT_FALSE(Item::moveOne(from, full));
    EXPECT_FALSE(Item::moveOne(from, other));
    EXPECT_EQ(from->count, 5u);
    EXPECT_EQ(full->count, 100u);
    EXPECT_EQ(other->count, 1u);
}

TEST(ItemMoves, TakeHalfGivesTheTakerTheLargerHalf) {
    struct Case {
        uint32_t source, target, taken;
    };
    for (Case c : {Case{1, 0, 1}, Case{7, 0, 4}, Case{5, 0, 3}, Case{10, 98, 2}, Case{100, 0, 50}}) {
        auto from = block(3, c.source), to = block(3, c.target);
        EXPECT_TRUE(Item::takeHalf(*to, from)) << c.source;
        EXPECT_EQ(to->count, c.target + c.taken) << c.source;
        if (c.source == c.taken)
            EXPECT_FALSE(from) << c.source;
        else
            EXPECT_EQ(from->count, c.source - c.taken) << c.source;
    }
}

TEST(ItemMoves, TakeHalfRefusesFullOrForeignTargets) {
    auto from = block(3, 8), full = block(3, 100), other = block(4, 0);
    EXPECT_FALSE(Item::takeHalf(*full, from));
    EXPECT_FALSE(Item::takeHalf(*other, from));
    EXPECT_EQ(from->count, 8u);
    auto empty = block(3, 0), to = block(3, 0);
    EXPECT_FALSE(Item::takeHalf(*to, empty));
}

// --- catalogue and factory -------------------------------------------------------------------

TEST_F(ItemCatalogueTest, RegistersBlockNamesAndMakesBlockItems) {
    EXPECT_EQ(BlockItem::blockNames.at(3), "Stone");
    EXPECT_EQ(BlockItem::blockNames.at(9), "Chest");
    EXPECT_EQ(BlockItem::blockNames.size(), 4u);

    auto stone = Item::create("Stone", 5);
    ASSERT_TRUE(stone);
    EXPECT_EQ(stone->getName(), "Stone");
    EXPECT_EQ(stone->count, 5u);
    EXPECT_EQ(static_cast<BlockItem&>(*stone).id, 3);

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
    for (const char* name : {"Stick", "Hammer", "Iron Pick", "Deadly Pick", "Iron Axe",
                             "Deadly Axe"})
        EXPECT_EQ(itemInfo.at(name).at("type"), "tool") << name;
    for (const char* name : {"Rock", "Hypersilk", "Iron Bars", "Deadly Bars", "Compass",
                             "4D Glasses", "Klein Bottle", "Health Potion"})
        EXPECT_EQ(itemInfo.at(name).at("type"), "material") << name;
    for (const auto& [name, definition] : itemInfo.items())
        EXPECT_TRUE(definition.at("baseAttributes").is_object()) << name;
}

TEST(ItemAttributes, MergeReplacesTopLevelKeysOnly) {
    json base = {{"id", 3}, {"nested", {{"a", 1}, {"b", 2}}}};
    json merged = Item::mergeAttributes(base, {{"nested", {{"c", 3}}}, {"extra", true}});
    EXPECT_EQ(merged, (json{{"id", 3}, {"nested", {{"c", 3}}}, {"extra", true}}));
}

// --- saved records ---------------------------------------------------------------------------

TEST_F(ItemCatalogueTest, ToJsonWritesSortedKeysAndFromJsonReadsThemBack) {
    auto stone = block(3, 7);
    EXPECT_EQ(stone->toJson().dump(), R"({"attributes":{},"count":7,"name":"Stone"})");
    auto back = Item::fromJson(stone->toJson());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toJson(), stone->toJson());
}

TEST_F(ItemCatalogueTest, FromJsonConvertsAndClampsCounts) {
    struct Case {
        json count;
        uint32_t expected;
    };
    for (const Case& c : {Case{3, 3}, Case{2.9, 2}, Case{true, 1}, Case{-5, 0}, Case{-0.5, 0},
                          Case{1e12, 100}, Case{4294967296.0, 100}, Case{uint64_t(1) << 40, 100},
                          Case{int64_t(-1) << 40, 0}}) {
        auto item = Item::fromJson({{"name", "Stone"}, {"count", c.count}});
        ASSERT_TRUE(item) << c.count;
        EXPECT_EQ(item->count, c.expected) << c.count;
    }
}

TEST_F(ItemCatalogueTest, FromJsonMergesAttributesAndFallsBackToTheCatalogue) {
    auto wood = Item::fromJson({{"name", "Stone"}, {"count", 1}, {"attributes", {{"id", 4}}}});
    ASSERT_TRUE(wood);
    EXPECT_EQ(static_cast<BlockItem&>(*wood).id, 4);

    for (const json& attributes : {json(5), json{{"id", "x"}}, json::array()}) {
        auto stone = Item::fromJson({{"name", "Stone"}, {"count", 2}, {"attributes", attributes}});
        ASSERT_TRUE(stone) << attributes;
        EXPECT_EQ(static_cast<BlockItem&>(*stone).id, 3) << attributes;
    }
}

TEST_F(ItemCatalogueTest, UnusableRecordsMakeNoItemAndThrowNothing) {
    for (const json& record :
         {json(nullptr), json(5), json::array(), json::object(), json{{"count", 1}},
          json{{"name", "Stone"}}, json{{"name", 3}, {"count", 1}},
          json{{"name", "Stone"}, {"count", "3"}}, json{{"name", "Stone"}, {"count", nullptr}},
          json{{"name", "Nothing"}, {"count", 1}}, json{{"name", "Widget"}, {"count", 1}}}) {
        EXPECT_NO_THROW(EXPECT_FALSE(Item::fromJson(record)) << record) << record;
    }
}

TEST_F(ItemCatalogueTest, BlockItemsStackOnlyWithTheSameId) {
    auto stone = block(3, 1);
    EXPECT_TRUE(stone->canStackWith(block(3, 1)));
    EXPECT_FALSE(stone->canStackWith(block(4, 1)));
    EXPECT_FALSE(stone->canStackWith(material("Stone", 1)));
    EXPECT_FALSE(stone->canStackWith(nullptr));
    EXPECT_EQ(stone->getMaxStack(), 100u);
    EXPECT_TRUE(BlockItem(8).isSpecial());
    EXPECT_FALSE(BlockItem(3).isSpecial());
    EXPECT_EQ(BlockItem(77).getName(), "Block 77") << "an unnamed id still has a name";
    auto copy = stone->clone();
    EXPECT_EQ(copy->count, 0u);
    EXPECT_EQ(copy->getName(), "Stone");
}

}  // namespace

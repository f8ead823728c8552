#include "items/Inventory.h"
#include "items/InventoryLayout.h"
#include "items/PlayerInventoryManager.h"
#include "items/TestItems.h"

using nlohmann::json;

namespace {

constexpr int LEFT = 0, RIGHT = 1, MIDDLE = 2, PRESS = 1, RELEASE = 0, SHIFT = 1;

// A point well inside the slot (column, row) of an inventory.
glm::ivec2 at(const Inventory& inventory, int column, int row) {
    return inventory.pos + inventoryLayout::slotOffset(column, row) + glm::ivec2(10, 10);
}

int countOf(const std::unique_ptr<Item>& item) { return item ? int(item->count) : -1; }

class InventoryTest : public ::testing::Test {
protected:
    Inventory grid{{2, 3}, {100, 50}};
    Inventory other{{1, 2}, {400, 50}};
    InventoryCursor cursor;

    void SetUp() override { loadTestCatalogue(); }

    std::unique_ptr<Item>& slot(int column, int row) { return grid.getSlot(column * 3 + row); }
    bool click(int column, int row, int button, int mods = 0, int action = PRESS) {
        cursor.pos = at(grid, column, row);
        return grid.mouseButton(&other, cursor, button, action, mods);
    }
};

// --- layout and hit indices ------------------------------------------------------------------

TEST(InventoryLayout, SlotsAreStaggeredAndColumnMajor) {
    EXPECT_EQ(inventoryLayout::slotOffset(0, 0), glm::ivec2(34, 0));
    EXPECT_EQ(inventoryLayout::slotOffset(0, 1), glm::ivec2(0, 56));
    EXPECT_EQ(inventoryLayout::slotOffset(2, 3), glm::ivec2(136, 168));
    EXPECT_EQ(inventoryLayout::slotOffset(3, 4), glm::ivec2(238, 224));

    Inventory inventory({4, 8}, {109, 50});
    EXPECT_EQ(inventory.slotAt(at(inventory, 1, 2)), 10);
    EXPECT_EQ(inventory.slotAt(at(inventory, 3, 7)), 31);
    EXPECT_EQ(inventory.slotAt(at(inventory, 0, 0)), 0);
    // Cell edges: the first pixel of a row belongs to it, the one above to the row before.
    EXPECT_EQ(inventory.slotAt({109 + 34, 50}), 0);
    EXPECT_EQ(inventory.slotAt({109 + 34 + 67, 50 + 55}), 0);
    EXPECT_EQ(inventory.slotAt({109 + 34 + 68, 50 + 55}), 8);
    EXPECT_EQ(inventory.slotAt({109, 50 + 56}), 1);
}

TEST(InventoryLayout, ClicksOutsideTheGridOrInTheStaggerMarginHitNothing) {
    Inventory inventory({4, 8}, {109, 50});
    EXPECT_EQ(inventory.slotAt({109 + 20, 60}), -1) << "margin of an even row";
    EXPECT_EQ(inventory.slotAt({200, 49}), -1) << "above the grid";
    EXPECT_EQ(inventory.slotAt({108, 120}), -1) << "left of an odd row";
    EXPECT_EQ(inventory.slotAt({109 + 34 + 4 * 68, 60}), -1) << "right of the last column";
    EXPECT_EQ(inventory.slotAt({150, 50 + 8 * 56}), -1) << "below the last row";
    EXPECT_EQ(inventory.slotAt({-1, -1}), -1);
}

TEST(InventoryLayout, CoversTheWholeDrawnArea) {
    Inventory inventory({4, 8}, {109, 50});
    EXPECT_EQ(inventoryLayout::gridExtent({4, 8}), glm::ivec2(308, 464));
    EXPECT_TRUE(inventory.covers({109, 50}));
    EXPECT_TRUE(inventory.covers({109 + 20, 60})) << "the stagger margin is part of the grid";
    EXPECT_TRUE(inventory.covers({109 + 307, 50 + 463}));
    EXPECT_FALSE(inventory.covers({109 + 308, 60}));
    EXPECT_FALSE(inventory.covers({108, 60}));
    EXPECT_FALSE(inventory.covers({200, 50 + 464}));
}

// --- addItem ---------------------------------------------------------------------------------

TEST_F(InventoryTest, AddItemMergesThenFillsTheNextEmptySlot) {
    slot(0, 0) = block(3, 90);
    std::unique_ptr<Item> item = block(3, 30);
    EXPECT_TRUE(grid.addItem(item));
    EXPECT_FALSE(item);
    EXPECT_EQ(countOf(slot(0, 0)), 100);
    EXPECT_EQ(countOf(slot(0, 1)), 20);
}

TEST_F(InventoryTest, AddItemGivesTheRestToTheFirstEmptySlot) {
    slot(0, 1) = block(3, 10);
    std::unique_ptr<Item> item = block(3, 5);
    EXPECT_TRUE(grid.addItem(item));
    EXPECT_EQ(countOf(slot(0, 0)), 5);
    EXPECT_EQ(countOf(slot(0, 1)), 10);
}

TEST_F(InventoryTest, AddItemToAFullInventoryLeavesTheItemWithTheCaller) {
    for (auto& s : grid.slots) s = block(4, 100);
    std::unique_ptr<Item> pick = tool();
    EXPECT_TRUE(grid.addItem(pick)) << "true whenever the grid has slots";
    EXPECT_TRUE(pick);

    slot(1, 2)->count = 95;
    std::unique_ptr<Item> wood = block(4, 8);
    EXPECT_TRUE(grid.addItem(wood));
    EXPECT_EQ(countOf(wood), 3) << "a partial fit keeps the rest with the caller";
    EXPECT_EQ(countOf(slot(1, 2)), 100);

    Inventory none({0, 0});
    std::unique_ptr<Item> stone = block(3, 1);
    EXPECT_FALSE(none.addItem(stone));
}

TEST(PlayerInventory, AddItemTriesTheHotbarFirstThenTheInventory) {
    Inventory hotbar({1, 2}), inventory({2, 2});
    PlayerInventoryManager player(&hotbar, &inventory);
    hotbar.getSlot(0) = block(3, 99);
    hotbar.getSlot(1) = block(4, 100);
    std::unique_ptr<Item> stone = block(3, 5);
    EXPECT_TRUE(player.addItem(stone));
    EXPECT_FALSE(stone);
    EXPECT_EQ(countOf(hotbar.getSlot(0)), 100);
    EXPECT_EQ(countOf(inventory.getSlot(0)), 4);

    EXPECT_EQ(player.size(), 6);
    EXPECT_EQ(&player.getSlot(1), &hotbar.getSlot(1));
    EXPECT_EQ(&player.getSlot(2), &inventory.getSlot(0));
    int filled = 0;
    for (auto& s : player) filled += s ? 1 : 0;
    EXPECT_EQ(filled, 3);
    EXPECT_EQ(player.end().index, 6);
}

// --- mouse rules -----------------------------------------------------------------------------

TEST_F(InventoryTest, LeftClickWithAnEmptyCursorPicksUpTheWholeStack) {
    slot(1, 1) = block(3, 42);
    EXPECT_TRUE(click(1, 1, LEFT));
    EXPECT_EQ(countOf(cursor.item), 42);
    EXPECT_FALSE(slot(1, 1));
}

TEST_F(InventoryTest, LeftClickWithACarriedStackPlacesMergesOrSwaps) {
    cursor.item = block(3, 30);
    EXPECT_TRUE(click(0, 0, LEFT));
    EXPECT_FALSE(cursor.item);
    EXPECT_EQ(countOf(slot(0, 0)), 30);

    cursor.item = block(3, 80);
    EXPECT_TRUE(click(0, 0, LEFT, SHIFT)) << "Shift does not change a carried stack's click";
    EXPECT_EQ(countOf(slot(0, 0)), 100);
    EXPECT_EQ(countOf(cursor.item), 10);

    cursor.item = block(4, 7);
    EXPECT_TRUE(click(0, 0, LEFT));
    EXPECT_EQ(countOf(cursor.item), 100) << "different kinds swap";
    EXPECT_EQ(static_cast<BlockItem&>(*slot(0, 0)).id, 4);

    cursor.item = tool();
    slot(1, 0) = tool("Axe");
    EXPECT_TRUE(click(1, 0, LEFT));
    EXPECT_EQ(cursor.item->getName(), "Axe");
    EXPECT_EQ(slot(1, 0)->getName(), "Pick");

    cursor.item = block(3, 5);
    slot(1, 2) = block(3, 100);
    EXPECT_TRUE(click(1, 2, LEFT)) << "a full stack of the same kind swaps with the cursor";
    EXPECT_EQ(countOf(cursor.item), 100);
    EXPECT_EQ(countOf(slot(1, 2)), 5);
}

TEST_F(InventoryTest, ShiftLeftClickMovesTheStackToTheOtherContainer) {
    slot(0, 2) = block(3, 12);
    EXPECT_TRUE(click(0, 2, LEFT, SHIFT));
    EXPECT_FALSE(slot(0, 2));
    EXPECT_FALSE(cursor.item);
    EXPECT_EQ(countOf(other.getSlot(0)), 12);

    other.getSlot(0) = block(4, 100);
    other.getSlot(1) = block(4, 100);
    slot(0, 2) = block(3, 12);
    EXPECT_TRUE(click(0, 2, LEFT, SHIFT)) << "the other container's answer";
    EXPECT_EQ(countOf(slot(0, 2)), 12) << "nothing fits, the stack stays";

    slot(1, 1) = block(3, 3);
    cursor.pos = at(grid, 1, 1);
    EXPECT_FALSE(grid.mouseButton(nullptr, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(slot(1, 1)), 3);
}

TEST_F(InventoryTest, RightClickWithAnEmptyCursorTakesHalfOrAWholeTool) {
    slot(0, 0) = block(3, 7);
    EXPECT_TRUE(click(0, 0, RIGHT));
    EXPECT_EQ(countOf(cursor.item), 4);
    EXPECT_EQ(countOf(slot(0, 0)), 3);

    cursor.item.reset();
    slot(0, 1) = block(3, 1);
    EXPECT_TRUE(click(0, 1, RIGHT, SHIFT));
    EXPECT_EQ(countOf(cursor.item), 1);
    EXPECT_FALSE(slot(0, 1));

    cursor.item.reset();
    slot(1, 0) = tool();
    Item* pick = slot(1, 0).get();
    EXPECT_TRUE(click(1, 0, RIGHT));
    EXPECT_EQ(cursor.item.get(), pick);
}

TEST_F(InventoryTest, RightClickWithACarriedStackDropsOneItem) {
    cursor.item = block(3, 5);
    EXPECT_TRUE(click(1, 1, RIGHT));
    EXPECT_EQ(countOf(slot(1, 1)), 1);
    EXPECT_EQ(countOf(cursor.item), 4);
    EXPECT_TRUE(click(1, 1, RIGHT, SHIFT));
    EXPECT_EQ(countOf(slot(1, 1)), 2);

    slot(1, 2) = block(3, 100);
    EXPECT_FALSE(click(1, 2, RIGHT)) << "a full stack takes nothing";
    slot(0, 0) = block(4, 3);
    EXPECT_FALSE(click(0, 0, RIGHT)) << "another kind takes nothing";
    EXPECT_EQ(countOf(cursor.item), 3);
    EXPECT_EQ(countOf(slot(0, 0)), 3);
}

TEST_F(InventoryTest, OtherButtonsReleasesEmptyClicksAndMissesChangeNothing) {
    slot(0, 0) = block(3, 9);
    for (int mods : {0, SHIFT}) {
        EXPECT_FALSE(click(0, 0, MIDDLE, mods));
        EXPECT_FALSE(click(0, 0, LEFT, mods, RELEASE));
        EXPECT_FALSE(click(0, 0, RIGHT, mods, RELEASE));
        EXPECT_FALSE(click(1, 1, LEFT, mods)) << "empty slot, empty cursor";
        EXPECT_FALSE(click(1, 1, RIGHT, mods));
    }
    EXPECT_EQ(countOf(slot(0, 0)), 9);
    EXPECT_FALSE(cursor.item);

    cursor.item = block(3, 2);
    cursor.pos = grid.pos + glm::ivec2(10, 10);  // stagger margin of row 0
    EXPECT_FALSE(grid.mouseButton(&other, cursor, LEFT, PRESS, 0));
    cursor.pos = {0, 0};
    EXPECT_FALSE(grid.mouseButton(&other, cursor, RIGHT, PRESS, 0));
    EXPECT_EQ(countOf(cursor.item), 2);
}

TEST(PlayerInventory, ShiftClicksMoveBetweenThePlayerAndAChest) {
    Inventory hotbar({1, 8}, {25, 50}), inventory({4, 8}, {109, 50});
    Inventory chest({4, 8}, {397, 50}, {-1, -1}, "Chest:");
    PlayerInventoryManager player(&hotbar, &inventory);
    InventoryCursor cursor;

    hotbar.getSlot(3) = block(3, 10);
    cursor.pos = at(hotbar, 0, 3);
    EXPECT_TRUE(player.mouseButton(&chest, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(chest.getSlot(0)), 10) << "into the chest, not the main inventory";
    EXPECT_FALSE(inventory.getSlot(0));

    inventory.getSlot(9) = block(4, 6);
    cursor.pos = at(inventory, 1, 1);
    EXPECT_TRUE(player.mouseButton(&chest, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(chest.getSlot(1)), 6) << "the second part forwards to the chest too";

    for (int i = 0; i < 8; ++i) hotbar.getSlot(i) = block(2, 100);
    cursor.pos = at(chest, 0, 0);
    EXPECT_TRUE(chest.mouseButton(&player, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(inventory.getSlot(0)), 10) << "a full hotbar passes it on";

    hotbar.getSlot(5).reset();
    cursor.pos = at(chest, 0, 1);
    EXPECT_TRUE(chest.mouseButton(&player, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(hotbar.getSlot(5)), 6) << "the hotbar first";

    EXPECT_TRUE(player.covers(at(hotbar, 0, 7)));
    EXPECT_TRUE(player.covers(at(inventory, 3, 0)));
    EXPECT_FALSE(player.covers(at(chest, 3, 0)));
}

// --- selection -------------------------------------------------------------------------------

class PotionItem : public TestItem {
public:
    using TestItem::TestItem;
    int uses = 0;
    bool use(World*, Player*, int button) override {
        ++uses;
        if (button != 1) return false;
        --count;
        return true;
    }
};

TEST_F(InventoryTest, UseSelectedDeletesAUsedUpItem) {
    grid.selected = {1, 2};
    EXPECT_FALSE(grid.useSelected(nullptr, nullptr, 1)) << "empty slot";
    slot(1, 2) = std::make_unique<PotionItem>("Potion", 100, 2);
    EXPECT_TRUE(grid.useSelected(nullptr, nullptr, 1));
    EXPECT_EQ(countOf(slot(1, 2)), 1);
    EXPECT_FALSE(grid.useSelected(nullptr, nullptr, 0));
    EXPECT_EQ(countOf(slot(1, 2)), 1);
    EXPECT_TRUE(grid.useSelected(nullptr, nullptr, 1));
    EXPECT_FALSE(slot(1, 2));

    slot(0, 0) = std::make_unique<PotionItem>("Potion", 100, 2);
    for (glm::ivec2 outside : {glm::ivec2(-1, -1), glm::ivec2(2, 0), glm::ivec2(0, 3)}) {
        grid.selected = outside;
        EXPECT_FALSE(grid.slotInBounds(outside));
        EXPECT_FALSE(grid.useSelected(nullptr, nullptr, 1));
    }
    EXPECT_EQ(static_cast<PotionItem&>(*slot(0, 0)).uses, 0);
}

// --- JSON arrays -----------------------------------------------------------------------------

TEST_F(InventoryTest, ToJsonWritesOneElementPerSlotWithNulls) {
    slot(0, 1) = block(3, 7);
    slot(1, 2) = block(4, 100);
    const json saved = grid.toJson();
    ASSERT_EQ(saved.size(), 6u);
    EXPECT_EQ(saved[0], nullptr);
    EXPECT_EQ(saved[1], (json{{"name", "Stone"}, {"count", 7}, {"attributes", json::object()}}));
    EXPECT_EQ(saved[5]["name"], "Wood");

    Inventory copy({2, 3});
    copy.fromJson(saved);
    EXPECT_EQ(copy.toJson(), saved);
    EXPECT_EQ(countOf(copy.getSlot(1)), 7);
}

TEST_F(InventoryTest, FromJsonReplacesEverySlotAndToleratesShortOrOddArrays) {
    for (auto& s : grid.slots) s = block(2, 1);
    grid.fromJson(json::parse(R"([null, {}, [], {"name": "Stone", "count": 4}])"));
    EXPECT_FALSE(slot(0, 0));
    EXPECT_FALSE(slot(0, 1));
    EXPECT_FALSE(slot(0, 2));
    EXPECT_EQ(countOf(slot(1, 0)), 4);
    EXPECT_FALSE(slot(1, 1)) << "beyond a short array the slots are empty";
    EXPECT_FALSE(slot(1, 2));

    std::string longer = R"([null, null, null, null, null, {"name": "Dirt", "count": 1},
                             {"name": "Stone", "count": 1}])";
    grid.fromJson(json::parse(longer));
    EXPECT_EQ(countOf(slot(1, 2)), 1);
    EXPECT_EQ(grid.toJson().size(), 6u) << "extra elements are ignored";

    for (const json& notArray : {json(nullptr), json::object(), json(3)}) {
        grid.fromJson(notArray);
        for (auto& s : grid.slots) EXPECT_FALSE(s);
    }
}

TEST_F(InventoryTest, FromJsonClampsCountsAndDropsEmptyStacks) {
    grid.fromJson(json::parse(R"([{"name": "Stone", "count": -3}, {"name": "Stone", "count": 1e30},
                                  {"name": "Stone", "count": 4294967297}])"));
    EXPECT_FALSE(slot(0, 0));
    EXPECT_EQ(countOf(slot(0, 1)), 100);
    EXPECT_EQ(countOf(slot(0, 2)), 100);
}

TEST_F(InventoryTest, UnreadableRecordsAreWrittenBackWhileTheirSlotStaysEmpty) {
    const json unknown = {{"name", "Moonstone"}, {"count", 3}, {"attributes", {{"glow", 1}}}};
    grid.fromJson(json::array({unknown, {{"name", "Stone"}, {"count", 2}}}));
    EXPECT_FALSE(slot(0, 0));
    EXPECT_EQ(grid.toJson()[0], unknown);

    std::unique_ptr<Item> picked = block(4, 5);
    grid.addItem(picked);
    EXPECT_EQ(countOf(slot(0, 2)), 5) << "pickups pass the kept record by";
    EXPECT_EQ(grid.toJson()[0], unknown);

    cursor.item = block(4, 1);
    EXPECT_TRUE(click(0, 0, LEFT));
    EXPECT_EQ(grid.toJson()[0]["name"], "Wood") << "a deliberate placement replaces it";
    EXPECT_TRUE(click(0, 0, LEFT));
    EXPECT_EQ(grid.toJson()[0], nullptr);
}

}  // namespace

#include "items/PlayerInventoryManager.h"
#include "items/TestItems.h"

namespace {

class InventoryTest : public CatalogueTest {
protected:
    Inventory grid{{2, 3}, {100, 50}};
    Inventory other{{1, 2}, {400, 50}};
    InventoryCursor cursor;

    std::unique_ptr<Item>& slot(int column, int row) { return grid.getSlot(column * 3 + row); }
};

// --- layout and hit indices ------------------------------------------------------------------

TEST(InventoryLayout, SlotsAreStaggeredColumnMajorAndHitByHalfOpenCells) {
    Inventory inventory({4, 8}, {109, 50});
    struct Hit {
        glm::ivec2 point;
        int slot;
    };
    for (const Hit& hit : {Hit{slotPoint(inventory, 1, 2), 10}, Hit{slotPoint(inventory, 3, 7), 31},
                           Hit{{109 + 34, 50}, 0}, Hit{{109 + 34 + 67, 50 + 55}, 0},
                           Hit{{109 + 34 + 68, 50 + 55}, 8}, Hit{{109, 50 + 56}, 1},
                           Hit{{109 + 20, 60}, -1},  // stagger margin of an even row
                           Hit{{200, 49}, -1}, Hit{{108, 120}, -1}, Hit{{-1, -1}, -1},
                           Hit{{109 + 34 + 4 * 68, 60}, -1},  // right of the last column
                           Hit{{150, 50 + 8 * 56}, -1}}) {    // below the last row
        EXPECT_EQ(inventory.slotAt(hit.point), hit.slot) << hit.point.x << ", " << hit.point.y;
    }

    EXPECT_EQ(inventoryLayout::gridExtent({4, 8}), glm::ivec2(308, 464));
    EXPECT_TRUE(inventory.covers({109 + 20, 60})) << "the stagger margin is part of the grid";
    EXPECT_TRUE(inventory.covers({109 + 307, 50 + 463}));
    EXPECT_FALSE(inventory.covers({109 + 308, 60}));
    EXPECT_FALSE(inventory.covers({108, 60}));
    EXPECT_FALSE(inventory.covers({200, 50 + 464}));
}

// --- addItem ---------------------------------------------------------------------------------

TEST_F(CatalogueTest, AddItemMergesThenGivesTheRestToTheFirstEmptySlot) {
    Inventory column({1, 3});
    const char* full = "Wood 100|Wood 100|Wood 95";
    struct Add {
        const char *before, *item, *after, *left;
    };
    for (const Add& a : {Add{"Stone 90|-|Stone 10", "Stone 30", "Stone 100|Stone 20|Stone 10", "-"},
                         Add{full, "Pick 1", full, "Pick 1"},  // true: the caller keeps the rest
                         Add{full, "Wood 8", "Wood 100|Wood 100|Wood 100", "Wood 3"}}) {
        fill(column, a.before);
        std::unique_ptr<Item> item = make(a.item);
        EXPECT_TRUE(column.addItem(item)) << a.before << " + " << a.item;
        EXPECT_EQ(contents(column), a.after);
        EXPECT_EQ(describe(item), a.left);
    }
    Inventory none({0, 0});
    std::unique_ptr<Item> stone = block(3, 1);
    EXPECT_FALSE(none.addItem(stone));
}

TEST_F(CatalogueTest, PlayerAddItemTriesTheHotbarFirstThenTheInventory) {
    Inventory hotbar({1, 2}, {25, 50}), inventory({2, 2}, {109, 50});
    PlayerInventoryManager player(&hotbar, &inventory);
    fill(hotbar, "Stone 99|Wood 100");
    std::unique_ptr<Item> stone = block(3, 5);
    EXPECT_TRUE(player.addItem(stone));
    EXPECT_FALSE(stone);
    EXPECT_EQ(contents(player), "Stone 100|Wood 100|Stone 4") << "one flat index over both";
    EXPECT_EQ(player.size(), 6);
    EXPECT_TRUE(player.covers(slotPoint(hotbar, 0, 1)));
    EXPECT_TRUE(player.covers(slotPoint(inventory, 1, 0)));
    EXPECT_FALSE(player.covers({-10, -10}));
}

// --- mouse rules -----------------------------------------------------------------------------

constexpr int EITHER = -1;  // the row holds with and without Shift

struct Click {
    int button, mods;
    const char *cursor, *slot;
    bool acted;
    const char *cursorAfter = nullptr, *slotAfter = nullptr;  // null: unchanged
    int action = PRESS;
    const char *other = "-", *otherAfter = nullptr;  // the Shift-click target's slot
};

const Click clicks[] = {
    {LEFT, 0, "-", "Stone 42", true, "Stone 42", "-"},
    {LEFT, EITHER, "Stone 30", "-", true, "-", "Stone 30"},
    {LEFT, EITHER, "Stone 80", "Stone 30", true, "Stone 10", "Stone 100"},
    {LEFT, EITHER, "Wood 7", "Stone 100", true, "Stone 100", "Wood 7"},
    {LEFT, EITHER, "Pick 1", "Axe 1", true, "Axe 1", "Pick 1"},
    {LEFT, EITHER, "Stone 5", "Stone 100", true, "Stone 100", "Stone 5"},
    {LEFT, SHIFT, "-", "Stone 12", true, "-", "-", PRESS, "-", "Stone 12"},
    {LEFT, SHIFT, "-", "Stone 12", true, "-", "Stone 2", PRESS, "Stone 90", "Stone 100"},
    {LEFT, SHIFT, "-", "Stone 12", true, "-", "Stone 12", PRESS, "Wood 100"},  // nothing fits
    {RIGHT, EITHER, "-", "Stone 7", true, "Stone 4", "Stone 3"},
    {RIGHT, EITHER, "-", "Stone 1", true, "Stone 1", "-"},
    {RIGHT, EITHER, "-", "Pick 1", true, "Pick 1", "-"},
    {RIGHT, EITHER, "Stone 5", "-", true, "Stone 4", "Stone 1"},
    {RIGHT, EITHER, "Stone 4", "Stone 1", true, "Stone 3", "Stone 2"},
    {RIGHT, EITHER, "Stone 3", "Stone 100", false},
    {RIGHT, EITHER, "Stone 3", "Wood 3", false},
    {LEFT, EITHER, "-", "-", false},
    {RIGHT, EITHER, "-", "-", false},
    {MIDDLE, EITHER, "-", "Stone 9", false},
    {MIDDLE, EITHER, "Stone 2", "-", false},
    {LEFT, EITHER, "-", "Stone 9", false, nullptr, nullptr, RELEASE},
    {LEFT, EITHER, "Stone 2", "-", false, nullptr, nullptr, RELEASE},
    {RIGHT, EITHER, "Stone 2", "Stone 9", false, nullptr, nullptr, RELEASE},
};

// Every row on a slot of the hotbar and of the main inventory, through the player's container.
TEST_F(CatalogueTest, MouseButtonsFollowTheButtonCursorAndShiftMatrixOnBothGrids) {
    Inventory hotbar({1, 2}, {25, 50}), inventory({2, 3}, {109, 50}), chest({1, 1}, {400, 50});
    PlayerInventoryManager player(&hotbar, &inventory);
    struct Target {
        Inventory& grid;
        glm::ivec2 cell;
    };
    for (const Target& target : {Target{hotbar, {0, 1}}, Target{inventory, {1, 2}}})
        for (const Click& c : clicks)
            for (int mods : c.mods == EITHER ? std::vector{0, SHIFT} : std::vector{c.mods}) {
                SCOPED_TRACE(::testing::Message()
                             << (&target.grid == &hotbar ? "hotbar" : "inventory") << ", button "
                             << c.button << ", mods " << mods << ", action " << c.action << ": "
                             << c.cursor << " on " << c.slot << ", other " << c.other);
                hotbar.clear();
                inventory.clear();
                auto& slot = target.grid.getSlot(target.grid.slotIndex(target.cell));
                slot = make(c.slot);
                chest.getSlot(0) = make(c.other);
                InventoryCursor cursor;
                cursor.item = make(c.cursor);
                cursor.pos = slotPoint(target.grid, target.cell.x, target.cell.y);
                EXPECT_EQ(player.mouseButton(&chest, cursor, c.button, c.action, mods), c.acted);
                EXPECT_EQ(describe(cursor.item), c.cursorAfter ? c.cursorAfter : c.cursor);
                EXPECT_EQ(describe(slot), c.slotAfter ? c.slotAfter : c.slot);
                EXPECT_EQ(describe(chest.getSlot(0)), c.otherAfter ? c.otherAfter : c.other);
            }
}

TEST_F(InventoryTest, AShiftClickWithoutATargetChangesNothing) {
    slot(1, 1) = block(3, 3);
    cursor.pos = slotPoint(grid, 1, 1);
    EXPECT_FALSE(grid.mouseButton(nullptr, cursor, LEFT, PRESS, SHIFT));
    EXPECT_EQ(countOf(slot(1, 1)), 3);
}

// --- selection -------------------------------------------------------------------------------

// Uses itself up one item per right click.
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

TEST_F(InventoryTest, ToJsonWritesOneElementPerSlotWithNullsAndReadsBack) {
    slot(0, 1) = block(3, 7);
    slot(1, 2) = block(4, 100);
    const json saved = grid.toJson();
    EXPECT_EQ(saved, json::parse(R"([null, {"name": "Stone", "count": 7, "attributes": {}}, null,
                         null, null, {"name": "Wood", "count": 100, "attributes": {}}])"));
    Inventory copy({2, 3});
    copy.fromJson(saved);
    EXPECT_EQ(copy.toJson(), saved);
}

TEST_F(InventoryTest, FromJsonReplacesEverySlotToleratesOddArraysAndClampsCounts) {
    for (auto& s : grid.slots) s = block(2, 1);
    grid.fromJson(json::parse(R"([null, {}, [], {"name": "Stone", "count": 4}])"));
    EXPECT_EQ(contents(grid), "-|-|-|Stone 4") << "empty, or beyond the array";

    grid.fromJson(json::parse(R"([{"name": "Stone", "count": -3}, {"name": "Stone", "count": 1e30},
                                  {"name": "Stone", "count": 4294967297}, null, null,
                                  {"name": "Dirt", "count": 1}, {"name": "Stone", "count": 1}])"));
    EXPECT_EQ(contents(grid), "-|Stone 100|Stone 100|-|-|Dirt 1") << "clamped; extras ignored";

    for (const json& notArray : {json(nullptr), json::object(), json(3)}) {
        grid.fromJson(notArray);
        EXPECT_EQ(contents(grid), "") << notArray;
    }
}

TEST_F(InventoryTest, UnreadableRecordsAreWrittenBackWhileTheirSlotStaysEmpty) {
    const json unknown = {{"name", "Moonstone"}, {"count", 3}, {"attributes", {{"glow", 1}}}};
    grid.fromJson(json::array({unknown, {{"name", "Stone"}, {"count", 2}}}));
    std::unique_ptr<Item> picked = block(4, 5);
    grid.addItem(picked);
    EXPECT_EQ(contents(grid), "-|Stone 2|Wood 5") << "pickups pass the kept record by";
    EXPECT_EQ(grid.toJson()[0], unknown);

    cursor.item = block(4, 1);
    cursor.pos = slotPoint(grid, 0, 0);
    EXPECT_TRUE(grid.mouseButton(&other, cursor, LEFT, PRESS, 0));
    EXPECT_EQ(grid.toJson()[0]["name"], "Wood") << "a deliberate placement replaces it";
    EXPECT_TRUE(grid.mouseButton(&other, cursor, LEFT, PRESS, 0));
    EXPECT_EQ(grid.toJson()[0], nullptr);
}

}  // namespace

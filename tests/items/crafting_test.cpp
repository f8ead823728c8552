#include "gui/FakeDesktop.h"
#include "items/CraftingLayout.h"
#include "items/CraftingMenu.h"
#include "items/InventoryGUI.h"
#include "items/TestItems.h"

#include <set>

namespace {

glm::ivec2 posOf(gui::Element& element, gui::Window& window) {
    glm::ivec2 p;
    element.getPos(window, p.x, p.y);
    return p;
}
glm::ivec2 sizeOf(gui::Element& element, gui::Window& window) {
    glm::ivec2 s;
    element.getSize(window, s.x, s.y);
    return s;
}

class CraftingTest : public CatalogueTest {
protected:
    Inventory first{{1, 4}, {25, 50}};
    Inventory second{{2, 4}, {109, 50}};
    std::unique_ptr<Item> cursorItem;

    void SetUp() override {
        CatalogueTest::SetUp();
        recipes = json::object();
    }
    void TearDown() override { recipes = nullptr; }

    std::vector<crafting::Entry> listed() {
        crafting::Totals totals;
        crafting::addTotals(first, totals);
        crafting::addTotals(second, totals);
        return crafting::listCraftable(recipes, totals);
    }
    std::vector<std::string> listedResults() {
        std::vector<std::string> names;
        for (auto& entry : listed()) names.push_back(entry.result->getName());
        return names;
    }
};

// --- totals and listing ----------------------------------------------------------------------

TEST_F(CraftingTest, ListsCoveredRecipesInKeyOrderWithDisplayCopies) {
    recipes = {{"b chest", recipeOf("Wood 8", "Chest 1")},
               {"a sand", recipeOf("Stone 2|Dirt 1", "Sand 3")},
               {"c leaves", recipeOf("Dirt 50", "Leaves 1")}};
    fill(first, "Wood 5");
    fill(second, "Wood 3|Stone 2|Dirt 1");  // totals by name over both: 8 wood
    EXPECT_EQ(listedResults(), (std::vector<std::string>{"Sand", "Chest"}));

    auto entries = listed();
    ASSERT_EQ(entries[0].ingredients.size(), 2u);
    EXPECT_EQ(describe(entries[0].ingredients[0]), "Stone 2");
    EXPECT_EQ(describe(entries[0].result), "Sand 3");
    EXPECT_NE(entries[0].ingredients[0].get(), second.getSlot(1).get()) << "copies, not slots";
}

TEST_F(CraftingTest, RecipesThatCannotBeMadeAreNeverListedAndNothingThrows) {
    first.getSlot(0) = block(3, 100);
    first.getSlot(1) = material("Moonstone", 100);
    recipes = {
        {"01 no recipe", {{"result", record("Sand", 1)}}},
        {"02 empty", recipe({}, record("Sand", 1))},
        {"03 zero count", recipe({record("Stone", 0)}, record("Sand", 1))},
        {"04 text count", recipe({record("Stone", "2")}, record("Sand", 1))},
        {"05 no name", recipe({json{{"count", 1}}}, record("Sand", 1))},
        {"06 not an object", 5},
        {"07 recipe not an array", {{"recipe", record("Stone", 1)}, {"result", record("Sand", 1)}}},
        {"08 no result", {{"recipe", {record("Stone", 1)}}}},
        {"09 unknown result", recipe({record("Stone", 1)}, record("Moonstone", 1))},
        {"10 unknown ingredient", recipe({record("Moonstone", 1)}, record("Sand", 1))},
        {"11 result of nothing", recipe({record("Stone", 1)}, record("Sand", 0))},
        {"12 result not a record", recipe({record("Stone", 1)}, "Sand")},
        {"13 fine", recipe({record("Stone", 1.7)}, record("Sand", 1))},
    };
    std::vector<std::string> names;
    EXPECT_NO_THROW(names = listedResults());
    EXPECT_EQ(names, std::vector<std::string>{"Sand"});
    EXPECT_EQ(listed()[0].needs[0].count, 1u) << "1.7 truncates to 1";

    recipes = json::array({recipe({record("Stone", 1)}, record("Sand", 1))});
    EXPECT_TRUE(listed().empty());
}

// --- crafting --------------------------------------------------------------------------------

struct Craft {
    const char *what, *ingredients, *result, *first, *second, *cursor;
    bool crafted;
    // null: unchanged
    const char *firstAfter = nullptr, *secondAfter = nullptr, *cursorAfter = nullptr;
};

TEST_F(CraftingTest, CraftingTakesInOrderAndHandsTheResultToTheCursor) {
    const Craft crafts[] = {
        {"the first container first", "Wood 5", "Chest 1", "-|Wood 3", "Wood 2", "-", true, "", "",
         "Chest 1"},
        {"each slot in turn, the last partly", "Wood 5", "Chest 1", "Wood 1|-|-|Wood 3",
         "-|Wood 4|Wood 9", "-", true, "", "-|Wood 3|Wood 9", "Chest 1"},
        {"shared names summed", "Stone 2|Dirt 1|Stone 3", "Sand 2", "Stone 4|Dirt 1", "Stone 6",
         "-", true, "", "Stone 5", "Sand 2"},
        {"listed by each record alone", "Stone 3|Stone 3", "Sand 1", "Stone 4", "", "-", false},
        {"another kind on the cursor", "Stone 1", "Sand 3", "Stone 10", "", "Wood 1", false},
        {"a full cursor", "Stone 1", "Sand 3", "Stone 10", "", "Sand 100", false},
        {"no room for all", "Stone 1", "Sand 3", "Stone 10", "", "Sand 98", false},
        {"room for all", "Stone 1", "Sand 3", "Stone 10", "", "Sand 97", true, "Stone 9", "",
         "Sand 100"},
    };
    for (const Craft& c : crafts) {
        SCOPED_TRACE(c.what);
        recipes = {{"r", recipeOf(c.ingredients, c.result)}};
        fill(first, c.first);
        fill(second, c.second);
        cursorItem = make(c.cursor);
        auto entries = listed();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(crafting::craft(entries[0], first, second, cursorItem), c.crafted);
        EXPECT_EQ(!entries[0].result, c.crafted) << "handed out only when crafted";
        EXPECT_EQ(contents(first), c.firstAfter ? c.firstAfter : c.first);
        EXPECT_EQ(contents(second), c.secondAfter ? c.secondAfter : c.second);
        EXPECT_EQ(describe(cursorItem), c.cursorAfter ? c.cursorAfter : c.cursor);
    }
}

TEST_F(CraftingTest, AStaleListOrAnUnstackableCursorChangesNothing) {
    recipes = {{"sand", recipeOf("Stone 8", "Sand 1")}};
    fill(first, "Stone 8");
    auto entries = listed();
    cursorItem = tool("Sand");  // the result's name, but it does not stack
    EXPECT_FALSE(crafting::craft(entries[0], first, second, cursorItem));
    cursorItem.reset();
    first.getSlot(0)->count = 7;  // the inventories changed since the list was made
    EXPECT_FALSE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_EQ(contents(first), "Stone 7");
    EXPECT_FALSE(cursorItem);
    EXPECT_TRUE(entries[0].result);
}

// --- the recipe file -------------------------------------------------------------------------

TEST_F(CraftingTest, LoadRecipesReadsOneObjectAndNeverThrows) {
    TempFile good("recipes-good.json", R"({"a": {"recipe": [{"name": "Stone", "count": 1}],
                                           "result": {"name": "Sand", "count": 1}}} trailing)");
    EXPECT_TRUE(CraftingMenu::loadRecipes(good.str()));
    EXPECT_TRUE(recipes.contains("a"));

    TempFile array("recipes-array.json", "[1]");
    TempFile broken("recipes-broken.json", "{\"a\": ");
    EXPECT_FALSE(CraftingMenu::loadRecipes(array.str()));
    EXPECT_NO_THROW(EXPECT_FALSE(CraftingMenu::loadRecipes(broken.str())));
    EXPECT_FALSE(CraftingMenu::loadRecipes("/nonexistent/recipes.json"));
    EXPECT_TRUE(recipes.is_null());
    EXPECT_TRUE(listed().empty());
}

TEST(ShippedRecipes, EveryRecipeIsWellFormedAndTheCraftedItemsAreCovered) {
    ASSERT_TRUE(Item::loadItemInfo());
    ASSERT_TRUE(CraftingMenu::loadRecipes());
    std::set<std::string> results;
    for (const auto& [label, value] : recipes.items()) {
        auto ingredients = crafting::readIngredients(value);
        ASSERT_TRUE(ingredients && !ingredients->empty()) << label;
        for (const auto& ingredient : *ingredients)
            EXPECT_TRUE(itemInfo.contains(ingredient.name)) << label << ": " << ingredient.name;
        const std::string result = value.at("result").at("name");
        EXPECT_TRUE(itemInfo.contains(result)) << label;
        EXPECT_GE(value.at("result").at("count").get<int>(), 1) << label;
        results.insert(result);
    }
    for (const char* name :
         {"Basalt", "Chest", "Stick", "Hammer", "Iron Pick", "Deadly Pick", "Iron Axe",
          "Deadly Axe", "Iron Bars", "Deadly Bars", "Compass", "4D Glasses", "Health Potion"})
        EXPECT_TRUE(results.contains(name)) << name;
    recipes = nullptr;
}

// --- the panel -------------------------------------------------------------------------------

TEST(CraftingLayout, HoverUsesHalfOpenCellsAndAResultClickItsEdgeLines) {
    using namespace craftingLayout;
    const glm::ivec2 origin(6, 6);
    struct Hover {
        glm::ivec2 cursor;
        int index;
    };
    for (const Hover& h : {Hover{{6, 6}, 0}, Hover{{73, 61}, 0}, Hover{{74, 6}, 1},
                           Hover{{6 + 34, 62}, 2}, Hover{{6 + 33, 62}, -1}, Hover{{6 + 136, 6}, -1},
                           Hover{{6, 5}, -1}, Hover{{6, 6 + 112}, 4}})
        EXPECT_EQ(hoverIndex(h.cursor, origin), h.index) << h.cursor.x << ", " << h.cursor.y;
    EXPECT_TRUE(hitsResult({6 + 68, 6 + 56}, origin));
    EXPECT_TRUE(hitsResult({6, 6}, origin));
    EXPECT_FALSE(hitsResult({6 + 69, 30}, origin));
    EXPECT_FALSE(hitsResult({30, 6 + 57}, origin));
    EXPECT_FALSE(hitsResult({5, 30}, origin));
}

// An open screen on a 1024 x 768 desktop with a five-ingredient chest recipe and a one-ingredient
// sand recipe, both covered. `box` stands for the crafting box the menu draws in.
class CraftingPanelTest : public CraftingTest {
protected:
    InventoryGUI screen;
    guitest::FakeDesktop desktop, boxDesktop;
    gui::Interface box;
    CraftingMenu& menu = screen.craftingMenu;
    std::unique_ptr<Item> pendingDrop;

    void SetUp() override {
        CraftingTest::SetUp();
        recipes = {{"a five", recipeOf("Dirt 1|Wood 1|Sand 1|Leaves 1|Stone 1", "Chest 1")},
                   {"b one", recipeOf("Stone 2", "Sand 1")}};
        fill(first, "Dirt 1|Wood 1|Sand 1|Leaves 1");
        fill(second, "Stone 10");
        boxDesktop.attach(box);
        boxDesktop.width = 300;
        boxDesktop.height = 618;
        desktop.width = 1024;
        desktop.height = 768;
        screen.interface.cursorSource = &desktop;
        screen.interface.sizeSource = &desktop;
        screen.resize(nullptr, 1024, 768);
        screen.open(&first, &second);
    }
    // A click on the menu inside its box.
    bool clickAt(glm::ivec2 p, int button = LEFT, int action = PRESS) {
        boxDesktop.cursorX = p.x, boxDesktop.cursorY = p.y;
        return menu.mouseButton(box, button, action, 0);
    }
    // A click on the whole screen.
    bool pressAt(glm::ivec2 p, int button = LEFT, int action = PRESS) {
        desktop.cursorX = p.x, desktop.cursorY = p.y;
        return screen.mouseButton(button, action, 0, pendingDrop);
    }
};

TEST_F(CraftingPanelTest, OnlyALeftPressOnAResultBoxCrafts) {
    EXPECT_FALSE(clickAt({40, 30}, RIGHT));
    EXPECT_FALSE(clickAt({40, 30}, LEFT, RELEASE));
    EXPECT_FALSE(clickAt({6 + 69, 30})) << "right of the result box";
    EXPECT_FALSE(clickAt({6 + 68 + 20, 30})) << "an ingredient box";
    EXPECT_FALSE(clickAt({30, 6 + 204 - 10})) << "the gap between entries";
    EXPECT_FALSE(screen.cursor.item);
    EXPECT_EQ(countOf(second.getSlot(0)), 10);

    EXPECT_TRUE(clickAt({6 + 68, 210 + 56})) << "the edge lines of the second result box";
    EXPECT_EQ(describe(screen.cursor.item), "Sand 1");
    EXPECT_EQ(countOf(second.getSlot(0)), 8);
    EXPECT_EQ(menu.entries.size(), 2u) << "recounted after crafting";

    screen.cursor.item.reset();
    EXPECT_TRUE(clickAt({6, 6}));
    EXPECT_EQ(describe(screen.cursor.item), "Chest 1");
    EXPECT_EQ(contents(first), "");
    EXPECT_EQ(contents(second), "Stone 7");
}

TEST_F(CraftingPanelTest, EntriesStackAndTheScreenLayoutFollowsTheWindowAndTheList) {
    ASSERT_EQ(menu.entries.size(), 2u);
    EXPECT_EQ(menu.entryPositions(box), (std::vector<glm::ivec2>{{6, 6}, {6, 210}}));
    EXPECT_EQ(sizeOf(menu, box), glm::ivec2(100, 6 + 204 + 78));

    EXPECT_EQ(glm::ivec2(screen.craftingBox.width, screen.craftingBox.height),
              glm::ivec2(300, 618));
    EXPECT_EQ(posOf(screen.craftingBox, screen.interface), glm::ivec2(1024 - 300, 100));
    EXPECT_EQ(posOf(screen.craftingLabel, screen.interface).x, 1024 - 300 + 50)
        << "the label starts 50 pixels into the box";

    // Seven five-ingredient entries and one more: 6 + 7 * 204 + 78 = 1512 pixels.
    for (int i = 0; i < 6; ++i) recipes["a five " + std::to_string(i)] = recipes["a five"];
    menu.updateRecipes();
    screen.refreshLayout();
    EXPECT_EQ(screen.craftingBox.overflowY, 1512 - 618);
    screen.craftingBox.scrollY = -800;
    screen.resize(nullptr, 1024, 1200);
    EXPECT_EQ(screen.craftingBox.height, 1050);
    EXPECT_EQ(screen.craftingBox.overflowY, 462);
    EXPECT_EQ(screen.craftingBox.scrollY, -462) << "a scrolled box snaps back";
    screen.resize(nullptr, 1024, 2000);
    EXPECT_EQ(screen.craftingBox.scrollY, 0);

    menu.setX(10);
    menu.setY(4);
    EXPECT_EQ(menu.entryPositions(box)[0], glm::ivec2(16, 10));
    menu.setAlignX(1);
    EXPECT_EQ(menu.entryPositions(box)[0], glm::ivec2(300 - 100 + 10 + 6, 10));
}

// --- the screen's clicks ---------------------------------------------------------------------

TEST_F(CraftingPanelTest, ACarriedStackIsThrownOnlyByAPressOffTheGridsAndThePanel) {
    screen.cursor.item = block(3, 5);
    EXPECT_FALSE(pressAt({600, 700}, LEFT, RELEASE));
    EXPECT_FALSE(pendingDrop) << "a release throws nothing";
    EXPECT_FALSE(pressAt({600, 700}, RIGHT));
    EXPECT_EQ(describe(pendingDrop), "Stone 5");
    EXPECT_FALSE(screen.cursor.item);

    screen.cursor.item = block(3, 2);
    EXPECT_FALSE(pressAt({600, 700}));
    EXPECT_EQ(countOf(screen.cursor.item), 2) << "one drop waits already";
    pendingDrop.reset();

    EXPECT_FALSE(pressAt(first.pos + glm::ivec2(5, 5))) << "stagger margin of the grid";
    second.getSlot(0) = block(3, 100);
    EXPECT_FALSE(pressAt(slotPoint(second, 0, 0), RIGHT)) << "a refused click on a full stack";
    EXPECT_TRUE(pressAt({1024 - 20, 700})) << "the crafting box takes the press";
    EXPECT_FALSE(pressAt({1024 - 50, 60})) << "the label";
    EXPECT_FALSE(pendingDrop);
    EXPECT_EQ(countOf(screen.cursor.item), 2);

    screen.cursor.item.reset();
    EXPECT_FALSE(pressAt({600, 700}));
    EXPECT_FALSE(pendingDrop) << "an empty cursor throws nothing";
}

TEST_F(CraftingPanelTest, ClicksReachTheContainersAndRecountTheList) {
    EXPECT_TRUE(pressAt(slotPoint(first, 0, 0)));
    EXPECT_EQ(describe(screen.cursor.item), "Dirt 1");
    EXPECT_EQ(menu.entries.size(), 1u) << "without the dirt only the sand recipe is left";
    EXPECT_TRUE(pressAt(slotPoint(second, 1, 3)));
    EXPECT_FALSE(screen.cursor.item);
    EXPECT_EQ(menu.entries.size(), 2u);

    EXPECT_TRUE(pressAt(glm::ivec2(1024 - 300, 100) + glm::ivec2(6, 210 + 6)));
    EXPECT_EQ(describe(screen.cursor.item), "Sand 1") << "the second result box";

    screen.close();
    EXPECT_FALSE(screen.isOpen());
    EXPECT_FALSE(pressAt({600, 700}));
    EXPECT_FALSE(pendingDrop) << "a closed screen takes no presses";
}

TEST(InventoryGUILink, DestroyingTheLinkClosesOnlyItsOwnSide) {
    InventoryGUI screen;
    Inventory player({1, 2}), chest({4, 8}), otherChest({4, 8});
    screen.first = &player;
    screen.second = &chest;
    for (Inventory* side : {&otherChest, &chest}) {
        EXPECT_EQ(screen.second, &chest) << "open until its own link goes";
        InventoryGUILink link;
        link.gui = &screen;
        link.inventory = side;
    }
    EXPECT_FALSE(screen.isOpen());
}

}  // namespace

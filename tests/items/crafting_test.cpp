#include "items/CraftingLayout.h"
#include "items/CraftingMenu.h"
#include "items/Inventory.h"
#include "items/InventoryGUI.h"
#include "items/InventoryLayout.h"
#include "items/TestItems.h"

#include <set>

using nlohmann::json;

namespace {

constexpr int LEFT = 0, RIGHT = 1, PRESS = 1, RELEASE = 0;

const char* craftingCatalogue = R"({
  "Dirt": {"type": "block", "baseAttributes": {"id": 2}},
  "Stone": {"type": "block", "baseAttributes": {"id": 3}},
  "Wood": {"type": "block", "baseAttributes": {"id": 4}},
  "Leaves": {"type": "block", "baseAttributes": {"id": 5}},
  "Chest": {"type": "block", "baseAttributes": {"id": 9}},
  "Sand": {"type": "block", "baseAttributes": {"id": 10}}
})";

json record(const std::string& name, json count) { return {{"name", name}, {"count", count}}; }
json recipe(std::vector<json> ingredients, json result) {
    return {{"recipe", ingredients}, {"result", result}};
}
int countOf(const std::unique_ptr<Item>& item) { return item ? int(item->count) : -1; }

// A window of a fixed size with a cursor the test moves.
class FakeWindow : public gui::Window {
public:
    glm::ivec2 cursor{0, 0}, size{300, 618};
    SolidQuad* getQuadRenderer() override { return nullptr; }
    BitmapText* getTextRenderer() override { return nullptr; }
    GLFWwindow* getGLFWwindow() override { return nullptr; }
    void getCursorPos(int& x, int& y) override { x = cursor.x, y = cursor.y; }
    void getWindowSize(int& w, int& h) override { w = size.x, h = size.y; }
    void setViewport(const gui::Rect&, glm::ivec2) override {}
    gui::Clipboard* getClipboard() override { return nullptr; }
    gui::Clock* getClock() override { return nullptr; }
};

class FakeDesktop : public gui::CursorSource, public gui::SizeSource {
public:
    glm::dvec2 cursor{0, 0};
    glm::ivec2 size{1024, 768};
    void getCursorPos(double& x, double& y) override { x = cursor.x, y = cursor.y; }
    void getWindowSize(int& w, int& h) override { w = size.x, h = size.y; }
};

class CraftingTest : public ::testing::Test {
protected:
    Inventory first{{1, 4}, {25, 50}};
    Inventory second{{2, 4}, {109, 50}};
    std::unique_ptr<Item> cursorItem;

    void SetUp() override {
        TempFile file("crafting-catalogue.json", craftingCatalogue);
        BlockItem::blockNames.clear();
        ASSERT_TRUE(Item::loadItemInfo(file.str()));
        recipes = json::object();
    }
    void TearDown() override { recipes = nullptr; }

    crafting::Totals totals() {
        crafting::Totals t;
        crafting::addTotals(first, t);
        crafting::addTotals(second, t);
        return t;
    }
    std::vector<crafting::Entry> listed() { return crafting::listCraftable(recipes, totals()); }
    std::vector<std::string> listedResults() {
        std::vector<std::string> names;
        for (auto& entry : listed()) names.push_back(entry.result->getName());
        return names;
    }
};

// --- totals and listing ----------------------------------------------------------------------

TEST_F(CraftingTest, TotalsAddUpEveryStackOfBothContainersByName) {
    first.getSlot(0) = block(3, 100);
    first.getSlot(2) = block(3, 7);
    second.getSlot(5) = block(3, 3);
    second.getSlot(1) = material("Moonstone", 4);
    crafting::Totals t = totals();
    EXPECT_EQ(t.at("Stone"), 110u);
    EXPECT_EQ(t.at("Moonstone"), 4u);
    EXPECT_EQ(t.size(), 2u);

    std::vector<crafting::Ingredient> needs = {{"Stone", 50}, {"Moonstone", 2}};
    EXPECT_EQ(crafting::timesCovered(needs, t), 2u);
    needs.push_back({"Wood", 1});
    EXPECT_EQ(crafting::timesCovered(needs, t), 0u);
    EXPECT_EQ(crafting::timesCovered({}, t), 0u) << "no ingredients is never craftable";
}

TEST_F(CraftingTest, ListsCoveredRecipesInKeyOrderWithDisplayCopies) {
    recipes = {{"b chest", recipe({record("Wood", 8)}, record("Chest", 1))},
               {"a sand", recipe({record("Stone", 2), record("Dirt", 1)}, record("Sand", 3))},
               {"c leaves", recipe({record("Dirt", 50)}, record("Leaves", 1))}};
    first.getSlot(0) = block(4, 5);
    second.getSlot(0) = block(4, 3);
    second.getSlot(1) = block(3, 2);
    second.getSlot(2) = block(2, 1);
    EXPECT_EQ(listedResults(), (std::vector<std::string>{"Sand", "Chest"}));

    auto entries = listed();
    ASSERT_EQ(entries[0].ingredients.size(), 2u);
    EXPECT_EQ(entries[0].ingredients[0]->getName(), "Stone");
    EXPECT_EQ(countOf(entries[0].ingredients[0]), 2);
    EXPECT_EQ(countOf(entries[0].result), 3);
    EXPECT_NE(entries[0].ingredients[0].get(), second.getSlot(1).get()) << "copies, not slots";
}

TEST_F(CraftingTest, EachRecordIsTestedAloneAgainstTheTotal) {
    recipes = {{"x", recipe({record("Stone", 3), record("Stone", 3)}, record("Sand", 1))}};
    first.getSlot(0) = block(3, 4);
    EXPECT_EQ(listedResults(), std::vector<std::string>{"Sand"});

    CraftingMenu::Entry entry = std::move(listed()[0]);
    EXPECT_FALSE(crafting::craft(entry, first, second, cursorItem));
    EXPECT_EQ(countOf(first.getSlot(0)), 4) << "nothing changed";
    EXPECT_FALSE(cursorItem);
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

TEST_F(CraftingTest, TakesFromTheFirstContainerBeforeTheSecondEachSlotInTurn) {
    recipes = {{"chest", recipe({record("Wood", 5)}, record("Chest", 1))}};
    first.getSlot(1) = block(4, 3);
    second.getSlot(0) = block(4, 2);
    auto entries = listed();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_FALSE(first.getSlot(1));
    EXPECT_FALSE(second.getSlot(0));
    EXPECT_EQ(cursorItem->getName(), "Chest");
    EXPECT_FALSE(entries[0].result) << "handed out";

    first.getSlot(3) = block(4, 3);
    first.getSlot(0) = block(4, 1);
    second.getSlot(2) = block(4, 9);
    second.getSlot(1) = block(4, 4);
    cursorItem.reset();
    entries = listed();
    EXPECT_TRUE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_FALSE(first.getSlot(0));
    EXPECT_FALSE(first.getSlot(3));
    EXPECT_EQ(countOf(second.getSlot(1)), 3) << "only the last slot is taken from partly";
    EXPECT_EQ(countOf(second.getSlot(2)), 9);
}

TEST_F(CraftingTest, SharedNamesAreSummedAndOtherNamesTakenAlongside) {
    recipes = {{"sand", recipe({record("Stone", 2), record("Dirt", 1), record("Stone", 3)},
                               record("Sand", 2))}};
    first.getSlot(0) = block(3, 4);
    first.getSlot(1) = block(2, 1);
    second.getSlot(0) = block(3, 6);
    auto entries = listed();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_FALSE(first.getSlot(0));
    EXPECT_FALSE(first.getSlot(1));
    EXPECT_EQ(countOf(second.getSlot(0)), 5);
    EXPECT_EQ(countOf(cursorItem), 2);
}

TEST_F(CraftingTest, ACursorItemThatCannotTakeTheResultRefusesTheClick) {
    recipes = {{"sand", recipe({record("Stone", 1)}, record("Sand", 3))}};
    first.getSlot(0) = block(3, 10);

    for (auto makeCursor : {+[] { return block(4, 1); }, +[] { return block(10, 100); },
                            +[] { return block(10, 98); }, +[] { return tool("Sand"); }}) {
        cursorItem = makeCursor();
        const int before = countOf(cursorItem);
        auto entries = listed();
        EXPECT_FALSE(crafting::craft(entries[0], first, second, cursorItem));
        EXPECT_EQ(countOf(cursorItem), before);
        EXPECT_EQ(countOf(first.getSlot(0)), 10);
    }

    cursorItem = block(10, 97);
    auto entries = listed();
    EXPECT_TRUE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_EQ(countOf(cursorItem), 100);
    EXPECT_EQ(countOf(first.getSlot(0)), 9);
}

TEST_F(CraftingTest, MissingIngredientsChangeNothing) {
    recipes = {{"chest", recipe({record("Wood", 8)}, record("Chest", 1))}};
    first.getSlot(0) = block(4, 8);
    auto entries = listed();
    first.getSlot(0)->count = 7;  // the inventories changed since the list was made
    EXPECT_FALSE(crafting::craft(entries[0], first, second, cursorItem));
    EXPECT_EQ(countOf(first.getSlot(0)), 7);
    EXPECT_FALSE(cursorItem);
    EXPECT_TRUE(entries[0].result);
}

// --- the recipe file -------------------------------------------------------------------------

TEST_F(CraftingTest, LoadRecipesReadsOneObjectAndNeverThrows) {
    TempFile good("recipes-good.json",
                  R"({"a": {"recipe": [{"name": "Stone", "count": 1}], "result": {"name": "Sand", "count": 1}}} trailing)");
    EXPECT_TRUE(CraftingMenu::loadRecipes(good.str()));
    EXPECT_TRUE(recipes.contains("a"));

    TempFile array("recipes-array.json", "[1]");
    TempFile broken("recipes-broken.json", "{\"a\": ");
    EXPECT_FALSE(CraftingMenu::loadRecipes(array.str()));
    EXPECT_NO_THROW(EXPECT_FALSE(CraftingMenu::loadRecipes(broken.str())));
    EXPECT_TRUE(recipes.is_null());
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
    for (const char* name : {"Basalt", "Chest", "Stick", "Hammer", "Iron Pick", "Deadly Pick",
                             "Iron Axe", "Deadly Axe", "Iron Bars", "Deadly Bars", "Compass",
                             "4D Glasses", "Health Potion"})
        EXPECT_TRUE(results.contains(name)) << name;
    recipes = nullptr;
}

// --- the panel -------------------------------------------------------------------------------

TEST(CraftingLayout, BoxesRowsAndAdvances) {
    using namespace craftingLayout;
    const glm::ivec2 five[6] = {{0, 0}, {68, 0}, {34, 56}, {102, 56}, {0, 112}, {68, 112}};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(boxOffset(k), five[k]) << k;
    EXPECT_EQ(rowsOf(5), 3);
    EXPECT_EQ(entryAdvance(5), 204);
    EXPECT_EQ(entryAdvance(1), 92);
    EXPECT_EQ(entryAdvance(2), 134);
    EXPECT_EQ(panelHeight({}), 6);
    EXPECT_EQ(panelHeight({1}), 6 + 78);
    EXPECT_EQ(panelHeight({1, 2}), 6 + 92 + 134);
    EXPECT_EQ(panelHeight({2, 5}), 6 + 134 + 190);
}

TEST(CraftingLayout, HoverUsesHalfOpenCellsAndClicksIncludeTheEdgeLines) {
    using namespace craftingLayout;
    const glm::ivec2 origin(6, 6);
    EXPECT_EQ(hoverIndex({6, 6}, origin), 0);
    EXPECT_EQ(hoverIndex({73, 61}, origin), 0);
    EXPECT_EQ(hoverIndex({74, 6}, origin), 1);
    EXPECT_EQ(hoverIndex({6 + 34, 62}, origin), 2);
    EXPECT_EQ(hoverIndex({6 + 33, 62}, origin), -1) << "left of an odd row";
    EXPECT_EQ(hoverIndex({6 + 136, 6}, origin), -1);
    EXPECT_EQ(hoverIndex({6, 5}, origin), -1);
    EXPECT_EQ(hoverIndex({6, 6 + 112}, origin), 4);

    EXPECT_TRUE(hitsResult({6 + 68, 6 + 56}, origin));
    EXPECT_TRUE(hitsResult({6, 6}, origin));
    EXPECT_FALSE(hitsResult({6 + 69, 30}, origin));
    EXPECT_FALSE(hitsResult({30, 6 + 57}, origin));
    EXPECT_FALSE(hitsResult({5, 30}, origin));
}

class CraftingPanelTest : public CraftingTest {
protected:
    InventoryGUI screen;
    FakeWindow window;
    FakeDesktop desktop;
    CraftingMenu& menu = screen.craftingMenu;

    void SetUp() override {
        CraftingTest::SetUp();
        recipes = {
            {"a five", recipe({record("Dirt", 1), record("Wood", 1), record("Sand", 1),
                               record("Leaves", 1), record("Stone", 1)},
                              record("Chest", 1))},
            {"b one", recipe({record("Stone", 2)}, record("Sand", 1))},
        };
        first.getSlot(0) = block(2, 1);
        first.getSlot(1) = block(4, 1);
        first.getSlot(2) = block(10, 1);
        first.getSlot(3) = block(5, 1);
        second.getSlot(0) = block(3, 10);
        screen.interface.cursorSource = &desktop;
        screen.interface.sizeSource = &desktop;
        screen.resize(nullptr, 1024, 768);
        screen.open(&first, &second);
    }
    bool clickAt(glm::ivec2 p, int button = LEFT, int action = PRESS) {
        window.cursor = p;
        return menu.mouseButton(window, button, action, 0);
    }
};

TEST_F(CraftingPanelTest, EntriesAreStackedBelowEachOtherWithTheirHeights) {
    ASSERT_EQ(menu.entries.size(), 2u);
    EXPECT_EQ(menu.entryPositions(window), (std::vector<glm::ivec2>{{6, 6}, {6, 210}}));
    int width = 0, height = 0;
    menu.getSize(window, width, height);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 6 + 204 + 78);

    menu.setX(10);
    menu.setY(4);
    EXPECT_EQ(menu.entryPositions(window)[0], glm::ivec2(16, 10));
    menu.setAlignX(1);
    EXPECT_EQ(menu.entryPositions(window)[0], glm::ivec2(300 - 100 + 10 + 6, 10));
}

TEST_F(CraftingPanelTest, OnlyALeftPressOnAResultBoxCrafts) {
    EXPECT_FALSE(clickAt({40, 30}, RIGHT));
    EXPECT_FALSE(clickAt({40, 30}, LEFT, RELEASE));
    EXPECT_FALSE(clickAt({6 + 69, 30})) << "right of the result box";
    EXPECT_FALSE(clickAt({6 + 68 + 20, 30})) << "an ingredient box";
    EXPECT_FALSE(clickAt({30, 6 + 204 - 10})) << "the gap between entries";
    EXPECT_FALSE(screen.cursor.item);
    EXPECT_EQ(countOf(second.getSlot(0)), 10);

    EXPECT_TRUE(clickAt({6 + 68, 210 + 56})) << "the edge lines of the second result box";
    EXPECT_EQ(screen.cursor.item->getName(), "Sand");
    EXPECT_EQ(countOf(second.getSlot(0)), 8);
    EXPECT_EQ(menu.entries.size(), 2u) << "recounted after crafting";

    EXPECT_FALSE(clickAt({6, 6})) << "a chest cannot join sand on the cursor";
    EXPECT_EQ(countOf(screen.cursor.item), 1);
    EXPECT_EQ(countOf(first.getSlot(0)), 1) << "no ingredient was taken";

    screen.cursor.item.reset();
    EXPECT_TRUE(clickAt({6, 6}));
    EXPECT_EQ(screen.cursor.item->getName(), "Chest");
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(first.getSlot(i)) << i;
    EXPECT_EQ(countOf(second.getSlot(0)), 7);
}

TEST_F(CraftingPanelTest, ScreenLayoutFollowsTheWindowAndTheList) {
    EXPECT_EQ(screen.craftingBox.width, 300);
    EXPECT_EQ(screen.craftingBox.height, 618);
    int x = 0, y = 0;
    screen.craftingBox.getPos(screen.interface, x, y);
    EXPECT_EQ(glm::ivec2(x, y), glm::ivec2(1024 - 300, 100));
    screen.craftingLabel.getPos(screen.interface, x, y);
    EXPECT_EQ(x, 1024 - 300 + 50) << "the label starts 50 pixels into the box";

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
}

// --- the screen's clicks ---------------------------------------------------------------------

class InventoryScreenTest : public CraftingPanelTest {
protected:
    std::unique_ptr<Item> pendingDrop;

    bool pressAt(glm::ivec2 p, int button = LEFT, int action = PRESS) {
        desktop.cursor = p;
        return screen.mouseButton(button, action, 0, pendingDrop);
    }
    glm::ivec2 slotPoint(const Inventory& inventory, int column, int row) {
        return inventory.pos + inventoryLayout::slotOffset(column, row) + glm::ivec2(10, 10);
    }
};

TEST_F(InventoryScreenTest, ACarriedStackIsThrownOnlyByAPressOffTheGridsAndThePanel) {
    screen.cursor.item = block(3, 5);
    EXPECT_FALSE(pressAt({600, 700}, LEFT, RELEASE));
    EXPECT_FALSE(pendingDrop) << "a release throws nothing";
    EXPECT_FALSE(pressAt({600, 700}, RIGHT));
    ASSERT_TRUE(pendingDrop);
    EXPECT_EQ(countOf(pendingDrop), 5);
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

TEST_F(InventoryScreenTest, ClicksReachTheContainersAndRecountTheList) {
    ASSERT_EQ(menu.entries.size(), 2u);
    EXPECT_TRUE(pressAt(slotPoint(first, 0, 0)));
    EXPECT_EQ(screen.cursor.item->getName(), "Dirt");
    EXPECT_EQ(menu.entries.size(), 1u) << "without the dirt only the sand recipe is left";
    EXPECT_TRUE(pressAt(slotPoint(second, 1, 3)));
    EXPECT_FALSE(screen.cursor.item);
    EXPECT_EQ(menu.entries.size(), 2u);

    const glm::ivec2 secondResult = glm::ivec2(1024 - 300, 100) + glm::ivec2(6, 210 + 6);
    EXPECT_TRUE(pressAt(secondResult));
    EXPECT_EQ(screen.cursor.item->getName(), "Sand");

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
    { InventoryGUILink link; link.gui = &screen; link.inventory = &otherChest; }
    EXPECT_EQ(screen.second, &chest);
    { InventoryGUILink link; link.gui = &screen; link.inventory = &chest; }
    EXPECT_EQ(screen.second, nullptr);
    EXPECT_FALSE(screen.isOpen());
}

}  // namespace

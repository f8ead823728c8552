#include "engine/ThreadRandom.h"
#include "game/ChestEntity.h"
#include "game/GameTestSupport.h"
#include "game/InventoryScreen.h"
#include "gui/FakeDesktop.h"
#include "items/InventoryLayout.h"
#include "support/TempWorkDir.h"

#include <fstream>

using namespace gametest;
using nlohmann::json;

// Chests on the game's own catalogues: placed by the chest block, saved with their chunk and
// read back (also from damaged records), spilled when the block is mined, opened beside the
// player's inventory.

namespace {

constexpr uint8_t CHEST = 9;

std::string describe(const std::unique_ptr<Item>& item) {
    return item ? item->getName() + " " + std::to_string(item->count) : "-";
}

// The game's catalogues, the player (with its inventories laid out) on the ground, the chest's
// cell two cells ahead at head height.
class ChestTest : public PlayerOnGroundTest {
protected:
    static void SetUpTestSuite() { ASSERT_NO_FATAL_FAILURE(loadCatalogues()); }

    const glm::ivec4 cell{4, 66, 6, 4};

    void SetUp() override {
        player.reset();
        PlayerOnGroundTest::SetUp();
        threadrandom::generator().seed(3);
    }
    // A chest placed by its block item, as a right click does.
    ChestEntity& place(const glm::ivec4& at) {
        auto chestBlock = Item::create("Chest", 1);
        EXPECT_TRUE(static_cast<BlockItem&>(*chestBlock).place(&world, at));
        std::unique_ptr<Entity>* entity = world.getBlockEntity(at);
        EXPECT_NE(entity, nullptr);
        return static_cast<ChestEntity&>(**entity);
    }
};

TEST_F(ChestTest, ContentsRoundTripThroughEntitiesJsonAndDamagedRecordsLoseNothing) {
    ChestEntity& chest = place(cell);
    EXPECT_EQ(world.getBlock(cell), CHEST);
    EXPECT_EQ(chest.getPos(), glm::vec4(cell));
    chest.inventory.getSlot(0) = Item::create("Stone", 42);
    chest.inventory.getSlot(5) = Item::create("Stick", 7);
    chest.inventory.getSlot(31) = Item::create("Iron Pick", 1);

    testfs::TempWorkDir tmp;
    Chunk& chunk = *world.getChunk({0, 0, 0});
    chunk.save(tmp.path);
    const std::filesystem::path file = Chunk::entitiesPath(chunk.getDirectory(tmp.path));
    json list;
    std::ifstream(file) >> list;
    ASSERT_EQ(list.size(), 1u);
    json record = list[0];
    EXPECT_EQ(record["name"], "Chest");
    EXPECT_EQ(record["position"], (json{{"x", 4.0}, {"y", 66.0}, {"z", 6.0}, {"w", 4.0}}));
    ASSERT_EQ(record["attributes"]["inventory"].size(), 32u);
    EXPECT_TRUE(record["attributes"]["inventory"][1].is_null());

    // Damage the file as an old or foreign save might: an item the catalogue does not know, a
    // second chest for the same cell, a chest whose inventory is no array and a short one.
    const json unknownItem = {{"name", "Glass Hammer"}, {"count", 3}, {"attributes", json::object()}};
    record["attributes"]["inventory"][3] = unknownItem;
    json second = record;
    second["attributes"]["inventory"] = json::array({json{{"name", "Sand"}, {"count", 9}, {"attributes", json::object()}}});
    json noArray = record, shortList = record;
    noArray["position"]["x"] = 1.0;
    noArray["attributes"]["inventory"] = 5;
    shortList["position"]["x"] = 2.0;
    shortList["attributes"]["inventory"] = json::array({nullptr, json{{"name", "Dirt"}, {"count", 4}, {"attributes", json::object()}}});
    const json damaged = json::array({record, second, noArray, shortList});
    std::ofstream(file) << damaged.dump();

    Chunk loaded({0, 0, 0});
    ASSERT_TRUE(loaded.load(tmp.path));
    auto chestAt = [&](int x) -> ChestEntity* {
        auto it = loaded.blockEntities.find(glm::u8vec4(x, 66, 6, 4));
        return it == loaded.blockEntities.end() ? nullptr : dynamic_cast<ChestEntity*>(it->second.get());
    };
    ASSERT_NE(chestAt(4), nullptr);
    Inventory& stored = chestAt(4)->inventory;
    EXPECT_EQ(describe(stored.getSlot(0)), "Stone 42");
    EXPECT_EQ(describe(stored.getSlot(3)), "-") << "the unknown item keeps its slot empty";
    EXPECT_EQ(describe(stored.getSlot(5)), "Stick 7");
    EXPECT_EQ(describe(stored.getSlot(31)), "Iron Pick 1");
    ASSERT_NE(chestAt(1), nullptr);
    EXPECT_EQ(chestAt(1)->inventory.toJson(), json(std::vector<json>(32))) << "no array: empty";
    ASSERT_NE(chestAt(2), nullptr);
    EXPECT_EQ(describe(chestAt(2)->inventory.getSlot(1)), "Dirt 4");
    EXPECT_EQ(describe(chestAt(2)->inventory.getSlot(2)), "-");
    // The second chest of cell 4 stays as it was read, contents and all.
    EXPECT_EQ(loaded.unbuiltEntityRecords, std::vector<json>{second});

    loaded.save(tmp.path);
    std::ifstream(file) >> list;
    ASSERT_EQ(list.size(), 4u);
    int rewritten = 0;
    for (const json& saved : list)
        if (saved["position"]["x"] == 4.0 && saved != second) {
            ++rewritten;
            EXPECT_EQ(saved["attributes"]["inventory"][3], unknownItem) << "written back as read";
            EXPECT_EQ(saved["attributes"]["inventory"][0]["count"], 42);
        }
    EXPECT_EQ(rewritten, 1);
    EXPECT_EQ(list[3], second) << "unbuilt records come last";
}

TEST_F(ChestTest, AMinedChestSpillsItsStacksAndAStackNoChunkTakesStaysInItsSlot) {
    ChestEntity& chest = place(cell);
    chest.inventory.getSlot(2) = Item::create("Stone", 42);
    chest.inventory.getSlot(9) = Item::create("Hammer", 1);
    Chunk& chunk = *world.getChunk({0, 0, 0});
    chunk.updateEntities(&world, &player);
    EXPECT_EQ(chunk.blockEntities.size(), 1u) << "its block is there";

    // Mined through the player with a pick: the block drops as an item, the next update spills.
    player.hotbar.getSlot(0) = Item::create("Iron Pick", 1);
    player.input[Player::InputMining] = true;
    for (int i = 0; i < 60 && world.getBlock(cell) == CHEST; ++i) tick();
    player.input[Player::InputMining] = false;
    ASSERT_EQ(world.getBlock(cell), 0);
    chunk.updateEntities(&world, &player);
    EXPECT_TRUE(chunk.blockEntities.empty());
    std::vector<std::string> drops;
    for (ItemEntity* drop : dropped()) {
        drops.push_back(describe(drop->item));
        EXPECT_NEAR(glm::distance(drop->pos, glm::vec4(cell) + 0.5f), 0.0f, 0.1f);
    }
    EXPECT_EQ(drops, (std::vector<std::string>{"Chest 1", "Stone 42", "Hammer 1"}));

    // An empty chest just goes; one whose chunk is not loaded (-1) stays.
    place({5, 66, 6, 4});
    world.setBlock({5, 66, 6, 4}, 0);
    chunk.updateEntities(&world, &player);
    EXPECT_TRUE(chunk.blockEntities.empty());
    EXPECT_EQ(dropped().size(), 3u);

    std::unique_ptr<Entity> far = Entity::create("Chest", {40.0f, 66.0f, 6.0f, 4.0f});
    far->update(&world, &player);
    EXPECT_FALSE(far->isDead()) << "its block may well be there";
    auto& farChest = static_cast<ChestEntity&>(*far);
    farChest.inventory.getSlot(0) = Item::create("Stone", 5);

    // Above the world's top the block reads as air, but no chunk there takes the spill: the stack
    // stays and the chest lives until a chunk is there to take it.
    far->setPos({40.0f, 200.0f, 6.0f, 4.0f});
    far->update(&world, &player);
    EXPECT_FALSE(far->isDead());
    EXPECT_EQ(describe(farChest.inventory.getSlot(0)), "Stone 5");
    hand.addChunk({5, 0, 0});
    far->update(&world, &player);
    EXPECT_TRUE(far->isDead());
    EXPECT_EQ(farChest.inventory.getSlot(0), nullptr);
    EXPECT_EQ(world.getChunk({5, 0, 0})->entities.size(), 1u);

    // A chest keyed by the cell its position floors to tests that cell, also below zero.
    world.setBlock({-1, 66, 6, 4}, CHEST);
    far = Entity::create("Chest", {-0.5f, 66.0f, 6.0f, 4.0f});
    EXPECT_EQ(far->getPos(), glm::vec4(-1.0f, 66.0f, 6.0f, 4.0f));
    far->update(&world, &player);
    EXPECT_FALSE(far->isDead());

    // A position off the grid names no cell at all.
    far = Entity::create("Chest", {0.0f, 0.0f, 0.0f, 0.0f});
    static_cast<ChestEntity&>(*far).pos = glm::vec4(3.0e9f, 66.0f, 6.0f, 4.0f);
    far->update(&world, &player);
    EXPECT_FALSE(far->isDead());
}

TEST_F(ChestTest, ARightClickOpensItBesideTheInventoryUntilTheChestIsGone) {
    ChestEntity& chest = place(cell);
    EXPECT_FALSE(chest.interact(&world, &player, 1)) << "no screen to open it in";

    player.inventoryGui = std::make_unique<InventoryScreen>(player.hotbar, player.inventory);
    InventoryGUI& screen = *inventoryScreenOf(player);
    guitest::FakeDesktop desktop;
    desktop.width = 1024;
    desktop.height = 768;
    screen.interface.cursorSource = &desktop;
    screen.interface.sizeSource = &desktop;
    screen.resize(nullptr, 1024, 768);

    EXPECT_FALSE(chest.interact(&world, &player, 0)) << "a left click mines instead";
    EXPECT_FALSE(screen.isOpen());

    player.hotbar.getSlot(0) = Item::create("Stone", 30);
    player.input[Player::InputUsing] = true;
    tick();
    ASSERT_TRUE(screen.isOpen());
    EXPECT_EQ(screen.first, &player.inventoryManager);
    EXPECT_EQ(screen.second, &chest.inventory);
    EXPECT_TRUE(player.inventoryToggled);
    EXPECT_EQ(world.getBlock(cell + glm::ivec4(0, 0, -1, 0)), 0) << "nothing was placed";
    EXPECT_EQ(describe(player.hotbar.getSlot(0)), "Stone 30");

    // Shift and a left click on the hotbar's first slot move the stack into the chest.
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, 0) + glm::ivec2(30);
    desktop.cursorX = slot.x;
    desktop.cursorY = slot.y;
    std::unique_ptr<Item> pendingDrop;
    EXPECT_TRUE(screen.mouseButton(0, 1, 1, pendingDrop));
    EXPECT_EQ(describe(chest.inventory.getSlot(0)), "Stone 30");
    EXPECT_EQ(player.hotbar.getSlot(0), nullptr);
    // The chest's grid lies right of the player's inventory.
    const glm::ivec2 inventoryEnd = player.inventory.pos + inventoryLayout::gridExtent(player.inventory.gridSize);
    EXPECT_GT(chest.inventory.pos.x + inventoryLayout::SLOT_WIDTH, inventoryEnd.x);
    EXPECT_EQ(chest.inventory.title, "Chest:");

    // Mined from under the open screen: the chest goes, and its side of the screen with it.
    world.setBlock(cell, 0);
    world.getChunk({0, 0, 0})->updateEntities(&world, &player);
    EXPECT_EQ(screen.second, nullptr);
    EXPECT_FALSE(screen.isOpen());
}

}  // namespace

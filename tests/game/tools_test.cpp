#include "engine/ThreadRandom.h"
#include "game/GameTestSupport.h"
#include "game/SpiderEntity.h"
#include "items/ToolItem.h"
#include "world/FakeEntity.h"

#include <map>

using namespace gametest;

// Tools in the player's hand on the game's own catalogue: how many ticks each breaks each kind
// of block in, what the broken blocks drop, and what a hit does.

namespace {

constexpr uint8_t GRASS = 1, DIRT = 2, STONE = 3, LEAVES = 5, DEADLY_ORE = 8;

// The game's catalogues, the player on the ground, the target block two cells ahead at head
// height.
class ToolsTest : public PlayerOnGroundTest {
protected:
    const glm::ivec4 target{4, 66, 6, 4};

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(loadCatalogues());
        PlayerOnGroundTest::SetUp();
        threadrandom::generator().seed(5);
    }
    // Ticks of the held left button until the target breaks; 0 when it holds for 400.
    int ticksToBreak(uint8_t id) {
        clearEntities();
        hand.set(target, id);
        player.input[Player::InputMining] = true;
        for (int ticks = 1; ticks <= 400; ++ticks) {
            tick();
            if (world.getBlock(target) == 0) {
                player.input[Player::InputMining] = false;
                tick();
                return ticks;
            }
        }
        player.input[Player::InputMining] = false;
        tick();
        return 0;
    }
    std::string drops() {
        std::string names;
        for (ItemEntity* drop : dropped())
            names += (names.empty() ? "" : ", ") + drop->item->getName() + " " + std::to_string(drop->item->count);
        return names;
    }
};

TEST_F(ToolsTest, EachToolBreaksBlocksAtItsSpeedAndDropsWhatItShould) {
    const struct {
        const char* tool;
        uint8_t block;
        int ticks;  // 0: never breaks
        const char* drop;
    } cases[] = {
        // A Stick digs only grass and dirt (a Rock half the time: see below); leaves by hand.
        {"Stick", DIRT, 201, nullptr},
        {"Stick", STONE, 0, ""},
        {"Stick", LEAVES, 101, "Stick 1"},
        {"Hammer", STONE, 101, "Stone 1"},
        {"Hammer", GRASS, 101, "Grass 1"},
        {"Hammer", DEADLY_ORE, 0, ""},
        {"Iron Pick", STONE, 51, "Stone 1"},
        {"Iron Pick", DEADLY_ORE, 51, "Deadly Ore 1"},
        {"Deadly Pick", STONE, 34, "Stone 1"},
        {"Iron Axe", STONE, 0, ""},
        // Axes mine nothing, but the hand's rule breaks leaves and the axe keeps them.
        {"Deadly Axe", LEAVES, 101, "Leaves 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tool << " on block " << int(c.block));
        hold(c.tool);
        EXPECT_EQ(ticksToBreak(c.block), c.ticks);
        if (c.drop) { EXPECT_EQ(drops(), c.drop); }
        EXPECT_EQ(countOf(player.hotbar.getSlot(0)), 1u) << "tools are not used up";
    }

    // Deadly Ore broken with a Hammer in hand drops nothing of the Hammer's; with a pick, the ore.
    auto& hammer = hold("Hammer");
    EXPECT_FALSE(hammer->onBlockBroken(&world, &player, DEADLY_ORE, target));
    EXPECT_TRUE(hold("Iron Pick")->onBlockBroken(&world, &player, DEADLY_ORE, target));
    // A block the catalogue does not name drops nothing: its item could not be saved by a name
    // that loads back.
    const std::string before = drops();
    EXPECT_TRUE(hold("Iron Pick")->onBlockBroken(&world, &player, 99, target));
    EXPECT_EQ(drops(), before);
    // The right button mines nothing.
    hold("Deadly Pick");
    hand.set(target, STONE);
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_EQ(player.breakProgress, 0.0f);
    EXPECT_FALSE(player.input[Player::InputUsing]) << "a right click on the block";
}

TEST_F(ToolsTest, AStickTurnsUpARockFromGrassAndDirtAboutHalfTheTime) {
    std::unique_ptr<Item>& stick = hold("Stick", 3);
    int rocks = 0;
    constexpr int breaks = 400;
    for (int i = 0; i < breaks; ++i) {
        const uint8_t id = i % 2 ? GRASS : DIRT;
        const bool handled = stick->onBlockBroken(&world, &player, id, target);
        const std::string names = drops();
        ASSERT_TRUE(names.empty() || names == "Rock 1") << names;
        EXPECT_EQ(handled, !names.empty()) << "otherwise the caller's rule applies";
        rocks += !names.empty();
        for (auto* drop : dropped()) EXPECT_EQ(drop->pos, glm::vec4(target) + 0.5f);
        clearEntities();
    }
    EXPECT_NEAR(rocks, breaks / 2, breaks / 10);
    EXPECT_FALSE(stick->onBlockBroken(&world, &player, STONE, target));

    // Without a Rock in the catalogue the Stick still digs, and nothing drops.
    itemInfo.erase("Rock");
    for (int i = 0; i < 20; ++i) EXPECT_NO_THROW(stick->onBlockBroken(&world, &player, DIRT, target));
    EXPECT_EQ(drops(), "");
}

TEST_F(ToolsTest, ToolsStackOnlyAsSticksAndTellThemselvesApartByName) {
    auto a = Item::create("Stick", 60), b = Item::create("Stick", 60);
    EXPECT_TRUE(Item::mergeStack(a, b));
    EXPECT_EQ(countOf(b), 100u);
    EXPECT_EQ(countOf(a), 20u);
    auto pick = Item::create("Iron Pick", 1), other = Item::create("Iron Pick", 1);
    EXPECT_FALSE(pick->canStackWith(other));
    EXPECT_EQ(pick->getMaxStack(), 1u);
    EXPECT_FALSE(a->canStackWith(pick));

    const std::map<std::string, bool> special = {{"Stick", false},      {"Hammer", false},
                                                 {"Iron Pick", false},  {"Deadly Pick", true},
                                                 {"Iron Axe", false},   {"Deadly Axe", true}};
    for (const auto& [name, isSpecial] : special) {
        auto tool = Item::create(name, 1);
        ASSERT_NE(dynamic_cast<ToolItem*>(tool.get()), nullptr) << name;
        EXPECT_EQ(tool->isSpecial(), isSpecial) << name;
        EXPECT_EQ(tool->clone()->getName(), name);
        EXPECT_EQ(tool->clone()->count, 0u);
        EXPECT_EQ(tool->toJson(), (nlohmann::json{{"name", name}, {"count", 1}, {"attributes", nlohmann::json::object()}}));
    }
    // A tool name the game does not know mines and hits nothing.
    ToolItem unknown("Spoon");
    EXPECT_EQ(unknown.miningSpeedOn(STONE), 0.0f);
    EXPECT_EQ(unknown.getMaxStack(), 1u);
}

TEST_F(ToolsTest, ToolsHitSpidersByTheirDamageAndNothingElse) {
    const std::map<std::string, float> health = {{"Stick", 15}, {"Hammer", 13}, {"Iron Pick", 10},
                                                 {"Deadly Pick", 0}, {"Iron Axe", 20}, {"Deadly Axe", 20}};
    for (const auto& [name, left] : health) {
        SCOPED_TRACE(name);
        std::unique_ptr<Entity> spider = Entity::create("Spider", {4.5f, 65.6f, 6.5f, 4.5f});
        auto* body = static_cast<SpiderEntity*>(spider.get());
        body->clock = [] { return 50.0; };
        EXPECT_TRUE(hold(name)->useOnEntity(&world, &player, spider, 0));
        EXPECT_EQ(body->health, left);
    }
    std::unique_ptr<Entity> chest = Entity::create("Chest", {4, 65, 6, 4}), fake = makeFake({4, 65, 6, 4});
    for (std::unique_ptr<Entity>* target : {&chest, &fake})
        EXPECT_FALSE(hold("Deadly Pick")->useOnEntity(&world, &player, *target, 0));

    // Through the player: the held Deadly Pick kills the spider in front at the first swing; the
    // loot lands in the same chunk list the spider lived in.
    std::unique_ptr<Entity> spider = Entity::create("Spider", {4.5f, 66.6f, 6.5f, 4.5f});
    static_cast<SpiderEntity&>(*spider).clock = [this] { return now; };
    ASSERT_TRUE(world.addEntity(spider));
    hold("Deadly Pick");
    player.input[Player::InputMining] = true;
    tick();
    EXPECT_EQ(player.lastAttackTime, 100.0);
    EXPECT_TRUE(hand.entities<SpiderEntity>()[0]->dead);
    world.getChunk({0, 0, 0})->updateEntities(&world, &player);
    EXPECT_TRUE(hand.entities<SpiderEntity>().empty());
    EXPECT_FALSE(dropped().empty());
}

}  // namespace

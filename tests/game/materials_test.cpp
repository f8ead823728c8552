#include "game/Compass.h"
#include "game/GameTestSupport.h"
#include "items/CompassMath.h"
#include "items/MaterialItem.h"
#include "items/MaterialMeshes.h"

#include "engine/JsonFile.h"

#include <map>

using namespace gametest;

// The materials on the game's own catalogue: the potion, stacking and the special look, every
// recipe's items, the compass readout and the published position, and the model data.

namespace {

constexpr int LEFT = 0, RIGHT = 1;

class MaterialsTest : public PlayerOnGroundTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(loadCatalogues());
        PlayerOnGroundTest::SetUp();
    }
};

TEST_F(MaterialsTest, AHealthPotionHealsTwentyAndThrowsOutItsBottle) {
    player.forward = glm::normalize(glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
    const struct {
        const char* item;
        int button;
        float health, healthAfter;
        bool drunk;
    } cases[] = {
        {"Health Potion", RIGHT, 95.0f, 100.0f, true},  {"Health Potion", RIGHT, 30.0f, 50.0f, true},
        {"Health Potion", RIGHT, 99.99f, 100.0f, true}, {"Health Potion", RIGHT, 100.0f, 100.0f, false},
        {"Health Potion", LEFT, 50.0f, 50.0f, false},   {"Klein Bottle", RIGHT, 50.0f, 50.0f, false},
        {"Rock", RIGHT, 50.0f, 50.0f, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << " at " << c.health << " with button " << c.button);
        clearEntities();
        std::unique_ptr<Item>& stack = hold(c.item, 3);
        player.health = c.health;
        EXPECT_FALSE(stack->use(&world, &player, c.button));
        EXPECT_FLOAT_EQ(player.health, c.healthAfter);
        EXPECT_EQ(stack->count, c.drunk ? 2u : 3u);
        const std::vector<ItemEntity*> thrown = dropped();
        ASSERT_EQ(thrown.size(), c.drunk ? 1u : 0u);
        if (!c.drunk) continue;
        EXPECT_EQ(thrown[0]->item->getName(), "Klein Bottle");
        EXPECT_EQ(thrown[0]->item->count, 1u);
        EXPECT_EQ(thrown[0]->pos, player.pos + glm::vec4(0.0f, 1.8f, 0.0f, 0.0f)) << "from the head";
        EXPECT_EQ(thrown[0]->velocity, 0.2f * player.forward);
    }

    // Through the player: a right click into the air drinks the last potion, and its slot empties.
    clearEntities();
    player.forward = glm::vec4(0, 1, 0, 0);  // up: no block in reach
    hold("Health Potion", 1);
    player.health = 70.0f;
    player.lastDamageTime = now;  // no regeneration in this tick
    player.input[Player::InputUsing] = true;
    tick();
    EXPECT_FLOAT_EQ(player.health, 90.0f);
    EXPECT_EQ(player.hotbar.getSlot(0), nullptr);
    EXPECT_EQ(dropped().size(), 1u);

    // Without a "Klein Bottle" in the catalogue the potion still heals and is used up, and
    // nothing is thrown.
    clearEntities();
    itemInfo.erase("Klein Bottle");
    std::unique_ptr<Item>& last = hold("Health Potion", 1);
    player.health = 10.0f;
    EXPECT_NO_THROW(last->use(&world, &player, RIGHT));
    EXPECT_FLOAT_EQ(player.health, 30.0f);
    EXPECT_EQ(last->count, 0u);
    EXPECT_TRUE(dropped().empty());
}

TEST_F(MaterialsTest, MaterialsStackByNameAndThreeLookSpecial) {
    const std::map<std::string, bool> special = {
        {"Rock", false},        {"Hypersilk", false}, {"Iron Bars", false},    {"Deadly Bars", true},
        {"Compass", true},      {"4D Glasses", true}, {"Klein Bottle", false}, {"Health Potion", false}};
    for (const auto& [name, isSpecial] : special) {
        SCOPED_TRACE(name);
        auto item = Item::create(name, 1);
        ASSERT_NE(dynamic_cast<MaterialItem*>(item.get()), nullptr);
        EXPECT_EQ(item->isSpecial(), isSpecial);
        EXPECT_EQ(item->getMaxStack(), 100u);
        EXPECT_EQ(item->clone()->getName(), name);
        EXPECT_EQ(item->clone()->count, 0u);
        EXPECT_TRUE(item->canStackWith(Item::create(name, 1)));
    }
    EXPECT_FALSE(Item::create("Compass", 1)->canStackWith(Item::create("Iron Bars", 1)));
    EXPECT_FALSE(Item::create("Rock", 1)->canStackWith(Item::create("Stick", 1))) << "a tool";
    EXPECT_FALSE(Item::create("Rock", 1)->canStackWith(Item::create("Stone", 1))) << "a block";
    auto from = Item::create("Rock", 99), to = Item::create("Rock", 5);
    EXPECT_TRUE(Item::mergeStack(from, to));
    EXPECT_EQ(countOf(to), 100u);
    EXPECT_EQ(countOf(from), 4u);
}

// Every name a recipe hands out or asks for is an item the factory makes: every recipe can be
// crafted in the game.
TEST_F(MaterialsTest, EveryRecipeNamesItemsTheFactoryMakes) {
    nlohmann::json recipes;
    ASSERT_EQ(jsonfile::read("recipes.json", recipes, jsonfile::maxDataFileBytes), jsonfile::ReadStatus::ok);
    ASSERT_TRUE(recipes.is_object());
    ASSERT_GE(recipes.size(), 16u);
    for (const auto& [label, recipe] : recipes.items()) {
        SCOPED_TRACE(label);
        ASSERT_TRUE(recipe.contains("recipe") && recipe["recipe"].is_array() && !recipe["recipe"].empty());
        std::vector<nlohmann::json> records(recipe["recipe"].begin(), recipe["recipe"].end());
        records.push_back(recipe["result"]);
        for (const nlohmann::json& record : records) {
            const std::unique_ptr<Item> item = Item::fromJson(record);
            ASSERT_NE(item, nullptr) << record.dump();
            EXPECT_EQ(item->getName(), record["name"]);
            EXPECT_GE(item->count, 1u) << record.dump();
        }
    }
}

TEST(CompassReadout, ShowsPositionAndFacingRightAlignedWithOneDecimal) {
    using compassmath::lineAt;
    const struct {
        glm::vec4 position, facing;
        const char* positionLine;
        const char* facingLine;
    } cases[] = {
        {{131.5f, 100.0f, -101.5f, 44.5f}, {0, 0, 1, 0}, "Position: X: 131.5, Y: 100.0, Z: -101.5, W: 44.5",
         "Facing Direction: X: 0.0, Z: 1.0, W: 0.0"},
        // Components that round to zero read 0.0 whatever their sign.
        {{-0.04f, 65.0f, -0.0f, 1e-6f}, {-0.70710677f, 0, -0.0f, -0.70710677f},
         "Position: X: 0.0, Y: 65.0, Z: 0.0, W: 0.0", "Facing Direction: X: -0.7, Z: 0.0, W: -0.7"},
        {{-1234.56f, 0.05f, 7.25f, -0.06f}, {0.6f, 0, -0.8f, 0}, "Position: X: -1234.6, Y: 0.1, Z: 7.2, W: -0.1",
         "Facing Direction: X: 0.6, Z: -0.8, W: 0.0"},
    };
    for (const auto& c : cases) {
        const auto pieces = compassmath::readout(c.position, c.facing, {1024, 768});
        EXPECT_EQ(lineAt(pieces, 768 - 52), c.positionLine);
        EXPECT_EQ(lineAt(pieces, 768 - 21), c.facingLine);
    }

    // Both lines end 5 pixels from the right edge; the pieces touch; the colours name the axes.
    const auto pieces = compassmath::readout({1, 2, 3, 4}, {0, 0, 1, 0}, {800, 600});
    ASSERT_EQ(pieces.size(), 14u);
    const glm::vec3 blue(0.2f, 0.2f, 1.0f), green(0, 1, 0), red(1, 0, 0);
    for (size_t i = 0; i < pieces.size(); ++i) {
        const int right = i == 0 || i == 8 ? 795 : pieces[i - 1].pos.x;
        EXPECT_EQ(pieces[i].pos.x + int(pieces[i].text.size()) * 16, right) << pieces[i].text;
    }
    EXPECT_EQ(pieces[0].text, "W: 4.0");
    EXPECT_EQ(pieces[0].colour, green);
    EXPECT_EQ(pieces[2].colour, red);
    EXPECT_EQ(pieces[6].colour, blue);
    EXPECT_EQ(pieces[7].text, "Position: ");
    EXPECT_EQ(pieces[8].pos.y, 600 - 21);
}

TEST(CompassNeedle, TurnsUpOntoTheDirectionAlsoStraightUpAndDown) {
    const glm::vec3 up(0, 1, 0);
    for (const glm::vec3& d : {glm::vec3(0, 0, 1), glm::vec3(-1, 0, 0), glm::normalize(glm::vec3(1, 2, -3)),
                               glm::vec3(0, 1, 0), glm::vec3(0, -1, 0)}) {
        const glm::vec3 turned = compassmath::needleTurn(d) * up;
        EXPECT_NEAR(glm::distance(turned, d), 0.0f, 1e-5f) << d.x << ", " << d.y << ", " << d.z;
    }
}

// The compass reads where the player stands from the first tick on: after loading a record
// without moving, after respawning, after a view key.
TEST_F(MaterialsTest, TheCompassPositionIsPublishedEveryTick) {
    compassPlayerPos = glm::vec4(0.0f);
    Player loaded;
    loaded.clock = player.clock;
    placeAt(loaded, {2.5f, 65.0f, -3.5f, 6.25f});
    player.fromJson(loaded.toJson());
    tick();
    EXPECT_EQ(player.velocity, glm::vec4(0.0f)) << "standing still";
    EXPECT_EQ(compassPlayerPos, glm::vec4(2.5f, 65.0f, -3.5f, 6.25f));
    EXPECT_EQ(compassmath::lineAt(compassmath::readout(compassPlayerPos, compassFacing, {1024, 768}), 716),
              "Position: X: 2.5, Y: 65.0, Z: -3.5, W: 6.2");

    player.reset();
    player.pos.y = 65.0f;  // the spawn column, put on this test's ground
    player.headY = 66.8f;
    tick();
    EXPECT_EQ(compassPlayerPos, player.pos);
}

TEST(MaterialModels, BarsCarryTheirCellNormalsAndTheGlassesFillTheirBoxes) {
    const materialmesh::BarModel bar = materialmesh::buildBarModel();
    for (int t = 0; t < 40; ++t) {
        const int cell = t / 5, axis = cell / 2;
        glm::vec4 normal, lo(1.0f), hi(0.0f);
        for (int k = 0; k < 4; ++k) {
            const uint8_t c = bar.normals[t * 4 + k];
            normal[k] = c == 255 ? -1.0f : float(c);
            lo = glm::min(lo, glm::vec4(bar.positions[t * 4 + k]));
            hi = glm::max(hi, glm::vec4(bar.positions[t * 4 + k]));
        }
        glm::vec4 outward(0.0f);
        outward[axis] = cell % 2 ? 1.0f : -1.0f;
        EXPECT_EQ(normal, outward) << "tetrahedron " << t;
        EXPECT_EQ(lo[axis], hi[axis]) << "flat along its cell's axis";
        EXPECT_EQ(lo[axis], cell % 2 ? 1.0f : 0.0f);
    }

    const auto frame = materialmesh::buildGlassesFrame();
    glm::vec4 lo(1e9f), hi(-1e9f);
    for (const glm::vec4& v : frame) {
        lo = glm::min(lo, v);
        hi = glm::max(hi, v);
    }
    EXPECT_EQ(lo, glm::vec4(-3.5f, 0.0f, 0.0f, -2.0f));
    EXPECT_EQ(hi, glm::vec4(3.5f, 5.0f, 6.0f, 2.0f));
    const materialmesh::GlassesLenses lenses = materialmesh::buildGlassesLenses();
    const glm::vec3 colours[3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    const float lensCentreX[3] = {-1.5f, 1.5f, 0.0f};
    for (int lens = 0; lens < 3; ++lens) {
        glm::vec4 sum(0.0f);
        for (int k = 0; k < 20; ++k) {
            EXPECT_EQ(lenses.colours[lens * 20 + k], colours[lens]);
            EXPECT_EQ(lenses.positions[lens * 20 + k].z, 0.0f) << "in the front plate";
            sum += lenses.positions[lens * 20 + k];
        }
        EXPECT_NEAR(sum.x / 20.0f, lensCentreX[lens], 0.3f) << lens;
    }
}

}  // namespace

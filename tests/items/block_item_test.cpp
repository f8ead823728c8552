#include "game/Player.h"
#include "items/BlockModels.h"
#include "items/TestItems.h"
#include "world/World.h"

#include <set>

namespace {

// A world with one loaded chunk at chunk coordinates (0, 0, 0): x, z, w 0..7, and stone at
// (2, 40, 2, 2).
class BlockPlacingTest : public CatalogueTest {
protected:
    World world;
    Chunk* chunk = new Chunk(glm::i64vec3(0));
    BlockItem stone{3};

    void SetUp() override {
        CatalogueTest::SetUp();
        chunk->loaded = true;
        world.chunks[chunk->coords] = chunk;
        chunk->setBlock(2, 40, 2, 2, 3);
        stone.count = 3;
    }
    void TearDown() override { delete chunk; }
};

TEST_F(BlockPlacingTest, PlacesOnlyIntoLoadedAirInsideTheWorldAndUsesOneItem) {
    EXPECT_TRUE(stone.place(&world, {1, 41, 2, 3}));
    EXPECT_EQ(world.getBlock({1, 41, 2, 3}), 3);
    EXPECT_EQ(stone.count, 2u);
    EXPECT_TRUE(chunk->sectionMeshes[2].dirty);

    for (glm::ivec4 cell :
         {glm::ivec4(1, 128, 1, 1), glm::ivec4(1, -1, 1, 1), glm::ivec4(1, 500, 1, 1),
          glm::ivec4(9, 40, 1, 1), glm::ivec4(-1, 40, 1, 1), glm::ivec4(2, 40, 2, 2)}) {
        EXPECT_FALSE(stone.place(&world, cell)) << cell.x << " " << cell.y;
    }
    EXPECT_FALSE(stone.place(nullptr, {1, 1, 1, 1}));
    EXPECT_EQ(stone.count, 2u);
    EXPECT_EQ(world.getBlock({2, 40, 2, 2}), 3);

    EXPECT_TRUE(stone.place(&world, {1, 0, 2, 3})) << "the bottom layer";
    EXPECT_TRUE(stone.place(&world, {7, 127, 7, 7})) << "the top layer";
    EXPECT_EQ(world.getBlock({7, 127, 7, 7}), 3);
    EXPECT_FALSE(stone.place(&world, {6, 127, 7, 7}));
    EXPECT_EQ(world.getBlock({6, 127, 7, 7}), 0) << "nothing left to place";

    BlockItem air(0);
    air.count = 5;
    EXPECT_FALSE(air.place(&world, {1, 41, 1, 1})) << "air is not a block to place";
}

// A chest block and its storage come together or not at all.
TEST_F(BlockPlacingTest, AChestIsPlacedOnlyWithItsEntity) {
    auto entityCount = [&] { return chunk->entities.size() + chunk->blockEntities.size(); };
    BlockItem chest(9);
    chest.count = 3;

    entityInfo = nlohmann::json::object();  // a catalogue without "Chest"
    EXPECT_FALSE(chest.place(&world, {3, 41, 4, 5}));
    EXPECT_EQ(world.getBlock({3, 41, 4, 5}), 0) << "a chest block without storage";

    ASSERT_TRUE(loadEntityInfo("entityInfo.json"));
    EXPECT_FALSE(chest.place(&world, {20, 40, 1, 1}));
    EXPECT_FALSE(chest.place(&world, {2, 40, 2, 2}));
    EXPECT_EQ(entityCount(), 0u) << "a refused placement makes no chest";
    EXPECT_EQ(chest.count, 3u);

    EXPECT_TRUE(chest.place(&world, {3, 41, 4, 5}));
    EXPECT_EQ(world.getBlock({3, 41, 4, 5}), 9);
    ASSERT_EQ(entityCount(), 1u);
    EXPECT_EQ(chunk->blockEntities.begin()->second->getPos(), glm::vec4(3, 41, 4, 5));
    EXPECT_EQ(chest.count, 2u);
}

TEST_F(BlockPlacingTest, UsePlacesAtThePlayersPlaceCellOnARightClickOnly) {
    Player player;
    player.clock = [] { return 42.5; };
    player.placePos = {4, 41, 4, 4};

    player.hasTargetBlock = true;
    EXPECT_FALSE(stone.use(&world, &player, 1)) << "no place cell";
    player.hasPlacePos = true;
    player.hasTargetBlock = false;
    EXPECT_FALSE(stone.use(&world, &player, 1)) << "no target";
    player.hasTargetBlock = true;
    EXPECT_FALSE(stone.use(&world, &player, 0)) << "the left button never places";
    player.placePos = {4, 128, 4, 4};
    EXPECT_FALSE(stone.use(&world, &player, 1)) << "above the world's top";
    player.placePos = {40, 41, 4, 4};
    EXPECT_FALSE(stone.use(&world, &player, 1)) << "an unloaded chunk";
    EXPECT_EQ(stone.count, 3u) << "nothing is used up when nothing was placed";
    EXPECT_EQ(player.lastUseTime, 0.0);

    player.placePos = {4, 41, 4, 4};
    EXPECT_TRUE(stone.use(&world, &player, 1));
    EXPECT_EQ(world.getBlock({4, 41, 4, 4}), 3);
    EXPECT_EQ(stone.count, 2u);
    EXPECT_EQ(player.lastUseTime, 42.5);
}

TEST(BlockModels, EachCellFillsOneFaceOfTheUnitCubeWithItsFaceTexture) {
    const BlockModel model = buildBlockModel(1);  // top 1, side 3, bottom 9
    const uint8_t expectedU0[8] = {3, 3, 9, 1, 3, 3, 3, 3};
    for (int cell = 0; cell < 8; ++cell) {
        SCOPED_TRACE("cell " + std::to_string(cell));
        const int axis = cell / 2, side = cell % 2;
        std::set<std::array<int, 4>> corners;
        for (int k = 0; k < 20; ++k) {
            const glm::u8vec4 p = model.positions[cell * 20 + k];
            const glm::u8vec3 t = model.texCoords[cell * 20 + k];
            EXPECT_EQ(p[axis], side);
            for (int i = 0; i < 4; ++i) EXPECT_LE(p[i], 1);
            corners.insert({p.x, p.y, p.z, p.w});
            EXPECT_TRUE(t.x == expectedU0[cell] || t.x == expectedU0[cell] + 1);
            EXPECT_LE(t.y, 1);
            EXPECT_TRUE(t.z == 0 || t.z == 15);
        }
        EXPECT_EQ(corners.size(), 8u) << "all eight corners of the face cube";
    }
    // Ids outside the table get the fallback texture.
    EXPECT_EQ(buildBlockModel(14).texCoords[0].x - buildBlockModel(1).texCoords[0].x, 67 - 3);
    EXPECT_EQ(buildBlockModel(200).texCoords[0].x, buildBlockModel(0).texCoords[0].x);
}

}  // namespace

#include "world/FakeEntity.h"
#include "world/HandMadeWorld.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

class WorldAccessTest : public ::testing::Test, protected HandMadeWorld {
protected:
    static std::vector<int> dirtySections(const Chunk* chunk) {
        std::vector<int> dirty;
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s)
            if (chunk->sectionMeshes[s].dirty) dirty.push_back(s);
        return dirty;
    }
};

TEST_F(WorldAccessTest, StartsWithTheDocumentedState) {
    EXPECT_EQ(world.seed, 1234567890u);
    EXPECT_TRUE(world.loadDone);
    EXPECT_FALSE(world.stopLoading);
    EXPECT_TRUE(world.spawnCreatures);
    EXPECT_FALSE(world.saveGenerated);
    EXPECT_EQ(world.difficulty, 1);
    EXPECT_EQ(world.chunksLoaded, 0);
    world.setPath("worlds/Alpha");
    EXPECT_EQ(world.path, std::filesystem::path("worlds/Alpha"));
    EXPECT_EQ(world.chunksPath, std::filesystem::path("worlds/Alpha") / "chunks");
}

TEST_F(WorldAccessTest, ChunkCoordinatesFloorTowardNegativeInfinity) {
    EXPECT_EQ(World::chunkCoords(glm::ivec4(-1, 5, -1, -1)), glm::i64vec3(-1, -1, -1));
    EXPECT_EQ(World::chunkCoords(glm::ivec4(-8, 5, -9, 15)), glm::i64vec3(-1, -2, 1));
    EXPECT_EQ(World::localCell(glm::ivec4(-1, 5, -9, 16)), glm::ivec4(7, 5, 7, 0));
    EXPECT_EQ(World::chunkCoords(glm::vec4(-0.25f, 0.0f, 7.99f, 8.0f)), glm::i64vec3(-1, 0, 1));
}

TEST_F(WorldAccessTest, GetBlockReadsLoadedChunksOnly) {
    Chunk* chunk = add({-1, -1, -1});
    chunk->setBlock(7, 5, 7, 7, 12);
    add({0, 0, 0}, false)->setBlock(0, 5, 0, 0, 3);

    EXPECT_EQ(world.getBlock({-1, 5, -1, -1}), 12);
    EXPECT_EQ(world.getBlock({-2, 5, -1, -1}), 0);
    EXPECT_EQ(world.getBlock({-1, -1, -1, -1}), 0);
    EXPECT_EQ(world.getBlock({-1, 128, -1, -1}), 0);
    EXPECT_EQ(world.getBlock({0, 5, 0, 0}), -1) << "in the map but not loaded";
    EXPECT_EQ(world.getBlock({100, 5, 0, 0}), -1);
    EXPECT_EQ(world.getChunk({0, 0, 0}), nullptr);
    EXPECT_EQ(world.getChunk({-1, -1, -1}), chunk);
}

TEST_F(WorldAccessTest, SetBlockMarksSectionsAcrossSectionAndChunkEdges) {
    Chunk* chunk = add({0, 0, 0});
    Chunk* lowerX = add({-1, 0, 0});
    Chunk* higherZ = add({0, 1, 0});
    Chunk* lowerW = add({0, 0, -1});

    world.setBlock({0, 16, 3, 3}, 4);
    EXPECT_EQ(chunk->getBlock(0, 16, 3, 3), 4);
    EXPECT_FALSE(chunk->unchanged);
    EXPECT_TRUE(chunk->meshDirty);
    EXPECT_EQ(dirtySections(chunk), (std::vector<int>{0, 1}));
    EXPECT_EQ(dirtySections(lowerX), (std::vector<int>{1}));
    EXPECT_TRUE(lowerX->meshDirty);
    EXPECT_TRUE(lowerX->unchanged) << "neighbours only rebuild";
    EXPECT_TRUE(dirtySections(higherZ).empty());

    for (auto& mesh : chunk->sectionMeshes) mesh.dirty = false;
    for (auto& mesh : lowerX->sectionMeshes) mesh.dirty = false;
    world.setBlock({3, 127, 7, 0}, 4);
    EXPECT_EQ(dirtySections(chunk), (std::vector<int>{7}));
    EXPECT_EQ(dirtySections(higherZ), (std::vector<int>{7}));
    EXPECT_EQ(dirtySections(lowerW), (std::vector<int>{7}));
    EXPECT_TRUE(dirtySections(lowerX).empty());

    for (auto& mesh : chunk->sectionMeshes) mesh.dirty = false;
    world.setBlock({4, 31, 4, 4}, 1);
    EXPECT_EQ(dirtySections(chunk), (std::vector<int>{1, 2}));
    // An unloaded neighbour is skipped without harm.
    world.setBlock({7, 50, 4, 4}, 1);
    EXPECT_EQ(dirtySections(chunk), (std::vector<int>{1, 2, 3}));
}

TEST_F(WorldAccessTest, SetBlockIgnoresUnloadedChunksAndHeightsOutsideTheWorld) {
    Chunk* chunk = add({0, 0, 0});
    Chunk* pending = add({1, 0, 0}, false);
    world.setBlock({1, -1, 1, 1}, 3);
    world.setBlock({1, 128, 1, 1}, 3);
    world.setBlock({9, 4, 1, 1}, 3);
    EXPECT_TRUE(chunk->unchanged);
    EXPECT_FALSE(chunk->meshDirty);
    EXPECT_EQ(pending->getBlock(1, 4, 1, 1), 0);
    EXPECT_TRUE(pending->unchanged);
}

TEST_F(WorldAccessTest, AddEntityGoesToTheChunkOfItsPosition) {
    Chunk* chunk = add({-1, 0, 2});
    std::unique_ptr<Entity> entity = makeFake({-0.5f, 80.0f, 3.0f, 16.5f});
    Entity* raw = entity.get();
    EXPECT_TRUE(world.addEntity(entity));
    EXPECT_EQ(entity, nullptr);
    ASSERT_EQ(chunk->entities.size(), 1u);
    EXPECT_EQ(chunk->entities[0].get(), raw);

    std::unique_ptr<Entity> lost = makeFake({40.0f, 80.0f, 0.0f, 0.0f});
    EXPECT_FALSE(world.addEntity(lost));
    EXPECT_NE(lost, nullptr) << "the caller keeps an entity no chunk took";
}

TEST_F(WorldAccessTest, BlockEntitiesAreKeyedByTheirCell) {
    Chunk* chunk = add({-1, 0, 0});
    auto chest = makeFake({-3.0f, 12.0f, 2.0f, 5.0f});
    chest->blockEntity = true;
    Entity* raw = chest.get();
    std::unique_ptr<Entity> owned = std::move(chest);
    ASSERT_TRUE(world.addEntity(owned));
    ASSERT_EQ(chunk->blockEntities.size(), 1u);
    EXPECT_EQ(chunk->blockEntities.begin()->first, glm::u8vec4(5, 12, 2, 5));

    auto* found = world.getBlockEntity({-3, 12, 2, 5});
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->get(), raw);
    EXPECT_EQ(world.getBlockEntity({-3, 13, 2, 5}), nullptr);
    EXPECT_EQ(world.getBlockEntity({-3, 268, 2, 5}), nullptr) << "y must not wrap onto 12";
    EXPECT_EQ(world.getBlockEntity({30, 12, 2, 5}), nullptr);

    // A second entity in the same cell is destroyed; the first stays.
    auto second = makeFake({-3.0f, 12.0f, 2.0f, 5.0f});
    second->blockEntity = true;
    chunk->addEntity(std::move(second));
    ASSERT_EQ(chunk->blockEntities.size(), 1u);
    EXPECT_EQ(chunk->blockEntities.begin()->second.get(), raw);
}

TEST_F(WorldAccessTest, BlockEntityPositionsThatMakeNoKeyAreRejected) {
    Chunk* chunk = add({0, 0, 0});
    for (glm::vec4 pos : {glm::vec4(1, -3, 1, 1), glm::vec4(1, 256.5f, 1, 1),
                          glm::vec4(NAN, 4, 1, 1), glm::vec4(1, 4, INFINITY, 1)}) {
        auto chest = makeFake(pos);
        chest->blockEntity = true;
        chunk->addEntity(std::move(chest));
    }
    EXPECT_TRUE(chunk->blockEntities.empty());
    auto edge = makeFake({1.0f, 255.5f, 1.0f, 1.0f});
    edge->blockEntity = true;
    chunk->addEntity(std::move(edge));
    EXPECT_EQ(chunk->blockEntities.size(), 1u);
}

class PickEntityTest : public WorldAccessTest {
protected:
    FakeEntity* place(const glm::vec4& pos, float radius, bool targetable = true) {
        auto entity = makeFake(pos);
        entity->radius = radius;
        entity->targetable = targetable;
        FakeEntity* raw = entity.get();
        std::unique_ptr<Entity> owned = std::move(entity);
        EXPECT_TRUE(world.addEntity(owned));
        return raw;
    }
    Entity* pick(const glm::vec4& a, const glm::vec4& b) {
        auto* hit = world.pickEntity(a, b);
        return hit ? hit->get() : nullptr;
    }
};

TEST_F(PickEntityTest, SpiderBesideTheRayIsHitWithinItsRadius) {
    for (int x = -1; x <= 1; ++x) add({x, 0, 0});
    glm::vec4 a(1.0f, 60.0f, 4.0f, 4.0f), b(7.0f, 60.0f, 4.0f, 4.0f);
    FakeEntity* near = place({4.0f, 60.5f, 4.0f, 4.0f}, 0.6f);
    EXPECT_EQ(pick(a, b), near);
    near->pos = {4.0f, 60.0f, 4.7f, 4.0f};
    EXPECT_EQ(pick(a, b), nullptr);
}

// A centre right on the segment gives a cosine that rounds just above 1: still a hit.
TEST_F(PickEntityTest, EntityCentredOnASlantedSegmentIsHit) {
    add({0, 0, 0});
    const glm::vec4 a(2.0f, 60.0f, 2.0f, 2.0f), step(1.0f, -1.0f, 2.0f, 1.0f);
    FakeEntity* onRay = place(a + step * 0.5f, 0.3f);
    EXPECT_EQ(pick(a, a + step * 2.0f), onRay);
    EXPECT_EQ(pick(a + step * 2.0f, a), onRay);
}

TEST_F(PickEntityTest, BehindTheNearerEndOnlyTheRadiusCounts) {
    for (int x = -1; x <= 1; ++x) add({x, 0, 0});
    glm::vec4 a(2.0f, 60.0f, 4.0f, 4.0f), b(7.0f, 60.0f, 4.0f, 4.0f);
    FakeEntity* behind = place({1.5f, 60.0f, 4.0f, 4.0f}, 0.45f);
    EXPECT_EQ(pick(a, b), nullptr);
    behind->radius = 0.5f;
    EXPECT_EQ(pick(a, b), behind);
    EXPECT_EQ(pick(b, a), behind) << "either end may be the nearer one";
}

TEST_F(PickEntityTest, ChestsAndUntargetableEntitiesAreNeverPicked) {
    add({0, 0, 0});
    glm::vec4 a(1.0f, 60.0f, 4.0f, 4.0f), b(7.0f, 60.0f, 4.0f, 4.0f);
    place({4.0f, 60.0f, 4.0f, 4.0f}, 1.0f, false);
    auto chest = makeFake({5.0f, 60.0f, 4.0f, 4.0f});
    chest->blockEntity = true;
    chest->targetable = true;
    chest->radius = 1.0f;
    world.chunks[{0, 0, 0}]->addEntity(std::move(chest));
    EXPECT_EQ(pick(a, b), nullptr);
}

TEST_F(PickEntityTest, FirstVisitedChunkWinsOverTheNearerEntity) {
    add({0, 0, 0});
    add({1, 0, 0});
    glm::vec4 eye(9.0f, 60.0f, 4.0f, 4.0f), end(3.0f, 60.0f, 4.0f, 4.0f);
    place({8.5f, 60.0f, 4.0f, 4.0f}, 0.3f);             // near the eye, chunk x 1
    FakeEntity* far = place({4.0f, 60.0f, 4.0f, 4.0f}, 0.3f);  // far, chunk x 0
    EXPECT_EQ(pick(eye, end), far);
}

TEST_F(PickEntityTest, RangeWidensNearChunkEdges) {
    add({0, 0, 0});
    add({1, 0, 0});
    // The segment lies in chunk x 0 but within 3 blocks of chunk x 1, whose entity reaches it.
    FakeEntity* beyond = place({8.2f, 60.0f, 4.0f, 4.0f}, 0.5f);
    EXPECT_EQ(pick({2.0f, 60.0f, 4.0f, 4.0f}, {7.8f, 60.0f, 4.0f, 4.0f}), beyond);
}

class UpdateEntitiesTest : public WorldAccessTest {};

TEST_F(UpdateEntitiesTest, DeadAreErasedMovedAreHandedOnStrandedStay) {
    Chunk* home = add({0, 0, 0});
    Chunk* east = add({1, 0, 0});
    auto dying = makeFake({1.0f, 50.0f, 1.0f, 1.0f});
    dying->onUpdate = [](FakeEntity& e) { e.dead = true; };
    auto walker = makeFake({7.5f, 50.0f, 1.0f, 1.0f});
    walker->onUpdate = [](FakeEntity& e) { e.pos.x = 8.5f; };
    auto stranded = makeFake({1.0f, 50.0f, 7.5f, 1.0f});
    stranded->onUpdate = [](FakeEntity& e) { e.pos.z = 8.5f; };  // chunk z 1 is not loaded
    auto stayer = makeFake({2.0f, 50.0f, 2.0f, 2.0f});
    FakeEntity* walkerRaw = walker.get();
    FakeEntity* strandedRaw = stranded.get();
    FakeEntity* stayerRaw = stayer.get();
    home->addEntity(std::move(dying));
    home->addEntity(std::move(walker));
    home->addEntity(std::move(stranded));
    home->addEntity(std::move(stayer));

    home->updateEntities(&world, nullptr);
    ASSERT_EQ(home->entities.size(), 2u);
    EXPECT_EQ(home->entities[0].get(), strandedRaw);
    EXPECT_EQ(home->entities[1].get(), stayerRaw);
    ASSERT_EQ(east->entities.size(), 1u);
    EXPECT_EQ(east->entities[0].get(), walkerRaw);
    EXPECT_EQ(walkerRaw->updates, 1);
}

TEST_F(UpdateEntitiesTest, BlockEntitiesDieOrMoveToTheirNewCell) {
    Chunk* home = add({0, 0, 0});
    Chunk* west = add({-1, 0, 0});
    auto makeChest = [&](const glm::vec4& pos) {
        auto chest = makeFake(pos);
        chest->blockEntity = true;
        FakeEntity* raw = chest.get();
        home->addEntity(std::move(chest));
        return raw;
    };
    FakeEntity* dying = makeChest({1, 10, 1, 1});
    dying->onUpdate = [](FakeEntity& e) { e.dead = true; };
    FakeEntity* shifting = makeChest({2, 10, 2, 2});
    shifting->onUpdate = [](FakeEntity& e) { e.pos.y = 11.0f; };
    FakeEntity* leaving = makeChest({0, 10, 3, 3});
    leaving->onUpdate = [](FakeEntity& e) { e.pos.x = -1.0f; };
    FakeEntity* stranded = makeChest({4, 10, 4, 0});
    stranded->onUpdate = [](FakeEntity& e) { e.pos.w = -1.0f; };

    home->updateEntities(&world, nullptr);
    EXPECT_EQ(home->blockEntities.size(), 2u);
    EXPECT_EQ(home->blockEntities.at(glm::u8vec4(2, 11, 2, 2)).get(), shifting);
    EXPECT_EQ(home->blockEntities.at(glm::u8vec4(4, 10, 4, 0)).get(), stranded);
    ASSERT_EQ(west->blockEntities.size(), 1u);
    EXPECT_EQ(west->blockEntities.at(glm::u8vec4(7, 10, 3, 3)).get(), leaving);
}

}  // namespace

namespace {

TEST(WorldFrustum, PlanesComeFromTheProjectionRowsNormalised) {
    World world;
    glm::mat4 projection = glm::perspective(glm::radians(90.0f), 2.0f, 0.5f, 100.0f);
    world.updateFrustum(projection);
    for (const glm::vec4& plane : world.frustum)
        EXPECT_NEAR(glm::length(glm::vec3(plane)), 1.0f, 1e-5f);
    auto inside = [&](glm::vec3 p) {
        for (const glm::vec4& plane : world.frustum)
            if (glm::dot(glm::vec3(plane), p) + plane.w < 0.0f) return false;
        return true;
    };
    EXPECT_TRUE(inside({0.0f, 0.0f, -10.0f}));
    EXPECT_TRUE(inside({19.0f, 9.0f, -10.0f}));
    EXPECT_FALSE(inside({0.0f, 0.0f, 10.0f}));    // behind
    EXPECT_FALSE(inside({0.0f, 0.0f, -0.25f}));   // before the near plane
    EXPECT_FALSE(inside({0.0f, 0.0f, -101.0f}));  // beyond the far plane
    EXPECT_FALSE(inside({21.0f, 0.0f, -10.0f}));  // right, aspect 2
    EXPECT_FALSE(inside({-21.0f, 0.0f, -10.0f}));
    EXPECT_FALSE(inside({0.0f, 11.0f, -10.0f}));  // top
    EXPECT_FALSE(inside({0.0f, -11.0f, -10.0f}));
    // Order: near, far, left, right, top, bottom.
    EXPECT_NEAR(world.frustum[0].z, -1.0f, 1e-5f);
    EXPECT_NEAR(world.frustum[1].z, 1.0f, 1e-5f);
    EXPECT_GT(world.frustum[2].x, 0.0f);
    EXPECT_LT(world.frustum[3].x, 0.0f);
    EXPECT_LT(world.frustum[4].y, 0.0f);
    EXPECT_GT(world.frustum[5].y, 0.0f);
}

}  // namespace

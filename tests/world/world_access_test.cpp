#include "support/TempWorkDir.h"
#include "world/FakeEntity.h"
#include "world/HandMadeWorld.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/component_wise.hpp>
#include <gtest/gtest.h>

namespace {

class WorldAccessTest : public ::testing::Test, protected HandMadeWorld {
protected:
    // Sections marked dirty since the last call.
    static std::vector<int> takeDirty(Chunk* chunk) {
        std::vector<int> dirty;
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s)
            if (std::exchange(chunk->sectionMeshes[s].dirty, false)) dirty.push_back(s);
        return dirty;
    }
    FakeEntity* place(std::unique_ptr<FakeEntity> entity) {
        FakeEntity* raw = entity.get();
        std::unique_ptr<Entity> owned = std::move(entity);
        EXPECT_TRUE(world.addEntity(owned));
        return raw;
    }
};

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
    Chunk* pending = add({1, 0, 0}, false);

    world.setBlock({0, 16, 3, 3}, 4);
    EXPECT_EQ(chunk->getBlock(0, 16, 3, 3), 4);
    EXPECT_FALSE(chunk->unchanged);
    EXPECT_TRUE(chunk->meshDirty);
    EXPECT_TRUE(lowerX->meshDirty);
    EXPECT_TRUE(lowerX->unchanged) << "neighbours only rebuild";
    EXPECT_EQ(takeDirty(chunk), (std::vector<int>{0, 1}));
    EXPECT_EQ(takeDirty(lowerX), (std::vector<int>{1}));
    EXPECT_TRUE(takeDirty(higherZ).empty());

    world.setBlock({3, 127, 7, 0}, 4);
    EXPECT_EQ(takeDirty(chunk), (std::vector<int>{7}));
    EXPECT_EQ(takeDirty(higherZ), (std::vector<int>{7}));
    EXPECT_EQ(takeDirty(lowerW), (std::vector<int>{7}));
    EXPECT_TRUE(takeDirty(lowerX).empty());

    world.setBlock({4, 31, 4, 4}, 1);
    EXPECT_EQ(takeDirty(chunk), (std::vector<int>{1, 2}));
    world.setBlock({7, 50, 4, 4}, 1);  // the x+1 neighbour is not loaded: skipped
    EXPECT_EQ(takeDirty(chunk), (std::vector<int>{3}));

    // Unloaded chunks and heights outside the world are left alone.
    world.setBlock({9, 4, 1, 1}, 3);
    EXPECT_EQ(pending->getBlock(1, 4, 1, 1), 0);
    EXPECT_TRUE(pending->unchanged);
    Chunk* fresh = add({0, 0, 1});
    world.setBlock({1, -1, 1, 9}, 3);
    world.setBlock({1, 128, 1, 9}, 3);
    EXPECT_TRUE(fresh->unchanged);
    EXPECT_FALSE(fresh->meshDirty);
}

TEST_F(WorldAccessTest, AddEntityGoesToTheChunkOfItsPosition) {
    Chunk* chunk = add({-1, 0, 2});
    FakeEntity* raw = place(makeFake({-0.5f, 80.0f, 3.0f, 16.5f}));
    ASSERT_EQ(chunk->entities.size(), 1u);
    EXPECT_EQ(chunk->entities[0].get(), raw);

    std::unique_ptr<Entity> lost = makeFake({40.0f, 80.0f, 0.0f, 0.0f});
    EXPECT_FALSE(world.addEntity(lost));
    EXPECT_NE(lost, nullptr) << "the caller keeps an entity no chunk took";
}

// Positions read from a damaged file can be anything. Beyond the 64-bit chunk range (and for
// values that are not numbers) they lie in no chunk that is ever loaded, and converting them is
// no undefined behaviour (the sanitizer build would fail here).
TEST_F(WorldAccessTest, PositionsOutOfRangeLieInNoLoadedChunk) {
    add({0, 0, 0});
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    for (float far : {2.3e19f, -2.3e19f, 1e38f, inf, -inf, nan}) {
        SCOPED_TRACE(far);
        for (const glm::vec4& pos : {glm::vec4(far, 60, 1, 1), glm::vec4(1, 60, far, 1), glm::vec4(1, 60, 1, far)}) {
            const glm::i64vec3 chunk = World::chunkCoords(pos);
            EXPECT_GT(glm::compMax(glm::abs(glm::dvec3(chunk))), 1e15);
            std::unique_ptr<Entity> entity = makeFake(pos);
            EXPECT_FALSE(world.addEntity(entity));
            EXPECT_EQ(world.pickEntity(glm::vec4(1, 60, 1, 1), pos), nullptr);
        }
    }
}

// A chunk saves only what it loaded whole: one whose loading failed part way would overwrite
// the stored chunk with what the failure left.
TEST_F(WorldAccessTest, OnlyChunksThatLoadedWholeAreSaved) {
    testfs::TempWorkDir tmp;
    world.setPath((tmp.path / "world").string());
    struct Case {
        bool loaded, loadFailed, saved;
    };
    const Case cases[] = {{true, false, true}, {false, false, false}, {true, true, false}};
    int64_t x = 0;
    for (const Case& c : cases) {
        Chunk* chunk = add({x++, 0, 0}, c.loaded);
        chunk->loadFailed = c.loadFailed;
        chunk->unchanged = false;
        world.saveChunks({chunk});
        EXPECT_EQ(std::filesystem::exists(chunk->getDirectory(world.chunksPath)), c.saved) << x;
    }
}

TEST_F(WorldAccessTest, BlockEntitiesAreKeyedByTheirCell) {
    Chunk* chunk = add({-1, 0, 0});
    FakeEntity* chest = place(makeBlockEntity({-3.0f, 12.0f, 2.0f, 5.0f}));
    ASSERT_EQ(chunk->blockEntities.size(), 1u);
    EXPECT_EQ(chunk->blockEntities.begin()->first, glm::u8vec4(5, 12, 2, 5));

    auto* found = world.getBlockEntity({-3, 12, 2, 5});
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->get(), chest);
    EXPECT_EQ(world.getBlockEntity({-3, 13, 2, 5}), nullptr);
    EXPECT_EQ(world.getBlockEntity({-3, 268, 2, 5}), nullptr) << "y must not wrap onto 12";
    EXPECT_EQ(world.getBlockEntity({30, 12, 2, 5}), nullptr);

    // A second entity in the same cell is destroyed; the first stays.
    chunk->addEntity(makeBlockEntity({-3.0f, 12.0f, 2.0f, 5.0f}));
    ASSERT_EQ(chunk->blockEntities.size(), 1u);
    EXPECT_EQ(chunk->blockEntities.begin()->second.get(), chest);

    // Positions that make no key in 0..255 are rejected.
    Chunk* other = add({0, 0, 0});
    for (glm::vec4 pos : {glm::vec4(1, -3, 1, 1), glm::vec4(1, 256.5f, 1, 1),
                          glm::vec4(NAN, 4, 1, 1), glm::vec4(1, 4, INFINITY, 1)})
        other->addEntity(makeBlockEntity(pos));
    EXPECT_TRUE(other->blockEntities.empty());
    other->addEntity(makeBlockEntity({1.0f, 255.5f, 1.0f, 1.0f}));
    EXPECT_EQ(other->blockEntities.size(), 1u);
}

// Chunks x -1..1 hold the entities; the segment is tried both ways (either end may be the
// nearer one, and chunks are visited in the same order).
TEST_F(WorldAccessTest, PickEntityFindsTheFirstTargetableEntityOnTheSegment) {
    struct Placed {
        glm::vec4 pos;
        float radius;
        bool targetable = true, blockEntity = false;
    };
    struct Case {
        const char* what;
        std::vector<Placed> entities;
        glm::vec4 a, b;
        int expected;  // index into entities, -1 for none
    };
    const glm::vec4 a1(1, 60, 4, 4), a2(2, 60, 4, 4), b7(7, 60, 4, 4);
    const glm::vec4 s0(2, 60, 2, 2), slant(1, -1, 2, 1);
    const Case cases[] = {
        {"0.5 off the middle, radius 0.6", {{{4, 60.5f, 4, 4}, 0.6f}}, a1, b7, 0},
        {"0.7 off the middle, radius 0.6", {{{4, 60, 4.7f, 4}, 0.6f}}, a1, b7, -1},
        // The cosine rounds just above 1 here: still a hit.
        {"centred on a slanted segment", {{s0 + slant * 0.5f, 0.3f}}, s0, s0 + slant * 2.0f, 0},
        {"0.5 behind the nearer end, radius 0.45", {{{1.5f, 60, 4, 4}, 0.45f}}, a2, b7, -1},
        {"0.5 behind the nearer end, radius 0.5", {{{1.5f, 60, 4, 4}, 0.5f}}, a2, b7, 0},
        {"untargetable, chest", {{{4, 60, 4, 4}, 1, false}, {{5, 60, 4, 4}, 1, true, true}}, a1, b7,
         -1},
        {"first visited chunk wins over the nearer entity",
         {{{8.5f, 60, 4, 4}, 0.3f}, {{4, 60, 4, 4}, 0.3f}}, {9, 60, 4, 4}, {3, 60, 4, 4}, 1},
        // The segment lies in chunk x 0 but within 3 blocks of chunk x 1 (or -1), whose entity
        // reaches it.
        {"range widens at the upper edge", {{{8.2f, 60, 4, 4}, 0.5f}}, a2, {7.8f, 60, 4, 4}, 0},
        {"range widens at the lower edge", {{{-0.2f, 60, 4, 4}, 0.5f}}, {0.2f, 60, 4, 4}, b7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteChunks();
        for (int x = -1; x <= 1; ++x) add({x, 0, 0});
        std::vector<Entity*> placed;
        for (const Placed& p : c.entities) {
            auto entity = p.blockEntity ? makeBlockEntity(p.pos) : makeFake(p.pos);
            entity->radius = p.radius;
            entity->targetable = p.targetable;
            placed.push_back(place(std::move(entity)));
        }
        Entity* expected = c.expected < 0 ? nullptr : placed[size_t(c.expected)];
        for (auto [from, to] : {std::pair(c.a, c.b), std::pair(c.b, c.a)}) {
            auto* hit = world.pickEntity(from, to);
            EXPECT_EQ(hit ? hit->get() : nullptr, expected);
        }
    }
}

TEST_F(WorldAccessTest, UpdateEntitiesErasesTheDeadAndHandsOnTheMoved) {
    Chunk* home = add({0, 0, 0});
    Chunk* east = add({1, 0, 0});
    Chunk* west = add({-1, 0, 0});
    using Change = std::function<void(FakeEntity&)>;
    auto put = [&](std::unique_ptr<FakeEntity> entity, Change change) {
        entity->onUpdate = std::move(change);
        FakeEntity* raw = entity.get();
        home->addEntity(std::move(entity));
        return raw;
    };
    const Change die = [](FakeEntity& e) { e.dead = true; };
    put(makeFake({1, 50, 1, 1}), die);
    FakeEntity* walker = put(makeFake({7.5f, 50, 1, 1}), [](FakeEntity& e) { e.pos.x = 8.5f; });
    // Chunk z 1 is not loaded: the entity stays where it was.
    FakeEntity* stranded = put(makeFake({1, 50, 7.5f, 1}), [](FakeEntity& e) { e.pos.z = 8.5f; });
    FakeEntity* stayer = put(makeFake({2, 50, 2, 2}), nullptr);
    put(makeBlockEntity({1, 10, 1, 1}), die);
    FakeEntity* up = put(makeBlockEntity({2, 10, 2, 2}), [](FakeEntity& e) { e.pos.y = 11; });
    FakeEntity* leaving = put(makeBlockEntity({0, 10, 3, 3}), [](FakeEntity& e) { e.pos.x = -1; });
    FakeEntity* stuck = put(makeBlockEntity({4, 10, 4, 0}), [](FakeEntity& e) { e.pos.w = -1; });
    // Its new cell next door is taken: the chunk there refuses it, and it stays where it was.
    west->addEntity(makeBlockEntity({-1, 10, 5, 5}));
    FakeEntity* refused = put(makeBlockEntity({0, 10, 5, 5}), [](FakeEntity& e) { e.pos.x = -1; });

    home->updateEntities(&world, nullptr);
    ASSERT_EQ(home->entities.size(), 2u);
    EXPECT_EQ(home->entities[0].get(), stranded);
    EXPECT_EQ(home->entities[1].get(), stayer);
    ASSERT_EQ(east->entities.size(), 1u);
    EXPECT_EQ(east->entities[0].get(), walker);
    EXPECT_EQ(walker->updates, 1);

    ASSERT_EQ(home->blockEntities.size(), 3u);
    EXPECT_EQ(home->blockEntities.at(glm::u8vec4(2, 11, 2, 2)).get(), up);
    EXPECT_EQ(home->blockEntities.at(glm::u8vec4(4, 10, 4, 0)).get(), stuck);
    EXPECT_EQ(home->blockEntities.at(glm::u8vec4(0, 10, 5, 5)).get(), refused);
    ASSERT_EQ(west->blockEntities.size(), 2u);
    EXPECT_EQ(west->blockEntities.at(glm::u8vec4(7, 10, 3, 3)).get(), leaving);
}

TEST(WorldFrustum, PlanesComeFromTheProjectionNormalised) {
    World world;
    world.updateFrustum(glm::perspective(glm::radians(90.0f), 2.0f, 0.5f, 100.0f));
    auto inside = [&](glm::vec3 p) {
        for (const glm::vec4& plane : world.frustum)
            if (glm::dot(glm::vec3(plane), p) + plane.w < 0.0f) return false;
        return true;
    };
    for (const glm::vec4& plane : world.frustum)
        EXPECT_NEAR(glm::length(glm::vec3(plane)), 1.0f, 1e-5f);
    EXPECT_TRUE(inside({0.0f, 0.0f, -10.0f}));
    EXPECT_TRUE(inside({19.0f, 9.0f, -10.0f}));
    // Behind, before the near plane, beyond the far plane, right and left (aspect 2), top, bottom.
    for (glm::vec3 p : {glm::vec3(0, 0, 10), glm::vec3(0, 0, -0.25f), glm::vec3(0, 0, -101),
                        glm::vec3(21, 0, -10), glm::vec3(-21, 0, -10), glm::vec3(0, 11, -10),
                        glm::vec3(0, -11, -10)})
        EXPECT_FALSE(inside(p)) << p.x << " " << p.y << " " << p.z;
}

}  // namespace

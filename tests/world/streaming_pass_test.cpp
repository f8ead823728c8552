#include "support/TempWorkDir.h"
#include "world/DiscCells.h"
#include "world/WaitForPass.h"
#include "world/World.h"

#include <gtest/gtest.h>

#include <glm/gtx/string_cast.hpp>

#include <fstream>
#include <future>
#include <map>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Occupies every worker of a world until released, so a pass started meanwhile is held
// before its first chunk.
class WorkerGate {
public:
    explicit WorkerGate(World& world) {
        for (unsigned i = 0; i < world.workers.threadCount(); ++i)
            world.workers.submit([future = opened] { future.wait(); });
    }
    ~WorkerGate() { release(); }
    void release() {
        if (!std::exchange(released, true)) gate.set_value();
    }

private:
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    bool released = false;
};

// Player position (blocks) and the fourth view axis along w: the plane w = const.
const glm::vec4 HERE(4.5f, 70.0f, 4.5f, 12.5f);
const glm::vec4 ALONG_W(0.0f, 0.0f, 0.0f, 1.0f);

class StreamingTest : public ::testing::Test {
protected:
    testfs::TempWorkDir tmp;
    World world;

    static void SetUpTestSuite() { loadEntityInfo("entityInfo.json"); }
    void SetUp() override {
        world.setPath(tmp.path.string());
        ASSERT_EQ(world.chunksPath, tmp.path / "chunks");
        fs::create_directories(world.chunksPath);
    }
    // What an owner does on close: wait for the pass, then free every chunk.
    void TearDown() override {
        world.stopLoading = true;
        ASSERT_TRUE(waitForPass(world));
        world.waitForSaves();
        world.freeChunks();
    }

    bool update(const glm::vec4& pos, int distance) {
        return world.update(pos, ALONG_W, uint8_t(distance));
    }
    std::map<CellKey, Chunk*> snapshot() const {
        std::map<CellKey, Chunk*> chunks;
        for (const auto& [coords, chunk] : world.chunks) chunks[cellKey(coords)] = chunk;
        return chunks;
    }
    std::set<CellKey> keys() const {
        std::set<CellKey> result;
        for (const auto& [coords, chunk] : world.chunks) result.insert(cellKey(coords));
        return result;
    }
    static std::set<CellKey> selection(const glm::vec4& pos, int distance) {
        const glm::vec3 centre = glm::vec3(pos.x, pos.z, pos.w) / 8.0f;
        return requestedCells(selectDisc(centre, float(distance), {0, 0, 1}), true);
    }
    // Between passes: the count matches the loaded chunks, nothing is queued or marked.
    void expectSettled(bool allLoaded) {
        int loaded = 0;
        for (const auto& [coords, chunk] : world.chunks) {
            loaded += chunk->loaded;
            EXPECT_FALSE(chunk->wanted);
            EXPECT_EQ(chunk->hasMesh.load(), chunk->loaded.load()) << "only loaded ones mesh";
        }
        EXPECT_EQ(world.chunksLoaded.load(), loaded);
        EXPECT_TRUE(!allLoaded || loaded == int(world.chunks.size())) << loaded << " loaded";
        EXPECT_TRUE(world.loadQueue.empty());
    }
};

class StreamingAtDistance : public StreamingTest, public ::testing::WithParamInterface<int> {};

TEST_P(StreamingAtDistance, FirstPassLoadsAndMeshesTheDiscAroundThePlayer) {
    ASSERT_TRUE(update(HERE, GetParam()));
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(keys(), selection(HERE, GetParam()));
    for (const auto& [coords, chunk] : world.chunks) EXPECT_EQ(coords.z, 1) << "not the player's w";
    expectSettled(true);

    // Wanting only what is loaded queues nothing: the pass is over at once.
    const auto before = snapshot();
    ASSERT_TRUE(update(HERE, GetParam()));
    EXPECT_TRUE(world.loadDone);
    EXPECT_EQ(snapshot(), before);
}

TEST_P(StreamingAtDistance, SecondUpdateDuringAPassReturnsFalseAndChangesNothing) {
    WorkerGate gate(world);
    ASSERT_TRUE(update(HERE, GetParam()));
    EXPECT_FALSE(world.loadDone);
    const auto before = snapshot();
    EXPECT_FALSE(world.update(HERE + glm::vec4(80, 0, 80, 80), ALONG_W, uint8_t(GetParam() + 1)));
    EXPECT_FALSE(world.loadAround(HERE));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(world.chunksLoaded.load(), 0);
    EXPECT_FALSE(world.stopLoading);

    gate.release();
    ASSERT_TRUE(waitForPass(world));
    expectSettled(true);
}

TEST_P(StreamingAtDistance, StopInPhaseOneLeavesChunksThatALaterPassQueuesAgain) {
    {
        WorkerGate gate(world);
        ASSERT_TRUE(update(HERE, GetParam()));
        world.stopLoading = true;
    }
    ASSERT_TRUE(waitForPass(world));
    const auto stopped = snapshot();
    EXPECT_EQ(keys(), selection(HERE, GetParam()));
    EXPECT_EQ(world.chunksLoaded.load(), 0);
    expectSettled(false);

    ASSERT_TRUE(update(HERE, GetParam()));
    EXPECT_FALSE(world.loadDone) << "the remnants were not queued again";
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(snapshot(), stopped) << "remnants are reused, not made anew";
    expectSettled(true);
}

TEST_P(StreamingAtDistance, StopPartWayCountsAndMeshesOnlyWhatLoaded) {
    ASSERT_TRUE(update(HERE, GetParam()));
    while (world.chunksLoaded == 0 && !world.loadDone) std::this_thread::yield();
    world.stopLoading = true;
    ASSERT_TRUE(waitForPass(world));
    EXPECT_GE(world.chunksLoaded.load(), 1);
    expectSettled(false);

    ASSERT_TRUE(update(HERE, GetParam()));
    ASSERT_TRUE(waitForPass(world));
    expectSettled(true);
}

TEST_P(StreamingAtDistance, DroppedChunksAreSavedAndUnchangedOnesWriteNothing) {
    ASSERT_TRUE(update(HERE, GetParam()));
    ASSERT_TRUE(waitForPass(world));

    // Edit two chunks, then walk 100 chunks away along w: every chunk is dropped.
    const glm::ivec4 edits[2] = {{4, 100, 4, 12}, {-3, 100, 4, 12}};
    std::set<fs::path> edited;
    for (const glm::ivec4& pos : edits) {
        world.setBlock(pos, 9);
        edited.insert(Chunk(World::chunkCoords(pos)).getDirectory(world.chunksPath));
    }
    ASSERT_EQ(edited.size(), 2u);
    const auto dropped = keys();
    {
        WorkerGate gate(world);  // saves left to the workers could not run meanwhile
        ASSERT_TRUE(update(HERE + glm::vec4(0, 0, 0, 800), GetParam()));
        for (const CellKey& k : dropped) EXPECT_EQ(keys().count(k), 0u);

        // Saved right there in update, before the chunks were freed.
        EXPECT_EQ(std::set<fs::path>(fs::directory_iterator(world.chunksPath), {}), edited);
        for (const glm::ivec4& pos : edits) {
            Chunk reloaded(World::chunkCoords(pos));
            ASSERT_TRUE(reloaded.load(world.chunksPath));
            const glm::ivec4 cell = World::localCell(pos);
            EXPECT_EQ(reloaded.getBlock(cell.x, cell.y, cell.z, cell.w), 9);
        }
    }
    ASSERT_TRUE(waitForPass(world));
    expectSettled(true);
}

// Phase 2 builds every new chunk's mesh once. A chunk that was there before is built once more
// when a new neighbour arrives, so that its faces toward the newcomer appear: then every mesh
// is the one its blocks and its neighbours' blocks make.
TEST_P(StreamingAtDistance, NewChunksAreMeshedOnceAndOldNeighboursOnceMore) {
    ASSERT_TRUE(update(HERE, GetParam()));
    ASSERT_TRUE(waitForPass(world));
    for (const auto& [coords, chunk] : world.chunks) EXPECT_EQ(chunk->meshBuilds.load(), 1u);

    const auto before = snapshot();
    ASSERT_TRUE(update(HERE, GetParam() + 1));  // a wider disc around the same place
    ASSERT_TRUE(waitForPass(world));
    const auto after = snapshot();
    for (const auto& [key, chunk] : before) ASSERT_EQ(after.count(key), 1u) << "none dropped";
    ASSERT_GT(after.size(), before.size());
    int rebuilt = 0;
    for (const auto& [key, chunk] : after) {
        bool besideNew = false;
        for (const glm::i64vec3 d : {glm::i64vec3(1, 0, 0), glm::i64vec3(0, 1, 0), glm::i64vec3(0, 0, 1)})
            for (const glm::i64vec3& n : {chunk->coords + d, chunk->coords - d})
                besideNew = besideNew || (after.count(cellKey(n)) && !before.count(cellKey(n)));
        const uint32_t expected = before.count(key) && besideNew ? 2 : 1;
        EXPECT_EQ(chunk->meshBuilds.load(), expected) << glm::to_string(chunk->coords);
        rebuilt += expected == 2;

        chunk->updateMesh(&world);  // as the main thread takes the built meshes over
        const Chunk::Neighbours neighbours = chunk->gatherNeighbours(&world);
        for (int section = 0; section < Chunk::SECTION_COUNT; ++section) {
            Chunk::ChunkMesh current;
            chunk->buildSectionMesh(current, uint8_t(section * Chunk::SECTION_HEIGHT), neighbours);
            ASSERT_TRUE(chunk->sectionMeshes[section].positions == current.positions)
                << "stale mesh in section " << section << " of " << glm::to_string(chunk->coords);
        }
    }
    EXPECT_GT(rebuilt, 0);
    expectSettled(true);
}

INSTANTIATE_TEST_SUITE_P(RenderDistance, StreamingAtDistance, ::testing::Values(1, 2));

using testfs::readFile;

// A chunk stored with an entity on disk, queued by a pass that the slice's turn stops before
// it loads, then dropped by a pass that wants it no more: its files stay as they were, on the
// game's path and on the title screen's.
TEST_F(StreamingTest, DroppedRemnantsOfAStoppedPassKeepTheirStoredFiles) {
    world.spawnCreatures = false;
    const glm::i64vec3 stored = World::chunkCoords(HERE);
    const fs::path list = Chunk::entitiesPath(Chunk(stored).getDirectory(world.chunksPath));
    const std::string item = R"([{"name":"Item","position":{"x":3.5,"y":70.0,"z":4.5,"w":12.5},)"
                             R"("attributes":{"item":{"name":"Rock","count":2}}}])";
    fs::create_directories(list.parent_path());
    std::ofstream(list) << item;

    for (const bool titleScreen : {false, true}) {
        SCOPED_TRACE(titleScreen ? "loadAround" : "update");
        auto pass = [&](const glm::vec4& pos) {
            WorkerGate gate(world);
            const bool started = titleScreen ? world.loadAround(pos) : update(pos, 1);
            world.stopLoading = true;  // the wheel turns before anything loads
            return started;
        };
        ASSERT_TRUE(pass(HERE));
        ASSERT_TRUE(waitForPass(world));
        ASSERT_EQ(world.chunks.count(stored), 1u);
        ASSERT_FALSE(world.chunks.at(stored)->loaded);

        ASSERT_TRUE(pass(HERE + glm::vec4(800, 0, 0, 800)));
        ASSERT_TRUE(waitForPass(world));
        world.waitForSaves();
        EXPECT_EQ(world.chunks.count(stored), 0u);
        EXPECT_EQ(readFile(list), item);
        EXPECT_EQ(std::distance(fs::directory_iterator(list.parent_path()), {}), 1);
        expectSettled(false);
    }
}

// An all-air chunk as the game stores it: no entities, 257 runs of 255 and one of 1.
void writeAirChunk(const fs::path& chunksPath, const glm::i64vec3& coords) {
    const fs::path dir = Chunk(coords).getDirectory(chunksPath);
    fs::create_directories(dir);
    std::ofstream(Chunk::entitiesPath(dir)) << "[]";
    std::ofstream blocks(Chunk::blocksPath(dir), std::ios::binary);
    for (int i = 0; i < 257; ++i) blocks.put(0).put(char(255));
    blocks.put(0).put(1);
}

TEST_F(StreamingTest, LoadAroundSavesDroppedChunksOnTheWorkersAndTheNextPassWaits) {
    world.spawnCreatures = false;
    // All but the slab x = -4 is stored as air, so the passes are quick; that slab is
    // generated, then dropped.
    for (int x = -3; x <= 5; ++x)
        for (int z = -4; z <= 4; ++z)
            for (int w = -4; w <= 4; ++w) writeAirChunk(world.chunksPath, {x, z, w});

    // The centre is truncated toward zero: x -3.0 is chunk 0, not -1.
    const glm::vec4 centre(-3.0f, 64.0f, 1.0f, 7.9f);
    ASSERT_TRUE(world.loadAround(centre));
    ASSERT_TRUE(waitForPass(world));
    ASSERT_EQ(world.chunks.size(), 729u);
    EXPECT_TRUE(world.chunks.count({-4, 0, 0}) && world.chunks.count({4, 0, 0}));
    expectSettled(true);

    const glm::ivec4 edited(-30, 120, 2, 3);  // chunk (-4, 0, 0), high in the air
    world.setBlock(edited, 9);
    {
        WorkerGate gate(world);
        ASSERT_TRUE(world.loadAround({12.0f, 64.0f, 1.0f, 7.9f}));  // one chunk further in x
        EXPECT_EQ(world.pendingSaves.load(), 81) << "one save per dropped chunk";
        EXPECT_EQ(world.chunks.size(), 729u) << "dropped chunks leave the map at once";
    }
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(world.chunksLoaded.load(), 729);

    // Back again: the pass first waits for the saves, then reads the edit from disk.
    ASSERT_TRUE(world.loadAround(centre));
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(world.getBlock(edited), 9);

    // Of the dropped slab only the edited chunk was written.
    world.waitForSaves();
    int slabDirectories = 0;
    for (const auto& entry : fs::directory_iterator(world.chunksPath))
        slabDirectories += entry.path().filename().string().rfind("x-4", 0) == 0;
    EXPECT_EQ(slabDirectories, 1);
    expectSettled(true);
}

}  // namespace

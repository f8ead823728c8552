#include "world/DiscSelection.h"
#include "world/World.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <future>
#include <map>
#include <set>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using Key = std::tuple<int64_t, int64_t, int64_t>;
Key key(const glm::i64vec3& c) { return {c.x, c.y, c.z}; }

// Generous: the same tests run under ThreadSanitizer.
bool waitForPass(World& world) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!world.loadDone && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return world.loadDone;
}

// Occupies every worker of a world until released, so a pass started meanwhile is held
// before its first chunk.
class WorkerGate {
public:
    explicit WorkerGate(World& world) : opened(gate.get_future().share()) {
        for (unsigned i = 0; i < world.workers.threadCount(); ++i)
            world.workers.submit([future = opened] { future.wait(); });
    }
    ~WorkerGate() { release(); }
    void release() {
        if (!released) gate.set_value();
        released = true;
    }

private:
    std::promise<void> gate;
    std::shared_future<void> opened;
    bool released = false;
};

std::map<Key, Chunk*> snapshot(const World& world) {
    std::map<Key, Chunk*> chunks;
    for (const auto& [coords, chunk] : world.chunks) chunks[key(coords)] = chunk;
    return chunks;
}

int loadedCount(const World& world) {
    int count = 0;
    for (const auto& [coords, chunk] : world.chunks) count += chunk->loaded;
    return count;
}

// Player position (blocks) and the fourth view axis along w: the plane w = const.
const glm::vec4 HERE(4.5f, 70.0f, 4.5f, 12.5f);
const glm::vec4 ALONG_W(0.0f, 0.0f, 0.0f, 1.0f);

// An all-air chunk as the game stores it: no entities, 257 runs of 255 and one of 1.
void writeAirChunk(const fs::path& chunksPath, const glm::i64vec3& coords) {
    const fs::path dir = Chunk(coords).getDirectory(chunksPath);
    fs::create_directories(dir);
    std::ofstream(Chunk::entitiesPath(dir)) << "[]";
    std::ofstream blocks(Chunk::blocksPath(dir), std::ios::binary);
    for (int i = 0; i < 257; ++i) blocks.put(0).put(char(255));
    blocks.put(0).put(1);
}

class StreamingTest : public ::testing::Test {
protected:
    fs::path root;
    World world;

    static void SetUpTestSuite() { loadEntityInfo("entityInfo.json"); }

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '-';
        root = fs::temp_directory_path() / ("hm-streaming-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(root);
        world.setPath(root.string());
        fs::create_directories(world.chunksPath);
    }

    // What an owner does on close: wait for the pass, then free every chunk.
    void TearDown() override {
        world.stopLoading = true;
        ASSERT_TRUE(waitForPass(world));
        world.waitForSaves();
        for (auto& [coords, chunk] : world.chunks) delete chunk;
        world.chunks.clear();
        world.chunksLoaded = 0;
        fs::remove_all(root);
    }

    std::set<Key> expectedSelection(const glm::vec4& pos, int renderDistance) const {
        const DiscSelection disc = selectDisc({pos.x / 8, pos.z / 8, pos.w / 8},
                                              float(renderDistance), {0, 0, 1});
        std::set<Key> cells;
        glm::i64vec3 step(0);
        step[disc.stepAxis] = 1;
        for (const DiscCell& c : disc.cells) {
            cells.insert(key(c.cell));
            cells.insert(key(c.cell - step));
            if (!c.lineStart) cells.insert(key(c.cell + step));
        }
        return cells;
    }

    std::set<Key> keys() const {
        std::set<Key> result;
        for (const auto& [coords, chunk] : world.chunks) result.insert(key(coords));
        return result;
    }

    void expectSettled() {
        EXPECT_EQ(world.chunksLoaded.load(), loadedCount(world));
        EXPECT_TRUE(world.loadQueue.empty());
        for (const auto& [coords, chunk] : world.chunks) EXPECT_FALSE(chunk->wanted);
    }
};

class StreamingAtDistance : public StreamingTest, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(StreamingAtDistance, FirstPassLoadsAndMeshesTheDiscAroundThePlayer) {
    const int distance = GetParam();
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    ASSERT_TRUE(waitForPass(world));

    EXPECT_EQ(keys(), expectedSelection(HERE, distance));
    EXPECT_EQ(world.chunksLoaded.load(), int(world.chunks.size()));
    for (const auto& [coords, chunk] : world.chunks) {
        EXPECT_EQ(coords.z, 1) << "outside the player's w layer";
        EXPECT_TRUE(chunk->loaded);
        EXPECT_TRUE(chunk->hasMesh);
    }
    expectSettled();

    // Wanting only what is loaded queues nothing: the pass is over at once.
    const auto before = snapshot(world);
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    EXPECT_TRUE(world.loadDone);
    EXPECT_EQ(snapshot(world), before);
}

TEST_P(StreamingAtDistance, SecondUpdateDuringAPassReturnsFalseAndChangesNothing) {
    const int distance = GetParam();
    WorkerGate gate(world);
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    EXPECT_FALSE(world.loadDone);

    const auto before = snapshot(world);
    const size_t queued = world.chunks.size();
    EXPECT_FALSE(world.update(HERE + glm::vec4(80, 0, 80, 80), ALONG_W, uint8_t(distance + 1)));
    EXPECT_FALSE(world.loadAround(HERE));
    EXPECT_EQ(snapshot(world), before);
    EXPECT_EQ(world.chunksLoaded.load(), 0);
    EXPECT_FALSE(world.stopLoading);

    gate.release();
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(world.chunksLoaded.load(), int(queued));
    expectSettled();
}

TEST_P(StreamingAtDistance, StopInPhaseOneLeavesChunksThatALaterPassQueuesAgain) {
    const int distance = GetParam();
    WorkerGate gate(world);
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    world.stopLoading = true;
    gate.release();
    ASSERT_TRUE(waitForPass(world));

    const auto stopped = snapshot(world);
    EXPECT_EQ(keys(), expectedSelection(HERE, distance));
    EXPECT_EQ(world.chunksLoaded.load(), 0);
    for (const auto& [coords, chunk] : world.chunks) {
        EXPECT_FALSE(chunk->loaded);
        EXPECT_FALSE(chunk->hasMesh);
    }
    expectSettled();

    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    EXPECT_FALSE(world.loadDone) << "the remnants were not queued again";
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(snapshot(world), stopped) << "remnants are reused, not made anew";
    EXPECT_EQ(world.chunksLoaded.load(), int(world.chunks.size()));
    for (const auto& [coords, chunk] : world.chunks) EXPECT_TRUE(chunk->hasMesh);
    expectSettled();
}

TEST_P(StreamingAtDistance, StopPartWayCountsOnlyWhatLoaded) {
    const int distance = GetParam();
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    while (world.chunksLoaded == 0 && !world.loadDone) std::this_thread::yield();
    world.stopLoading = true;
    ASSERT_TRUE(waitForPass(world));

    EXPECT_GE(world.chunksLoaded.load(), 1);
    for (const auto& [coords, chunk] : world.chunks) EXPECT_EQ(chunk->hasMesh.load(), chunk->loaded.load());
    expectSettled();

    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(world.chunksLoaded.load(), int(world.chunks.size()));
    expectSettled();
}

TEST_P(StreamingAtDistance, DroppedChunksAreSavedAndUnchangedOnesWriteNothing) {
    const int distance = GetParam();
    ASSERT_TRUE(world.update(HERE, ALONG_W, uint8_t(distance)));
    ASSERT_TRUE(waitForPass(world));

    // Edit two chunks, then walk 100 chunks away along w: every chunk is dropped.
    const glm::ivec4 first(4, 100, 4, 12), second(-3, 100, 4, 12);
    world.setBlock(first, 9);
    world.setBlock(second, 9);
    ASSERT_NE(World::chunkCoords(first), World::chunkCoords(second));
    const auto dropped = keys();
    ASSERT_TRUE(world.update(HERE + glm::vec4(0, 0, 0, 800), ALONG_W, uint8_t(distance)));
    for (const Key& k : dropped) EXPECT_EQ(keys().count(k), 0u);

    // Saved right there in update, before the chunks were freed.
    std::set<fs::path> written;
    for (const auto& entry : fs::directory_iterator(world.chunksPath)) written.insert(entry.path());
    const std::set<fs::path> edited{Chunk(World::chunkCoords(first)).getDirectory(world.chunksPath),
                                    Chunk(World::chunkCoords(second)).getDirectory(world.chunksPath)};
    EXPECT_EQ(written, edited);
    for (const glm::ivec4& pos : {first, second}) {
        Chunk reloaded(World::chunkCoords(pos));
        ASSERT_TRUE(reloaded.load(world.chunksPath));
        const glm::ivec4 cell = World::localCell(pos);
        EXPECT_EQ(reloaded.getBlock(cell.x, cell.y, cell.z, cell.w), 9);
    }
    ASSERT_TRUE(waitForPass(world));
    EXPECT_EQ(world.chunksLoaded.load(), int(world.chunks.size()));
}

INSTANTIATE_TEST_SUITE_P(RenderDistance, StreamingAtDistance, ::testing::Values(1, 2));

TEST_F(StreamingTest, LoadAroundSavesDroppedChunksOnTheWorkersAndTheNextPassWaits) {
    world.spawnCreatures = false;
    // Everything but the slab x = -4 is stored as air, so the passes are quick; that slab is
    // generated, then dropped.
    for (int x = -3; x <= 5; ++x)
        for (int z = -4; z <= 4; ++z)
            for (int w = -4; w <= 4; ++w) writeAirChunk(world.chunksPath, {x, z, w});

    // The centre is truncated toward zero: x -3.0 is chunk 0, not -1.
    const glm::vec4 centre(-3.0f, 64.0f, 1.0f, 7.9f);
    ASSERT_TRUE(world.loadAround(centre));
    ASSERT_TRUE(waitForPass(world));
    ASSERT_EQ(world.chunks.size(), 729u);
    int64_t lowX = 0, highX = 0;
    for (const auto& [coords, chunk] : world.chunks) {
        lowX = std::min(lowX, coords.x);
        highX = std::max(highX, coords.x);
    }
    EXPECT_EQ(lowX, -4);
    EXPECT_EQ(highX, 4);
    EXPECT_EQ(world.chunksLoaded.load(), 729);
    expectSettled();

    const glm::ivec4 edited(-30, 120, 2, 3);  // chunk (-4, 0, 0), high in the air
    world.setBlock(edited, 9);
    ASSERT_EQ(world.getBlock(edited), 9);
    {
        WorkerGate gate(world);
        ASSERT_TRUE(world.loadAround({12.0f, 64.0f, 1.0f, 7.9f}));  // one chunk further in x
        EXPECT_EQ(world.pendingSaves.load(), 81) << "one save per dropped chunk";
        EXPECT_EQ(world.chunks.size(), 729u) << "dropped chunks leave the map at once";
        gate.release();
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
    expectSettled();
}

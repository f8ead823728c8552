#include "support/TempWorkDir.h"
#include "world/Chunk.h"
#include "world/ChunkRunLength.h"
#include "world/FakeEntity.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <random>

namespace fs = std::filesystem;
using nlohmann::json;
using Bytes = std::vector<uint8_t>;

namespace {

// n copies of a pattern of (id, run) pairs, then the tail.
Bytes pairs(int n, Bytes pattern, Bytes tail = {}) {
    Bytes bytes;
    for (int i = 0; i < n; ++i) bytes.insert(bytes.end(), pattern.begin(), pattern.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

using testfs::readFile;

std::string text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

// The temporary directory is the working directory; "chunks" is not made beforehand, so
// every save has to create it.
class ChunkStorageTest : public ::testing::Test {
protected:
    testfs::TempWorkDir tmp;
    const fs::path chunksPath = fs::path("world") / "chunks";

    fs::path dirOf(const glm::i64vec3& c) const { return Chunk(c).getDirectory(chunksPath); }
    // Files of the chunk at the origin.
    void write(const char* name, const std::string& content) const {
        tmp.write((dirOf({0, 0, 0}) / name).string(), content);
    }
    std::string read(const char* name) const { return readFile(dirOf({0, 0, 0}) / name); }
    void saveChanged(Chunk& chunk, uint8_t fill) const {
        chunk.blocks.fill(fill);
        chunk.unchanged = false;
        chunk.save(chunksPath);
    }
};

TEST(ChunkRunLength, RunsEndAt255AndAtEveryChange) {
    Bytes blocks(600, 4);
    std::fill(blocks.begin() + 255, blocks.begin() + 511, 9);  // 256 nines
    EXPECT_EQ(encodeBlockRuns(blocks.data(), 255), (Bytes{4, 255}));
    EXPECT_EQ(encodeBlockRuns(blocks.data(), blocks.size()), (Bytes{4, 255, 9, 255, 9, 1, 4, 89}));

    Bytes alternating(Chunk::BLOCK_COUNT);
    for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = uint8_t(i % 2 + 1);
    EXPECT_EQ(encodeBlockRuns(alternating.data(), alternating.size()), pairs(32768, {1, 1, 2, 1}));
}

TEST_F(ChunkStorageTest, ModifiedAirChunkIs516BytesInADirectoryNamedWithSigns) {
    EXPECT_EQ(dirOf({-3, 0, 12}).filename(), "x-3z0w12");
    EXPECT_EQ(dirOf({1234567890123, 7, -40}).filename(), "x1234567890123z7w-40");
    Chunk air({-1, -1, -1});
    saveChanged(air, 0);
    const fs::path dir = chunksPath / "x-1z-1w-1";
    EXPECT_EQ(readFile(dir / "blocks.bin"), text(pairs(257, {0, 255}, {0, 1})));
    EXPECT_EQ(readFile(dir / "entities.json"), "[]");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "no temporary file is left";

    Chunk loaded({-1, -1, -1});
    loaded.blocks.fill(5);
    ASSERT_TRUE(loaded.load(chunksPath));
    EXPECT_EQ(std::count(loaded.blocks.begin(), loaded.blocks.end(), 0), Chunk::BLOCK_COUNT);
    EXPECT_TRUE(loaded.unchanged);
}

TEST_F(ChunkStorageTest, RandomChunkRoundTrips) {
    std::mt19937 rng(42);
    Chunk chunk({5, -2, 0});
    // Runs of random length so that long and short runs both occur.
    for (size_t i = 0; i < chunk.blocks.size();) {
        uint8_t id = uint8_t(rng() % 15);
        size_t run = rng() % 4 == 0 ? rng() % 700 : rng() % 3 + 1;
        for (size_t k = 0; k < run && i < chunk.blocks.size(); ++k) chunk.blocks[i++] = id;
    }
    chunk.unchanged = false;
    chunk.save(chunksPath);
    Chunk loaded({5, -2, 0});
    ASSERT_TRUE(loaded.load(chunksPath));
    EXPECT_TRUE(loaded.blocks == chunk.blocks);
}

TEST_F(ChunkStorageTest, ShortOddLongAndZeroRunFilesLoadAsFarAsTheyGo) {
    struct Case {
        const char* what;
        Bytes file;
        std::vector<std::pair<int, int>> expected;  // (index, id); the chunk starts as all 6
    };
    const Case cases[] = {
        {"short, ending in half a pair", {2, 3, 0, 0, 8}, {{0, 2}, {2, 2}, {3, 6}, {65535, 6}}},
        // The 258th pair is cut to one entry, the rest ignored.
        {"over-long", pairs(257, {3, 255}, pairs(43, {9, 255})), {{65534, 3}, {65535, 9}}},
        // More zero runs than one read buffer holds: they write nothing and do not stop reading.
        {"zero runs", pairs(5000, {7, 0}, {4, 2}), {{0, 4}, {1, 4}, {2, 6}}},
    };
    write("entities.json", "[]");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write("blocks.bin", text(c.file));
        Chunk chunk;
        chunk.blocks.fill(6);
        ASSERT_TRUE(chunk.load(chunksPath));
        for (auto [index, id] : c.expected) EXPECT_EQ(chunk.blocks[index], id) << "at " << index;
    }
}

TEST_F(ChunkStorageTest, MissingFilesMakeLoadFail) {
    Chunk chunk;
    EXPECT_FALSE(chunk.load(chunksPath));  // no directory
    fs::create_directories(dirOf({0, 0, 0}));
    EXPECT_FALSE(chunk.load(chunksPath));  // no entities.json
    write("entities.json", "[]");
    EXPECT_FALSE(chunk.load(chunksPath));  // no blocks.bin
}

TEST_F(ChunkStorageTest, EntitiesAreSavedCompactlyPersistentOnesOnly) {
    Chunk chunk;
    auto item = makeFake({1.5f, 70.0f, 2.25f, 3.0f});
    item->name = "Item";
    item->attributes = {{"item", {{"name", "Rock"}, {"count", 2}}}};
    auto spider = makeFake({2.0f, 70.0f, 2.0f, 2.0f});
    spider->persistent = false;
    chunk.addEntity(makeBlockEntity({4.0f, 10.0f, 5.0f, 6.0f}));  // block entities come last
    chunk.addEntity(std::move(item));
    chunk.addEntity(std::move(spider));
    chunk.save(chunksPath);

    EXPECT_FALSE(fs::exists(dirOf({0, 0, 0}) / "blocks.bin"));  // unchanged: regenerated on load
    const std::string list = read("entities.json");
    EXPECT_EQ(list.find_first_of("\n "), std::string::npos) << list;
    EXPECT_EQ(json::parse(list), json::parse(R"([
        {"name": "Item", "position": {"x": 1.5, "y": 70.0, "z": 2.25, "w": 3.0},
         "attributes": {"item": {"name": "Rock", "count": 2}}},
        {"name": "Fake", "position": {"x": 4.0, "y": 10.0, "z": 5.0, "w": 6.0},
         "attributes": {}}])"));
}

// Records the factory cannot build (an unknown kind) are kept and written back as read;
// elements that are not objects are no entity at all. Text after the list is not read. A list
// that cannot be read, or is no list, loads as no entities but is never replaced by an empty
// one: a save with only blocks to write leaves it as it is, and the first save with entities
// keeps it beside the new list as "entities.json.damaged", saying so in one line. A list damaged
// again later is kept under the next free name: no kept copy is ever replaced.
TEST_F(ChunkStorageTest, EntityListsLoadAsFarAsTheyGoAndDamagedOnesAreKept) {
    const json wyrm = {{"name", "Wyrm"}, {"position", {{"x", 1}, {"y", 2}, {"z", 3}, {"w", 4}}},
                       {"attributes", {{"scales", 12}}}};
    struct Case {
        std::string list;
        size_t records;
        bool damaged;
    };
    const Case cases[] = {
        // Entries that are not even objects are kept as well, as they were read.
        {json::array({wyrm, 17, "text", json::array({1, 2})}).dump(), 4, false},
        {R"([{"name": "Wyrm"}] and then } some [ junk)", 1, false},
        {R"({"name": "Item"})", 0, true},
        {R"([{"name": )", 0, true},
        {"", 0, true},
        {"42 garbage", 0, true},
        {std::string("[\x01\xff\xfe", 4), 0, true},
    };
    const fs::path list = dirOf({0, 0, 0}) / "entities.json";
    // The copies kept so far, in order: "entities.json.damaged", then ".damaged.1" and so on.
    std::vector<std::string> keptLists;
    const auto keptName = [](size_t n) {
        return "entities.json.damaged" + (n == 0 ? std::string() : "." + std::to_string(n));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        write("blocks.bin", text({3, 10}));
        write("entities.json", c.list);
        Chunk chunk;
        ASSERT_TRUE(chunk.load(chunksPath));
        EXPECT_TRUE(chunk.entities.empty());
        EXPECT_EQ(chunk.unbuiltEntityRecords.size(), c.records);
        EXPECT_EQ(chunk.storedEntitiesDamaged, c.damaged);
        EXPECT_EQ(chunk.blocks[9], 3);

        chunk.blocks[0] = 4;
        chunk.unchanged = false;
        ::testing::internal::CaptureStdout();
        chunk.save(chunksPath);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(read("blocks.bin").substr(0, 4), text({4, 1, 3, 9}));
        if (!c.damaged) {
            EXPECT_EQ(json::parse(read("entities.json")), json(chunk.unbuiltEntityRecords));
            continue;
        }
        EXPECT_EQ(read("entities.json"), c.list);

        chunk.addEntity(makeFake({1.0f, 40.0f, 1.0f, 3.0f}));
        ::testing::internal::CaptureStdout();
        chunk.save(chunksPath);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_NE(out.find("kept as " + keptName(keptLists.size()) + "\n"), std::string::npos) << out;
        keptLists.push_back(c.list);
        EXPECT_EQ(json::parse(read("entities.json")).size(), 1u);
        // Moved aside once: the next save rewrites the new list and leaves the kept ones.
        chunk.entities.clear();
        chunk.save(chunksPath);
        EXPECT_EQ(read("entities.json"), "[]");
        for (size_t n = 0; n < keptLists.size(); ++n) EXPECT_EQ(read(keptName(n).c_str()), keptLists[n]);
    }

    // A list that cannot be read as a file at all is kept the same way.
    fs::remove(list);
    const fs::path kept = dirOf({0, 0, 0}) / keptName(keptLists.size());
    fs::create_directory(list);
    Chunk chunk;
    ASSERT_TRUE(chunk.load(chunksPath));
    EXPECT_TRUE(chunk.storedEntitiesDamaged);
    chunk.save(chunksPath);
    EXPECT_TRUE(fs::is_directory(list));
    chunk.addEntity(makeFake({1.0f, 40.0f, 1.0f, 3.0f}));
    ::testing::internal::CaptureStdout();
    chunk.save(chunksPath);
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(fs::is_directory(kept));
    EXPECT_EQ(json::parse(read("entities.json")).size(), 1u);
}

// Stored blocks that cannot be opened (here: a directory where the file should be) are not
// the player's to lose: the chunk comes back generated, and until it is edited nothing touches
// the stored entry; the first save of an edit keeps it aside.
TEST_F(ChunkStorageTest, BlocksThatCannotBeOpenedAreKeptAsideByTheFirstEdit) {
    Chunk stored;
    saveChanged(stored, 2);
    const fs::path blocks = dirOf({0, 0, 0}) / "blocks.bin";
    const fs::path kept = dirOf({0, 0, 0}) / "blocks.bin.damaged";
    fs::remove(blocks);
    fs::create_directory(blocks);
    tmp.write((blocks / "what was there").string(), "x");

    Chunk chunk;
    EXPECT_FALSE(chunk.load(chunksPath));
    EXPECT_TRUE(chunk.storedBlocksDamaged);
    chunk.unchanged = true;  // generated, not edited
    chunk.save(chunksPath);
    EXPECT_TRUE(fs::is_directory(blocks));

    chunk.blocks.fill(1);
    chunk.blocks[7] = 3;
    chunk.unchanged = false;
    ::testing::internal::CaptureStdout();
    chunk.save(chunksPath);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("blocks.bin.damaged"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(kept / "what was there"));
    Chunk reloaded;
    ASSERT_TRUE(reloaded.load(chunksPath));
    EXPECT_FALSE(reloaded.storedBlocksDamaged);
    EXPECT_EQ(reloaded.blocks[7], 3);
}

// An entity list far beyond any honest size (a sparse file: no disk is taken) is refused unread
// as damaged, with the handling of one that does not parse: the memory in use grows by less
// than the limit, and the file stays as it is.
TEST_F(ChunkStorageTest, AnEntityListLargerThanItsLimitIsRefusedUnread) {
    write("blocks.bin", text({3, 10}));
    write("entities.json", R"([{"name": "Wyrm"}])");  // a sound start: only its size is wrong
    const fs::path list = dirOf({0, 0, 0}) / "entities.json";
    const std::uintmax_t size = (std::uintmax_t(4) << 30) + 100;  // past 32 bits too
    fs::resize_file(list, size);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    Chunk chunk;
    ASSERT_TRUE(chunk.load(chunksPath));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_TRUE(chunk.storedEntitiesDamaged);
    EXPECT_TRUE(chunk.unbuiltEntityRecords.empty());
    EXPECT_EQ(chunk.blocks[9], 3);
    EXPECT_LT(std::uintmax_t(after.ru_maxrss - before.ru_maxrss) * 1024, Chunk::MAX_ENTITY_LIST_BYTES);
    EXPECT_EQ(fs::file_size(list), size);
}

// An untouched chunk without entities writes nothing. One stored with entities but without
// blocks comes back generated and unchanged; once its last entity is gone, its stored list must
// still be rewritten, or the entity returns on every load.
TEST_F(ChunkStorageTest, UnchangedChunksWriteOnlyWhatTheDiskNeeds) {
    Chunk untouched({3, 4, 5});
    untouched.blocks.fill(1);  // generated blocks do not count as changes
    auto creature = makeFake({25.0f, 70.0f, 33.0f, 41.0f});
    creature->persistent = false;  // a spider that spawned there: never saved
    untouched.addEntity(std::move(creature));
    untouched.save(chunksPath);
    EXPECT_FALSE(fs::exists(dirOf({3, 4, 5})));

    Chunk original;
    original.addEntity(makeFake({1.0f, 40.0f, 1.0f, 3.0f}));
    original.save(chunksPath);
    ASSERT_NE(read("entities.json"), "[]");
    ASSERT_FALSE(fs::exists(dirOf({0, 0, 0}) / "blocks.bin"));

    Chunk reloaded;
    EXPECT_FALSE(reloaded.load(chunksPath));  // no blocks.bin: its blocks are generated
    EXPECT_TRUE(reloaded.unchanged);
    // No kind is known here, so the entity came back as its record; it goes, as a picked-up
    // item leaves the list.
    ASSERT_EQ(reloaded.unbuiltEntityRecords.size(), 1u);
    reloaded.unbuiltEntityRecords.clear();
    reloaded.save(chunksPath);
    EXPECT_EQ(read("entities.json"), "[]");
    Chunk again;
    EXPECT_FALSE(again.load(chunksPath));  // still no blocks.bin: generated again
    EXPECT_TRUE(again.entities.empty() && again.unbuiltEntityRecords.empty());
}

}  // namespace

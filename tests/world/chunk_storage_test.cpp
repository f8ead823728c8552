#include "world/Chunk.h"
#include "world/ChunkRunLength.h"
#include "world/FakeEntity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

class ChunkStorageTest : public ::testing::Test {
protected:
    fs::path chunksPath;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        chunksPath = fs::temp_directory_path() /
                     ("hm-chunk-storage-" + std::to_string(getpid()) + "-" + info->name()) /
                     "chunks";
        fs::remove_all(chunksPath.parent_path());
        fs::create_directories(chunksPath);
    }
    void TearDown() override { fs::remove_all(chunksPath.parent_path()); }

    static std::vector<uint8_t> readBytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void writeBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static void writeText(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    fs::path dirOf(const glm::i64vec3& coords) const { return Chunk(coords).getDirectory(chunksPath); }
};

TEST(ChunkRunLength, RunsEndAt255AndAtEveryChange) {
    std::vector<uint8_t> blocks(600, 4);
    std::fill(blocks.begin() + 255, blocks.begin() + 511, 9);  // 256 nines
    EXPECT_EQ(encodeBlockRuns(blocks.data(), 255), (std::vector<uint8_t>{4, 255}));
    EXPECT_EQ(encodeBlockRuns(blocks.data(), blocks.size()),
              (std::vector<uint8_t>{4, 255, 9, 255, 9, 1, 4, 89}));

    std::vector<uint8_t> alternating(Chunk::BLOCK_COUNT);
    for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = uint8_t(i % 2 + 1);
    std::vector<uint8_t> runs = encodeBlockRuns(alternating.data(), alternating.size());
    ASSERT_EQ(runs.size(), 131072u);
    EXPECT_EQ(runs[0], 1);
    EXPECT_EQ(runs[1], 1);
    EXPECT_EQ(runs[2], 2);
    EXPECT_EQ(runs[131071], 1);
}

TEST(ChunkRunLength, DecodeIsTolerant) {
    std::vector<uint8_t> blocks(10, 7);
    // A zero run writes nothing; the trailing half pair is ignored; entries not reached stay.
    const uint8_t data[] = {1, 2, 5, 0, 2, 3, 9};
    EXPECT_EQ(decodeBlockRuns(data, sizeof data, blocks.data(), blocks.size()), 5u);
    EXPECT_EQ(blocks, (std::vector<uint8_t>{1, 1, 2, 2, 2, 7, 7, 7, 7, 7}));

    // A run past the end is cut there; pieces can be fed one after the other.
    const uint8_t more[] = {3, 200, 4, 4};
    EXPECT_EQ(decodeBlockRuns(more, sizeof more, blocks.data(), blocks.size(), 5), 10u);
    EXPECT_EQ(blocks, (std::vector<uint8_t>{1, 1, 2, 2, 2, 3, 3, 3, 3, 3}));
}

TEST_F(ChunkStorageTest, DirectoryNamesCarrySignsWithoutPadding) {
    EXPECT_EQ(dirOf({-3, 0, 12}).filename(), "x-3z0w12");
    EXPECT_EQ(dirOf({-1, -1, -1}).filename(), "x-1z-1w-1");
    EXPECT_EQ(dirOf({1234567890123, 7, -40}).filename(), "x1234567890123z7w-40");
    EXPECT_EQ(Chunk::blocksPath("d"), fs::path("d") / "blocks.bin");
}

TEST_F(ChunkStorageTest, ModifiedAirChunkIs516BytesAndLoadsBackAsAir) {
    Chunk chunk({-1, -1, -1});
    chunk.unchanged = false;
    chunk.save(chunksPath);

    fs::path dir = chunksPath / "x-1z-1w-1";
    std::vector<uint8_t> bytes = readBytes(dir / "blocks.bin");
    ASSERT_EQ(bytes.size(), 516u);
    for (size_t i = 0; i < 514; i += 2) {
        ASSERT_EQ(bytes[i], 0) << i;
        ASSERT_EQ(bytes[i + 1], 255) << i;
    }
    EXPECT_EQ(bytes[514], 0);
    EXPECT_EQ(bytes[515], 1);
    EXPECT_EQ(readBytes(dir / "entities.json"), (std::vector<uint8_t>{'[', ']'}));
    EXPECT_FALSE(fs::exists(dir / "blocks.bin.tmp"));
    EXPECT_FALSE(fs::exists(dir / "entities.json.tmp"));

    Chunk loaded({-1, -1, -1});
    loaded.blocks.fill(5);
    ASSERT_TRUE(loaded.load(chunksPath));
    EXPECT_TRUE(std::all_of(loaded.blocks.begin(), loaded.blocks.end(), [](uint8_t b) { return b == 0; }));
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
    EXPECT_TRUE(loaded.entities.empty());
}

TEST_F(ChunkStorageTest, ShortOddLongAndZeroRunFilesLoadAsFarAsTheyGo) {
    fs::path dir = dirOf({0, 0, 0});
    writeText(dir / "entities.json", "[]");

    // Short and odd: three entries of 2, then half a pair.
    writeBytes(dir / "blocks.bin", {2, 3, 0, 0, 8});
    Chunk shortChunk({0, 0, 0});
    shortChunk.blocks.fill(6);
    ASSERT_TRUE(shortChunk.load(chunksPath));
    EXPECT_EQ(shortChunk.blocks[0], 2);
    EXPECT_EQ(shortChunk.blocks[2], 2);
    EXPECT_EQ(shortChunk.blocks[3], 6);
    EXPECT_EQ(shortChunk.blocks[65535], 6);

    // Over-long: 300 pairs of 255 fill the array; the rest is ignored.
    std::vector<uint8_t> longFile;
    for (int i = 0; i < 300; ++i) longFile.insert(longFile.end(), {uint8_t(i < 257 ? 3 : 9), 255});
    writeBytes(dir / "blocks.bin", longFile);
    Chunk longChunk({0, 0, 0});
    ASSERT_TRUE(longChunk.load(chunksPath));
    EXPECT_EQ(longChunk.blocks[65534], 3);
    EXPECT_EQ(longChunk.blocks[65535], 9);  // the 258th pair is cut to one entry

    // Thousands of zero runs (more than one read buffer) write nothing and do not stop reading.
    std::vector<uint8_t> zeros;
    for (int i = 0; i < 5000; ++i) zeros.insert(zeros.end(), {7, 0});
    zeros.insert(zeros.end(), {4, 2});
    writeBytes(dir / "blocks.bin", zeros);
    Chunk zeroChunk({0, 0, 0});
    ASSERT_TRUE(zeroChunk.load(chunksPath));
    EXPECT_EQ(zeroChunk.blocks[0], 4);
    EXPECT_EQ(zeroChunk.blocks[1], 4);
    EXPECT_EQ(zeroChunk.blocks[2], 0);
}

TEST_F(ChunkStorageTest, MissingFilesMakeLoadFail) {
    Chunk chunk({1, 1, 1});
    EXPECT_FALSE(chunk.load(chunksPath));  // no directory
    fs::create_directories(dirOf({1, 1, 1}));
    EXPECT_FALSE(chunk.load(chunksPath));  // no entities.json
    writeText(dirOf({1, 1, 1}) / "entities.json", "[]");
    EXPECT_FALSE(chunk.load(chunksPath));  // no blocks.bin
    EXPECT_FALSE(Chunk({2, 2, 2}).load(chunksPath / "missing"));
}

TEST_F(ChunkStorageTest, UntouchedChunkWithoutEntitiesWritesNothing) {
    Chunk chunk({3, 4, 5});
    chunk.blocks.fill(1);  // generated blocks do not count as changes
    chunk.save(chunksPath);
    EXPECT_FALSE(fs::exists(dirOf({3, 4, 5})));
}

TEST_F(ChunkStorageTest, EntitiesAreSavedCompactlyPersistentOnesOnly) {
    Chunk chunk({0, 0, 0});
    auto item = makeFake({1.5f, 70.0f, 2.25f, 3.0f});
    item->name = "Item";
    item->attributes = {{"item", {{"name", "Rock"}, {"count", 2}}}};
    chunk.addEntity(std::move(item));
    auto spider = makeFake({2.0f, 70.0f, 2.0f, 2.0f});
    spider->name = "Spider";
    spider->persistent = false;
    chunk.addEntity(std::move(spider));
    auto chest = makeFake({4.0f, 10.0f, 5.0f, 6.0f});
    chest->name = "Chest";
    chest->blockEntity = true;
    chunk.addEntity(std::move(chest));
    chunk.save(chunksPath);

    fs::path dir = dirOf({0, 0, 0});
    EXPECT_FALSE(fs::exists(dir / "blocks.bin"));  // blocks unchanged: regenerated on load
    std::ifstream in(dir / "entities.json");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find(": "), std::string::npos);
    json list = json::parse(text);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["name"], "Item");
    EXPECT_EQ(list[0]["position"], (json{{"x", 1.5}, {"y", 70.0}, {"z", 2.25}, {"w", 3.0}}));
    EXPECT_EQ(list[0]["attributes"]["item"]["count"], 2);
    EXPECT_EQ(list[1]["name"], "Chest");
}

TEST_F(ChunkStorageTest, UnbuildableRecordsAreKeptAndWrittenBackUnchanged) {
    fs::path dir = dirOf({0, 0, 0});
    json unknown = {{"name", "Wyrm"}, {"position", {{"x", 1}, {"y", 2}, {"z", 3}, {"w", 4}}},
                    {"attributes", {{"scales", 12}}}};
    json list = json::array({unknown, 17, "text", json::array({1, 2})});
    writeText(dir / "entities.json", list.dump());
    writeBytes(dir / "blocks.bin", {3, 10});

    Chunk chunk({0, 0, 0});
    ASSERT_TRUE(chunk.load(chunksPath));
    EXPECT_TRUE(chunk.entities.empty());
    ASSERT_EQ(chunk.unbuiltEntityRecords.size(), 1u);  // non-objects are no entity at all
    chunk.save(chunksPath);

    std::ifstream in(dir / "entities.json");
    EXPECT_EQ(json::parse(in), json::array({unknown}));
    EXPECT_EQ(readBytes(dir / "blocks.bin"), (std::vector<uint8_t>{3, 10}));  // untouched
}

TEST_F(ChunkStorageTest, TextAfterTheEntityListIsNotExamined) {
    fs::path dir = dirOf({0, 0, 0});
    writeBytes(dir / "blocks.bin", {3, 1});
    writeText(dir / "entities.json", "[{\"name\": \"Wyrm\"}] and then } some [ junk");
    Chunk chunk({0, 0, 0});
    ASSERT_TRUE(chunk.load(chunksPath));
    EXPECT_EQ(chunk.unbuiltEntityRecords.size(), 1u);
}

TEST_F(ChunkStorageTest, MalformedEntityListsLoadAsNoEntities) {
    fs::path dir = dirOf({0, 0, 0});
    writeBytes(dir / "blocks.bin", {3, 1});
    for (const std::string text : {"{\"name\": \"Item\"}", "[{\"name\": ", "", "42 garbage"}) {
        writeText(dir / "entities.json", text);
        Chunk chunk({0, 0, 0});
        EXPECT_TRUE(chunk.load(chunksPath)) << text;
        EXPECT_TRUE(chunk.entities.empty()) << text;
        EXPECT_TRUE(chunk.unbuiltEntityRecords.empty()) << text;
        EXPECT_EQ(chunk.blocks[0], 3) << text;
    }
}

// A chunk stored with entities but without blocks comes back generated and unchanged; once its
// last entity is gone, its stored list must be rewritten or the entity returns on every load.
TEST_F(ChunkStorageTest, EmptiedChunkRewritesItsStaleEntityList) {
    Chunk original({2, 0, -1});
    auto item = makeFake({17.0f, 40.0f, 1.0f, -3.0f});
    item->name = "Wyrm";
    original.addEntity(std::move(item));
    original.save(chunksPath);
    fs::path dir = dirOf({2, 0, -1});
    ASSERT_TRUE(fs::exists(dir / "entities.json"));
    ASSERT_FALSE(fs::exists(dir / "blocks.bin"));

    // The reloaded chunk after its item was picked up: generated, unchanged, empty.
    Chunk emptied({2, 0, -1});
    emptied.save(chunksPath);
    std::ifstream in(dir / "entities.json");
    EXPECT_EQ(json::parse(in), json::array());

    Chunk reloaded({2, 0, -1});
    EXPECT_FALSE(reloaded.load(chunksPath));  // still no blocks.bin: generated again
    EXPECT_TRUE(reloaded.entities.empty());
    EXPECT_TRUE(reloaded.unbuiltEntityRecords.empty());
}

TEST_F(ChunkStorageTest, LoadSetsUnchangedFromTheMovingEntities) {
    Chunk chunk({0, 0, 0});
    chunk.unchanged = false;
    auto chest = makeFake({1.0f, 1.0f, 1.0f, 1.0f});
    chest->blockEntity = true;
    chunk.addEntity(std::move(chest));
    chunk.save(chunksPath);

    Chunk loaded({0, 0, 0});
    ASSERT_TRUE(loaded.load(chunksPath));
    EXPECT_TRUE(loaded.unchanged);  // the unbuildable chest record is no moving entity
}

TEST_F(ChunkStorageTest, FailedWriteLeavesTheOldFileAndSaysSo) {
    Chunk chunk({0, 0, 0});
    chunk.unchanged = false;
    chunk.blocks.fill(2);
    chunk.save(chunksPath);
    fs::path dir = dirOf({0, 0, 0});
    std::vector<uint8_t> before = readBytes(dir / "blocks.bin");

    // A directory where the temporary file should go makes the write fail.
    fs::create_directories(dir / "blocks.bin.tmp");
    chunk.blocks.fill(3);
    ::testing::internal::CaptureStdout();
    chunk.save(chunksPath);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(readBytes(dir / "blocks.bin"), before);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("blocks.bin"), std::string::npos) << out;
}

TEST_F(ChunkStorageTest, SaveCreatesMissingChunksDirectory) {
    fs::path deeper = chunksPath.parent_path() / "new" / "chunks";
    Chunk chunk({0, 0, 0});
    chunk.unchanged = false;
    chunk.save(deeper);
    EXPECT_TRUE(fs::is_regular_file(chunk.getDirectory(deeper) / "blocks.bin"));
}

}  // namespace

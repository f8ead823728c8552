// A chunk's two files change together: every state a save can be cut short in loads as the old
// pair or the new one, and what the cut left behind is cleared away.
#include "support/SyncRecorder.h"
#include "support/TempWorkDir.h"
#include "world/Chunk.h"
#include "world/ChunkDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const fs::path chunksPath = fs::path("world") / "chunks";

// A chunk of save number n: its blocks all n, one stored entity record naming n.
void saveGeneration(const glm::i64vec3& coords, uint8_t n) {
    Chunk chunk(coords);
    chunk.blocks.fill(n);
    chunk.unchanged = false;
    chunk.unbuiltEntityRecords.push_back({{"name", "Marker"}, {"generation", n}});
    chunk.save(chunksPath);
}

// Which save a chunk loads as (0: it does not load), failing the test on a mix of two saves.
int loadedGeneration(const glm::i64vec3& coords) {
    Chunk chunk(coords);
    if (!chunk.load(chunksPath)) {
        EXPECT_TRUE(chunk.unbuiltEntityRecords.empty()) << "entities without their blocks";
        return 0;
    }
    const uint8_t n = chunk.blocks[0];
    EXPECT_EQ(std::count(chunk.blocks.begin(), chunk.blocks.end(), n), Chunk::BLOCK_COUNT);
    EXPECT_EQ(chunk.unbuiltEntityRecords.size(), 1u);
    if (!chunk.unbuiltEntityRecords.empty()) {
        EXPECT_EQ(chunk.unbuiltEntityRecords[0]["generation"], n) << "blocks and entities of two saves";
    }
    return n;
}

// The directory of save n of the chunk at the origin, kept aside as a pattern.
fs::path pattern(uint8_t n) { return fs::path("patterns") / std::to_string(n); }

enum Piece { NONE, OLD_PAIR, NEW_PAIR, NEW_ENTITIES_ONLY, OLD_BLOCKS_ONLY };

void place(Piece piece, const fs::path& at) {
    if (piece == NONE) return;
    fs::copy(pattern(piece == NEW_PAIR || piece == NEW_ENTITIES_ONLY ? 2 : 1), at,
             fs::copy_options::recursive);
    if (piece == NEW_ENTITIES_ONLY) fs::remove(at / "blocks.bin");
    if (piece == OLD_BLOCKS_ONLY) fs::remove(at / "entities.json");
}

TEST(ChunkCommit, EveryCutShortSaveLoadsAsOneWholeSaveAndLeavesNothingBehind) {
    testfs::TempWorkDir tmp;
    const glm::i64vec3 origin(0, 0, 0);
    const fs::path dir = Chunk(origin).getDirectory(chunksPath);
    const fs::path staging = chunkdir::stagingPathFor(dir);
    const fs::path retired = chunkdir::retiredPathFor(dir);
    for (uint8_t n : {1, 2}) {
        saveGeneration(origin, n);
        fs::create_directories(pattern(n).parent_path());
        fs::copy(dir, pattern(n), fs::copy_options::recursive);
    }

    // What a save from 1 to 2 (or a first save of 2) leaves at each moment it can be cut.
    struct Cut {
        const char* moment;
        Piece directory, stagingDirectory, retiredDirectory;
        int loads;
    };
    const Cut cuts[] = {
        {"first save, writing the new files", NONE, NEW_ENTITIES_ONLY, NONE, 0},
        {"first save, before its rename", NONE, NEW_PAIR, NONE, 0},
        {"writing the new files", OLD_PAIR, NEW_ENTITIES_ONLY, NONE, 1},
        {"before the old pair steps aside", OLD_PAIR, NEW_PAIR, NONE, 1},
        {"between the two renames", NONE, NEW_PAIR, OLD_PAIR, 2},
        {"before the old pair is removed", NEW_PAIR, NONE, OLD_PAIR, 2},
        {"while the old pair is removed", NEW_PAIR, NONE, OLD_BLOCKS_ONLY, 2},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.moment);
        fs::remove_all(chunksPath);
        fs::create_directories(chunksPath);
        place(cut.directory, dir);
        place(cut.stagingDirectory, staging);
        place(cut.retiredDirectory, retired);

        const testfs::SyncRecorder syncs;
        EXPECT_EQ(loadedGeneration(origin), cut.loads);
        if (cut.directory == NONE && cut.retiredDirectory != NONE) {
            EXPECT_TRUE(syncs.syncedHolding(chunksPath, dir.filename().string())) << "the settled rename is not on the disk";
        }
        EXPECT_FALSE(fs::exists(staging));
        EXPECT_FALSE(fs::exists(retired));
        // The cut is settled for good: the next save and load go on from there.
        saveGeneration(origin, 3);
        EXPECT_EQ(loadedGeneration(origin), 3);
    }

    // A temporary file left by an earlier version of the game is neither read nor kept.
    std::ofstream(dir / "blocks.bin.tmp") << "torn";
    saveGeneration(origin, 4);
    EXPECT_EQ(loadedGeneration(origin), 4);
    EXPECT_FALSE(fs::exists(dir / "blocks.bin.tmp"));
}

// A save that keeps the stored blocks carries them into the new directory with every other
// file, without rewriting them.
TEST(ChunkCommit, UnchangedBlocksAndOtherFilesComeAlongIntoTheNewDirectory) {
    testfs::TempWorkDir tmp;
    const glm::i64vec3 coords(-3, 0, 12);
    saveGeneration(coords, 7);
    const fs::path dir = Chunk(coords).getDirectory(chunksPath);
    std::ofstream(dir / "notes.txt") << "kept";

    Chunk chunk(coords);
    ASSERT_TRUE(chunk.load(chunksPath));
    chunk.unchanged = true;  // blocks as stored: only the entity list is written
    chunk.unbuiltEntityRecords[0]["generation"] = 7;
    chunk.unbuiltEntityRecords.push_back({{"name", "Second"}});
    chunk.save(chunksPath);

    Chunk reloaded(coords);
    ASSERT_TRUE(reloaded.load(chunksPath));
    EXPECT_EQ(std::count(reloaded.blocks.begin(), reloaded.blocks.end(), 7), Chunk::BLOCK_COUNT);
    EXPECT_EQ(reloaded.unbuiltEntityRecords.size(), 2u);
    std::ifstream notes(dir / "notes.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "kept");
}

// Whatever else a chunk's directory holds (a pipe, a link, a folder with files and a pipe of its
// own) neither stops its saves nor gets rewritten by them: every file comes along as the very
// same file, already on the disk, rather than as a fresh copy.
TEST(ChunkCommit, OddEntriesOfTheDirectoryComeAlongAsTheSameFiles) {
    testfs::TempWorkDir tmp;
    const glm::i64vec3 coords(5, 0, -1);
    saveGeneration(coords, 1);
    const fs::path dir = Chunk(coords).getDirectory(chunksPath);
    fs::create_directories(dir / "folder" / "deeper");
    std::ofstream(dir / "folder" / "deeper" / "note.txt") << "kept";
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "folder" / "pipe").c_str(), 0600), 0);
    fs::create_symlink("blocks.bin", dir / "link");
    // Entry -> its file (inode) and kind before the save.
    std::map<std::string, std::pair<ino_t, mode_t>> before;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        struct stat info {};
        ASSERT_EQ(lstat(entry.path().c_str(), &info), 0);
        before[entry.path().lexically_relative(dir).string()] = {info.st_ino, info.st_mode & S_IFMT};
    }

    saveGeneration(coords, 2);
    EXPECT_EQ(loadedGeneration(coords), 2) << "the save did not go through";
    for (const auto& [name, was] : before) {
        SCOPED_TRACE(name);
        struct stat info {};
        ASSERT_EQ(lstat((dir / name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, was.second);
        const bool rewritten = name == "blocks.bin" || name == "entities.json";
        if (was.second != S_IFDIR && !rewritten) {
            EXPECT_EQ(info.st_ino, was.first) << "rewritten";
        }
    }
}

}  // namespace

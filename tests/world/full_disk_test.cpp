// A disk that takes no more data (the process's file size limit stands in for a full disk: every
// write past it fails as a full disk's would): each file the game writes keeps its last good
// version, every failure says so in one line, and once there is room again the saves go through
// as if nothing had happened.
#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"
#include "game/Player.h"
#include "game/PlayersFile.h"
#include "items/Item.h"
#include "screens/SettingsState.h"
#include "screens/WorldFolders.h"
#include "support/SyncRecorder.h"
#include "support/TempWorkDir.h"
#include "world/Chunk.h"
#include "world/ChunkDirectory.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Writes beyond `bytes` into any file fail (EFBIG) while this lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

// Standard output while this lives goes to a pipe (a file, as the test framework's capture
// uses, would be refused by the size limit as well).
class StdoutToPipe {
public:
    StdoutToPipe() {
        std::fflush(stdout);
        if (pipe(fds) != 0) return;
        saved = dup(STDOUT_FILENO);
        dup2(fds[1], STDOUT_FILENO);
    }
    // Ends the capture and returns what was written (at most a pipe's buffer, plenty here).
    std::string finish() {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        close(fds[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(got));
        close(fds[0]);
        return text;
    }

private:
    int fds[2] = {-1, -1};
    int saved = -1;
};

using testfs::readFile;

// Every file and directory under a root with its content, to compare before and after.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        files[fs::relative(entry.path(), root).string()] =
            entry.is_regular_file() ? readFile(entry.path()) : "<directory>";
    return files;
}

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));  // from the repository root
        tmp = std::make_unique<testfs::TempWorkDir>();
        settingsState.settingsPath = "settings.json";
    }
    void TearDown() override {
        tmp.reset();
        settingsState.settingsPath = "settings.json";
    }

    // One round of every save the game makes, each with content that depends on n.
    void saveEverything(int n) {
        chunk.blocks.fill(uint8_t(n));
        for (int i = 0; i < Chunk::BLOCK_COUNT; i += 7) chunk.blocks[i] = uint8_t(i / 7 % 9);
        chunk.unchanged = false;
        chunk.unbuiltEntityRecords = {{{"name", "Marker"}, {"generation", n}}};
        chunk.save(chunksPath);

        Player player;
        player.reset();
        player.pos.x = float(n);
        player.hotbar.slots[0] = Item::create("Stick", unsigned(n));
        const fs::path players = playersfile::pathIn("world");
        playersfile::writeLocalRecord(players, player.toJson());

        settingsState.settings.renderDistance = n;
        settingsState.saveSettings();
    }

    std::unique_ptr<testfs::TempWorkDir> tmp;
    const fs::path chunksPath = fs::path("world") / "chunks";
    Chunk chunk{glm::i64vec3(1, -1, 2)};
};

TEST_F(FullDisk, EveryFileKeepsItsLastGoodVersion) {
    fs::create_directories(chunksPath);
    saveEverything(2);
    {
        // Saved over the last ones, and a new world: each file is on the disk under its
        // temporary name before it takes its name, and its directory after that.
        testfs::SyncRecorder syncs;
        saveEverything(3);
        ASSERT_TRUE(worlds::createWorldFolder("worlds", "Before"));
        for (const auto& [name, content] : snapshot(".")) {
            const fs::path file = name, dir = file.parent_path();
            const bool chunkFile = dir.parent_path() == chunksPath;
            if (content == "<directory>") continue;
            EXPECT_TRUE(syncs.durable(file, chunkFile ? chunkdir::stagingPathFor(dir) / file.filename()
                                                      : temporaryPathFor(file))) << name;
        }
    }
    const auto good = snapshot(".");

    // No room at all, and room for the start of a file only. A new world's two small files
    // fit into the second.
    for (rlim_t room : {rlim_t(0), rlim_t(100)}) {
        SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
        StdoutToPipe capture;
        {
            FileSizeLimit full(room);
            saveEverything(5);
            if (room == 0) {
                EXPECT_FALSE(worlds::createWorldFolder("worlds", "After"));
            }
        }
        const std::string out = capture.finish();
        EXPECT_EQ(snapshot("."), good) << "a file lost its last good version, or a leftover stayed:\n" << out;
        // One line for each write that failed, all alike.
        std::istringstream lines(out);
        int failures = 0;
        for (std::string line; std::getline(lines, line); ++failures)
            EXPECT_EQ(line.rfind("error: unable to write ", 0), 0u) << line;
        EXPECT_EQ(failures, room == 0 ? 4 : 3) << out;
    }

    // With room again, what the failures left behind does not get in the way.
    saveEverything(6);
    Chunk reloaded(chunk.coords);
    ASSERT_TRUE(reloaded.load(chunksPath));
    EXPECT_TRUE(reloaded.blocks == chunk.blocks);
    EXPECT_EQ(reloaded.unbuiltEntityRecords, chunk.unbuiltEntityRecords);
    Player player;
    player.fromJson(playersfile::localRecord(playersfile::read(playersfile::pathIn("world"))));
    EXPECT_EQ(player.pos.x, 6.0f);
    json settings;
    ASSERT_EQ(jsonfile::read("settings.json", settings, maxSettingsBytes), jsonfile::ReadStatus::ok);
    EXPECT_EQ(settings["renderDistance"], 6);
    EXPECT_TRUE(worlds::createWorldFolder("worlds", "After"));
}

}  // namespace

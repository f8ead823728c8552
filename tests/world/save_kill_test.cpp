// A child process saves a changing world and its player over and over, as the game screen does
// when it closes, and is killed with SIGKILL at a random moment. After every kill each chunk and
// "players.json" must load whole, no chunk may hold the blocks of one save and the entities of
// another, and whatever the kill left behind must not get in the way of the next saves.
#include "engine/JsonFile.h"
#include "game/Player.h"
#include "game/PlayerRecordCheck.h"
#include "game/PlayersFile.h"
#include "items/Item.h"
#include "support/TempWorkDir.h"
#include "world/ChunkDirectory.h"
#include "world/World.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <tuple>
#include <thread>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr int TRIALS = 120;
constexpr int STEADY_CHUNKS = 4;
// Save numbers of trial t start at t * GENERATIONS_PER_TRIAL, so every save is told apart.
constexpr uint32_t GENERATIONS_PER_TRIAL = 100000;

// The blocks of save g: its number in the first four bytes, then a pattern that depends on it,
// varied enough to make a file of some kilobytes.
void fillBlocks(Chunk& chunk, uint32_t g) {
    for (int i = 0; i < Chunk::BLOCK_COUNT; ++i) chunk.blocks[i] = uint8_t((i / 97 + g) % 5);
    for (int b = 0; b < 4; ++b) chunk.blocks[b] = uint8_t(g >> (8 * b));
}

uint32_t generationOf(const Chunk& chunk) {
    uint32_t g = 0;
    for (int b = 0; b < 4; ++b) g |= uint32_t(chunk.blocks[b]) << (8 * b);
    return g;
}

// The steady chunks are saved again and again; each trial also makes one chunk that is saved
// for the first time in that trial.
std::vector<glm::i64vec3> chunksOfTrial(int trial) {
    std::vector<glm::i64vec3> coords;
    for (int i = 0; i < STEADY_CHUNKS; ++i) coords.emplace_back(i - 2, 0, -i);
    coords.emplace_back(100 + trial, 1, 1);
    return coords;
}

// The child: saves every chunk of the world on the workers and then the player, like the game
// screen's close, until it is killed.
[[noreturn]] void saveForever(const fs::path& worldPath, int trial) {
    World world;
    world.setPath(worldPath.string());
    std::vector<Chunk*> chunks;
    for (const glm::i64vec3& coords : chunksOfTrial(trial)) {
        chunks.push_back(new Chunk(coords));
        chunks.back()->loaded = true;
    }
    Player player;
    player.reset();
    const fs::path playersPath = playersfile::pathIn(worldPath);
    for (uint32_t g = uint32_t(trial) * GENERATIONS_PER_TRIAL + 1;; ++g) {
        for (Chunk* chunk : chunks) {
            fillBlocks(*chunk, g);
            chunk->unchanged = false;
            chunk->unbuiltEntityRecords = {{{"name", "Marker"}, {"generation", g}}};
        }
        world.saveChunks(chunks);
        player.pos.x = float(g);
        player.currentBlock = glm::ivec4(glm::floor(player.pos));
        player.hotbar.slots[0] = Item::create("Stick", 1 + g % 99);
        playersfile::writeLocalRecord(playersPath, player.toJson());
    }
}

struct TrialResult {
    bool cutMidSave = false;  // the kill left a replacement half done
};

using Committed = std::set<std::tuple<int64_t, int64_t, int64_t>>;

// Loads what the kill of a trial's child left and checks it. `committed` holds the chunks that
// have loaded before: once saved, a chunk must never go missing.
TrialResult checkAfterKill(const fs::path& worldPath, int trial, Committed& committed) {
    TrialResult result;
    const fs::path chunksPath = worldPath / "chunks";
    const uint32_t first = uint32_t(trial) * GENERATIONS_PER_TRIAL + 1;
    for (const glm::i64vec3& coords : chunksOfTrial(trial)) {
        Chunk chunk(coords);
        const fs::path dir = chunk.getDirectory(chunksPath);
        if (fs::exists(chunkdir::stagingPathFor(dir)) || fs::exists(chunkdir::retiredPathFor(dir)))
            result.cutMidSave = true;
        const bool freshThisTrial = coords.x >= 100;
        const auto key = std::make_tuple(coords.x, coords.y, coords.z);
        if (!chunk.load(chunksPath)) {
            // Only a chunk whose first save was cut may be missing, and then wholly.
            EXPECT_FALSE(committed.contains(key) || fs::exists(dir)) << dir;
            EXPECT_TRUE(chunk.unbuiltEntityRecords.empty()) << dir;
            continue;
        }
        committed.insert(key);
        EXPECT_FALSE(fs::exists(chunkdir::stagingPathFor(dir)) || fs::exists(chunkdir::retiredPathFor(dir)));
        const uint32_t g = generationOf(chunk);
        Chunk expected;
        fillBlocks(expected, g);
        EXPECT_TRUE(chunk.blocks == expected.blocks) << dir << ": torn or foreign blocks";
        EXPECT_TRUE(freshThisTrial ? g >= first : g < first + GENERATIONS_PER_TRIAL) << dir;
        EXPECT_EQ(chunk.unbuiltEntityRecords.size(), 1u) << dir;
        if (chunk.unbuiltEntityRecords.size() == 1) {
            EXPECT_EQ(chunk.unbuiltEntityRecords[0]["generation"], g) << dir << ": two saves mixed";
        }
    }

    json file;
    const fs::path playersPath = playersfile::pathIn(worldPath);
    EXPECT_EQ(jsonfile::read(playersPath, file, playersfile::maxBytes), jsonfile::ReadStatus::ok) << "players.json torn";
    EXPECT_EQ(file.value("friend", json()), json("kept")) << "another player's record was lost";
    const json record = playersfile::localRecord(file);
    EXPECT_EQ(playerrecord::problemWith(record), "");
    Player player;
    player.fromJson(record);
    EXPECT_TRUE(player.hotbar.slots[0] != nullptr);
    return result;
}

TEST(SaveKill, AKilledSaveLeavesEveryChunkAndThePlayerWhole) {
    ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));  // from the repository root
    testfs::TempWorkDir tmp;
    const fs::path worldPath = tmp.path / "world";
    fs::create_directories(worldPath / "chunks");
    Player first;
    first.reset();
    first.hotbar.slots[0] = Item::create("Stick", 1);
    ASSERT_TRUE(playersfile::write(playersfile::pathIn(worldPath),
                                   {{"friend", "kept"}, {"", first.toJson()}}));

    std::mt19937 random(20);
    // Long enough to reach into the first save of a trial and the later ones alike.
    std::uniform_int_distribution<int> delayMicros(300, 15000);
    int cutMidSave = 0;
    Committed committed;
    for (int trial = 0; trial < TRIALS; ++trial) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) saveForever(worldPath, trial);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saving child failed";
        SCOPED_TRACE("trial " + std::to_string(trial));
        cutMidSave += checkAfterKill(worldPath, trial, committed).cutMidSave;
        if (HasFatalFailure()) return;
    }
    // The kills must have landed inside saves, or the test proves nothing.
    EXPECT_GE(cutMidSave, TRIALS / 10);
    RecordProperty("killsInsideAChunkReplacement", cutMidSave);
    std::printf("%d of %d kills cut a chunk replacement short\n", cutMidSave, TRIALS);
}

}  // namespace

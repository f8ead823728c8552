// A child process plays a world through the game screen's tick: it walks a stone corridor from
// end to end (so that streaming drops the chunks behind it), places a stone at the far end and
// mines it again, and moves stacks between its inventory and a chest at the near end, by
// shift-click and by carrying them on the cursor. It is killed with SIGKILL at a random moment,
// then the next child plays on the same world from what the kill left. Every other child saves
// only when chunks are dropped; the others also every few ticks of play.
//
// After every kill the world must load: every stored chunk and the player record. The record
// is that of the last save step whose writes ended, never older than the save interval plus one
// step. And unless the kill landed inside a step's own writes, the disk holds one moment of play:
// every item counted across the inventories, the chest, the items lying in the corridor and the
// stone placed at the far end (play moves items around, it never makes or destroys one) comes
// to what the world held when the child started.
#include "engine/InputCallbacks.h"
#include "engine/JsonFile.h"
#include "game/ChestEntity.h"
#include "game/GameState.h"
#include "game/ItemEntity.h"
#include "game/PlayerRecordCheck.h"
#include "game/InventoryScreen.h"
#include "game/PlayersFile.h"
#include "gui/FakeDesktop.h"
#include "items/BlockItem.h"
#include "items/InventoryLayout.h"
#include "screens/WorldGenState.h"
#include "support/GameHarness.h"
#include "support/GlTestContext.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <thread>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

#ifndef PLAY_KILL_TRIALS
#define PLAY_KILL_TRIALS 105
#endif
constexpr int TRIALS = PLAY_KILL_TRIALS;
// Ticks of play between two save steps where a child saves for them: short, so that a trial
// sees several (longer while the disk is slow, see playUntilKilled).
constexpr int SAVE_INTERVAL = 60;
// The corridor: air in x 130..132, y 100..102, w 43..45 from z NEAR_WALL + 1 to FAR_WALL - 1,
// stone all around. The chest stands in the wall beside the near end, in the chunk before the
// one the player stops in: the first pass on the way back drops it. The stone is placed in front
// of the far wall, at eye height.
constexpr int NEAR_WALL = -105, FAR_WALL = -59;
constexpr float NEAR_STAND = -94.5f, FAR_STAND = -63.0f;
const glm::ivec4 chestCell(129, 100, -97, 44);
const glm::ivec4 placeCell(131, 101, FAR_WALL - 1, 44);
constexpr uint8_t STONE = 3;
// The marker of a moment: the player's health, set before every tick, names the tick and the
// trial (modulo MARKED_TRIALS), so that a record left by an earlier child is told apart.
constexpr float MARKER_STEP = 0.001f;
constexpr int MAX_TICKS = 3400;
constexpr int MARKED_TRIALS = 28;
constexpr int MAX_STEPS = 400;

int markedTick(int trial, int tick) { return trial % MARKED_TRIALS * MAX_TICKS + tick; }
float markerOf(int trial, int tick) { return 1.0f + float(markedTick(trial, tick)) * MARKER_STEP; }
// The tick a marker names in this trial, or -1 for one of another trial.
int tickOfMarker(int trial, float marker) {
    const long tick = std::lround((marker - 1.0f) / MARKER_STEP) - markedTick(trial, 0);
    return tick >= 0 && tick < MAX_TICKS ? int(tick) : -1;
}

// What the child tells the parent, in memory both share.
struct Shared {
    std::atomic<int> ready{0};  // the world has loaded: play begins
    std::atomic<int> ticks{0};  // ticks played
    std::atomic<int> begun{0};  // steps that took their copies (their writes begin)
    std::atomic<int> ended{0};  // steps whose writes have ended
    std::atomic<int> longestWrite{0};  // ticks from a step's copies to the end of its writes
    std::atomic<int> dropSteps{0};     // steps that saved dropped chunks
    std::atomic<int> interval{0};      // the longest save interval in ticks
    int takenAt[MAX_STEPS] = {};       // the tick of each step's copies
};

using Totals = std::map<std::string, int64_t>;

void add(Totals& totals, const std::unique_ptr<Item>& item) {
    if (item) totals[item->getName()] += item->count;
}

// The stone corridor and its chest, generated and stored as the game stores edited chunks, and
// the player at its near end with tools, stone and stacks to move around.
void buildWorld(const fs::path& worldPath) {
    World world;
    world.setPath(worldPath.string());
    world.spawnCreatures = false;
    for (int64_t z = NEAR_WALL >> 3; z <= FAR_WALL >> 3; ++z) {
        auto* chunk = new Chunk({16, z, 5});
        world.generateChunk(chunk);
        chunk->loaded = true;
        world.chunks[chunk->coords] = chunk;
    }
    for (int z = NEAR_WALL; z <= FAR_WALL; ++z)
        for (int x = 129; x <= 133; ++x)
            for (int w = 42; w <= 46; ++w)
                for (int y = 99; y <= 103; ++y) {
                    const bool air = x > 129 && x < 133 && w > 42 && w < 46 && y > 99 && y < 103 &&
                                     z > NEAR_WALL && z < FAR_WALL;
                    world.setBlock({x, y, z, w}, air ? 0 : STONE);
                }
    world.setBlock(chestCell, 0);
    ASSERT_TRUE(static_cast<BlockItem&>(*Item::create("Chest", 1)).place(&world, chestCell));
    auto& chest = static_cast<ChestEntity&>(**world.getBlockEntity(chestCell));
    chest.inventory.getSlot(0) = Item::create("Stone", 5);
    chest.inventory.getSlot(3) = Item::create("Stick", 7);
    chest.inventory.getSlot(9) = Item::create("Dirt", 12);
    std::vector<Chunk*> all;
    for (auto& [coords, chunk] : world.chunks) all.push_back(chunk);
    world.saveChunks(all);
    world.freeChunks();

    Player player;
    player.reset();
    player.pos = glm::vec4(131.5f, 100.0f, NEAR_STAND, 44.5f);
    player.currentBlock = glm::ivec4(glm::floor(player.pos));
    player.hotbar.getSlot(0) = Item::create("Hammer", 1);
    player.hotbar.getSlot(1) = Item::create("Stone", 10);
    player.inventory.getSlot(0) = Item::create("Stick", 20);
    player.inventory.getSlot(9) = Item::create("Rock", 15);
    player.inventory.getSlot(17) = Item::create("Dirt", 30);
    ASSERT_TRUE(playersfile::write(playersfile::pathIn(worldPath), {{"", player.toJson()}}));
}

// The child's play, one input decision after each tick.
class Play {
public:
    Play(testgame::GameHarness& game, int trial)
        : game(game), random(uint32_t(trial)), phase(Phase(trial % PHASES)), move(trial) {}

    void afterTick() {
        ++inPhase;
        switch (phase) {
        case WalkFar: walk(GLFW_KEY_W, player.pos.z < FAR_STAND, Place); break;
        case Place: placeStone(); break;
        case Mine: mineStone(); break;
        case PickUp: walk(GLFW_KEY_W, inPhase < 50, WalkNear); break;
        case WalkNear: walk(GLFW_KEY_S, player.pos.z > NEAR_STAND, Chest); break;
        default: useChest(); break;
        }
    }

private:
    enum Phase { WalkFar, Place, Mine, PickUp, WalkNear, Chest, PHASES };

    testgame::GameHarness& game;
    Player& player = gameState.player;
    World& world = gameState.world;
    std::mt19937 random;
    guitest::FakeDesktop desktop;
    Phase phase;
    int inPhase = 0;
    int move;

    void next(Phase p) {
        phase = p;
        inPhase = 0;
    }
    void key(int code, int action) { keyCallback(game.window(), code, 0, action, 0); }
    void button(int which, int action, int mods = 0) {
        mouseButtonCallback(game.window(), which, action, mods);
    }
    // Walks while the chunks ahead are in (never into an unloaded chunk), then lets the player
    // come to rest.
    void walk(int code, bool further, Phase then) {
        const bool go = further && world.loadDone;
        key(code, go ? GLFW_PRESS : GLFW_RELEASE);
        if (!further && std::fabs(player.velocity.z) < 1e-3f) next(then);
    }
    void placeStone() {
        if (inPhase == 1) key(GLFW_KEY_2, GLFW_PRESS);
        if (inPhase == 2 && world.getBlock(placeCell) == 0) button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
        if (inPhase == 4) button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
        if (inPhase == 6) next(Mine);
    }
    void mineStone() {
        if (inPhase == 1) key(GLFW_KEY_1, GLFW_PRESS);
        if (inPhase == 2) button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
        if (inPhase > 2 && (world.getBlock(placeCell) != STONE || inPhase > 300)) {
            button(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
            next(PickUp);
        }
    }
    // Opens the chest and moves one stack: from the inventory into the chest by shift-click,
    // back by shift-click, or carried on the cursor for a few ticks from the chest into the
    // inventory.
    void useChest() {
        std::unique_ptr<Entity>* entity = world.getBlockEntity(chestCell);
        if (!entity) {
            if (inPhase > 200) next(WalkFar);  // its chunk did not come back in time
            return;
        }
        Inventory& chest = static_cast<ChestEntity&>(**entity).inventory;
        if (inPhase == 1) {
            static_cast<ChestEntity&>(**entity).interact(&world, &player, 1);
            inventoryScreenOf(player)->interface.cursorSource = &desktop;
        } else if (inPhase == 2) {
            const int kind = move++ % 3;
            Inventory& from = kind == 0 ? player.inventory : chest;
            if (int slot = pick(from, true); slot >= 0) {
                pointAt(from, slot);
                button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, kind < 2 ? GLFW_MOD_SHIFT : 0);
                button(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, kind < 2 ? GLFW_MOD_SHIFT : 0);
            }
        } else if (inPhase == 6 && player.inventoryGui->cursorItem()) {
            const int slot = pick(player.inventory, false);
            pointAt(slot >= 0 ? player.inventory : chest, slot >= 0 ? slot : pick(chest, false));
            button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
            button(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
        } else if (inPhase == 8) {
            key(GLFW_KEY_E, GLFW_PRESS);
            key(GLFW_KEY_E, GLFW_RELEASE);
        } else if (inPhase == 10) {
            next(WalkFar);
        }
    }
    // A random slot that holds a stack (or is empty), -1 when there is none.
    int pick(Inventory& inventory, bool full) {
        std::vector<int> slots;
        for (int i = 0; i < inventory.size(); ++i)
            if (bool(inventory.getSlot(i)) == full) slots.push_back(i);
        return slots.empty() ? -1 : slots[random() % slots.size()];
    }
    void pointAt(Inventory& inventory, int slot) {
        const int rows = inventory.gridSize.y;
        const glm::ivec2 at = inventory.pos + inventoryLayout::slotOffset(slot / rows, slot % rows) +
                              glm::ivec2(35, 36);
        desktop.cursorX = at.x;
        desktop.cursorY = at.y;
    }
};

// The child: plays until it is killed. It never returns, nor runs the destructors that would
// close the game screen (saving) or remove the world.
[[noreturn]] void playUntilKilled(const fs::path& worldPath, int trial, Shared& shared) {
    // Its own GL context, made after the fork. The display may turn a new client away for a
    // moment while it is still clearing up the one killed before.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (testgl::context(testgame::GameHarness::width, testgame::GameHarness::height)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    testgame::GameHarness game;
    if (!game.ready()) _exit(3);
    std::error_code ec;
    fs::remove_all(game.worldDir, ec);
    game.worldDir = worldPath;

    GameSaver& saver = gameState.saver;
    saver.onCopied = [&shared](const std::vector<std::unique_ptr<Chunk>>& dropped) {
        const int step = shared.begun;
        if (step >= MAX_STEPS) _exit(5);
        shared.takenAt[step] = shared.ticks;
        if (!dropped.empty()) ++shared.dropSteps;
        shared.begun = step + 1;
    };
    saver.onWritten = [&shared] {
        const int step = shared.ended;
        const int took = shared.ticks - shared.takenAt[step];
        if (took > shared.longestWrite) shared.longestWrite = took;
        shared.ended = step + 1;
    };

    game.enterWorld(1.0f);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (game.manager.states.back() == &worldGenState) {
        if (std::chrono::steady_clock::now() > deadline) _exit(4);
        game.tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Player& player = gameState.player;
    player.lastDamageTime = 1e300;  // no regeneration: health carries the marker
    Play play(game, trial);
    shared.ready = 1;
    for (;;) {
        // Every other child saves only for dropped chunks. The others save every interval, twice
        // as long as the slowest writes so far, so that kills land beside steps as well as inside
        // them, however slow the disk.
        saver.intervalTicks = trial % 2 ? MAX_TICKS : std::max(SAVE_INTERVAL, 2 * int(shared.longestWrite));
        if (saver.intervalTicks > shared.interval) shared.interval = saver.intervalTicks;
        const int tick = shared.ticks;
        if (tick < MAX_TICKS) {
            player.health = markerOf(trial, tick);
            game.tick();
            shared.ticks = tick + 1;
            play.afterTick();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// Everything on disk: every stored chunk and the player record must load; the items they hold
// are counted, with the stone placed at the far end.
Totals loadAndCount(const fs::path& worldPath, float& marker) {
    Totals totals;
    json file;
    EXPECT_EQ(jsonfile::read(playersfile::pathIn(worldPath), file, playersfile::maxBytes), jsonfile::ReadStatus::ok);
    const json record = playersfile::localRecord(file);
    EXPECT_EQ(playerrecord::problemWith(record), "");
    Player player;
    player.fromJson(record);
    marker = player.health;
    for (Inventory* inventory : {&player.hotbar, &player.inventory})
        for (const auto& slot : inventory->slots) add(totals, slot);

    const fs::path chunksPath = worldPath / "chunks";
    for (int64_t z = NEAR_WALL >> 3; z <= FAR_WALL >> 3; ++z) {
        Chunk chunk({16, z, 5});
        EXPECT_TRUE(chunk.load(chunksPath)) << z;
        EXPECT_FALSE(chunk.storedEntitiesDamaged || chunk.storedBlocksDamaged) << z;
        EXPECT_TRUE(chunk.unbuiltEntityRecords.empty()) << z;
        for (const auto& entity : chunk.entities)
            if (auto* item = dynamic_cast<ItemEntity*>(entity.get())) add(totals, item->item);
        for (const auto& [cell, entity] : chunk.blockEntities)
            if (auto* chest = dynamic_cast<ChestEntity*>(entity.get()))
                for (const auto& slot : chest->inventory.slots) add(totals, slot);
        if (World::chunkCoords(placeCell) == chunk.coords) {
            const glm::ivec4 local = World::localCell(placeCell);
            if (chunk.getBlock(local.x, local.y, local.z, local.w) == STONE) ++totals["Stone"];
        }
    }
    // Only the corridor holds anything, and nothing half written is left once all has loaded.
    for (const auto& entry : fs::directory_iterator(chunksPath)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.starts_with("x16z") && name.ends_with("w5")) << name;
    }
    return totals;
}

TEST(PlayKill, AKillLosesAtMostTheLastStepAndNeverSplitsAMomentOfPlay) {
    ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));  // from the repository root
    ASSERT_TRUE(loadEntityInfo("entityInfo.json"));
    std::string pattern = (fs::temp_directory_path() / "hollowmere-kill-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path worldPath = pattern;
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    } cleanup{worldPath};
    ASSERT_NO_FATAL_FAILURE(buildWorld(worldPath));
    float marker = 0.0f;
    Totals start = loadAndCount(worldPath, marker);
    ASSERT_EQ(start["Stone"], 15);

    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    std::mt19937 random(25);
    // A kill comes after a random number of ticks of play, so that a slow machine (or a sanitizer
    // build) plays as far as a fast one, and then at a random moment of the tick or two after.
    std::uniform_int_distribution<int> killTick(30, 1000);
    std::uniform_int_distribution<int> thenMicros(0, 2000);
    int insideWrites = 0, steps = 0, dropSteps = 0, longestWrite = 0;
    for (int trial = 0; trial < TRIALS; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        Shared& shared = *new (memory) Shared;
        std::fflush(stdout);  // or the child's first line would print it again
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) playUntilKilled(worldPath, trial, shared);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!shared.ready && waitpid(child, &status, WNOHANG) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const bool played = shared.ready;
        const int lastTick = killTick(random);
        while (played && shared.ticks < lastTick && waitpid(child, &status, WNOHANG) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        std::this_thread::sleep_for(std::chrono::microseconds(thenMicros(random)));
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        ASSERT_TRUE(played && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the playing child failed: " << status;

        const int killedAt = shared.ticks, begun = shared.begun, ended = shared.ended;
        const bool inside = begun > ended;
        insideWrites += inside;
        steps += begun;
        dropSteps += shared.dropSteps;
        longestWrite = std::max(longestWrite, int(shared.longestWrite));
        const float before = marker;
        const Totals totals = loadAndCount(worldPath, marker);

        // The record is that of the last step whose writes ended (or, while one writes, of that
        // one), or still the one this child started from.
        const bool startRecord = marker == before;
        const int tick = startRecord ? 0 : tickOfMarker(trial, marker);
        const int lastEnded = ended > 0 ? shared.takenAt[ended - 1] : -1;
        const int writing = inside ? shared.takenAt[begun - 1] : -1;
        if (startRecord)
            EXPECT_EQ(ended, 0) << "a step was written, but the record is older";
        else
            EXPECT_TRUE(tick == lastEnded || tick == writing)
                << "the record is of tick " << tick << ", the last step written of " << lastEnded;
        // Never older than the interval and one step. (A step whose writes outlast the interval
        // delays the next one, so with this short an interval that counts as well.)
        const int stepTicks = std::max(int(shared.longestWrite), inside ? killedAt - writing : 0);
        EXPECT_LE(killedAt - tick, std::max(int(shared.interval), stepTicks) + stepTicks + 2)
            << "killed at tick " << killedAt << "; steps begun " << begun << ", ended " << ended;
        if (!inside) {
            EXPECT_EQ(totals, start) << "items were made or lost by a kill outside a step's writes";
        }
        start = totals;  // a kill inside writes may leave two moments; play goes on from there
        if (HasFailure()) break;
    }
    munmap(memory, sizeof(Shared));

    std::printf("%d of %d kills landed inside a save step's writes (%.0f%%); %d steps, %d of them "
                "for dropped chunks; the longest step wrote for %d ticks\n",
                insideWrites, TRIALS, 100.0 * insideWrites / TRIALS, steps, dropSteps, longestWrite);
    RecordProperty("killsInsideAStepsWrites", insideWrites);
    // Enough kills beside the writes, and steps for dropped chunks, or the test proves little.
    EXPECT_GE(TRIALS - insideWrites, TRIALS / 4);
    EXPECT_GE(dropSteps, TRIALS / 4);
}

}  // namespace

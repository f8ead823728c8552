#include "game/GameSaver.h"

#include "game/ItemEntity.h"
#include "game/Player.h"
#include "game/PlayersFile.h"
#include "world/World.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <limits>
#include <thread>

namespace {

// The player's record as the screen's close would store it: a stack carried on the inventory
// screen's cursor or waiting to be thrown goes back into (copies of) the inventories, or it
// would be missing from the disk wherever it came from. What does not fit goes to `onGround`
// as the record of a dropped item at the player's feet, as the close throws it into the world.
nlohmann::json recordOf(Player& player, std::vector<nlohmann::json>& onGround) {
    nlohmann::json record = player.toJson();
    const auto carried = player.carriedStacks();
    if (!*carried[0] && !*carried[1]) return record;
    Inventory hotbar(player.hotbar.gridSize);
    Inventory inventory(player.inventory.gridSize);
    hotbar.fromJson(record["hotbar"]);
    inventory.fromJson(record["inventory"]);
    PlayerInventoryManager both(&hotbar, &inventory);
    for (const std::unique_ptr<Item>* stack : carried) {
        if (!*stack) continue;
        std::unique_ptr<Item> copy = (*stack)->clone();
        copy->count = (*stack)->count;
        both.addItem(copy);
        if (copy)
            onGround.push_back(ItemEntity::make(std::move(copy), player.pos, glm::vec4(0.0f))->toJson());
    }
    record["hotbar"] = hotbar.toJson();
    record["inventory"] = inventory.toJson();
    return record;
}

}  // namespace

// One step's copies and what became of their writes; shared with the workers that write them.
struct GameSaver::Step {
    std::filesystem::path chunksPath;
    std::filesystem::path playersPath;
    std::vector<Chunk::SaveCopy> chunks;
    // The chunk each copy is from while it stays in the world; null for a dropped one.
    std::vector<Chunk*> sources;
    // One per copy, set by its writer (bytes, not bits: each has a writer of its own).
    std::vector<char> chunkWritten;
    nlohmann::json record;
    bool recordWritten = false;

    std::function<void()> onWritten;
    std::atomic<int> writesLeft{0};
    std::atomic<bool> written{false};

    // The last write to end (also by throwing) ends the step.
    void endWrite() {
        if (writesLeft.fetch_sub(1) != 1) return;
        if (onWritten) onWritten();
        written = true;
    }
};

GameSaver::GameSaver() = default;

GameSaver::~GameSaver() { finish(); }

void GameSaver::start() {
    finish();
    ticksSinceStep = 0;
    writtenRecord = nullptr;
}

void GameSaver::endOfTick(World& world, Player& player, std::vector<std::unique_ptr<Chunk>>& dropped) {
    if (ticksSinceStep < std::numeric_limits<int>::max()) ++ticksSinceStep;
    if (ticksSinceStep < intervalTicks && dropped.empty()) return;
    if (writing()) {
        if (dropped.empty()) return;
        // The game starts no pass while a step writes; should a drop come all the same, its
        // chunks are saved after the running step rather than lost.
        finish();
    }
    takeStep(world, player, dropped);
    ticksSinceStep = 0;
}

void GameSaver::takeStep(World& world, Player& player, std::vector<std::unique_ptr<Chunk>>& dropped) {
    auto step = std::make_shared<Step>();
    std::vector<nlohmann::json> onGround;
    step->record = recordOf(player, onGround);
    // Only a chunk that stays loaded takes the carried stack: its stored list is written again
    // once the stack is put away, where a dropped one would keep it there beside the player's.
    const glm::i64vec3 playersChunk = World::chunkCoords(player.pos);
    const auto take = [&](Chunk& chunk, Chunk* source) {
        if (!chunk.maySave()) return;
        const bool holdsCarried = source && chunk.coords == playersChunk;
        Chunk::SaveCopy copy = holdsCarried ? chunk.saveCopy(onGround) : chunk.saveCopy();
        if (!chunk.changedSinceSave(copy)) return;
        step->chunks.push_back(std::move(copy));
        step->sources.push_back(source);
    };
    for (auto& [coords, chunk] : world.chunks) take(*chunk, chunk);
    for (const std::unique_ptr<Chunk>& chunk : dropped) take(*chunk, nullptr);
    const bool writesRecord = step->record != writtenRecord;
    const bool writesSomething = writesRecord || !step->chunks.empty();

    if (writesSomething && onCopied) onCopied(dropped);
    // Destroyed here, where their entities were made; their copies are all that is left.
    dropped.clear();
    if (!writesSomething) return;

    step->chunksPath = world.chunksPath;
    step->playersPath = playersfile::pathIn(world.path);
    step->chunkWritten.assign(step->chunks.size(), 0);
    step->onWritten = onWritten;
    step->writesLeft = int(step->chunks.size()) + (writesRecord ? 1 : 0);
    running = step;
    const auto submit = [&world, &step](std::function<void(Step&)> write) {
        world.saveOnWorkers([step, write = std::move(write)] {
            struct End {
                Step& step;
                ~End() { step.endWrite(); }
            } end{*step};
            write(*step);
        });
    };
    // Each chunk has a directory of its own, and most of a write is waiting for the disk: side
    // by side the waits overlap.
    for (size_t i = 0; i < step->chunks.size(); ++i)
        submit([i](Step& s) { s.chunkWritten[i] = Chunk::writeSaveCopy(s.chunksPath, s.chunks[i]); });
    if (!writesRecord) return;
    submit([](Step& s) { s.recordWritten = playersfile::writeLocalRecord(s.playersPath, s.record); });
}

bool GameSaver::writing() {
    if (!running) return false;
    if (!running->written) return true;
    finishStep();
    return false;
}

void GameSaver::finish() {
    while (running && !running->written) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (running) finishStep();
}

void GameSaver::finishStep() {
    // No pass has run since the copies were taken, so every source is still in the world.
    Step& step = *running;
    for (size_t i = 0; i < step.chunks.size(); ++i)
        if (step.chunkWritten[i] && step.sources[i]) step.sources[i]->markSaved(step.chunks[i]);
    if (step.recordWritten) writtenRecord = std::move(step.record);
    running.reset();
}

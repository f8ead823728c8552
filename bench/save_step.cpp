// The save steps of play, on the real game screen (a new world entered through the loading
// screen, the player on the ground, creatures off as in the game harness).
//
//   BM_FramesWithSaveSteps/R:4   frame windows (one tick, then the frame drawn and finished)
//                                 alternating in blocks between none and a save step in every
//                                 window (each window changes a block in 5 chunks; a step whose
//                                 writes are still running makes the next one wait, as in play).
//                                 Counters: median_ms and p95_ms of each kind, their ratios
//                                 (steps / none) and steps_per_window actually taken.
//   BM_SaveStep/R:<4 or 8>       one step with 50 changed chunks: copy_ms, the main thread's share
//                                 (the copies of one tick), and the benchmark's time, the whole
//                                 step until everything is written.
//
// Run it under a virtual X server: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_save_step
#include "game/GameState.h"
#include "frame_stats.h"
#include "support/GameHarness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using testgame::GameHarness;
using Clock = std::chrono::steady_clock;

constexpr int BLOCKS = 8;
constexpr int WINDOWS_PER_BLOCK = 25;
constexpr int CHUNKS_PER_WINDOW = 5;
constexpr int CHUNKS_PER_STEP = 50;

// A new world entered at the benchmark's render distance, the player standing; false (the
// benchmark skipped with the reason) when that cannot be had.
bool enterNewWorld(GameHarness& game, benchmark::State& state) {
    if (!game.ready()) {
        state.SkipWithError("no GL context at the game's size (run under xvfb-run)");
        return false;
    }
    game.enterWorld(float(state.range(0)));
    if (game.finishLoadingAndSettle(300.0)) return true;
    state.SkipWithError("the world did not load");
    return false;
}

// Loaded chunks to change, and a change that differs every time: the top block of each flips
// between air and stone.
class Changes {
public:
    explicit Changes(World& world) : world(world) {
        for (auto& [coords, chunk] : world.chunks)
            if (chunk->loaded)
                cells.emplace_back(coords.x * 8, Chunk::HEIGHT - 1, coords.y * 8, coords.z * 8);
    }
    size_t size() const { return cells.size(); }
    void change(size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const glm::ivec4& cell = cells[next++ % cells.size()];
            world.setBlock(cell, world.getBlock(cell) == 0 ? 3 : 0);
        }
    }

private:
    World& world;
    std::vector<glm::ivec4> cells;
    size_t next = 0;
};

void waitForWrites(GameSaver& saver) {
    while (saver.writing()) std::this_thread::sleep_for(std::chrono::microseconds(100));
}

void BM_FramesWithSaveSteps(benchmark::State& state) {
    GameHarness game;
    if (!enterNewWorld(game, state)) return;
    gameState.timeOfDay = 0.5f;
    gameState.player.lastDamageTime = 1e300;
    GameSaver& saver = gameState.saver;
    Changes changes(gameState.world);
    int steps = 0;
    saver.onCopied = [&steps](const std::vector<std::unique_ptr<Chunk>>&) { ++steps; };

    std::vector<double> none, withSteps;
    for (auto _ : state) {
        for (int block = 0; block < BLOCKS; ++block) {
            const bool saving = block % 2 == 1;
            saver.intervalTicks = saving ? 1 : 1 << 30;
            waitForWrites(saver);
            for (int i = 0; i < WINDOWS_PER_BLOCK; ++i) {
                if (saving) changes.change(CHUNKS_PER_WINDOW);
                const auto start = Clock::now();
                game.tick();
                game.frame();  // render and glFinish
                (saving ? withSteps : none).push_back(secondsSince(start));
            }
        }
    }
    waitForWrites(saver);
    saver.onCopied = nullptr;
    saver.intervalTicks = GameSaver::defaultIntervalTicks;

    const double noneMedian = percentile(none, 0.5), noneP95 = percentile(none, 0.95);
    const double stepsMedian = percentile(withSteps, 0.5), stepsP95 = percentile(withSteps, 0.95);
    state.counters["none_median_ms"] = noneMedian * 1e3;
    state.counters["none_p95_ms"] = noneP95 * 1e3;
    state.counters["steps_median_ms"] = stepsMedian * 1e3;
    state.counters["steps_p95_ms"] = stepsP95 * 1e3;
    state.counters["median_ratio"] = stepsMedian / noneMedian;
    state.counters["p95_ratio"] = stepsP95 / noneP95;
    state.counters["steps_per_window"] = double(steps) / double(withSteps.size());
}

BENCHMARK(BM_FramesWithSaveSteps)->Arg(4)->ArgName("R")->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SaveStep(benchmark::State& state) {
    GameHarness game;
    if (!enterNewWorld(game, state)) return;
    World& world = gameState.world;
    Player& player = gameState.player;
    GameSaver& saver = gameState.saver;
    Changes changes(world);
    if (changes.size() < CHUNKS_PER_STEP) {
        state.SkipWithError("fewer loaded chunks than a step should save");
        return;
    }
    std::vector<std::unique_ptr<Chunk>> noneDropped;
    saver.intervalTicks = 1;
    waitForWrites(saver);

    std::vector<double> copies;
    for (auto _ : state) {
        changes.change(CHUNKS_PER_STEP);
        const auto start = Clock::now();
        saver.endOfTick(world, player, noneDropped);
        copies.push_back(secondsSince(start));
        waitForWrites(saver);
        state.SetIterationTime(secondsSince(start));
    }
    saver.intervalTicks = GameSaver::defaultIntervalTicks;
    state.counters["copy_ms"] = percentile(copies, 0.5) * 1e3;
    state.counters["loaded"] = double(world.chunks.size());
}

BENCHMARK(BM_SaveStep)
    ->Arg(4)
    ->Arg(8)
    ->ArgName("R")
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The first streaming pass of a new world as the game runs it: the game's window, the game
// screen with the loading screen above it, the game's own main loop (ticks at 100 Hz, a frame
// drawn and swapped after them) and the game's raised process priority.
//
//   BM_FirstPassInGame/<render distance>     the loading screen is drawn, as a player sees it
//   BM_FirstPassUndrawn/<render distance>    the same loop without drawing: what the pass takes
//                                            when nothing competes with it
//
// The benchmark's time is the wall time from entering the world until the pass has ended
// (every chunk generated and meshed). Counters: screen_ms, when the loading screen left;
// frames, the loading screen's frames; chunks, the chunks of the pass; peakRSS_MB, the peak
// resident memory of the game process once the loaded world has been drawn (each run is a
// process of its own, so the peak is its own).
//
// Run it under a virtual X server: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_loading_screen_pass
#include "child_process.h"
#include "engine/MainLoop.h"
#include "game/GameState.h"
#include "platform/Platform.h"
#include "screens/WorldGenState.h"
#include "support/GameHarness.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using testgame::GameHarness;

constexpr double TIMEOUT_SECONDS = 120.0;
// Frames drawn after the pass, so the memory peak includes every uploaded mesh.
constexpr int FRAMES_AFTER = 20;

struct PassResult {
    bool window = false;
    double passSeconds = 0, screenSeconds = 0, frames = 0, chunks = 0;
};

PassResult runPass(float renderDistance, bool drawn) {
    PassResult result;
    // As the game's start-up does.
    platform::allocateFromOneHeap();
    platform::raiseProcessPriority();
    GameHarness game;
    result.window = game.ready();
    if (!result.window) return result;
    World& world = gameState.world;
    const LoopDriver driver = glfwLoopDriver(game.window());

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto seconds = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    game.enterWorld(renderDistance);  // creatures off, as the harness has them

    LoopTimer timer = startLoopTimer(driver);
    bool screenUp = true;
    while (seconds() < TIMEOUT_SECONDS) {
        if (drawn) {
            runFrame(game.manager, timer, driver);
        } else {
            // Only the ticks: the loop's frame without its render.
            const double now = driver.time();
            timer.accumulator = std::min(timer.accumulator + now - timer.previousTime, maxFrameSeconds);
            timer.previousTime = now;
            for (; timer.accumulator >= tickSeconds; timer.accumulator -= tickSeconds) game.tick();
            platform::sleepMs(1);
        }
        if (screenUp && drawn) result.frames += 1;
        if (screenUp && game.manager.states.back() != &worldGenState) {
            screenUp = false;
            result.screenSeconds = seconds();
        }
        if (!screenUp && world.loadDone) {
            result.passSeconds = seconds();
            break;
        }
    }
    result.chunks = double(world.chunks.size());
    for (int i = 0; i < FRAMES_AFTER; ++i) runFrame(game.manager, timer, driver);
    return result;
}

// One pass in a child process, which opens its own window (and has its own peak RSS).
// Returns what went wrong, or an empty string.
std::string runInChild(float renderDistance, bool drawn, PassResult& result, double& peakMegabytes) {
    // The harness removes the world it made when runPass returns.
    const ChildRun<PassResult> run =
        runInChildProcess<PassResult>([&] { return runPass(renderDistance, drawn); });
    result = run.result;
    peakMegabytes = run.peakMegabytes;
    if (run.signal != 0) return "the game ended on signal " + std::to_string(run.signal);
    if (!run.reported) return "no result from the game";
    if (!result.window) return "no window (run under xvfb-run)";
    if (result.passSeconds == 0) return "the pass did not end in time";
    return "";
}

void firstPass(benchmark::State& state, bool drawn) {
    const auto renderDistance = float(state.range(0));
    PassResult result, total;
    double peak = 0, worstPeak = 0;
    for (auto _ : state) {
        // A virtual X server refuses a connection now and then: such a run is started again.
        std::string failure;
        for (int attempt = 0; attempt < 3; ++attempt) {
            failure = runInChild(renderDistance, drawn, result, peak);
            if (failure.rfind("no window", 0) != 0) break;
        }
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            return;
        }
        state.SetIterationTime(result.passSeconds);
        total.screenSeconds += result.screenSeconds;
        total.frames += result.frames;
        worstPeak = std::max(worstPeak, peak);
    }
    const double runs = double(state.iterations());
    state.counters["screen_ms"] = total.screenSeconds / runs * 1e3;
    state.counters["frames"] = total.frames / runs;
    state.counters["chunks"] = result.chunks;
    state.counters["peakRSS_MB"] = worstPeak;
}

void BM_FirstPassInGame(benchmark::State& state) { firstPass(state, true); }
void BM_FirstPassUndrawn(benchmark::State& state) { firstPass(state, false); }

BENCHMARK(BM_FirstPassInGame)->Arg(4)->Arg(8)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPassUndrawn)->Arg(4)->Arg(8)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

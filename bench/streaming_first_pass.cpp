// A full first streaming pass from a cold start: a new world, nothing on disk, every chunk
// generated and meshed. Each run happens in a child process so that its peak resident memory
// is its own. Reported: wall time until loadDone (the benchmark's time), chunks, chunks per
// second and peak RSS, for the worker pool and, side by side, for one thread per chunk (the
// pass as it was first written: a thread per queued chunk, joined, then a thread per loaded
// chunk for its mesh, joined).
#include "child_process.h"
#include "platform/Platform.h"
#include "world/DiscSelection.h"
#include "world/World.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const glm::vec4 PLAYER(4.5f, 70.0f, 4.5f, 4.5f);
const glm::vec4 OVER_W(0.0f, 0.0f, 0.0f, 1.0f);

struct PassResult {
    double seconds = 0;
    double chunks = 0;
};

// The selection of World::update, then both phases on one thread per chunk.
void threadPerChunkPass(World& world, uint8_t renderDistance) {
    const DiscSelection disc = selectDisc({PLAYER.x / 8, PLAYER.z / 8, PLAYER.w / 8},
                                          float(renderDistance), {OVER_W.x, OVER_W.z, OVER_W.w});
    glm::i64vec3 step(0);
    step[disc.stepAxis] = 1;
    for (const DiscCell& cell : disc.cells) {
        world.requestChunk(cell.cell);
        world.requestChunk(cell.cell - step);
        if (!cell.lineStart) world.requestChunk(cell.cell + step);
    }
    auto runAll = [](const std::vector<Chunk*>& chunks, auto work) {
        std::vector<std::thread> threads;
        for (Chunk* chunk : chunks)
            threads.emplace_back([chunk, work] {
                platform::lowerCurrentThreadPriority(platform::ThreadPriority::idle);
                work(chunk);
            });
        for (std::thread& thread : threads) thread.join();
    };
    runAll(world.loadQueue, [&world](Chunk* chunk) { world.loadOrGenerateChunk(chunk); });
    runAll(world.loadQueue, [&world](Chunk* chunk) { chunk->buildMesh(&world, true); });
    world.loadQueue.clear();
    for (auto& [coords, chunk] : world.chunks) chunk->wanted = false;
}

PassResult runPass(const fs::path& dir, uint8_t renderDistance, bool pool) {
    World world;
    world.setPath(dir.string());
    world.spawnCreatures = false;
    fs::create_directories(world.chunksPath);

    const auto start = std::chrono::steady_clock::now();
    if (pool) {
        world.update(PLAYER, OVER_W, renderDistance);
        while (!world.loadDone) std::this_thread::sleep_for(std::chrono::microseconds(200));
    } else {
        threadPerChunkPass(world, renderDistance);
    }
    PassResult result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.chunks = double(world.chunks.size());
    world.freeChunks();
    return result;
}

// One pass in a child process, for its own peak RSS.
bool runInChild(uint8_t renderDistance, bool pool, PassResult& result, double& peakMegabytes) {
    const fs::path dir = fs::temp_directory_path() / ("hm-bench-pass-" + std::to_string(getpid()));
    fs::remove_all(dir);
    const ChildRun<PassResult> run =
        runInChildProcess<PassResult>([&] { return runPass(dir, renderDistance, pool); });
    fs::remove_all(dir);
    result = run.result;
    peakMegabytes = run.peakMegabytes;
    return run.reported;
}

void firstPass(benchmark::State& state, bool pool) {
    const auto renderDistance = uint8_t(state.range(0));
    PassResult result;
    double peak = 0, totalSeconds = 0, worstPeak = 0;
    for (auto _ : state) {
        if (!runInChild(renderDistance, pool, result, peak)) {
            state.SkipWithError("the pass in the child process failed");
            return;
        }
        state.SetIterationTime(result.seconds);
        totalSeconds += result.seconds;
        worstPeak = std::max(worstPeak, peak);
    }
    state.counters["chunks"] = result.chunks;
    state.counters["chunks/s"] = result.chunks * double(state.iterations()) / totalSeconds;
    state.counters["peakRSS_MB"] = worstPeak;
    state.counters["threads"] = pool ? double(WorkerPool::hardwareThreads()) : result.chunks;
}

void BM_FirstPassPool(benchmark::State& state) { firstPass(state, true); }
void BM_FirstPassThreadPerChunk(benchmark::State& state) { firstPass(state, false); }

BENCHMARK(BM_FirstPassPool)->Arg(4)->Arg(8)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPassThreadPerChunk)->Arg(4)->Arg(8)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

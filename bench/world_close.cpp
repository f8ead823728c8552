// What closing the game screen costs on disk: every loaded chunk of a world of a few hundred
// changed chunks is saved, each replacing its directory whole with its files flushed to the disk.
// The close saves them side by side on the world's workers ("side by side"); one after the other
// on one thread ("one by one") is the comparison. The figure to watch is the side-by-side time
// (well under a second for 300 chunks) and its ratio to one by one.
#include "chunk_terrain.h"
#include "world/World.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

// A world whose chunks all changed since they were loaded, as after a long game.
struct ChangedWorld {
    World world;
    std::vector<std::unique_ptr<Chunk>> owned;
    std::vector<Chunk*> chunks;

    explicit ChangedWorld(int count) {
        const fs::path path = fs::temp_directory_path() / ("hm-bench-close-" + std::to_string(getpid()));
        world.setPath(path.string());
        fs::create_directories(world.chunksPath);
        for (int i = 0; i < count; ++i) {
            owned.push_back(std::make_unique<Chunk>(glm::i64vec3(i % 17, i / 17, 0)));
            fillTypicalTerrain(*owned.back());
            owned.back()->blocks[i] = 5;  // the player's mark on it
            owned.back()->unchanged = false;
            owned.back()->loaded = true;
            chunks.push_back(owned.back().get());
        }
        world.saveChunks(chunks);  // a world on disk already, as a game that was saved before
    }
    ~ChangedWorld() { fs::remove_all(world.path); }
};

void BM_CloseWorld(benchmark::State& state) {
    ChangedWorld changed(int(state.range(0)));
    for (auto _ : state) {
        if (state.range(1))
            changed.world.saveChunks(changed.chunks);
        else
            for (Chunk* chunk : changed.chunks) changed.world.saveChunk(chunk);
    }
    state.SetLabel(std::to_string(state.range(0)) + " changed chunks, " +
                   (state.range(1) ? "side by side" : "one by one"));
}

BENCHMARK(BM_CloseWorld)
    ->Args({300, 1})
    ->Args({300, 0})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

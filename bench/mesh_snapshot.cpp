// What a mesh worker's copy of the blocks costs beside the meshing itself: the chunk's blocks
// and its six neighbours' facing planes, each copied under that chunk's lock. Compare the
// snapshot's time with BM_MeshFromSnapshot's (the copy should be a few per cent of a build).
#include "chunk_terrain.h"
#include "world/ChunkSnapshot.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Surroundings {
    std::unique_ptr<Chunk> chunk = std::make_unique<Chunk>(glm::i64vec3(0, 0, 0));
    std::unique_ptr<Chunk> owned[6];
    Chunk::Neighbours around{};

    Surroundings() {
        fillTypicalTerrain(*chunk);
        const glm::i64vec3 offsets[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
        for (int i = 0; i < 6; ++i) {
            owned[i] = std::make_unique<Chunk>(offsets[i]);
            fillTypicalTerrain(*owned[i]);
            around[i] = owned[i].get();
        }
    }
};

void BM_TakeMeshingSnapshot(benchmark::State& state) {
    Surroundings world;
    for (auto _ : state) {
        MeshingSnapshot snapshot(*world.chunk, world.around);
        benchmark::DoNotOptimize(&snapshot.chunk());
    }
    state.SetLabel("typical terrain, per chunk");
}

void BM_MeshFromSnapshot(benchmark::State& state) {
    Surroundings world;
    for (auto _ : state) {
        MeshingSnapshot snapshot(*world.chunk, world.around);
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s) {
            Chunk::ChunkMesh mesh;
            snapshot.chunk().buildSectionMesh(mesh, uint8_t(s * 16), snapshot.neighbours());
            benchmark::DoNotOptimize(mesh.positions.data());
        }
    }
    state.SetLabel("typical terrain, per chunk, snapshot included");
}

BENCHMARK(BM_TakeMeshingSnapshot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeshFromSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace

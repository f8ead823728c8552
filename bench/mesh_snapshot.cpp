// What a mesh worker's copy of the blocks costs beside the meshing itself: the chunk's blocks
// and its six neighbours' facing planes, each copied under that chunk's lock. Compare the
// snapshot's time with BM_MeshFromSnapshot's (the copy should be a few per cent of a build).
#include "chunk_terrain.h"
#include "world/ChunkSnapshot.h"

#include <benchmark/benchmark.h>

namespace {

void BM_TakeMeshingSnapshot(benchmark::State& state) {
    const ChunkWithNeighbours world(fillTypicalTerrain);
    for (auto _ : state) {
        MeshingSnapshot snapshot(*world.chunk, world.around);
        benchmark::DoNotOptimize(&snapshot.chunk());
    }
    state.SetLabel("typical terrain, per chunk");
}

void BM_MeshFromSnapshot(benchmark::State& state) {
    const ChunkWithNeighbours world(fillTypicalTerrain);
    for (auto _ : state) {
        MeshingSnapshot snapshot(*world.chunk, world.around);
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s) {
            Chunk::ChunkMesh mesh;
            snapshot.chunk().buildSectionMesh(mesh, uint8_t(s * Chunk::SECTION_HEIGHT), snapshot.neighbours());
            benchmark::DoNotOptimize(mesh.positions.data());
        }
    }
    state.SetLabel("typical terrain, per chunk, snapshot included");
}

BENCHMARK(BM_TakeMeshingSnapshot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeshFromSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace

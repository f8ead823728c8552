// The shape meshes are built before main; building all of them must take well under a second.
#include "shapes/Shapes.h"

#include <benchmark/benchmark.h>


namespace {

// Everything the start-up builds, in its order.
void BM_AllShapes(benchmark::State& state) {
    for (auto _ : state) {
        PentachoronHollow pentachoron(0.2f);
        Hypersphere hollowHypersphere(6, 0.2f);
        Dodecaplex loading = makeLoadingDodecaplex();
        Dodecaplex solid = makeGreyDodecaplex();
        DodecaplexWireframe wireframe = makeDodecaplexWireframe();
        std::array<Dodecaplex, SPIDER_PART_COUNT> spiderParts = makeSpiderPartMeshes();
        Sphere sphere;
        Hypersphere hypersphere(24);
        HypercubeHollow hypercube(0.4f);
        KleinBottle klein(0.5f, 1.0f, glm::vec3(1, 0, 0), glm::vec3(0, 0, 1));
        benchmark::DoNotOptimize(loading.positions.data());
        benchmark::DoNotOptimize(hypersphere.positions.data());
        benchmark::DoNotOptimize(spiderParts[0].positions.data());
    }
}
BENCHMARK(BM_AllShapes)->Unit(benchmark::kMillisecond);

void BM_DodecaplexCells(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Dodecaplex::buildCells());
}
BENCHMARK(BM_DodecaplexCells)->Unit(benchmark::kMillisecond);

void BM_LoadingDodecaplex(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeLoadingDodecaplex());
}
BENCHMARK(BM_LoadingDodecaplex)->Unit(benchmark::kMillisecond);

void BM_DodecaplexWireframe(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeDodecaplexWireframe());
}
BENCHMARK(BM_DodecaplexWireframe)->Unit(benchmark::kMillisecond);

void BM_SolidHypersphere(benchmark::State& state) {
    for (auto _ : state) {
        Hypersphere hypersphere(24);
        benchmark::DoNotOptimize(hypersphere.positions.data());
    }
}
BENCHMARK(BM_SolidHypersphere)->Unit(benchmark::kMillisecond);

void BM_Sphere(benchmark::State& state) {
    for (auto _ : state) {
        Sphere sphere;
        benchmark::DoNotOptimize(sphere.positions.data());
    }
}
BENCHMARK(BM_Sphere)->Unit(benchmark::kMillisecond);

}  // namespace

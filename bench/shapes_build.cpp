// The shape meshes are built before main; building all of them must take well under a second.
#include "shapes/Shapes.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

Dodecaplex buildDodecaplex(bool hollow, float inset, bool radial, const float* colours,
                           bool twoColour) {
    Dodecaplex mesh;
    mesh.hasNormals = true;
    mesh.generate(hollow, inset, radial, colours, twoColour);
    return mesh;
}

const float grey[6] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};

std::vector<glm::vec3> rainbow() {
    std::vector<glm::vec3> colours;
    makeCellColours(colours);
    return colours;
}

// Everything the start-up builds, in its order.
void BM_AllShapes(benchmark::State& state) {
    const std::vector<glm::vec3> colours = rainbow();
    for (auto _ : state) {
        PentachoronHollow pentachoron(0.2f);
        Hypersphere hollowHypersphere(6, 0.2f);
        Dodecaplex loading = buildDodecaplex(true, 0.2f, true, &colours[0].x, false);
        Dodecaplex solid = buildDodecaplex(false, 0.0f, false, grey, true);
        DodecaplexWireframe wireframe;
        wireframe.generate();
        Sphere sphere;
        Hypersphere hypersphere(24);
        HypercubeHollow hypercube(0.4f);
        KleinBottle klein(0.5f, 1.0f, glm::vec3(1, 0, 0), glm::vec3(0, 0, 1));
        benchmark::DoNotOptimize(loading.positions.data());
        benchmark::DoNotOptimize(hypersphere.positions.data());
    }
}
BENCHMARK(BM_AllShapes)->Unit(benchmark::kMillisecond);

void BM_DodecaplexCells(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Dodecaplex::buildCells());
}
BENCHMARK(BM_DodecaplexCells)->Unit(benchmark::kMillisecond);

void BM_LoadingDodecaplex(benchmark::State& state) {
    const std::vector<glm::vec3> colours = rainbow();
    for (auto _ : state)
        benchmark::DoNotOptimize(buildDodecaplex(true, 0.2f, true, &colours[0].x, false));
}
BENCHMARK(BM_LoadingDodecaplex)->Unit(benchmark::kMillisecond);

void BM_DodecaplexWireframe(benchmark::State& state) {
    for (auto _ : state) {
        DodecaplexWireframe wireframe;
        wireframe.generate();
        benchmark::DoNotOptimize(wireframe.positions.data());
    }
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

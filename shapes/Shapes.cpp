// The shape globals live in this one file so that they are built in a fixed order before main
// (definition order within a translation unit). None of them reads another; the tables they
// read are constants.
#include "shapes/Shapes.h"

#include <vector>

namespace {

Dodecaplex makeDodecaplex(bool hollow, float inset, bool radial, const float* colours,
                          bool twoColour) {
    Dodecaplex mesh;
    mesh.hasNormals = true;
    mesh.generate(hollow, inset, radial, colours, twoColour);
    return mesh;
}

}  // namespace

Dodecaplex makeLoadingDodecaplex() {
    std::vector<glm::vec3> colours;
    makeCellColours(colours);
    return makeDodecaplex(true, 0.2f, true, &colours[0].x, false);
}

Dodecaplex makeGreyDodecaplex() {
    static constexpr float grey[6] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    return makeDodecaplex(false, 0.0f, false, grey, true);
}

DodecaplexWireframe makeDodecaplexWireframe() {
    DodecaplexWireframe mesh;
    mesh.generate();
    return mesh;
}

std::array<Dodecaplex, SPIDER_PART_COUNT> makeSpiderPartMeshes() {
    std::array<Dodecaplex, SPIDER_PART_COUNT> parts;
    for (int k = 0; k < SPIDER_PART_COUNT; ++k)
        parts[k].generate(false, 0.0f, false, spiderPartColours[k], true);
    return parts;
}

PentachoronHollow pentachoronHollowMesh(0.2f);
// Constant-initialised: they only point at constant tables.
constinit MeshArr pentachoronBaseMesh(pentachoronBaseCells.data(), 20, pentachoronBaseColours.data());
constinit MeshArr hypercubeMesh(hypercubeMeshPositions.data(), 160, hypercubeMeshColours.data());
Hypersphere hollowHypersphereMesh(6, 0.2f);
Dodecaplex loadingDodecaplex = makeLoadingDodecaplex();
Dodecaplex greyDodecaplex = makeGreyDodecaplex();
DodecaplexWireframe dodecaplexWireframe = makeDodecaplexWireframe();
std::array<Dodecaplex, SPIDER_PART_COUNT> spiderPartMeshes = makeSpiderPartMeshes();
Sphere sphereMesh;
Hypersphere hypersphereMesh(24);
HypercubeHollow hypercubeHollowMesh(0.4f);
KleinBottle kleinBottleMesh(0.5f, 1.0f, glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f, 0.0f, 1.0f));
constinit Skybox skyboxMesh;

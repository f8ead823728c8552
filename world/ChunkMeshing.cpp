#include "engine/GlContext.h"
#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"
#include "world/World.h"

#include <cstdio>
#include <exception>

namespace {

enum FaceAxis { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2, AXIS_W = 3 };

void appendFace(Chunk::ChunkMesh& mesh, FaceAxis axis, glm::u8vec4 corner, uint8_t u0) {
    size_t start = mesh.positions.size();
    mesh.positions.resize(start + 20);
    mesh.texCoords.resize(start + 20);
    glm::u8vec4* position = mesh.positions.data() + start;
    glm::u8vec3* texCoord = mesh.texCoords.data() + start;
    for (int k = 0; k < 20; ++k) {
        const uint8_t* d = cubeFaceTetrahedra[axis][k];
        position[k] = corner + glm::u8vec4(d[0], d[1], d[2], d[3]);
        const auto& t = faceTexPattern[k];
        texCoord[k] = glm::u8vec3(u0 + t[0], t[1], t[2]);
    }
}

// Counts a running build for as long as it lives, also when building throws.
struct BuildCount {
    std::atomic<int>& count;
    explicit BuildCount(std::atomic<int>& c) : count(c) { count.fetch_add(1); }
    ~BuildCount() { count.fetch_sub(1); }
};

}  // namespace

void Chunk::buildSectionMesh(ChunkMesh& mesh, uint8_t startY, const Neighbours& neighbours) const {
    // Is the cell beyond a horizontal face air? Across the chunk edge it needs the neighbour.
    auto openX = [&](int x, int y, int z, int w) {
        if (x < 0) return neighbours[0] && neighbours[0]->getBlock(SIZE - 1, y, z, w) == 0;
        if (x >= SIZE) return neighbours[1] && neighbours[1]->getBlock(0, y, z, w) == 0;
        return getBlock(x, y, z, w) == 0;
    };
    auto openZ = [&](int x, int y, int z, int w) {
        if (z < 0) return neighbours[2] && neighbours[2]->getBlock(x, y, SIZE - 1, w) == 0;
        if (z >= SIZE) return neighbours[3] && neighbours[3]->getBlock(x, y, 0, w) == 0;
        return getBlock(x, y, z, w) == 0;
    };
    auto openW = [&](int x, int y, int z, int w) {
        if (w < 0) return neighbours[4] && neighbours[4]->getBlock(x, y, z, SIZE - 1) == 0;
        if (w >= SIZE) return neighbours[5] && neighbours[5]->getBlock(x, y, z, 0) == 0;
        return getBlock(x, y, z, w) == 0;
    };

    int endY = startY + SECTION_HEIGHT;
    std::vector<uint16_t> columnStarts(COLUMN_COUNT + 1);
    for (int w = 0; w < SIZE; ++w)
        for (int x = 0; x < SIZE; ++x)
            for (int z = 0; z < SIZE; ++z) {
                columnStarts[column(x, z, w)] = uint16_t(mesh.positions.size() / 20);
                for (int y = startY; y < endY; ++y) {
                    uint8_t id = getBlock(x, y, z, w);
                    glm::u8vec4 cell(x, y, z, w);
                    if (id == 0) {
                        if (y == 0) appendFace(mesh, AXIS_Y, cell, FLOOR_TEX_U0);
                        continue;
                    }
                    uint8_t side = blockTexU0(id, FACE_SIDE);
                    if (openX(x - 1, y, z, w)) appendFace(mesh, AXIS_X, cell, side);
                    if (openX(x + 1, y, z, w))
                        appendFace(mesh, AXIS_X, cell + glm::u8vec4(1, 0, 0, 0), side);
                    if (y >= 1 && getBlock(x, y - 1, z, w) == 0)
                        appendFace(mesh, AXIS_Y, cell, blockTexU0(id, FACE_BOTTOM));
                    if (y == HEIGHT - 1 || getBlock(x, y + 1, z, w) == 0)
                        appendFace(mesh, AXIS_Y, cell + glm::u8vec4(0, 1, 0, 0),
                                   blockTexU0(id, FACE_TOP));
                    if (openZ(x, y, z - 1, w)) appendFace(mesh, AXIS_Z, cell, side);
                    if (openZ(x, y, z + 1, w))
                        appendFace(mesh, AXIS_Z, cell + glm::u8vec4(0, 0, 1, 0), side);
                    if (openW(x, y, z, w - 1)) appendFace(mesh, AXIS_W, cell, side);
                    if (openW(x, y, z, w + 1))
                        appendFace(mesh, AXIS_W, cell + glm::u8vec4(0, 0, 0, 1), side);
                }
            }
    columnStarts[COLUMN_COUNT] = uint16_t(mesh.positions.size() / 20);
    if (!mesh.positions.empty()) mesh.columnStarts = std::move(columnStarts);
}

Chunk::Neighbours Chunk::gatherNeighbours(World* world) const {
    if (!world) return Neighbours{};
    return {world->getChunk(coords - glm::i64vec3(1, 0, 0)),
            world->getChunk(coords + glm::i64vec3(1, 0, 0)),
            world->getChunk(coords - glm::i64vec3(0, 1, 0)),
            world->getChunk(coords + glm::i64vec3(0, 1, 0)),
            world->getChunk(coords - glm::i64vec3(0, 0, 1)),
            world->getChunk(coords + glm::i64vec3(0, 0, 1))};
}

void Chunk::buildMesh(World* world, bool updateNeighbours) {
    BuildCount counting(buildingMesh);
    meshBuilds.fetch_add(1);
    try {
        Neighbours neighbours = gatherNeighbours(world);
        if (updateNeighbours) {
            // Claimed by exchange: of two new chunks beside one old one, only one rebuilds it.
            for (Chunk* neighbour : neighbours)
                if (neighbour && !neighbour->remeshedForNeighbours.exchange(true))
                    neighbour->buildMesh(world, false);
        } else {
            remeshedForNeighbours = true;
        }

        std::array<ChunkMesh, SECTION_COUNT> built;
        for (int s = 0; s < SECTION_COUNT; ++s)
            buildSectionMesh(built[s], uint8_t(s * SECTION_HEIGHT), neighbours);

        // Only the main thread touches sectionMeshes; it picks these up from the pending slot.
        std::lock_guard<std::mutex> lock(meshMutex);
        pendingMeshes = std::move(built);
        hasPendingMeshes = true;
        meshUploaded = false;
        hasMesh = true;
    } catch (const std::exception& e) {
        std::printf("error: unable to build the mesh of a chunk: %s\n", e.what());
    }
}

void Chunk::installPendingMeshes() {
    if (meshUploaded) return;
    std::array<ChunkMesh, SECTION_COUNT> arrived;
    {
        std::lock_guard<std::mutex> lock(meshMutex);
        meshUploaded = true;
        if (!hasPendingMeshes) return;
        arrived = std::move(pendingMeshes);
        hasPendingMeshes = false;
    }
    for (int s = 0; s < SECTION_COUNT; ++s) {
        // A mark set while the worker built stays: its edit may be missing from this mesh.
        bool dirty = sectionMeshes[s].dirty;
        sectionMeshes[s] = std::move(arrived[s]);
        sectionMeshes[s].dirty = dirty;
        if (!sectionMeshes[s].empty()) uploadSection(s);
    }
}

void Chunk::uploadSection(int section) {
    // Without a context (tools, tests of the meshing alone) the CPU meshes are all there is.
    if (!glContextAlive()) return;
    sectionRenderers[section].mode = GL_LINES_ADJACENCY;
    sectionRenderers[section].setMesh(&sectionMeshes[section]);
}

void Chunk::updateMesh(World* world) {
    // Read before the hand-over: a build that ended before this read has published already.
    int builders = buildingMesh.load();
    installPendingMeshes();
    if (!meshDirty || builders > 0) return;

    Neighbours neighbours = gatherNeighbours(world);
    for (int s = 0; s < SECTION_COUNT; ++s) {
        if (!sectionMeshes[s].dirty) continue;
        ChunkMesh mesh;
        buildSectionMesh(mesh, uint8_t(s * SECTION_HEIGHT), neighbours);
        sectionMeshes[s] = std::move(mesh);
        if (!sectionMeshes[s].empty()) uploadSection(s);
    }
    meshDirty = false;
}

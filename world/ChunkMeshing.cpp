#include "engine/GlContext.h"
#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"
#include "world/ChunkSnapshot.h"
#include "world/World.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr int SIZE = Chunk::SIZE;

// The eight faces of a cell, in the order they are tested and stored: x-1, x+1, y-1, y+1, z-1,
// z+1, w-1, w+1. Bit f of a cell's face mask is face f.
constexpr int FACE_COUNT = 8;
constexpr int Y_BELOW = 2;

// Vertex positions of face f relative to its cell, each packed as x | y << 8 | z << 16 | w << 24:
// the face table of its axis, moved one cell along the axis for the upper faces. Packed so that
// one addition places a vertex (no component can carry into the next).
constexpr uint32_t pack(int x, int y, int z, int w) {
    return uint32_t(x) | uint32_t(y) << 8 | uint32_t(z) << 16 | uint32_t(w) << 24;
}
constexpr auto faceCorners = [] {
    std::array<std::array<uint32_t, VERTICES_PER_FACE>, FACE_COUNT> corners{};
    for (int f = 0; f < FACE_COUNT; ++f) {
        const int axis = f / 2, upper = f % 2;
        for (int k = 0; k < VERTICES_PER_FACE; ++k) {
            const uint8_t* d = cubeFaceTetrahedra[axis][k];
            corners[f][k] = pack(d[0] + (axis == 0) * upper, d[1] + (axis == 1) * upper,
                                 d[2] + (axis == 2) * upper, d[3] + (axis == 3) * upper);
        }
    }
    return corners;
}();

// The texture coordinates of a face whose tile column is u0, for every u0 a byte can hold.
constexpr auto faceTexCoords = [] {
    std::array<std::array<glm::u8vec3, VERTICES_PER_FACE>, 256> coords{};
    for (int u0 = 0; u0 < 256; ++u0)
        for (int k = 0; k < VERTICES_PER_FACE; ++k)
            coords[u0][k] = glm::u8vec3(uint8_t(u0 + faceTexPattern[k][0]), faceTexPattern[k][1],
                                        faceTexPattern[k][2]);
    return coords;
}();

// The tile column of each face of a block: bottom for y-1, top for y+1, side for the others.
std::array<uint8_t, FACE_COUNT> faceTiles(uint8_t id) {
    if (id == 0) return {0, 0, FLOOR_TEX_U0};  // air has only the floor under the world
    const uint8_t side = blockTexU0(id, FACE_SIDE);
    return {side, side, blockTexU0(id, FACE_BOTTOM), blockTexU0(id, FACE_TOP),
            side, side, side, side};
}

// Eight cells along w (one byte each, w = 0 in the lowest byte): the blocks of a row of
// Chunk::blocks, or flags and face masks of its cells, so that one word op serves eight cells.
using Row = uint64_t;
constexpr Row ONES = 0x0101010101010101ull;

Row loadRow(const Chunk& chunk, int x, int y, int z) {
    Row row;
    std::memcpy(&row, &chunk.blocks[Chunk::index(x, y, z, 0)], sizeof row);
    return row;
}

// 1 in the byte of every air cell, 0 for solid ones.
Row airOf(Row blocks) {
    constexpr Row LOW7 = 0x7F7F7F7F7F7F7F7Full;
    const Row nonZeroTop = ((blocks & LOW7) + LOW7) | blocks;  // bit 7 set where the byte is not 0
    return ~(nonZeroTop >> 7) & ONES;
}

// The number of set bits of each byte, in that byte.
Row bytePopcount(Row v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    return (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
}

// Counts a running build for as long as it lives, also when building throws.
struct BuildCount {
    std::atomic<int>& count;
    explicit BuildCount(std::atomic<int>& c) : count(c) { count.fetch_add(1); }
    ~BuildCount() { count.fetch_sub(1); }
};

}  // namespace

void Chunk::buildSectionMesh(ChunkMesh& mesh, uint8_t startY, const Neighbours& neighbours) const {
    // First the face mask of every cell, row by row (eight cells along w at once), so that the
    // mesh is allocated once at its size. A face is open when the cell beyond it is air; toward
    // a neighbour that is not loaded it is closed, toward the top of the world open, toward the
    // bottom closed.
    const int endY = startY + SECTION_HEIGHT;
    std::array<Row, SIZE * SECTION_HEIGHT * SIZE> masks;  // [x][y - startY][z]
    std::array<Row, SIZE * SIZE> columnFaces{};           // [x][z]: faces of each column, per byte
    auto airBeyond = [](const Chunk* chunk, int x, int y, int z) {
        return chunk ? airOf(loadRow(*chunk, x, y, z)) : Row(0);
    };
    // One byte beyond the row's end along w, in the neighbour chunk: its air flag.
    auto edgeAir = [](const Chunk* chunk, int x, int y, int z, int w) {
        return chunk ? Row(chunk->getBlock(x, y, z, w) == 0) : Row(0);
    };
    for (int x = 0; x < SIZE; ++x)
        for (int y = startY; y < endY; ++y)
            for (int z = 0; z < SIZE; ++z) {
                const Row air = airOf(loadRow(*this, x, y, z));
                const Row xBelow = x > 0 ? airBeyond(this, x - 1, y, z)
                                         : airBeyond(neighbours[0], SIZE - 1, y, z);
                const Row xAbove = x < SIZE - 1 ? airBeyond(this, x + 1, y, z)
                                                : airBeyond(neighbours[1], 0, y, z);
                const Row yBelow = y > 0 ? airBeyond(this, x, y - 1, z) : Row(0);
                const Row yAbove = y < HEIGHT - 1 ? airBeyond(this, x, y + 1, z) : ONES;
                const Row zBelow = z > 0 ? airBeyond(this, x, y, z - 1)
                                         : airBeyond(neighbours[2], x, y, SIZE - 1);
                const Row zAbove = z < SIZE - 1 ? airBeyond(this, x, y, z + 1)
                                                : airBeyond(neighbours[3], x, y, 0);
                const Row wBelow = air << 8 | edgeAir(neighbours[4], x, y, z, SIZE - 1);
                const Row wAbove = air >> 8 | edgeAir(neighbours[5], x, y, z, 0) << 56;
                const Row open = xBelow | xAbove << 1 | yBelow << 2 | yAbove << 3 | zBelow << 4 |
                                 zAbove << 5 | wBelow << 6 | wAbove << 7;
                Row mask = ((air ^ ONES) * 0xFF) & open;  // solid cells only
                if (y == 0) mask |= air << Y_BELOW;        // the floor under air at the bottom
                masks[(x * SECTION_HEIGHT + (y - startY)) * SIZE + z] = mask;
                columnFaces[x * SIZE + z] += bytePopcount(mask);  // at most 16 x 8 per byte
            }

    std::vector<uint16_t> columnStarts(COLUMN_COUNT + 1);
    uint32_t faceCount = 0;
    for (int w = 0; w < SIZE; ++w)
        for (int x = 0; x < SIZE; ++x)
            for (int z = 0; z < SIZE; ++z) {
                columnStarts[column(x, z, w)] = uint16_t(faceCount);
                faceCount += uint32_t(columnFaces[x * SIZE + z] >> (8 * w) & 0xFF);
            }
    columnStarts[COLUMN_COUNT] = uint16_t(faceCount);
    if (faceCount == 0) return;

    mesh.positions.resize(size_t(faceCount) * VERTICES_PER_FACE);
    mesh.texCoords.resize(size_t(faceCount) * VERTICES_PER_FACE);
    glm::u8vec4* position = mesh.positions.data();
    glm::u8vec3* texCoord = mesh.texCoords.data();
    for (int w = 0; w < SIZE; ++w)
        for (int x = 0; x < SIZE; ++x)
            for (int z = 0; z < SIZE; ++z) {
                if ((columnFaces[x * SIZE + z] >> (8 * w) & 0xFF) == 0) continue;
                for (int y = startY; y < endY; ++y) {
                    const Row row = masks[(x * SECTION_HEIGHT + (y - startY)) * SIZE + z];
                    const unsigned mask = unsigned(row >> (8 * w)) & 0xFF;
                    if (mask == 0) continue;
                    const std::array<uint8_t, FACE_COUNT> tiles = faceTiles(getBlock(x, y, z, w));
                    const uint32_t cell = pack(x, y, z, w);
                    for (int f = 0; f < FACE_COUNT; ++f) {
                        if (!(mask >> f & 1u)) continue;
                        for (int k = 0; k < VERTICES_PER_FACE; ++k) {
                            const uint32_t packed = cell + faceCorners[f][k];
                            std::memcpy(&position[k], &packed, sizeof packed);
                        }
                        std::memcpy(texCoord, faceTexCoords[tiles[f]].data(),
                                    sizeof(glm::u8vec3) * VERTICES_PER_FACE);
                        position += VERTICES_PER_FACE;
                        texCoord += VERTICES_PER_FACE;
                    }
                }
            }
    mesh.columnStarts = std::move(columnStarts);
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

        // The main thread may edit blocks meanwhile: build from a copy taken under their locks.
        const MeshingSnapshot snapshot(*this, neighbours);
        std::array<ChunkMesh, SECTION_COUNT> built;
        // With a context the GPU's copy is the one drawn: until it is made, the records do.
        const bool compacting = glContextAlive();
        for (int s = 0; s < SECTION_COUNT; ++s) {
            snapshot.chunk().buildSectionMesh(built[s], uint8_t(s * SECTION_HEIGHT),
                                              snapshot.neighbours());
            if (compacting) built[s].compact();
        }

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
    ChunkMesh& mesh = sectionMeshes[section];
    mesh.compact();
    sectionRenderers[section].upload(mesh.faceRecords);
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

#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"
#include "world/HandMadeWorld.h"

#include <glm/gtx/string_cast.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <thread>

namespace {

// The three coordinates a face of axis `axis` spans.
glm::ivec3 spanned(const uint8_t* d, int axis) {
    glm::ivec3 v;
    for (int a = 0, k = 0; a < 4; ++a)
        if (a != axis) v[k++] = d[a];
    return v;
}

// Each table's five tetrahedra have positive volumes that sum to the face's cube, and the
// texture coordinates are one affine image of the positions, or the volume texture would be
// torn between the tetrahedra.
TEST(ChunkFaceTables, FiveTetrahedraFillEachFaceCubeUnderOneTexture) {
    for (int axis = 0; axis < 4; ++axis) {
        SCOPED_TRACE(::testing::Message() << "axis " << axis);
        float total = 0.0f;
        std::map<std::array<int, 3>, glm::ivec3> tex;
        for (int t = 0; t < 5; ++t) {
            glm::vec3 p[4];
            for (int k = 0; k < 4; ++k) {
                const uint8_t* d = cubeFaceTetrahedra[axis][t * 4 + k];
                EXPECT_EQ(d[axis], 0);
                const glm::ivec3 s = spanned(d, axis);
                const auto& f = faceTexPattern[size_t(t * 4 + k)];
                const glm::ivec3 uvw(f[0], f[1], f[2]);
                EXPECT_EQ(tex.emplace(std::array<int, 3>{s.x, s.y, s.z}, uvw).first->second, uvw);
                p[k] = s;
            }
            const float volume = std::abs(glm::determinant(glm::mat3(p[1] - p[0], p[2] - p[0],
                                                                     p[3] - p[0]))) / 6.0f;
            EXPECT_GT(volume, 0.0f) << "tetrahedron " << t;
            total += volume;
        }
        EXPECT_FLOAT_EQ(total, 1.0f);
        ASSERT_EQ(tex.size(), 8u) << "all eight cube corners are used";
        const glm::ivec3 o = tex.at({0, 0, 0});
        for (const auto& [c, t] : tex)
            EXPECT_EQ(t, o + c[0] * (tex.at({1, 0, 0}) - o) + c[1] * (tex.at({0, 1, 0}) - o) +
                             c[2] * (tex.at({0, 0, 1}) - o));
    }
}

// Faces of a mesh, one per VERTICES_PER_FACE vertices: its axis, tile column and lowest corner.
struct Face {
    int axis;
    int u0;
    glm::ivec4 origin;

    auto key() const { return std::tie(axis, u0, origin.x, origin.y, origin.z, origin.w); }
    bool operator<(const Face& other) const { return key() < other.key(); }
    bool operator==(const Face& other) const { return key() == other.key(); }
};
void PrintTo(const Face& f, std::ostream* out) {
    *out << "axis " << f.axis << " u0 " << f.u0 << " at " << glm::to_string(f.origin);
}

// The faces firstFace up to endFace, or all of them.
std::vector<Face> facesOf(const Chunk::ChunkMesh& mesh, size_t firstFace = 0, size_t endFace = SIZE_MAX) {
    EXPECT_EQ(mesh.positions.size(), mesh.texCoords.size());
    constexpr size_t n = VERTICES_PER_FACE;
    EXPECT_EQ(mesh.positions.size() % n, 0u);
    std::vector<Face> faces;
    for (size_t f = firstFace * n; f + n <= mesh.positions.size() && f < endFace * n; f += n) {
        glm::ivec4 lo(1000), hi(-1);
        int u0 = 1000;
        for (size_t k = f; k < f + n; ++k) {
            lo = glm::min(lo, glm::ivec4(mesh.positions[k]));
            hi = glm::max(hi, glm::ivec4(mesh.positions[k]));
            u0 = std::min(u0, int(mesh.texCoords[k].x));
        }
        int axis = -1;
        for (int a = 0; a < 4; ++a)
            if (lo[a] == hi[a]) axis = a;
        faces.push_back({axis, u0, lo});
    }
    return faces;
}

Chunk::ChunkMesh sectionOf(const Chunk& chunk, int startY, const Chunk::Neighbours& next = {}) {
    Chunk::ChunkMesh mesh;
    chunk.buildSectionMesh(mesh, uint8_t(startY), next);
    return mesh;
}

TEST(ChunkMeshing, SingleBlockGivesEightFacesWithTheirTextureClasses) {
    Chunk chunk;
    chunk.setBlock(3, 64, 3, 3, 4);  // wood: top 19, side 21, bottom 23
    Chunk::ChunkMesh mesh = sectionOf(chunk, 64);
    ASSERT_EQ(mesh.vertCount(), 160u);
    std::vector<Face> faces = facesOf(mesh);
    // Order: x-1, x+1, y-1, y+1, z-1, z+1, w-1, w+1.
    const int u0s[8] = {21, 21, 23, 19, 21, 21, 21, 21};
    for (int f = 0; f < 8; ++f) {
        glm::ivec4 origin(3, 64, 3, 3);
        origin[f / 2] += f % 2;
        EXPECT_EQ(faces[f].axis, f / 2) << f;
        EXPECT_EQ(faces[f].u0, u0s[f]) << f;
        EXPECT_EQ(faces[f].origin, origin) << f;
    }
    for (const glm::u8vec3& t : mesh.texCoords) {
        EXPECT_LE(t.y, 1);
        EXPECT_TRUE(t.z == 0 || t.z == 15);
    }
    for (int s : {0, 1, 2, 3, 5, 6, 7})  // section 0 has the floor under air
        EXPECT_EQ(sectionOf(chunk, s * 16).vertCount(), s == 0 ? 512u * 20u : 0u) << s;
}

TEST(ChunkMeshing, WorldTopIsOpenBottomIsClosedAndAirAtZeroHasAFloor) {
    Chunk solid;
    solid.blocks.fill(3);
    std::vector<Face> faces = facesOf(sectionOf(solid, 112));
    ASSERT_EQ(faces.size(), 512u);  // only the y+1 faces at the top of the world
    for (const Face& f : faces) {
        EXPECT_EQ(f.axis, 1);
        EXPECT_EQ(f.origin.y, 128);
        EXPECT_EQ(f.u0, 11);
    }
    EXPECT_EQ(sectionOf(solid, 0).vertCount(), 0u);  // no face below y 0, no floor under blocks

    Chunk stack;
    stack.setBlock(2, 0, 5, 6, 3);
    stack.setBlock(2, 1, 5, 6, 3);
    faces = facesOf(sectionOf(stack, 0));
    EXPECT_EQ(faces.size(), 511u + 6u + 6u + 1u);  // the floor, 6 sides each, one top
    int floorFaces = 0;
    for (const Face& f : faces)
        if (f.u0 == FLOOR_TEX_U0) {
            ++floorFaces;
            EXPECT_EQ(f.axis, 1);
            EXPECT_EQ(f.origin.y, 0);
            EXPECT_NE(glm::ivec3(f.origin.x, f.origin.z, f.origin.w), glm::ivec3(2, 5, 6));
        }
    EXPECT_EQ(floorFaces, 511);
}

TEST(ChunkMeshing, FacesTowardNeighboursNeedTheNeighbourAndAirThere) {
    Chunk chunk, air, solid;
    chunk.setBlock(0, 40, 7, 0, 1);
    solid.blocks.fill(2);
    // Slots: x-1, x+1, z-1, z+1, w-1, w+1. Without neighbours x-1, z+1 and w-1 stay closed.
    EXPECT_EQ(sectionOf(chunk, 32).vertCount(), 5u * 20u);
    EXPECT_EQ(sectionOf(chunk, 32, {&air, nullptr, nullptr, &air, &air, nullptr}).vertCount(),
              8u * 20u);
    std::vector<Face> faces =
        facesOf(sectionOf(chunk, 32, {&solid, nullptr, nullptr, &solid, &air, nullptr}));
    ASSERT_EQ(faces.size(), 6u);  // x+1, y-1, y+1, z-1, w-1, w+1
    EXPECT_EQ(faces[0].axis, 0);
    EXPECT_EQ(faces[0].origin, glm::ivec4(1, 40, 7, 0));
    EXPECT_EQ(faces[4].axis, 3);  // the w-1 face toward the air neighbour
    EXPECT_EQ(faces[4].origin, glm::ivec4(0, 40, 7, 0));
}

// The faces of a column (x, z, w) of the section from startY, read from the rules cell by cell,
// sorted: a solid cell has a face toward each air cell beside it; beyond a missing neighbour and
// below the world there is none, above the world there is; air at y 0 has the floor.
std::vector<Face> plainColumnFaces(const Chunk& chunk, int startY, const Chunk::Neighbours& next,
                                   int x, int z, int w) {
    const auto air = [&](glm::ivec4 p) {  // at most one step out of the chunk
        if (p.y < 0 || p.y >= Chunk::HEIGHT) return p.y >= Chunk::HEIGHT;
        const Chunk* owner = &chunk;
        const int axes[3] = {0, 2, 3};
        for (int i = 0; i < 3; ++i)
            if (p[axes[i]] < 0 || p[axes[i]] >= Chunk::SIZE) {
                owner = next[size_t(2 * i + (p[axes[i]] > 0))];
                p[axes[i]] = (p[axes[i]] + Chunk::SIZE) % Chunk::SIZE;
            }
        return owner && owner->getBlock(p.x, p.y, p.z, p.w) == 0;
    };
    std::vector<Face> faces;
    for (int y = startY; y < startY + Chunk::SECTION_HEIGHT; ++y) {
        const glm::ivec4 cell(x, y, z, w);
        const uint8_t id = chunk.getBlock(x, y, z, w);
        if (id == 0 && y == 0) faces.push_back({1, FLOOR_TEX_U0, cell});
        for (int f = 0; f < 8 && id != 0; ++f) {
            glm::ivec4 beyond = cell, corner = cell;
            beyond[f / 2] += f % 2 ? 1 : -1;
            corner[f / 2] += f % 2;
            const FaceClass face = f == 2 ? FACE_BOTTOM : f == 3 ? FACE_TOP : FACE_SIDE;
            if (air(beyond)) faces.push_back({f / 2, blockTexU0(id, face), corner});
        }
    }
    std::sort(faces.begin(), faces.end());
    return faces;
}

// Random blocks (ids without a texture too) beside random neighbours, some of them missing: each
// column of every section holds exactly the faces of its own cells that the rules give.
TEST(ChunkMeshing, RandomChunksHoldThePlainRulesFacesColumnByColumn) {
    std::mt19937 random(26);
    std::vector<Chunk> chunks(7);
    for (int round = 0; round < 2; ++round) {
        for (Chunk& chunk : chunks)
            for (uint8_t& block : chunk.blocks) block = random() % 2 ? 0 : uint8_t(1 + random() % 16);
        Chunk::Neighbours next;
        for (size_t i = 0; i < next.size(); ++i) next[i] = random() % 4 ? &chunks[i + 1] : nullptr;
        for (int startY = 0; startY < Chunk::HEIGHT; startY += Chunk::SECTION_HEIGHT) {
            const Chunk::ChunkMesh mesh = sectionOf(chunks[0], startY, next);
            ASSERT_EQ(mesh.columnStarts.size(), Chunk::COLUMN_COUNT + 1u);
            for (int x = 0; x < Chunk::SIZE; ++x)
                for (int z = 0; z < Chunk::SIZE; ++z)
                    for (int w = 0; w < Chunk::SIZE; ++w) {
                        const size_t c = size_t(Chunk::column(x, z, w));
                        std::vector<Face> faces = facesOf(mesh, mesh.columnStarts[c], mesh.columnStarts[c + 1]);
                        std::sort(faces.begin(), faces.end());
                        ASSERT_EQ(faces, plainColumnFaces(chunks[0], startY, next, x, z, w))
                            << "round " << round << ", y from " << startY << ", column " << x << " " << z << " " << w;
                    }
        }
    }
}

TEST(ChunkMeshing, ArrivingNeighbourOpensFacesThroughTheHandOver) {
    HandMadeWorld t;
    Chunk* a = t.add({0, 0, 0});
    a->setBlock(7, 70, 2, 2, 3);
    a->buildMesh(&t.world, true);
    EXPECT_TRUE(a->hasMesh);
    EXPECT_TRUE(a->sectionMeshes[4].empty()) << "published meshes wait for the main thread";
    a->updateMesh(&t.world);
    EXPECT_EQ(a->sectionMeshes[4].vertCount(), 7u * 20u);

    // A newly loaded neighbour rebuilds the old chunk first (its flag was cleared on request).
    Chunk* b = t.add({1, 0, 0});
    b->remeshedForNeighbours = true;
    a->remeshedForNeighbours = false;
    b->buildMesh(&t.world, true);
    EXPECT_TRUE(a->remeshedForNeighbours);
    a->updateMesh(&t.world);
    b->updateMesh(&t.world);
    EXPECT_EQ(a->sectionMeshes[4].vertCount(), 8u * 20u);

    // A solid block across the edge closes the face again once the section is rebuilt.
    t.world.setBlock({8, 70, 2, 2}, 3);
    EXPECT_TRUE(a->sectionMeshes[4].dirty);
    a->updateMesh(&t.world);
    b->updateMesh(&t.world);
    EXPECT_EQ(a->sectionMeshes[4].vertCount(), 7u * 20u);
    EXPECT_EQ(b->sectionMeshes[4].vertCount(), 7u * 20u);
    EXPECT_FALSE(a->meshDirty);
}

TEST(ChunkMeshing, EditDuringAWorkerBuildIsNotLost) {
    HandMadeWorld t;
    Chunk* a = t.add({0, 0, 0});
    a->buildMesh(&t.world, false);
    a->updateMesh(&t.world);

    a->buildingMesh = 1;  // a worker is building this chunk
    t.world.setBlock({3, 40, 3, 3}, 5);
    a->updateMesh(&t.world);
    EXPECT_TRUE(a->sectionMeshes[2].dirty) << "rebuilding must wait for the worker";
    EXPECT_TRUE(a->sectionMeshes[2].empty());

    // The worker finishes with blocks it read before the edit: the mark survives the install.
    a->buildingMesh = 0;
    t.world.setBlock({3, 40, 3, 3}, 0);
    a->buildMesh(&t.world, false);
    t.world.setBlock({3, 40, 3, 3}, 5);
    a->buildingMesh = 1;
    a->updateMesh(&t.world);
    EXPECT_TRUE(a->sectionMeshes[2].empty()) << "the worker's mesh is installed";
    EXPECT_TRUE(a->sectionMeshes[2].dirty) << "and the edit's mark kept";

    a->buildingMesh = 0;
    a->updateMesh(&t.world);
    EXPECT_FALSE(a->sectionMeshes[2].dirty);
    EXPECT_EQ(a->sectionMeshes[2].vertCount(), 160u);
}

// Workers publish while the main thread installs and rebuilds: the last state always wins.
TEST(ChunkMeshing, ConcurrentBuildsAndInstallsSettleOnTheCurrentBlocks) {
    HandMadeWorld t;
    Chunk* a = t.add({0, 0, 0});
    t.add({0, 1, 0})->setBlock(1, 20, 0, 1, 3);
    a->setBlock(1, 20, 7, 1, 3);
    std::atomic<bool> stop{false};
    std::atomic<int> builds{0};
    std::thread worker([&] {
        for (; !stop; ++builds) a->buildMesh(&t.world, false);
    });
    for (int i = 0; i < 200 || builds < 20; ++i) {
        a->updateMesh(&t.world);
        std::this_thread::yield();
    }
    stop = true;
    worker.join();
    a->updateMesh(&t.world);
    EXPECT_EQ(a->buildingMesh.load(), 0);
    EXPECT_EQ(a->sectionMeshes[1].vertCount(), 7u * 20u);
}

}  // namespace

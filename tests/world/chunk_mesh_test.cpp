#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"
#include "world/HandMadeWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <thread>

namespace {

// The three coordinates a face of axis `axis` spans.
glm::vec3 spanned(const uint8_t* d, int axis) {
    glm::vec3 v;
    int k = 0;
    for (int a = 0; a < 4; ++a)
        if (a != axis) v[k++] = float(d[a]);
    return v;
}

TEST(ChunkFaceTables, FiveTetrahedraFillEachFaceCube) {
    for (int axis = 0; axis < 4; ++axis) {
        float total = 0.0f;
        for (int t = 0; t < 5; ++t) {
            const auto& tet = cubeFaceTetrahedra[axis];
            for (int k = 0; k < 4; ++k) EXPECT_EQ(tet[t * 4 + k][axis], 0) << axis;
            glm::vec3 p0 = spanned(tet[t * 4], axis);
            glm::mat3 edges(spanned(tet[t * 4 + 1], axis) - p0, spanned(tet[t * 4 + 2], axis) - p0,
                            spanned(tet[t * 4 + 3], axis) - p0);
            float volume = std::fabs(glm::determinant(edges)) / 6.0f;
            EXPECT_GT(volume, 0.0f) << "axis " << axis << " tetrahedron " << t;
            total += volume;
        }
        EXPECT_FLOAT_EQ(total, 1.0f) << "axis " << axis;
    }
}

// The texture coordinates of a face must be one affine image of its positions, or the volume
// texture would be torn between the tetrahedra.
TEST(ChunkFaceTables, TextureCoordinatesFollowPositionsAffinely) {
    for (int axis = 0; axis < 4; ++axis) {
        std::map<std::array<int, 3>, std::array<int, 3>> seen;
        for (int k = 0; k < 20; ++k) {
            glm::vec3 p = spanned(cubeFaceTetrahedra[axis][k], axis);
            std::array<int, 3> key{int(p.x), int(p.y), int(p.z)};
            std::array<int, 3> tex{faceTexPattern[k][0], faceTexPattern[k][1], faceTexPattern[k][2]};
            auto [it, inserted] = seen.emplace(key, tex);
            EXPECT_EQ(it->second, tex) << "axis " << axis << " vertex " << k;
        }
        ASSERT_EQ(seen.size(), 8u) << "all eight cube corners are used";
        // Affine: the image of each corner is t(0) + sum of the images of the unit steps.
        auto at = [&](int a, int b, int c) { return seen.at({a, b, c}); };
        for (const auto& [p, tex] : seen)
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(tex[i], at(0, 0, 0)[i] + p[0] * (at(1, 0, 0)[i] - at(0, 0, 0)[i]) +
                                      p[1] * (at(0, 1, 0)[i] - at(0, 0, 0)[i]) +
                                      p[2] * (at(0, 0, 1)[i] - at(0, 0, 0)[i]));
    }
}

TEST(ChunkFaceTables, TextureLookupFallsBackForUnknownIds) {
    EXPECT_EQ(blockTexU0(1, FACE_TOP), 1);
    EXPECT_EQ(blockTexU0(10, FACE_BOTTOM), 57);
    EXPECT_EQ(blockTexU0(12, FACE_SIDE), 73);
    EXPECT_EQ(blockTexU0(0, FACE_SIDE), FALLBACK_TEX_U0);
    EXPECT_EQ(blockTexU0(15, FACE_TOP), FALLBACK_TEX_U0);
    EXPECT_EQ(blockTexU0(255, FACE_BOTTOM), FALLBACK_TEX_U0);
}

// Faces of a mesh, grouped per 20 vertices: (axis, u0) with the face's corner cell.
struct Face {
    int axis;
    int u0;
    glm::ivec4 origin;
};

std::vector<Face> facesOf(const Chunk::ChunkMesh& mesh) {
    EXPECT_EQ(mesh.positions.size(), mesh.texCoords.size());
    EXPECT_EQ(mesh.positions.size() % 20, 0u);
    std::vector<Face> faces;
    for (size_t f = 0; f + 20 <= mesh.positions.size(); f += 20) {
        glm::ivec4 lo(1000), hi(-1);
        int u0 = 1000;
        for (size_t k = f; k < f + 20; ++k) {
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

Chunk::Neighbours noNeighbours() { return Chunk::Neighbours{}; }

TEST(ChunkMeshing, SingleBlockGivesEightFacesWithTheirTextureClasses) {
    Chunk chunk;
    chunk.setBlock(3, 64, 3, 3, 4);  // wood: top 19, side 21, bottom 23
    Chunk::ChunkMesh mesh;
    chunk.buildSectionMesh(mesh, 64, noNeighbours());
    ASSERT_EQ(mesh.vertCount(), 160u);
    EXPECT_EQ(mesh.attribDataSize(0), 640u);
    EXPECT_EQ(mesh.attribDataSize(1), 480u);

    std::vector<Face> faces = facesOf(mesh);
    ASSERT_EQ(faces.size(), 8u);
    // Order: x-1, x+1, y-1, y+1, z-1, z+1, w-1, w+1.
    const int axes[8] = {0, 0, 1, 1, 2, 2, 3, 3};
    const int u0s[8] = {21, 21, 23, 19, 21, 21, 21, 21};
    for (int f = 0; f < 8; ++f) {
        EXPECT_EQ(faces[f].axis, axes[f]) << f;
        EXPECT_EQ(faces[f].u0, u0s[f]) << f;
        glm::ivec4 expected(3, 64, 3, 3);
        if (f % 2 == 1) expected[axes[f]] += 1;
        EXPECT_EQ(faces[f].origin, expected) << f;
    }
    for (const glm::u8vec3& t : mesh.texCoords) {
        EXPECT_LE(t.y, 1);
        EXPECT_TRUE(t.z == 0 || t.z == 15);
    }

    for (int s = 0; s < 8; ++s) {
        if (s == 4) continue;
        Chunk::ChunkMesh other;
        chunk.buildSectionMesh(other, uint8_t(s * 16), noNeighbours());
        EXPECT_EQ(other.vertCount(), s == 0 ? 512u * 20u : 0u) << s;  // section 0: the floor
    }
}

TEST(ChunkMeshing, WorldTopIsOpenBottomIsClosedAndAirAtZeroHasAFloor) {
    Chunk chunk;
    chunk.blocks.fill(3);
    Chunk::ChunkMesh top;
    chunk.buildSectionMesh(top, 112, noNeighbours());
    std::vector<Face> faces = facesOf(top);
    ASSERT_EQ(faces.size(), 512u);  // only the y+1 faces at the top of the world
    for (const Face& f : faces) {
        EXPECT_EQ(f.axis, 1);
        EXPECT_EQ(f.origin.y, 128);
        EXPECT_EQ(f.u0, 11);
    }
    Chunk::ChunkMesh bottom;
    chunk.buildSectionMesh(bottom, 0, noNeighbours());
    EXPECT_EQ(bottom.vertCount(), 0u);  // no face below y 0, no floor under solid blocks

    Chunk floor;
    floor.setBlock(2, 0, 5, 6, 3);
    floor.setBlock(2, 1, 5, 6, 3);
    Chunk::ChunkMesh section;
    floor.buildSectionMesh(section, 0, noNeighbours());
    faces = facesOf(section);
    int floorFaces = 0;
    for (const Face& f : faces)
        if (f.u0 == FLOOR_TEX_U0) {
            ++floorFaces;
            EXPECT_EQ(f.axis, 1);
            EXPECT_EQ(f.origin.y, 0);
            EXPECT_NE(glm::ivec3(f.origin.x, f.origin.z, f.origin.w), glm::ivec3(2, 5, 6));
        }
    EXPECT_EQ(floorFaces, 511);
    EXPECT_EQ(faces.size(), 511u + 6u + 6u + 1u);  // two stacked blocks: 6 sides each, one top
}

TEST(ChunkMeshing, FacesTowardNeighboursNeedTheNeighbourAndAirThere) {
    Chunk chunk({0, 0, 0});
    chunk.setBlock(0, 40, 7, 0, 1);
    Chunk::ChunkMesh closed;
    chunk.buildSectionMesh(closed, 32, noNeighbours());
    EXPECT_EQ(closed.vertCount(), 5u * 20u);  // x-1, z+1 and w-1 closed without neighbours

    Chunk air({0, 0, 0});
    Chunk solid({0, 0, 0});
    solid.blocks.fill(2);
    Chunk::Neighbours open{&air, nullptr, nullptr, &air, &air, nullptr};
    Chunk::ChunkMesh opened;
    chunk.buildSectionMesh(opened, 32, open);
    EXPECT_EQ(opened.vertCount(), 8u * 20u);

    Chunk::Neighbours blocked{&solid, nullptr, nullptr, &solid, &air, nullptr};
    Chunk::ChunkMesh partly;
    chunk.buildSectionMesh(partly, 32, blocked);
    std::vector<Face> faces = facesOf(partly);
    ASSERT_EQ(faces.size(), 6u);  // x+1, y-1, y+1, z-1, w-1, w+1
    EXPECT_EQ(faces[0].axis, 0);
    EXPECT_EQ(faces[0].origin, glm::ivec4(1, 40, 7, 0));
    EXPECT_EQ(faces[4].axis, 3);  // the w-1 face toward the air neighbour
    EXPECT_EQ(faces[4].origin, glm::ivec4(0, 40, 7, 0));
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
    ASSERT_TRUE(a->sectionMeshes[2].empty());

    a->buildingMesh = 1;  // a worker is building this chunk
    t.world.setBlock({3, 40, 3, 3}, 5);
    a->updateMesh(&t.world);
    EXPECT_TRUE(a->sectionMeshes[2].dirty) << "rebuilding must wait for the worker";
    EXPECT_TRUE(a->sectionMeshes[2].empty());

    // The worker finishes with blocks it may have read before the edit: the mark survives.
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
    Chunk* b = t.add({0, 1, 0});
    b->setBlock(1, 20, 0, 1, 3);
    a->setBlock(1, 20, 7, 1, 3);
    std::atomic<bool> stop{false};
    std::atomic<int> builds{0};
    std::thread worker([&] {
        while (!stop) {
            a->buildMesh(&t.world, false);
            ++builds;
        }
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

#pragma once

#include "engine/Mesh.h"
#include "engine/MeshRenderer.h"

#include <glm/vec4.hpp>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// 6 x 6 x 6 cloud cells over (x, z, w); each cloud cell is drawn as one flat face of a 4D
// cell (its y face), so the layer has no thickness.
class CloudChunk {
public:
    static constexpr int SIZE = 6;

    // Byte positions (x, y, z, w), twenty per cloud cell: five tetrahedra.
    class CloudChunkMesh final : public Mesh {
    public:
        std::vector<glm::u8vec4> positions;

        int attribCount() const override { return 1; }
        uint32_t vertCount() const override { return uint32_t(positions.size()); }
        GLenum attribType(int) const override { return GL_UNSIGNED_BYTE; }
        int attribSize(int) const override { return 4; }
        uint32_t attribStride(int) const override { return 4; }
        const void* attribData(int) const override { return positions.data(); }
        uint32_t attribDataSize(int) const override { return uint32_t(positions.size()) * 4; }
    };

    uint8_t cells[SIZE][SIZE][SIZE] = {};  // [x][z][w], 1 where there is cloud
    std::mutex mutex;                      // guards the upload
    CloudChunkMesh mesh;
    MeshRenderer renderer;
    // True while the renderer must not be refreshed: during a mesh build and after an upload.
    bool uploaded = false;
    std::atomic<bool> meshReady{false};
    // Wanted by the current selection.
    std::atomic<bool> keep{false};

    CloudChunk() { renderer.mode = GL_LINES_ADJACENCY; }
    CloudChunk(const CloudChunk&) = delete;
    CloudChunk& operator=(const CloudChunk&) = delete;

    // Replaces the mesh with the faces of the cloud cells.
    void buildMesh();
    // Main thread with a context: uploads a new mesh once, then draws. Empty meshes draw nothing.
    void draw();
};

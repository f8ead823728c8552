#include "world/CloudChunk.h"

#include "world/ChunkFaceTables.h"

namespace {

constexpr int FACE_Y = 1;  // index of the y table of cubeFaceTetrahedra

}  // namespace

void CloudChunk::buildMesh() {
    uploaded = true;
    std::vector<glm::u8vec4> positions;
    for (int x = 0; x < SIZE; ++x)
        for (int z = 0; z < SIZE; ++z)
            for (int w = 0; w < SIZE; ++w) {
                if (cells[x][z][w] != 1) continue;
                for (const auto& d : cubeFaceTetrahedra[FACE_Y])
                    positions.emplace_back(x + d[0], d[1], z + d[2], w + d[3]);
            }
    mesh.positions = std::move(positions);
    uploaded = false;
    meshReady = true;
}

void CloudChunk::draw() {
    if (mesh.vertCount() == 0 || !meshReady) return;
    if (!uploaded) {
        std::lock_guard<std::mutex> lock(mutex);
        MeshRenderer fresh;
        fresh.mode = GL_LINES_ADJACENCY;
        fresh.init(&mesh);
        renderer = std::move(fresh);  // releases the old GL objects
        uploaded = true;
    }
    glBindVertexArray(renderer.vao);
    glDrawArrays(GL_LINES_ADJACENCY, 0, GLsizei(renderer.vertCount));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

#include "items/BlockModels.h"

#include "world/ChunkFaceTables.h"

std::array<RenderedMesh, BLOCK_MODEL_COUNT> blockMeshes;

namespace {

// The vertex data the uploaded meshes point at; it lives as long as blockMeshes.
std::array<BlockModel, BLOCK_MODEL_COUNT> blockModels;

FaceClass faceClassOf(int axis, int side) {
    if (axis != 1) return FACE_SIDE;
    return side == 1 ? FACE_TOP : FACE_BOTTOM;
}

}  // namespace

BlockModel buildBlockModel(uint8_t id) {
    BlockModel model{};
    int v = 0;
    for (int axis = 0; axis < 4; ++axis)
        for (int side = 0; side < 2; ++side) {
            const uint8_t u0 = blockTexU0(id, faceClassOf(axis, side));
            for (int k = 0; k < 20; ++k, ++v) {
                const uint8_t* d = cubeFaceTetrahedra[axis][k];
                glm::u8vec4 p(d[0], d[1], d[2], d[3]);
                p[axis] = uint8_t(side);
                model.positions[v] = p;
                const auto& t = faceTexPattern[k];
                model.texCoords[v] = glm::u8vec3(uint8_t(u0 + t[0]), t[1], t[2]);
            }
        }
    return model;
}

void initBlockMeshes() {
    for (int i = 0; i < BLOCK_MODEL_COUNT; ++i) {
        blockModels[i] = buildBlockModel(uint8_t(i + 1));
        GenericMesh& mesh = blockMeshes[i].mesh;
        mesh.vertCount_ = BLOCK_MODEL_VERTICES;
        mesh.attribs = {
            {GL_UNSIGNED_BYTE, 4, blockModels[i].positions.data(), 4 * BLOCK_MODEL_VERTICES, 4},
            {GL_UNSIGNED_BYTE, 3, blockModels[i].texCoords.data(), 3 * BLOCK_MODEL_VERTICES, 3},
        };
        blockMeshes[i].renderer.init(&mesh);
        blockMeshes[i].renderer.mode = GL_LINES_ADJACENCY;
    }
}

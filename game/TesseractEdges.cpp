#include "game/TesseractEdges.h"

#include "engine/MeshRenderer.h"

namespace {

std::array<glm::vec4, 64> buildEdges() {
    std::array<glm::vec4, 64> edges{};
    auto corner = [](int bits) {
        glm::vec4 c;
        for (int axis = 0; axis < 4; ++axis) c[axis] = (bits >> axis) & 1 ? 1.0f : -1.0f;
        return c;
    };
    int n = 0;
    // Every corner with its neighbour across each axis on which it lies at -1.
    for (int bits = 0; bits < 16; ++bits)
        for (int axis = 0; axis < 4; ++axis)
            if (!((bits >> axis) & 1)) {
                edges[n++] = corner(bits);
                edges[n++] = corner(bits | (1 << axis));
            }
    return edges;
}

}  // namespace

const std::array<glm::vec4, 64> tesseractEdges = buildEdges();

void uploadTesseractEdges(MeshRenderer& renderer) {
    GenericMesh mesh;
    mesh.vertCount_ = 64;
    mesh.attribs.push_back({GL_FLOAT, 4, tesseractEdges.data(), uint32_t(sizeof(tesseractEdges)), 0});
    renderer.init(&mesh);
    renderer.mode = GL_LINES;
}

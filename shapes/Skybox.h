#pragma once

#include "engine/Mesh.h"

#include <array>

// A cube of edge 2 around the origin whose inner faces show the six cells of "skybox.png"
// (a cross of 4 columns by 3 rows). Plain 3D triangles: 3 position floats and 2 texture
// coordinates per vertex.
class Skybox : public Mesh {
public:
    static const std::array<float, 36 * 3> positions;
    static const std::array<float, 36 * 2> texCoords;

    int attribCount() const override { return 2; }
    uint32_t vertCount() const override { return 36; }
    GLenum attribType(int) const override { return GL_FLOAT; }
    int attribSize(int i) const override { return i == 0 ? 3 : 2; }
    uint32_t attribStride(int) const override { return 0; }
    const void* attribData(int i) const override {
        return i == 0 ? static_cast<const void*>(positions.data())
                      : static_cast<const void*>(texCoords.data());
    }
    uint32_t attribDataSize(int i) const override {
        return i == 0 ? sizeof(positions) : sizeof(texCoords);
    }
};

extern Skybox skyboxMesh;

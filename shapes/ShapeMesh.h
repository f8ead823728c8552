#pragma once

#include "engine/Mesh.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstddef>
#include <vector>

// Two parallel vertex lists: 4D positions and one three-float attribute (a colour, or surface
// coordinates for the spheres). Shapes build into it and use it for their scratch lists.
struct MeshData {
    std::vector<glm::vec4> positions;
    std::vector<glm::vec3> colours;

    void addVertex(const glm::vec4& position, const glm::vec3& colour) {
        positions.push_back(position);
        colours.push_back(colour);
    }
    // Appends vertex `index` of `source`.
    void copyVertex(const MeshData& source, std::size_t index) {
        addVertex(source.positions[index], source.colours[index]);
    }
    void clear() {
        positions.clear();
        colours.clear();
    }
};

// The mesh layout every generated shape shares: attribute 0 = positions (4 floats),
// attribute 1 = colours (3 floats), tightly packed.
class ShapeMesh : public Mesh, public MeshData {
public:
    int attribCount() const override { return 2; }
    uint32_t vertCount() const override { return static_cast<uint32_t>(positions.size()); }
    GLenum attribType(int) const override { return GL_FLOAT; }
    int attribSize(int i) const override { return i == 0 ? 4 : 3; }
    uint32_t attribStride(int) const override { return 0; }
    const void* attribData(int i) const override {
        return i == 0 ? static_cast<const void*>(positions.data())
                      : static_cast<const void*>(colours.data());
    }
    uint32_t attribDataSize(int i) const override {
        return i == 0 ? static_cast<uint32_t>(positions.size() * sizeof(glm::vec4))
                      : static_cast<uint32_t>(colours.size() * sizeof(glm::vec3));
    }

protected:
    ~ShapeMesh() = default;
};

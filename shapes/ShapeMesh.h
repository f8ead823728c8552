#pragma once

#include "engine/Mesh.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cmath>
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

// sin and cos of j pi / n for j = 0 .. 2n, the angles of the round shapes. Entry 2n repeats
// entry 0, so a ring sampled from it closes exactly on its first point.
struct AngleTable {
    int n;
    std::vector<float> sines, cosines;

    explicit AngleTable(int n) : n(n), sines(2 * n + 1), cosines(2 * n + 1) {
        constexpr double pi = 3.14159265358979323846;
        for (int j = 0; j < 2 * n; ++j) {
            sines[j] = static_cast<float>(std::sin(j * pi / n));
            cosines[j] = static_cast<float>(std::cos(j * pi / n));
        }
        sines[2 * n] = sines[0];
        cosines[2 * n] = cosines[0];
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

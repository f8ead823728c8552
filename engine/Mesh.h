#pragma once

#include <GL/glew.h>
#include <glm/vec4.hpp>

#include <cstdint>
#include <vector>

// Geometry on the CPU as parallel vertex attributes. Kinds are destroyed through their own
// type, so there is deliberately no virtual destructor.
class Mesh {
public:
    virtual int attribCount() const = 0;
    virtual uint32_t vertCount() const = 0;
    virtual GLenum attribType(int i) const = 0;
    virtual int attribSize(int i) const = 0;
    virtual uint32_t attribStride(int i) const = 0;
    virtual const void* attribData(int i) const = 0;
    virtual uint32_t attribDataSize(int i) const = 0;

protected:
    ~Mesh() = default;
};

// A list of attribute records over arrays the owner keeps alive.
class GenericMesh : public Mesh {
public:
    struct Attrib {
        GLenum type;
        unsigned size;        // components per vertex
        const void* data;     // not owned
        uint32_t dataSize;    // bytes
        uint32_t stride;      // bytes, 0 = tightly packed
    };

    uint32_t vertCount_ = 0;
    std::vector<Attrib> attribs;

    int attribCount() const override { return static_cast<int>(attribs.size()); }
    uint32_t vertCount() const override { return vertCount_; }
    GLenum attribType(int i) const override { return attribs[i].type; }
    int attribSize(int i) const override { return static_cast<int>(attribs[i].size); }
    uint32_t attribStride(int i) const override { return attribs[i].stride; }
    const void* attribData(int i) const override { return attribs[i].data; }
    uint32_t attribDataSize(int i) const override { return attribs[i].dataSize; }
};

// 4D positions (attribute 0) and one three-float attribute (attribute 1), both owned elsewhere.
class MeshArr : public Mesh {
public:
    const glm::vec4* positions = nullptr;
    uint32_t vertCount_ = 0;
    const float* second = nullptr;

    MeshArr() = default;
    constexpr MeshArr(const glm::vec4* positions, uint32_t vertCount, const float* second)
        : positions(positions), vertCount_(vertCount), second(second) {}

    int attribCount() const override { return 2; }
    uint32_t vertCount() const override { return vertCount_; }
    GLenum attribType(int) const override { return GL_FLOAT; }
    int attribSize(int i) const override { return i == 0 ? 4 : 3; }
    uint32_t attribStride(int) const override { return 0; }
    const void* attribData(int i) const override {
        return i == 0 ? static_cast<const void*>(positions) : static_cast<const void*>(second);
    }
    uint32_t attribDataSize(int i) const override { return vertCount_ * (i == 0 ? 16u : 12u); }
};

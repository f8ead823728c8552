#pragma once

#include "engine/Mesh.h"

#include <GL/glew.h>

#include <cstdint>

// One vertex array with one buffer per attribute of a Mesh, drawn with draw().
// Move-only; makes no GL call until the first upload, and none after the context is gone.
class MeshRenderer {
public:
    GLuint vao = 0;
    GLuint* vbos = nullptr;
    uint32_t vertCount = 0;
    int attribCount = 0;
    GLenum mode = GL_LINES_ADJACENCY;

    MeshRenderer() = default;
    MeshRenderer(const MeshRenderer&) = delete;
    MeshRenderer& operator=(const MeshRenderer&) = delete;
    MeshRenderer(MeshRenderer&& other) noexcept;
    MeshRenderer& operator=(MeshRenderer&& other) noexcept;
    ~MeshRenderer();

    // Uploads a mesh; GL objects held from an earlier upload are released first.
    void init(const Mesh* mesh);
    // init when nothing is uploaded yet, else new data into the same buffers.
    void setMesh(const Mesh* mesh);
    // Deletes the GL objects (no GL call once the context is gone) and zeroes the fields.
    void release();
    // One bind and one draw of every vertex in the draw mode, with the current program; nothing
    // before the first upload.
    void draw() const;
};

// A GenericMesh with the renderer it is uploaded into.
struct RenderedMesh {
    GenericMesh mesh;
    MeshRenderer renderer;
};

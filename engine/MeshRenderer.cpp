#include "engine/MeshRenderer.h"

#include "engine/GlContext.h"

#include <cassert>
#include <utility>

namespace {

// Fills the bound buffer from attribute i and describes it on the float path: integer data
// reaches the shader as whole-number floats, not normalised.
void uploadAttribute(const Mesh& mesh, int i, GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, mesh.attribDataSize(i), mesh.attribData(i), GL_STATIC_DRAW);
    glVertexAttribPointer(static_cast<GLuint>(i), mesh.attribSize(i), mesh.attribType(i),
                          GL_FALSE, static_cast<GLsizei>(mesh.attribStride(i)), nullptr);
    glEnableVertexAttribArray(static_cast<GLuint>(i));
}

}  // namespace

MeshRenderer::MeshRenderer(MeshRenderer&& other) noexcept
    : vao(std::exchange(other.vao, 0)),
      vbos(std::exchange(other.vbos, nullptr)),
      vertCount(std::exchange(other.vertCount, 0)),
      attribCount(std::exchange(other.attribCount, 0)),
      mode(other.mode) {}

MeshRenderer& MeshRenderer::operator=(MeshRenderer&& other) noexcept {
    if (this == &other) return *this;
    release();
    vao = std::exchange(other.vao, 0);
    vbos = std::exchange(other.vbos, nullptr);
    vertCount = std::exchange(other.vertCount, 0);
    attribCount = std::exchange(other.attribCount, 0);
    mode = other.mode;
    return *this;
}

MeshRenderer::~MeshRenderer() { release(); }

void MeshRenderer::release() {
    if (vao != 0 && glContextAlive()) {
        glDeleteBuffers(attribCount, vbos);
        glDeleteVertexArrays(1, &vao);
    }
    delete[] vbos;
    vao = 0;
    vbos = nullptr;
    vertCount = 0;
    attribCount = 0;
}

void MeshRenderer::draw() const {
    if (!vao) return;
    glBindVertexArray(vao);
    glDrawArrays(mode, 0, GLsizei(vertCount));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void MeshRenderer::init(const Mesh* mesh) {
    release();
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    attribCount = mesh->attribCount();
    vbos = new GLuint[static_cast<size_t>(attribCount)];
    glGenBuffers(attribCount, vbos);
    for (int i = 0; i < attribCount; ++i) uploadAttribute(*mesh, i, vbos[i]);
    vertCount = mesh->vertCount();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void MeshRenderer::setMesh(const Mesh* mesh) {
    if (vao == 0) {
        init(mesh);
        return;
    }
    assert(mesh->attribCount() == attribCount);
    if (mesh->attribCount() != attribCount) {
        // Without assertions, a mesh of another layout gets fresh objects rather than a
        // write past the buffer list.
        init(mesh);
        return;
    }
    glBindVertexArray(vao);
    for (int i = 0; i < attribCount; ++i) uploadAttribute(*mesh, i, vbos[i]);
    vertCount = mesh->vertCount();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

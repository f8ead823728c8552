#include "world/SectionFaces.h"

#include "engine/GlContext.h"
#include "world/ChunkFaceTables.h"

#include <algorithm>
#include <utility>

SectionFaces::SectionFaces(SectionFaces&& other) noexcept
    : vao(std::exchange(other.vao, 0)),
      buffer(std::exchange(other.buffer, 0)),
      texture(std::exchange(other.texture, 0)),
      tetrahedraBuffer(std::exchange(other.tetrahedraBuffer, 0)),
      tetrahedraTexture(std::exchange(other.tetrahedraTexture, 0)) {}

SectionFaces& SectionFaces::operator=(SectionFaces&& other) noexcept {
    if (this == &other) return *this;
    release();
    vao = std::exchange(other.vao, 0);
    buffer = std::exchange(other.buffer, 0);
    texture = std::exchange(other.texture, 0);
    tetrahedraBuffer = std::exchange(other.tetrahedraBuffer, 0);
    tetrahedraTexture = std::exchange(other.tetrahedraTexture, 0);
    return *this;
}

void SectionFaces::release() {
    if (vao != 0 && glContextAlive()) {
        const GLuint textures[] = {texture, tetrahedraTexture};
        const GLuint buffers[] = {buffer, tetrahedraBuffer};
        glDeleteTextures(2, textures);
        glDeleteBuffers(2, buffers);
        glDeleteVertexArrays(1, &vao);
    }
    vao = buffer = texture = tetrahedraBuffer = tetrahedraTexture = 0;
}

namespace {

void fillBuffer(GLuint buffer, const std::vector<uint32_t>& values, GLenum usage) {
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    glBufferData(GL_TEXTURE_BUFFER, GLsizeiptr(values.size() * sizeof(uint32_t)), values.data(),
                 usage);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void bindOn(int unit, GLuint texture) {
    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_BUFFER, texture);
}

// Makes the texture show the buffer's 32-bit words, whatever the buffer is later filled with.
void attachBuffer(GLuint texture, GLuint buffer) {
    glBindTexture(GL_TEXTURE_BUFFER, texture);
    glTexBuffer(GL_TEXTURE_BUFFER, GL_R32UI, buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

}  // namespace

void SectionFaces::upload(const std::vector<uint32_t>& records) {
    const bool fresh = vao == 0;
    if (fresh) {
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &buffer);
        glGenBuffers(1, &tetrahedraBuffer);
        glGenTextures(1, &texture);
        glGenTextures(1, &tetrahedraTexture);
    }
    fillBuffer(buffer, records, GL_STATIC_DRAW);
    if (fresh) {
        // A texture can only show a buffer that exists, and a buffer exists once it is bound.
        fillBuffer(tetrahedraBuffer, {}, GL_STREAM_DRAW);
        GLint unit = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
        glActiveTexture(GLenum(GL_TEXTURE0 + SECTION_FACES_UNIT));
        attachBuffer(texture, buffer);
        attachBuffer(tetrahedraTexture, tetrahedraBuffer);
        glActiveTexture(GLenum(unit));
    }
}

void SectionFaces::draw(const std::vector<uint32_t>& tetrahedra) {
    if (vao == 0 || tetrahedra.empty()) return;
    fillBuffer(tetrahedraBuffer, tetrahedra, GL_STREAM_DRAW);
    bindOn(SECTION_TETRAHEDRA_UNIT, tetrahedraTexture);
    bindOn(SECTION_FACES_UNIT, texture);
    glBindVertexArray(vao);
    glDrawArrays(GL_LINES_ADJACENCY, 0, GLsizei(tetrahedra.size() * 4));
    glBindVertexArray(0);
}

std::vector<uint32_t> faceRecordsOf(const std::vector<glm::u8vec4>& positions,
                                    const std::vector<glm::u8vec3>& texCoords) {
    const size_t faces = std::min(positions.size(), texCoords.size()) / VERTICES_PER_FACE;
    std::vector<uint32_t> records(faces);
    for (size_t f = 0; f < faces; ++f) {
        const glm::u8vec4* corner = &positions[f * VERTICES_PER_FACE];
        glm::u8vec4 lowest = corner[0], highest = corner[0];
        uint8_t u0 = texCoords[f * VERTICES_PER_FACE].x;
        for (int k = 1; k < VERTICES_PER_FACE; ++k) {
            lowest = glm::min(lowest, corner[k]);
            highest = glm::max(highest, corner[k]);
            u0 = std::min(u0, texCoords[f * VERTICES_PER_FACE + k].x);
        }
        // The face is flat along its own axis.
        const uint8_t axis = highest.x == lowest.x ? 0 : highest.y == lowest.y ? 1
                           : highest.z == lowest.z ? 2 : 3;
        records[f] = packFaceRecord({lowest, axis, u0});
    }
    return records;
}

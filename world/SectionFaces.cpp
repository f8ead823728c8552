#include "world/SectionFaces.h"

#include "engine/GlContext.h"
#include "world/ChunkFaceTables.h"

#include <algorithm>
#include <utility>

SectionFaces::SectionFaces(SectionFaces&& other) noexcept
    : vao(std::exchange(other.vao, 0)),
      buffer(std::exchange(other.buffer, 0)),
      texture(std::exchange(other.texture, 0)),
      faceCount(std::exchange(other.faceCount, 0)) {}

SectionFaces& SectionFaces::operator=(SectionFaces&& other) noexcept {
    if (this == &other) return *this;
    release();
    vao = std::exchange(other.vao, 0);
    buffer = std::exchange(other.buffer, 0);
    texture = std::exchange(other.texture, 0);
    faceCount = std::exchange(other.faceCount, 0);
    return *this;
}

void SectionFaces::release() {
    if (vao != 0 && glContextAlive()) {
        glDeleteTextures(1, &texture);
        glDeleteBuffers(1, &buffer);
        glDeleteVertexArrays(1, &vao);
    }
    vao = buffer = texture = 0;
    faceCount = 0;
}

void SectionFaces::upload(const std::vector<uint32_t>& records) {
    if (vao == 0) {
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &buffer);
        glGenTextures(1, &texture);
    }
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    glBufferData(GL_TEXTURE_BUFFER, GLsizeiptr(records.size() * sizeof(uint32_t)),
                 records.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glActiveTexture(GL_TEXTURE0 + SECTION_FACES_UNIT);
    glBindTexture(GL_TEXTURE_BUFFER, texture);
    glTexBuffer(GL_TEXTURE_BUFFER, GL_R32UI, buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    glActiveTexture(GLenum(unit));
    faceCount = uint32_t(records.size());
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
        const uint32_t axis = highest.x == lowest.x ? 0 : highest.y == lowest.y ? 1
                            : highest.z == lowest.z ? 2 : 3;
        records[f] = uint32_t(lowest.x) | uint32_t(lowest.y) << 4 | uint32_t(lowest.z) << 12 |
                     uint32_t(lowest.w) << 16 | axis << 20 | uint32_t(u0) << 22;
    }
    return records;
}

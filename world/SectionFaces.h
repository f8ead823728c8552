#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

// The GPU copy of a chunk section: one 32-bit record per face in a buffer texture, which the
// block shader expands into the face's twenty vertices (its position and texture coordinates
// follow from the face's lowest corner, axis and tile column, as the mesher made them). Twenty
// byte-sized vertices cost 140 bytes a face; the record costs 4, so the sections of a large
// render distance keep the driver's memory small. A draw names the tetrahedra it wants in a
// second buffer texture, by the index of their first vertex.
//
// Record bits: x 0-3, y 4-11, z 12-15, w 16-19 (the lowest corner), axis 20-21 (x, y, z, w),
// tile column u0 22-29.
struct FaceRecord {
    glm::u8vec4 corner;
    uint8_t axis;
    uint8_t tileU0;
};

constexpr uint32_t packFaceRecord(const FaceRecord& face) {
    return uint32_t(face.corner.x) | uint32_t(face.corner.y) << 4 | uint32_t(face.corner.z) << 12 |
           uint32_t(face.corner.w) << 16 | uint32_t(face.axis) << 20 | uint32_t(face.tileU0) << 22;
}

constexpr FaceRecord unpackFaceRecord(uint32_t record) {
    return {glm::u8vec4(record & 15u, record >> 4 & 255u, record >> 12 & 15u, record >> 16 & 15u),
            uint8_t(record >> 20 & 3u), uint8_t(record >> 22 & 255u)};
}

// The texture units the block shader reads the records ("sectionFaces") and the drawn
// tetrahedra ("sectionTetrahedra") from.
inline constexpr int SECTION_FACES_UNIT = 3;
inline constexpr int SECTION_TETRAHEDRA_UNIT = 4;

// Move-only; makes no GL call until the first upload, and none once the context is gone.
class SectionFaces {
public:
    GLuint vao = 0;      // no attributes: the shader reads the records by vertex index
    GLuint buffer = 0;   // the records
    GLuint texture = 0;  // the buffer seen as a GL_R32UI buffer texture
    GLuint tetrahedraBuffer = 0;   // the tetrahedra of the last draw
    GLuint tetrahedraTexture = 0;  // and that buffer's texture

    SectionFaces() = default;
    SectionFaces(const SectionFaces&) = delete;
    SectionFaces& operator=(const SectionFaces&) = delete;
    SectionFaces(SectionFaces&& other) noexcept;
    SectionFaces& operator=(SectionFaces&& other) noexcept;
    ~SectionFaces() { release(); }

    // Replaces the records; the GL objects are made on the first upload and kept after it.
    void upload(const std::vector<uint32_t>& records);
    // Draws the tetrahedra (first vertex indices, as lines with adjacency) with the current
    // program, which reads from SECTION_FACES_UNIT and SECTION_TETRAHEDRA_UNIT.
    void draw(const std::vector<uint32_t>& tetrahedra);
    void release();
};

// The records of vertices laid out as the mesher lays out faces: twenty a face, in the order of
// the face tables, with byte positions and texture coordinates.
std::vector<uint32_t> faceRecordsOf(const std::vector<glm::u8vec4>& positions,
                                    const std::vector<glm::u8vec3>& texCoords);

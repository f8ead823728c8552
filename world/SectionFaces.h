#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

// The GPU copy of a chunk section: one 32-bit record per face in a buffer texture, which the
// block shader expands into the face's twenty vertices (its position and texture coordinates
// follow from the face's lowest corner, axis and tile column, as the mesher made them). Twenty
// byte-sized vertices cost 140 bytes a face; the record costs 4, so the sections of a large
// render distance keep the driver's memory small.
//
// Record bits: x 0-3, y 4-11, z 12-15, w 16-19 (the lowest corner), axis 20-21 (x, y, z, w),
// tile column u0 22-29.
//
// The texture unit the block shader reads the records from ("sectionFaces").
inline constexpr int SECTION_FACES_UNIT = 3;

// Move-only; makes no GL call until the first upload, and none once the context is gone.
class SectionFaces {
public:
    GLuint vao = 0;      // no attributes: the shader reads the records by vertex index
    GLuint buffer = 0;   // the records
    GLuint texture = 0;  // the buffer seen as a GL_R32UI buffer texture
    uint32_t faceCount = 0;

    SectionFaces() = default;
    SectionFaces(const SectionFaces&) = delete;
    SectionFaces& operator=(const SectionFaces&) = delete;
    SectionFaces(SectionFaces&& other) noexcept;
    SectionFaces& operator=(SectionFaces&& other) noexcept;
    ~SectionFaces() { release(); }

    // Replaces the records; the GL objects are made on the first upload and kept after it.
    void upload(const std::vector<uint32_t>& records);
    void release();
};

// The records of vertices laid out as the mesher lays out faces: twenty a face, in the order of
// the face tables, with byte positions and texture coordinates.
std::vector<uint32_t> faceRecordsOf(const std::vector<glm::u8vec4>& positions,
                                    const std::vector<glm::u8vec3>& texCoords);

#pragma once

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

#include <span>

// Shared pieces of the 2D quads: the unit square, its index list and the per-draw model matrix
// fed as four vec4 attributes with a divisor of 1.
namespace quad {

// The corners in order (1, 1), (1, 0), (0, 0), (0, 1).
extern const float corners[8];
// White at all four corners: the colour a quad starts with.
extern const float white[16];

// Fills the element buffer of the bound vertex array: two triangles, or 0..3 for any other mode.
void uploadIndices(GLuint ebo, GLenum mode);
// Fills buffer with floats and describes it as attribute `index` of `components` floats.
void uploadAttribute(GLuint buffer, GLuint index, int components, const float* data,
                     GLsizeiptr bytes);
// Fills buffer with the matrix and describes it as attributes first..first+3, one per draw.
void uploadMatrixAttribute(GLuint buffer, GLuint first, const glm::mat4& model);
// Replaces a whole buffer's contents (no GL call for a buffer not made yet).
void replaceData(GLuint buffer, const void* data, GLsizeiptr bytes);
// The same colour at all four corners.
void replaceColor(GLuint buffer, float r, float g, float b, float a);
// translate(x, y, 0) x scale(width, height, 1).
glm::mat4 rectModel(float x, float y, float width, float height);
// Makes a vertex array and buffers into the given names.
void createObjects(GLuint& vao, std::span<GLuint* const> buffers);
// Deletes a vertex array and its buffers (none once the context is gone) and zeroes the names.
void deleteObjects(GLuint& vao, std::span<GLuint* const> buffers);

}  // namespace quad

#include "engine/QuadGeometry.h"

#include "engine/GlContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace quad {

const float corners[8] = {1, 1, 1, 0, 0, 0, 0, 1};
const float white[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

void uploadIndices(GLuint ebo, GLenum mode) {
    static const GLuint triangles[6] = {0, 1, 2, 2, 3, 0};
    static const GLuint loop[4] = {0, 1, 2, 3};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
    if (mode == GL_TRIANGLES)
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof triangles, triangles, GL_STATIC_DRAW);
    else
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof loop, loop, GL_STATIC_DRAW);
}

void uploadAttribute(GLuint buffer, GLuint index, int components, const float* data,
                     GLsizeiptr bytes) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(index);
}

void uploadMatrixAttribute(GLuint buffer, GLuint first, const glm::mat4& model) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(glm::mat4), glm::value_ptr(model), GL_STATIC_DRAW);
    for (GLuint column = 0; column < 4; ++column) {
        const GLuint index = first + column;
        glVertexAttribPointer(index, 4, GL_FLOAT, GL_FALSE, sizeof(glm::mat4),
                              reinterpret_cast<const void*>(sizeof(glm::vec4) * column));
        glEnableVertexAttribArray(index);
        glVertexAttribDivisor(index, 1);
    }
}

void replaceData(GLuint buffer, const void* data, GLsizeiptr bytes) {
    if (buffer == 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void replaceColor(GLuint buffer, float r, float g, float b, float a) {
    const float colors[16] = {r, g, b, a, r, g, b, a, r, g, b, a, r, g, b, a};
    replaceData(buffer, colors, sizeof colors);
}

glm::mat4 rectModel(float x, float y, float width, float height) {
    return glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f)),
                      glm::vec3(width, height, 1.0f));
}

void createObjects(GLuint& vao, std::span<GLuint* const> buffers) {
    glGenVertexArrays(1, &vao);
    for (GLuint* buffer : buffers) glGenBuffers(1, buffer);
}

void deleteObjects(GLuint& vao, std::span<GLuint* const> buffers) {
    const bool alive = glContextAlive();
    if (alive && vao != 0) glDeleteVertexArrays(1, &vao);
    vao = 0;
    for (GLuint* buffer : buffers) {
        if (alive && *buffer != 0) glDeleteBuffers(1, buffer);
        *buffer = 0;
    }
}

}  // namespace quad

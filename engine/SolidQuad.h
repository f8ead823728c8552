#pragma once

#include <GL/glew.h>
#include <glm/vec4.hpp>

struct Shader;

// A coloured rectangle: the unit square (1,1), (1,0), (0,0), (0,1) moved by a model matrix.
// The owner sets shader, mode and indexCount before init, then draws with
// glDrawElements(mode, indexCount, GL_UNSIGNED_INT, 0) on vao.
class SolidQuad {
public:
    Shader* shader = nullptr;
    GLuint vao = 0, ebo = 0, posVbo = 0, colorVbo = 0, matrixVbo = 0;
    GLenum mode = GL_TRIANGLES;
    int indexCount = 6;

    SolidQuad() = default;
    SolidQuad(const SolidQuad&) = delete;
    SolidQuad& operator=(const SolidQuad&) = delete;
    SolidQuad(SolidQuad&& other) noexcept;
    SolidQuad& operator=(SolidQuad&& other) noexcept;
    ~SolidQuad();

    // (Re)creates the GL objects; false when shader is null.
    bool init();
    void setColor(float r, float g, float b, float a);
    // One colour per corner, in the corner order (1, 1), (1, 0), (0, 0), (0, 1): with y pointing
    // down that is bottom right, top right, top left, bottom left. Colours blend across the quad.
    void setCornerColors(const glm::vec4 (&colors)[4]);
    // model = translate(x, y, 0) x scale(width, height, 1), in pixels.
    void setRect(float x, float y, float width, float height);
    void release();
};

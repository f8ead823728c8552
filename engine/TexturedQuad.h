#pragma once

#include <GL/glew.h>

struct Shader;
struct Texture;

// A rectangle cut from a texture. The owner sets texture and shader before init and draws six
// indices as triangles with the texture on unit 0.
class TexturedQuad {
public:
    Texture* texture = nullptr;
    Shader* shader = nullptr;
    GLuint vao = 0, ebo = 0, posVbo = 0, uvVbo = 0, matrixVbo = 0, colorVbo = 0;

    TexturedQuad() = default;
    TexturedQuad(const TexturedQuad&) = delete;
    TexturedQuad& operator=(const TexturedQuad&) = delete;
    TexturedQuad(TexturedQuad&& other) noexcept;
    TexturedQuad& operator=(TexturedQuad&& other) noexcept;
    ~TexturedQuad();

    // (Re)creates the GL objects; false unless texture and shader are both set.
    bool init();
    // The source rectangle in texture pixels.
    void setTexRect(unsigned x, unsigned y, unsigned width, unsigned height);
    void setColor(float r, float g, float b, float a);
    void setRect(float x, float y, float width, float height);
    void release();
};

#pragma once

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include <string>

struct Shader;
struct Texture;

// One line of text in an 8 x 8 bitmap font: one point per character, expanded to glyph quads
// by the text shader. Owners write x, y, scale, centered and color, then call updateModel.
class BitmapText {
public:
    std::string text;
    unsigned charWidth = 8, charHeight = 8, scale = 1;
    int x = 0, y = 0;
    glm::vec4 color{1, 1, 1, 1};
    glm::mat4 model{1.0f};
    bool centered = false;
    Texture* font = nullptr;
    Shader* shader = nullptr;
    GLuint vao = 0, vbo = 0;

    // Makes no GL call: usable as a global before the context exists.
    BitmapText() = default;
    // Creates the vertex array and buffer and uploads the (empty) text.
    BitmapText(Texture* font, Shader* shader);
    BitmapText(const BitmapText&) = delete;
    BitmapText& operator=(const BitmapText&) = delete;
    BitmapText(BitmapText&& other) noexcept;
    BitmapText& operator=(BitmapText&& other) noexcept;
    ~BitmapText();

    void setText(const std::string& text);
    void updateModel();
    void render();
    void release();

private:
    // Characters in the buffer: render never draws past what setText uploaded.
    GLsizei uploadedLength = 0;
};

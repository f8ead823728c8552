#include "engine/BitmapText.h"
#include "engine/Shader.h"
#include "engine/SolidQuad.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"

#include "GlDeleteCounter.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <stb_image.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int fbWidth = 160, fbHeight = 96;

// Pixels of the offscreen target, rows from the top like the 2D projection.
struct Image {
    std::vector<uint8_t> rgba;
    glm::u8vec4 at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * fbWidth + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
    bool lit(int x, int y) const { return at(x, y) != glm::u8vec4(0); }
};

bool near(glm::u8vec4 a, glm::u8vec4 b) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(int(a[i]) - int(b[i])) > 1) return false;
    return true;
}

class Drawing2DTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        testgl::loadAllShaders();
        for (const char* name : {"quadShader", "tex2DShader", "textShader"}) {
            Shader* shader = getShader(name);
            ASSERT_NE(shader, nullptr) << name;
            glUseProgram(shader->program);
            const glm::mat4 projection = glm::ortho(0.0f, float(fbWidth), float(fbHeight), 0.0f,
                                                    -1.0f, 1.0f);
            glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE,
                               glm::value_ptr(projection));
        }
        framebuffer = std::make_unique<testgl::Framebuffer>(fbWidth, fbHeight);
        framebuffer->bind();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void TearDown() override {
        if (framebuffer) testgl::Framebuffer::unbind();
        framebuffer.reset();
    }

    Image capture(const std::string& screenshot) {
        framebuffer->savePng(testgl::screenshotPath(screenshot));
        return Image{framebuffer->readTopDown()};
    }

    static void draw(const SolidQuad& quad) {
        glUseProgram(quad.shader->program);
        glBindVertexArray(quad.vao);
        glDrawElements(quad.mode, quad.indexCount, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }

    static void draw(const TexturedQuad& quad) {
        glUseProgram(quad.shader->program);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, quad.texture->id);
        glBindVertexArray(quad.vao);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }

    std::unique_ptr<testgl::Framebuffer> framebuffer;
};

TEST_F(Drawing2DTest, ShadersTakeTheUniformTypesTheCodeSends) {
    testgl::expectUniform("quadShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("tex2DShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("textShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("textShader", "MV", GL_FLOAT_MAT4);
    testgl::expectUniform("textShader", "inColor", GL_FLOAT_VEC4);
    testgl::expectUniform("textShader", "charSize", GL_INT_VEC2);
}

TEST_F(Drawing2DTest, SolidQuadFillsExactlyItsRectangleInItsColour) {
    SolidQuad quad;
    quad.shader = getShader("quadShader");
    ASSERT_TRUE(quad.init());
    quad.setColor(1.0f, 0.5f, 0.0f, 1.0f);
    quad.setRect(10, 20, 30, 15);
    draw(quad);
    const Image image = capture("solid_quad");
    for (int y = 0; y < fbHeight; ++y)
        for (int x = 0; x < fbWidth; ++x) {
            const bool inside = x >= 10 && x < 40 && y >= 20 && y < 35;
            const glm::u8vec4 expected = inside ? glm::u8vec4(255, 128, 0, 255) : glm::u8vec4(0);
            ASSERT_TRUE(near(image.at(x, y), expected)) << x << ", " << y;
        }
}

TEST_F(Drawing2DTest, SolidQuadLineLoopOutlinesItsRectangle) {
    SolidQuad quad;
    quad.shader = getShader("quadShader");
    quad.mode = GL_LINE_LOOP;
    quad.indexCount = 4;
    ASSERT_TRUE(quad.init());
    GLuint indices[4] = {};
    glBindVertexArray(quad.vao);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof indices, indices);
    glBindVertexArray(0);
    EXPECT_EQ(std::vector<GLuint>(indices, indices + 4), (std::vector<GLuint>{0, 1, 2, 3}));

    // Half-pixel edges put the lines through pixel centres: columns 10 and 40, rows 20 and 35.
    quad.setColor(0.0f, 1.0f, 0.0f, 1.0f);
    quad.setRect(10.5f, 20.5f, 30, 15);
    draw(quad);
    const Image image = capture("solid_quad_outline");
    int left = 0, right = 0, top = 0, bottom = 0;
    for (int y = 0; y < fbHeight; ++y)
        for (int x = 0; x < fbWidth; ++x) {
            if (!image.lit(x, y)) continue;
            ASSERT_TRUE(near(image.at(x, y), {0, 255, 0, 255})) << x << ", " << y;
            const bool onVertical = (x == 10 || x == 40) && y >= 20 && y <= 35;
            const bool onHorizontal = (y == 20 || y == 35) && x >= 10 && x <= 40;
            ASSERT_TRUE(onVertical || onHorizontal) << x << ", " << y;
            left += x == 10;
            right += x == 40;
            top += y == 20;
            bottom += y == 35;
        }
    EXPECT_GE(left, 14);
    EXPECT_GE(right, 14);
    EXPECT_GE(top, 29);
    EXPECT_GE(bottom, 29);
}

TEST_F(Drawing2DTest, SolidQuadInitNeedsAShaderAndReleasesOnReinit) {
    SolidQuad quad;
    EXPECT_FALSE(quad.init());
    EXPECT_EQ(quad.vao, 0u);
    quad.shader = getShader("quadShader");
    ASSERT_TRUE(quad.init());
    GlDeleteCounter counter;
    ASSERT_TRUE(quad.init());
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
    EXPECT_EQ(GlDeleteCounter::buffers, 4);
    SolidQuad moved(std::move(quad));
    EXPECT_EQ(quad.vao, 0u);
    EXPECT_EQ(quad.colorVbo, 0u);
    EXPECT_NE(moved.vao, 0u);
}

TEST_F(Drawing2DTest, TexturedQuadShowsACheckerTheRightWayUp) {
    // Top row red, green; bottom row blue, white.
    const uint8_t checker[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    addTexture("test checker", checker, 2, 2, 4);
    TexturedQuad quad;
    EXPECT_FALSE(quad.init());
    quad.texture = getTexture("test checker");
    quad.shader = getShader("tex2DShader");
    ASSERT_TRUE(quad.init());

    // Fresh from init the quad is the texture at its own size at the origin.
    draw(quad);
    Image image = capture("textured_quad_native");
    EXPECT_TRUE(near(image.at(0, 0), {255, 0, 0, 255}));
    EXPECT_TRUE(near(image.at(1, 0), {0, 255, 0, 255}));
    EXPECT_TRUE(near(image.at(0, 1), {0, 0, 255, 255}));
    EXPECT_TRUE(near(image.at(1, 1), {255, 255, 255, 255}));
    EXPECT_FALSE(image.lit(2, 0));
    EXPECT_FALSE(image.lit(0, 2));

    glClear(GL_COLOR_BUFFER_BIT);
    quad.setRect(40, 20, 32, 32);
    draw(quad);
    image = capture("textured_quad_checker");
    const glm::u8vec4 quadrants[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                                      {255, 255, 255, 255}};
    for (int y = 0; y < fbHeight; ++y)
        for (int x = 0; x < fbWidth; ++x) {
            const bool inside = x >= 40 && x < 72 && y >= 20 && y < 52;
            const glm::u8vec4 expected =
                inside ? quadrants[(y - 20) / 16 * 2 + (x - 40) / 16] : glm::u8vec4(0);
            ASSERT_TRUE(near(image.at(x, y), expected)) << x << ", " << y;
        }
}

TEST_F(Drawing2DTest, TexturedQuadTexRectAndColourPickAndTint) {
    const uint8_t checker[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    addTexture("test checker", checker, 2, 2, 4);
    TexturedQuad quad;
    quad.texture = getTexture("test checker");
    quad.shader = getShader("tex2DShader");
    ASSERT_TRUE(quad.init());
    quad.setTexRect(0, 1, 2, 1);  // the bottom row: blue, white
    quad.setColor(1.0f, 1.0f, 1.0f, 0.5f);
    quad.setRect(0, 0, 20, 10);
    draw(quad);
    const Image image = capture("textured_quad_texrect");
    EXPECT_TRUE(near(image.at(5, 5), {0, 0, 255, 128}));
    EXPECT_TRUE(near(image.at(15, 5), {255, 255, 255, 128}));

    // Moving hands the names over; the old owner keeps none.
    TexturedQuad other;
    other = std::move(quad);
    EXPECT_EQ(quad.vao, 0u);
    EXPECT_EQ(quad.uvVbo, 0u);
    EXPECT_EQ(quad.texture, nullptr);
    EXPECT_NE(other.vao, 0u);
}

class BitmapTextTest : public Drawing2DTest {
protected:
    void SetUp() override {
        Drawing2DTest::SetUp();
        font = getTexture("pixelfont.png");
        ASSERT_NE(font, nullptr);
        int w = 0, h = 0, n = 0;
        unsigned char* pixels = stbi_load("assets/textures/pixelfont.png", &w, &h, &n, 4);
        ASSERT_NE(pixels, nullptr);
        fontPixels.assign(pixels, pixels + w * h * 4);
        stbi_image_free(pixels);
    }

    bool glyphLit(unsigned char c, int gx, int gy) const {
        const int x = (c % 16) * 8 + gx, y = (c / 16) * 8 + gy;
        return fontPixels[(static_cast<size_t>(y) * 128 + x) * 4 + 3] > 127;
    }

    // Every pixel of the image: lit in `color` exactly where the font's glyph for the character
    // whose cell covers it is lit, and dark outside the text's cells.
    void expectText(const Image& image, const std::string& text, int left, int top,
                    int scale, glm::u8vec4 color) const {
        const int cell = 8 * scale;
        int lit = 0;
        for (int y = 0; y < fbHeight; ++y)
            for (int x = 0; x < fbWidth; ++x) {
                bool expected = false;
                const int dx = x - left, dy = y - top;
                if (dx >= 0 && dy >= 0 && dx < cell * int(text.size()) && dy < cell) {
                    const auto c = static_cast<unsigned char>(text[dx / cell]);
                    expected = glyphLit(c, dx % cell / scale, dy / scale);
                }
                lit += expected;
                ASSERT_TRUE(near(image.at(x, y), expected ? color : glm::u8vec4(0)))
                    << "pixel " << x << ", " << y;
            }
        EXPECT_GT(lit, 0);
    }

    Texture* font = nullptr;
    std::vector<uint8_t> fontPixels;
};

TEST_F(BitmapTextTest, LightsTheFontsGlyphsInsideTheCharacterCells) {
    BitmapText text;
    text = BitmapText(font, getShader("textShader"));
    text.x = 3;
    text.y = 5;
    text.scale = 2;
    text.color = {0.0f, 1.0f, 1.0f, 1.0f};
    text.setText("Hi, g@j~");
    text.render();
    expectText(capture("bitmap_text"), "Hi, g@j~", 3, 5, 2, {0, 255, 255, 255});
}

TEST_F(BitmapTextTest, EveryPrintableCharacterDrawsItsGlyph) {
    BitmapText text(font, getShader("textShader"));
    for (int first = 32; first < 127; first += 19) {
        std::string line;
        for (int c = first; c < first + 19 && c < 127; ++c) line += static_cast<char>(c);
        glClear(GL_COLOR_BUFFER_BIT);
        text.y = 40;
        text.setText(line);
        text.render();
        SCOPED_TRACE(line);
        expectText(capture("bitmap_text_font_" + std::to_string(first)), line, 0, 40, 1,
                   {255, 255, 255, 255});
    }
}

TEST_F(BitmapTextTest, CentredTextIsPlacedAroundItsPoint) {
    BitmapText text(font, getShader("textShader"));
    text.x = 100;
    text.y = 50;
    text.scale = 2;
    text.centered = true;
    text.setText("Hello");
    // Five characters of 16 pixels: the origin is 40 to the left and 8 above the centre.
    EXPECT_EQ(text.model[3][0], 60.0f);
    EXPECT_EQ(text.model[3][1], 42.0f);
    text.render();
    expectText(capture("bitmap_text_centred"), "Hello", 60, 42, 2, {255, 255, 255, 255});

    // Odd widths halve as integers.
    text.scale = 1;
    text.x = 11;
    text.y = 7;
    text.setText("abc");
    EXPECT_EQ(text.model[3][0], 11.0f - 12.0f);
    EXPECT_EQ(text.model[3][1], 3.0f);
}

TEST_F(BitmapTextTest, MovingGivesUpBothNamesAndTheDestructorDeletesBoth) {
    BitmapText first(font, getShader("textShader"));
    first.setText("moved");
    const GLuint vao = first.vao, vbo = first.vbo;
    ASSERT_NE(vao, 0u);
    ASSERT_NE(vbo, 0u);
    GlDeleteCounter counter;
    {
        BitmapText second(std::move(first));
        EXPECT_EQ(first.vao, 0u);
        EXPECT_EQ(first.vbo, 0u);
        EXPECT_EQ(second.vao, vao);
        EXPECT_EQ(second.vbo, vbo);
        EXPECT_EQ(second.text, "moved");

        BitmapText third(font, getShader("textShader"));
        third = std::move(second);  // third's own pair goes
        EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
        EXPECT_EQ(GlDeleteCounter::buffers, 1);
        EXPECT_EQ(second.vao, 0u);
        EXPECT_EQ(second.vbo, 0u);
        EXPECT_EQ(third.vbo, vbo);
    }
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 2);
    EXPECT_EQ(GlDeleteCounter::buffers, 2);
    first.render();  // without names it draws nothing and makes no error
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

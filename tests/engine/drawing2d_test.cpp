#include "engine/BitmapText.h"
#include "engine/Shader.h"
#include "engine/SolidQuad.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"

#include "GlDeleteCounter.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int fbWidth = 160, fbHeight = 96;
const glm::u8vec4 dark(0), red(255, 0, 0, 255), green(0, 255, 0, 255), blue(0, 0, 255, 255),
    white(255);

// Pixels of the offscreen target, rows from the top like the 2D projection.
struct Image {
    std::vector<uint8_t> rgba;
    glm::u8vec4 at(int x, int y) const {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * fbWidth + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

bool near(glm::u8vec4 a, glm::u8vec4 b) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(int(a[i]) - int(b[i])) > 1) return false;
    return true;
}

// Every pixel of the image against what it should be; stops at the first that differs.
void expectImage(const Image& image, const std::function<glm::u8vec4(int, int)>& expected) {
    for (int y = 0; y < fbHeight; ++y)
        for (int x = 0; x < fbWidth; ++x)
            ASSERT_TRUE(near(image.at(x, y), expected(x, y))) << "pixel " << x << ", " << y;
}

// Top row red, green; bottom row blue, white.
const uint8_t checker[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

class Drawing2DTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        testgl::loadAllShaders();
        const glm::mat4 projection = glm::ortho(0.0f, float(fbWidth), float(fbHeight), 0.0f);
        for (const char* name : {"quadShader", "tex2DShader", "textShader"}) {
            Shader* shader = getShader(name);
            ASSERT_NE(shader, nullptr) << name;
            glUseProgram(shader->program);
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

    Image capture(const std::string& screenshot) {
        framebuffer->savePng(testgl::screenshotPath(screenshot));
        Image image{framebuffer->readTopDown()};
        glClear(GL_COLOR_BUFFER_BIT);
        return image;
    }
    static void draw(const SolidQuad& quad) {
        glUseProgram(quad.shader->program);
        glBindVertexArray(quad.vao);
        glDrawElements(quad.mode, quad.indexCount, GL_UNSIGNED_INT, nullptr);
    }
    static void draw(const TexturedQuad& quad) {
        glUseProgram(quad.shader->program);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, quad.texture->id);
        glBindVertexArray(quad.vao);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    }

    std::unique_ptr<testgl::Framebuffer> framebuffer;
};

TEST_F(Drawing2DTest, SolidQuadFillsExactlyItsRectangleInItsColour) {
    SolidQuad quad;
    EXPECT_FALSE(quad.init()) << "no shader";
    quad.shader = getShader("quadShader");
    ASSERT_TRUE(quad.init());
    quad.setColor(1.0f, 0.5f, 0.0f, 1.0f);
    quad.setRect(10, 20, 30, 15);
    draw(quad);
    expectImage(capture("solid_quad"), [](int x, int y) {
        return x >= 10 && x < 40 && y >= 20 && y < 35 ? glm::u8vec4(255, 128, 0, 255) : dark;
    });

    // Init again (here for another mode) first releases the vertex array and its four buffers.
    GlDeleteCounter counter;
    quad.mode = GL_LINE_LOOP;
    quad.indexCount = 4;
    ASSERT_TRUE(quad.init());
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
    EXPECT_EQ(GlDeleteCounter::buffers, 4);
    GLuint indices[4] = {};
    glBindVertexArray(quad.vao);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof indices, indices);
    EXPECT_EQ(std::vector<GLuint>(indices, indices + 4), (std::vector<GLuint>{0, 1, 2, 3}));

    // Half-pixel edges put the outline through pixel centres: columns 10 and 40, rows 20 and 35.
    quad.setColor(0.0f, 1.0f, 0.0f, 1.0f);
    quad.setRect(10.5f, 20.5f, 30, 15);
    draw(quad);
    const Image image = capture("solid_quad_outline");
    int left = 0, right = 0, top = 0, bottom = 0;
    for (int y = 0; y < fbHeight; ++y)
        for (int x = 0; x < fbWidth; ++x) {
            if (image.at(x, y) == dark) continue;
            ASSERT_TRUE(near(image.at(x, y), green)) << x << ", " << y;
            const bool onVertical = (x == 10 || x == 40) && y >= 20 && y <= 35;
            const bool onHorizontal = (y == 20 || y == 35) && x >= 10 && x <= 40;
            ASSERT_TRUE(onVertical || onHorizontal) << x << ", " << y;
            left += x == 10, right += x == 40, top += y == 20, bottom += y == 35;
        }
    EXPECT_GE(std::min(left, right), 14);
    EXPECT_GE(std::min(top, bottom), 29);

    SolidQuad moved(std::move(quad));
    EXPECT_EQ(quad.vao, 0u);
    EXPECT_EQ(quad.colorVbo, 0u);
    EXPECT_NE(moved.vao, 0u);
}

TEST_F(Drawing2DTest, TexturedQuadShowsACheckerTheRightWayUp) {
    addTexture("test checker", checker, 2, 2, 4);
    TexturedQuad quad;
    quad.shader = getShader("tex2DShader");
    EXPECT_FALSE(quad.init()) << "no texture";
    quad.texture = getTexture("test checker");
    ASSERT_TRUE(quad.init());

    // Fresh from init the quad is the texture at its own size at the origin.
    draw(quad);
    expectImage(capture("textured_quad_native"), [](int x, int y) {
        const glm::u8vec4 texels[4] = {red, green, blue, white};
        return x < 2 && y < 2 ? texels[y * 2 + x] : dark;
    });

    quad.setRect(40, 20, 32, 32);
    draw(quad);
    expectImage(capture("textured_quad_checker"), [](int x, int y) {
        const glm::u8vec4 quadrants[4] = {red, green, blue, white};
        const bool inside = x >= 40 && x < 72 && y >= 20 && y < 52;
        return inside ? quadrants[(y - 20) / 16 * 2 + (x - 40) / 16] : dark;
    });

    // A source rectangle picks the bottom row; the colour tints.
    quad.setTexRect(0, 1, 2, 1);
    quad.setColor(1.0f, 1.0f, 1.0f, 0.5f);
    quad.setRect(0, 0, 20, 10);
    draw(quad);
    expectImage(capture("textured_quad_texrect"), [](int x, int y) {
        if (y >= 10 || x >= 20) return dark;
        return x < 10 ? glm::u8vec4(0, 0, 255, 128) : glm::u8vec4(255, 255, 255, 128);
    });

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

    Texture* font = nullptr;
    std::vector<uint8_t> fontPixels;
};

TEST_F(BitmapTextTest, TheFontHasAGlyphForEveryPrintableCharacterAndNothingElse) {
    for (int code = 0; code < 256; ++code) {
        int lit = 0;
        for (int i = 0; i < 64; ++i) lit += glyphLit(uint8_t(code), i % 8, i / 8);
        EXPECT_EQ(lit > 0, code > 32 && code < 127) << "cell " << code;
    }
}

TEST_F(BitmapTextTest, LightsTheFontsGlyphsOnlyInsideTheCharacterCells) {
    struct Case {
        std::string text;
        int x, y;
        unsigned scale;
        bool centered;
        glm::u8vec4 color;
        int left, top;  // where the first cell lands
    };
    std::vector<Case> cases = {
        {"Hi, g@j~", 3, 5, 2, false, {0, 255, 255, 255}, 3, 5},
        // Five characters of 16 pixels centred on (100, 50): the origin is 40 left, 8 up.
        {"Hello", 100, 50, 2, true, white, 60, 42},
    };
    for (int first = 32; first < 127; first += 19) {  // every printable character
        std::string line;
        for (int c = first; c < first + 19 && c < 127; ++c) line += static_cast<char>(c);
        cases.push_back({line, 0, 40, 1, false, white, 0, 40});
    }
    BitmapText text;
    text = BitmapText(font, getShader("textShader"));
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.text);
        text.x = c.x;
        text.y = c.y;
        text.scale = c.scale;
        text.centered = c.centered;
        text.color = glm::vec4(c.color) / 255.0f;
        text.setText(c.text);
        text.render();
        const int cell = 8 * static_cast<int>(c.scale);
        int lit = 0;
        expectImage(capture("bitmap_text_" + std::to_string(i)), [&](int x, int y) {
            const int dx = x - c.left, dy = y - c.top;
            if (dx < 0 || dy < 0 || dx >= cell * int(c.text.size()) || dy >= cell) return dark;
            const auto ch = static_cast<unsigned char>(c.text[dx / cell]);
            const bool on = glyphLit(ch, dx % cell / int(c.scale), dy / int(c.scale));
            lit += on;
            return on ? c.color : dark;
        });
        EXPECT_GT(lit, 0);
    }
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
        EXPECT_EQ(std::make_pair(first.vao, first.vbo), std::make_pair(0u, 0u));
        EXPECT_EQ(std::make_pair(second.vao, second.vbo), std::make_pair(vao, vbo));
        EXPECT_EQ(second.text, "moved");

        BitmapText third(font, getShader("textShader"));
        third = std::move(second);  // third's own pair goes
        EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
        EXPECT_EQ(GlDeleteCounter::buffers, 1);
        EXPECT_EQ(std::make_pair(second.vao, second.vbo), std::make_pair(0u, 0u));
        EXPECT_EQ(third.vbo, vbo);
    }
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 2);
    EXPECT_EQ(GlDeleteCounter::buffers, 2);
    first.render();  // without names it draws nothing and makes no error
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"

#include "support/GlTestContext.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(testgl::context(), nullptr); }

    static std::string tempPng(const std::string& name, int width, int height, int channels,
                               const std::vector<uint8_t>& pixels) {
        const auto dir = std::filesystem::temp_directory_path() / "hollowmere_texture_test";
        std::filesystem::create_directories(dir);
        const std::string path = (dir / name).string();
        EXPECT_NE(stbi_write_png(path.c_str(), width, height, channels, pixels.data(),
                                 width * channels),
                  0);
        return path;
    }

    static GLint textureParameter(const Texture& texture, GLenum name) {
        GLint value = -1;
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    // Level 0 in the given format, rows in upload order (the top row of the image first).
    static std::vector<uint8_t> texels(const Texture& texture, GLenum format, int channels) {
        std::vector<uint8_t> out(static_cast<size_t>(texture.width) * texture.height * channels);
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return out;
    }
};

TEST_F(TextureTest, CacheReturnsTheSamePointerAndLoadsOnce) {
    const size_t before = textures.size();
    Texture* font = getTexture("pixelfont.png");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(textures.size(), before + 1);
    EXPECT_EQ(getTexture("pixelfont.png"), font);
    EXPECT_EQ(textures.size(), before + 1);
    EXPECT_EQ(font->width, 128);
    EXPECT_EQ(font->height, 128);
}

TEST_F(TextureTest, MissingFileGivesNullEveryTimeAndCachesNothing) {
    const size_t before = textures.size();
    EXPECT_EQ(getTexture("no such image.png"), nullptr);
    EXPECT_EQ(getTexture("no such image.png"), nullptr);
    EXPECT_EQ(textures.size(), before);
    EXPECT_FALSE(textures.contains("no such image.png"));
}

TEST_F(TextureTest, AddTextureLeavesACachedNameUnchanged) {
    const uint8_t red[4] = {255, 0, 0, 255};
    addTexture("added once", red, 1, 1, 4);
    Texture* first = getTexture("added once");
    ASSERT_NE(first, nullptr);
    const GLuint id = first->id;
    const uint8_t greenPair[8] = {0, 255, 0, 255, 0, 255, 0, 255};
    addTexture("added once", greenPair, 2, 1, 4);
    EXPECT_EQ(getTexture("added once"), first);
    EXPECT_EQ(first->id, id);
    EXPECT_EQ(first->width, 1);
    EXPECT_EQ(texels(*first, GL_RGBA, 4), std::vector<uint8_t>(red, red + 4));
}

TEST_F(TextureTest, AddTextureWithABadChannelCountCachesNothing) {
    const uint8_t pixels[8] = {};
    addTexture("five channels", pixels, 1, 1, 5);
    addTexture("no pixels", nullptr, 1, 1, 4);
    EXPECT_FALSE(textures.contains("five channels"));
    EXPECT_FALSE(textures.contains("no pixels"));
}

TEST_F(TextureTest, RowsOfOddByteWidthArriveIntactWithAlignmentOne) {
    // 3 x 2 RGB: 9 bytes a row, which a 4-byte unpack alignment would skew.
    const std::vector<uint8_t> pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                         10, 11, 12, 13, 14, 15, 16, 17, 18};
    addTexture("odd rows", pixels.data(), 3, 2, 3);
    Texture* texture = getTexture("odd rows");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 3);
    EXPECT_EQ(texture->height, 2);
    EXPECT_EQ(texels(*texture, GL_RGB, 3), pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";
}

TEST_F(TextureTest, FilteringIsNearestWithOneMipLevel) {
    Texture* font = getTexture("pixelfont.png");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(textureParameter(*font, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(*font, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(*font, GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(textureParameter(*font, GL_TEXTURE_MAX_LEVEL), 0);
}

TEST_F(TextureTest, LoadKeepsTheFileRowOrderAndReadsOneToFourChannels) {
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(channels);
        // Two columns, three rows; the first row of the file is all 200, the others 40.
        std::vector<uint8_t> pixels(2 * 3 * channels, 40);
        for (int i = 0; i < 2 * channels; ++i) pixels[i] = 200;
        const std::string path =
            tempPng("rows" + std::to_string(channels) + ".png", 2, 3, channels, pixels);
        Texture texture;
        ASSERT_TRUE(texture.load(path));
        EXPECT_EQ(texture.width, 2);
        EXPECT_EQ(texture.height, 3);
        const std::vector<uint8_t> red = texels(texture, GL_RED, 1);
        EXPECT_EQ(red, (std::vector<uint8_t>{200, 200, 40, 40, 40, 40}));
        const GLint expectedFormat[4] = {GL_R8, GL_RG8, GL_RGB8, GL_RGBA8};
        glBindTexture(GL_TEXTURE_2D, texture.id);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(format, expectedFormat[channels - 1]);
        glDeleteTextures(1, &texture.id);
    }
}

TEST_F(TextureTest, LoadingAgainReplacesTheOldTexture) {
    const std::vector<uint8_t> pixels(4 * 4, 255);
    const std::string path = tempPng("again.png", 2, 2, 4, pixels);
    Texture texture;
    ASSERT_TRUE(texture.load(path));
    const GLuint first = texture.id;
    ASSERT_TRUE(texture.load(path));
    EXPECT_FALSE(glIsTexture(first) && first != texture.id);
    EXPECT_FALSE(texture.load(path + ".missing"));
    EXPECT_EQ(texture.id, 0u);
}

TEST_F(TextureTest, SetTexRectGivesCornerCoordinatesInTextureFractions) {
    const std::vector<uint8_t> pixels(64 * 32 * 4, 255);
    addTexture("64x32", pixels.data(), 64, 32, 4);
    TexturedQuad quad;
    quad.texture = getTexture("64x32");
    testgl::loadAllShaders();
    quad.shader = getShader("tex2DShader");
    ASSERT_NE(quad.shader, nullptr);
    ASSERT_TRUE(quad.init());
    quad.setTexRect(16, 0, 16, 16);
    float uvs[8] = {};
    glBindBuffer(GL_ARRAY_BUFFER, quad.uvVbo);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof uvs, uvs);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // Corners (1, 1), (1, 0), (0, 0), (0, 1).
    const float expected[8] = {0.5f, 0.5f, 0.5f, 0.0f, 0.25f, 0.0f, 0.25f, 0.5f};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(uvs[i], expected[i]) << i;
}

TEST_F(TextureTest, PixelFontHasAGlyphForEveryPrintableCharacterAndNothingElse) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels =
        stbi_load("assets/textures/pixelfont.png", &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(width, 128);
    ASSERT_EQ(height, 128);
    for (int code = 0; code < 256; ++code) {
        int lit = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                lit += pixels[(((code / 16) * 8 + y) * 128 + (code % 16) * 8 + x) * 4 + 3] > 127;
        if (code > 32 && code < 127)
            EXPECT_GT(lit, 0) << "glyph " << code;
        else
            EXPECT_EQ(lit, 0) << "cell " << code;
    }
    stbi_image_free(pixels);
}

}  // namespace

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"

#include "support/GlTestContext.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

namespace {

GLint parameter(const Texture& texture, GLenum name) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// Level 0 in the given format, rows in upload order (the top row of the image first).
std::vector<uint8_t> texels(const Texture& texture, GLenum format, int channels) {
    std::vector<uint8_t> out(static_cast<size_t>(texture.width) * texture.height * channels);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
    return out;
}

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(testgl::context(), nullptr); }
};

TEST_F(TextureTest, CacheLoadsOnceAndGivesNearestFilteringWithOneMipLevel) {
    Texture* font = getTexture("pixelfont.png");
    ASSERT_NE(font, nullptr);
    const size_t cached = textures.size();
    EXPECT_EQ(getTexture("pixelfont.png"), font);
    EXPECT_EQ(std::make_pair(font->width, font->height), std::make_pair(128, 128));
    EXPECT_EQ(parameter(*font, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(*font, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(*font, GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(parameter(*font, GL_TEXTURE_MAX_LEVEL), 0);

    // A missing file gives null every time and caches nothing.
    EXPECT_EQ(getTexture("no such image.png"), nullptr);
    EXPECT_EQ(getTexture("no such image.png"), nullptr);
    EXPECT_EQ(textures.size(), cached);
}

TEST_F(TextureTest, AddTextureKeepsRowsIntactAndACachedNameUnchanged) {
    // 3 x 2 RGB: 9 bytes a row, which a 4-byte unpack alignment would skew.
    const std::vector<uint8_t> pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                         10, 11, 12, 13, 14, 15, 16, 17, 18};
    addTexture("odd rows", pixels.data(), 3, 2, 3);
    Texture* texture = getTexture("odd rows");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(std::make_pair(texture->width, texture->height), std::make_pair(3, 2));
    EXPECT_EQ(texels(*texture, GL_RGB, 3), pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";

    const GLuint id = texture->id;
    addTexture("odd rows", pixels.data(), 1, 1, 4);
    EXPECT_EQ(getTexture("odd rows"), texture);
    EXPECT_EQ(texture->id, id);
    EXPECT_EQ(texels(*texture, GL_RGB, 3), pixels);

    addTexture("five channels", pixels.data(), 1, 1, 5);
    addTexture("no pixels", nullptr, 1, 1, 4);
    EXPECT_FALSE(textures.contains("five channels"));
    EXPECT_FALSE(textures.contains("no pixels"));
}

TEST_F(TextureTest, LoadKeepsTheFileRowOrderReadsOneToFourChannelsAndReplaces) {
    testfs::TempWorkDir dir;
    const GLint formats[4] = {GL_R8, GL_RG8, GL_RGB8, GL_RGBA8};
    Texture texture;
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(channels);
        // Two columns, three rows; the first row of the file is all 200, the others 40.
        std::vector<uint8_t> pixels(2 * 3 * channels, 40);
        std::fill_n(pixels.begin(), 2 * channels, 200);
        const std::string path = std::to_string(channels) + ".png";
        ASSERT_NE(stbi_write_png(path.c_str(), 2, 3, channels, pixels.data(), 2 * channels), 0);
        const GLuint previous = texture.id;
        ASSERT_TRUE(texture.load(path));
        EXPECT_FALSE(previous && previous != texture.id && glIsTexture(previous)) << "leaked";
        EXPECT_EQ(std::make_pair(texture.width, texture.height), std::make_pair(2, 3));
        EXPECT_EQ(texels(texture, GL_RED, 1), (std::vector<uint8_t>{200, 200, 40, 40, 40, 40}));
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(format, formats[channels - 1]);
    }
    EXPECT_FALSE(texture.load("missing.png"));
    EXPECT_EQ(texture.id, 0u);
}

TEST_F(TextureTest, SetTexRectGivesCornerCoordinatesInTextureFractions) {
    const std::vector<uint8_t> pixels(64 * 32 * 4, 255);
    addTexture("64x32", pixels.data(), 64, 32, 4);
    TexturedQuad quad;
    quad.texture = getTexture("64x32");
    testgl::loadAllShaders();
    quad.shader = getShader("tex2DShader");
    ASSERT_TRUE(quad.shader && quad.init());
    quad.setTexRect(16, 0, 16, 16);
    std::vector<float> uvs(8);
    glBindBuffer(GL_ARRAY_BUFFER, quad.uvVbo);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 8 * sizeof(float), uvs.data());
    // Corners (1, 1), (1, 0), (0, 0), (0, 1).
    EXPECT_EQ(uvs, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.0f, 0.25f, 0.0f, 0.25f, 0.5f}));
}

}  // namespace

#include "engine/Audio.h"
#include "engine/Texture.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <memory>
#include <string>

// The images and sounds the game screen names exist, load, and have the layout its drawing
// code cuts them by; every uniform it sets has the type it sends.

namespace {

struct Image {
    int width = 0, height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

    explicit Image(const std::string& name) {
        int channels = 0;
        pixels.reset(stbi_load(("assets/textures/" + name).c_str(), &width, &height, &channels, 4));
    }
    const unsigned char* at(int x, int y) const { return pixels.get() + (size_t(y) * width + x) * 4; }
};

TEST(GameAssets, HealthVialHasItsFillAndFrameHalves) {
    Image health("health.png");
    ASSERT_TRUE(health.pixels);
    EXPECT_EQ(health.width, 64);
    EXPECT_EQ(health.height, 48);
    // Inside the vial: red liquid in the fill half, clear glass in the frame half.
    EXPECT_GT(health.at(6, 30)[0], 150);
    EXPECT_EQ(health.at(6, 30)[3], 255);
    EXPECT_EQ(health.at(32 + 6, 30)[3], 0);
    // Outside the vial the fill half is clear, so the bar shows only the liquid's shape.
    EXPECT_EQ(health.at(0, 47)[3], 0);
    // The frame half draws the vial's rim.
    int rim = 0;
    for (int x = 32; x < 64; ++x) rim += health.at(x, 30)[3] == 255;
    EXPECT_GE(rim, 2);
}

TEST(GameAssets, CrosshairIsAWhiteCrossOnClear) {
    Image cross("crosshair.png");
    ASSERT_TRUE(cross.pixels);
    EXPECT_EQ(cross.width, 16);
    EXPECT_EQ(cross.height, 16);
    EXPECT_EQ(cross.at(8, 8)[0], 255);
    EXPECT_EQ(cross.at(8, 8)[3], 255);
    EXPECT_EQ(cross.at(0, 0)[3], 0);
}

TEST(GameAssets, TargetBlockHoldsEightStagesOfSixteenLayers) {
    Image target("targetBlock.png");
    ASSERT_TRUE(target.pixels);
    ASSERT_EQ(target.width, 8 * 16);
    ASSERT_EQ(target.height, 16 * 16);
    auto opaqueInside = [&](int stage) {
        int count = 0;
        for (int layer = 0; layer < 16; ++layer)
            for (int y = 1; y < 15; ++y)
                for (int x = 1; x < 15; ++x) count += target.at(stage * 16 + x, layer * 16 + y)[3] > 0;
        return count;
    };
    // Stage 0 is only the rim; the cracks grow stage by stage.
    EXPECT_EQ(opaqueInside(0), 0);
    EXPECT_GT(target.at(0, 0)[3], 0);
    int previous = 0;
    for (int stage = 1; stage < 8; ++stage) {
        int cracks = opaqueInside(stage);
        EXPECT_GT(cracks, previous) << "stage " << stage;
        previous = cracks;
    }
}

TEST(GameAssets, SkyImagesLoadWithTheirLayouts) {
    Image skybox("skybox.png");
    ASSERT_TRUE(skybox.pixels);
    EXPECT_EQ(skybox.width * 3, skybox.height * 4);  // the 4 x 3 cross
    // Clear straight up, so the sky keeps the colour of the time of day.
    EXPECT_EQ(skybox.at(skybox.width * 3 / 8, skybox.height / 6)[3], 0);
    for (const char* name : {"sun.png", "moon.png"}) {
        Image body(name);
        ASSERT_TRUE(body.pixels) << name;
        EXPECT_EQ(body.at(body.width / 2, body.height / 2)[3], 255) << name;
    }
}

TEST(GameAssets, TexturesLoadIntoGl) {
    ASSERT_NE(testgl::context(), nullptr);
    for (const char* name : {"crosshair.png", "health.png", "targetBlock.png", "sun.png", "moon.png",
                             "skybox.png", "tiles.png", "pixelfont.png"})
        EXPECT_NE(getTexture(name), nullptr) << name;
}

TEST(GameAssets, SoundsTheGameLoadsDecode) {
    for (const char* name : {"spider_hurt_1.wav", "spider_hurt_2.wav", "spider_hurt_3.wav",
                             "spider_death.wav", "player_death_2.wav"})
        EXPECT_TRUE(audio::loadSound(name)) << name;
}

TEST(GameAssets, UniformsHaveTheTypesTheGameSends) {
    ASSERT_NE(testgl::context(), nullptr);
    ASSERT_TRUE(testgl::loadAllShaders());
    testgl::expectUniform("moonShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("moonShader", "blend", GL_FLOAT);
    testgl::expectUniform("moonShader", "moonTexture", GL_SAMPLER_2D);
    testgl::expectUniform("simplexShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("simplexShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("skyboxShader", "MVP", GL_FLOAT_MAT4);
    testgl::expectUniform("blockShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("blockShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("blockShader", "texSize", GL_UNSIGNED_INT_VEC2);
    testgl::expectUniform("targetBlockShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("targetBlockShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("targetBlockShader", "texSize", GL_UNSIGNED_INT_VEC2);
    testgl::expectUniform("targetBlockShader", "offset", GL_INT);
    testgl::expectUniform("cloudShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("cloudShader", "cloudColor", GL_FLOAT_VEC4);
    testgl::expectUniform("simplexColorNormalShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("simplexColorNormalShader", "lightDir", GL_FLOAT_VEC4);
    for (const char* name : {"cloudShader", "moonShader", "simplexShader", "blockShader",
                             "targetBlockShader", "simplexColorNormalShader"})
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
    for (const char* name : {"tex2DShader", "textShader", "quadShader"})
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
}

}  // namespace

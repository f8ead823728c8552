#include "engine/Audio.h"
#include "engine/Texture.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include <glm/glm.hpp>
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
    int alpha(int x, int y) const { return pixels.get()[(size_t(y) * width + x) * 4 + 3]; }
    int red(int x, int y) const { return pixels.get()[(size_t(y) * width + x) * 4]; }
};

TEST(GameAssets, HudImagesHaveTheirLayouts) {
    // The health vial: red liquid in the fill half (clear outside the vial), glass and rim in
    // the frame half.
    Image health("health.png");
    ASSERT_EQ(glm::ivec2(health.width, health.height), glm::ivec2(64, 48));
    EXPECT_GT(health.red(6, 30), 150);
    EXPECT_EQ(health.alpha(6, 30), 255);
    EXPECT_EQ(health.alpha(32 + 6, 30), 0);
    EXPECT_EQ(health.alpha(0, 47), 0);
    int rim = 0;
    for (int x = 32; x < 64; ++x) rim += health.alpha(x, 30) == 255;
    EXPECT_GE(rim, 2);

    Image cross("crosshair.png");  // a white cross on clear
    ASSERT_EQ(glm::ivec2(cross.width, cross.height), glm::ivec2(16, 16));
    EXPECT_EQ(cross.red(8, 8), 255);
    EXPECT_EQ(cross.alpha(8, 8), 255);
    EXPECT_EQ(cross.alpha(0, 0), 0);
}

TEST(GameAssets, TargetBlockHoldsEightGrowingCrackStagesOfSixteenLayers) {
    Image target("targetBlock.png");
    ASSERT_EQ(glm::ivec2(target.width, target.height), glm::ivec2(8 * 16, 16 * 16));
    EXPECT_GT(target.alpha(0, 0), 0);  // the rim
    int previous = -1;
    for (int stage = 0; stage < 8; ++stage) {
        int cracks = 0;
        for (int layer = 0; layer < 16; ++layer)
            for (int y = 1; y < 15; ++y)
                for (int x = 1; x < 15; ++x) cracks += target.alpha(stage * 16 + x, layer * 16 + y) > 0;
        if (stage == 0) { EXPECT_EQ(cracks, 0); }
        EXPECT_GT(cracks, previous) << "stage " << stage;
        previous = cracks;
    }
}

TEST(GameAssets, SkyImagesHaveTheirLayoutsAndEveryAssetLoads) {
    Image skybox("skybox.png");
    ASSERT_TRUE(skybox.pixels);
    EXPECT_EQ(skybox.width * 3, skybox.height * 4);  // the 4 x 3 cross
    // Clear straight up, so the sky keeps the colour of the time of day.
    EXPECT_EQ(skybox.alpha(skybox.width * 3 / 8, skybox.height / 6), 0);
    for (const char* name : {"sun.png", "moon.png"}) {
        Image body(name);
        ASSERT_TRUE(body.pixels);
        EXPECT_EQ(body.alpha(body.width / 2, body.height / 2), 255) << name;
    }
    ASSERT_NE(testgl::context(), nullptr);
    for (const char* name : {"crosshair.png", "health.png", "targetBlock.png", "sun.png", "moon.png",
                             "skybox.png", "tiles.png", "pixelfont.png"})
        EXPECT_NE(getTexture(name), nullptr) << name;
    for (const char* name : {"spider_hurt_1.wav", "spider_hurt_2.wav", "spider_hurt_3.wav",
                             "spider_death.wav", "player_death_2.wav"})
        EXPECT_TRUE(audio::loadSound(name)) << name;
}

TEST(GameAssets, UniformsHaveTheTypesTheGameSends) {
    ASSERT_NE(testgl::context(), nullptr);
    ASSERT_TRUE(testgl::loadAllShaders());
    for (const char* name : {"moonShader", "simplexShader", "blockShader", "targetBlockShader", "cloudShader",
                             "simplexColorNormalShader", "wireframeShader"}) {
        testgl::expectUniform(name, "MV", GL_FLOAT, 25);
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
    }
    for (const char* name : {"tex2DShader", "textShader", "quadShader"}) testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
    testgl::expectUniform("moonShader", "moonTexture", GL_SAMPLER_2D);
    for (const char* name : {"simplexShader", "blockShader", "targetBlockShader"})
        testgl::expectUniform(name, "texSampler", GL_SAMPLER_2D);
    for (const char* name : {"blockShader", "targetBlockShader"}) testgl::expectUniform(name, "texSize", GL_UNSIGNED_INT_VEC2);
    testgl::expectUniform("moonShader", "blend", GL_FLOAT);
    testgl::expectUniform("skyboxShader", "MVP", GL_FLOAT_MAT4);
    testgl::expectUniform("targetBlockShader", "offset", GL_INT);
    testgl::expectUniform("cloudShader", "cloudColor", GL_FLOAT_VEC4);
    testgl::expectUniform("simplexColorNormalShader", "lightDir", GL_FLOAT_VEC4);
    testgl::expectUniform("wireframeShader", "wFar", GL_FLOAT);
    testgl::expectUniform("wireframeShader", "inColor", GL_FLOAT_VEC4);

    // The materials and the compass.
    for (const char* name : {"simplexColorShader", "simplexSolidColorShader", "simplexColorAlphaShader",
                             "simplexSolidColorNormalShader", "wireframeColorShader"})
        testgl::expectUniform(name, "MV", GL_FLOAT, 25);
    for (const char* name : {"simplexSolidColorShader", "simplexSolidColorNormalShader"})
        testgl::expectUniform(name, "inColor", GL_FLOAT_VEC3);
    testgl::expectUniform("simplexSolidColorNormalShader", "lightDir", GL_FLOAT_VEC4);
    testgl::expectUniform("simplexColorAlphaShader", "alpha", GL_FLOAT);
    testgl::expectUniform("wireframeColorShader", "wFar", GL_FLOAT);
    for (const char* name : {"solidColor3DShader", "blockCrossSectionAreaShader", "blockCrossSectionEdgesShader"}) {
        testgl::expectUniform(name, "MV", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "inColor", GL_FLOAT_VEC4);
    }
    for (const char* name : {"blockCrossSectionAreaShader", "blockCrossSectionEdgesShader"})
        testgl::expectUniform(name, "MV2D", GL_FLOAT_MAT4);
}

}  // namespace

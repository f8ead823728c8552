// The death screen's and the credits' timing and geometry, without a window: how the veil and
// the image fade in, the image's scale, where the glitch slices come from and fall, the image's
// layout, and how many ticks the credits last.
#include "screens/CreditsState.h"
#include "screens/DeathScreenState.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

TEST(DeathScreen, TheVeilFadesInFirstThenTheImageAndOnlyAWholeImageGlitches) {
    struct Case {
        float t, veil, image;
        bool glitches;
    };
    const Case cases[] = {
        {-0.5f, 0.0f, 0.0f, false}, {0.0f, 0.0f, 0.0f, false}, {0.5f, 0.5f, 0.0f, false},
        {1.0f, 1.0f, 0.0f, false},  {1.5f, 1.0f, 0.5f, false}, {1.99f, 1.0f, 0.99f, false},
        {2.0f, 1.0f, 1.0f, true},   {60.0f, 1.0f, 1.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const death::Fade fade = death::fadeAt(c.t);
        EXPECT_NEAR(fade.veil, c.veil, 1e-5f);
        EXPECT_NEAR(fade.image, c.image, 1e-5f);
        EXPECT_EQ(fade.glitches, c.glitches);
    }
}

TEST(DeathScreen, TheImageTakesTheLargestWholeScaleThatFits) {
    struct Case {
        int width, height, scale;
    };
    for (const Case& c : {Case{1024, 768, 3}, Case{500, 400, 1}, Case{100, 80, 1}, Case{2560, 1440, 5}}) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(death::imageScale(c.width, c.height), c.scale);
    }
}

// Every slice lies inside the motif, texels (64, 25) to (192, 153), and its first copy falls
// within 100 x scale pixels of where the slice would stand centred; over many draws the slices
// reach every edge of the motif, and one frame in five glitches.
TEST(DeathScreen, GlitchSlicesComeFromTheMotifAndFallNearTheMiddle) {
    std::mt19937 random(16);
    const int scale = 3, width = 1024, height = 768;
    int minX = INT_MAX, maxX = 0, minY = INT_MAX, maxY = 0, maxRight = 0, maxBottom = 0, glitching = 0;
    const int draws = 20000;
    for (int i = 0; i < draws; ++i) {
        const death::Glitch g = death::randomGlitch(random, scale, width, height);
        ASSERT_GE(g.width, 0);
        ASSERT_GE(g.height, 0);
        ASSERT_GE(g.x, 64);
        ASSERT_GE(g.y, 25);
        ASSERT_LE(g.x + g.width, 192);
        ASSERT_LE(g.y + g.height, 153);
        const int dx = g.at.x - (width - g.width * scale) / 2, dy = g.at.y - (height - g.height * scale) / 2;
        ASSERT_LE(dx * dx + dy * dy, 300 * 300);
        minX = std::min(minX, g.x), maxX = std::max(maxX, g.x);
        minY = std::min(minY, g.y), maxY = std::max(maxY, g.y);
        maxRight = std::max(maxRight, g.x + g.width), maxBottom = std::max(maxBottom, g.y + g.height);
        glitching += death::glitchThisFrame(random);
    }
    EXPECT_EQ(minX, 64);
    EXPECT_EQ(maxX, 192);
    EXPECT_EQ(minY, 25);
    EXPECT_EQ(maxY, 153);
    EXPECT_EQ(maxRight, 192);
    EXPECT_EQ(maxBottom, 153);
    EXPECT_NEAR(double(glitching) / draws, 0.2, 0.02);
}

// The motif lies wholly in the part the glitches cut from, and fills much of it.
TEST(DeathScreen, TheImageHoldsItsMotifWhereTheGlitchesCut) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load("assets/textures/death.png", &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, DeathScreenState::imageSize);
    EXPECT_EQ(height, DeathScreenState::imageSize);
    int outside = 0, inside = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (pixels[(size_t(y) * width + x) * 4 + 3] == 0) continue;
            const bool inMotif = x >= 64 && x < 192 && y >= 25 && y < 153;
            (inMotif ? inside : outside) += 1;
        }
    stbi_image_free(pixels);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 128 * 128 / 2);
}

TEST(Credits, LastTheWindowsHeightAnd250TicksMore) {
    CreditsState credits;
    for (const auto& [height, ticks] : {std::pair{768, 1018}, std::pair{400, 650}}) {
        SCOPED_TRACE(height);
        credits.offset = 0.0f;
        int counted = 1;
        while (!credits.advance(height)) ++counted;
        EXPECT_EQ(counted, ticks);
    }
}

}  // namespace

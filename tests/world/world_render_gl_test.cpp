#include "engine/Shader.h"
#include "engine/Texture.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"
#include "world/ChunkFaceTables.h"
#include "world/HandMadeWorld.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>

namespace {

constexpr int SIZE = 128;
const glm::u8vec4 CLEAR(26, 51, 153, 255);

// A view matrix from an eye and four orthonormal rows (screen right, up, back, over).
Mat5 viewMatrix(const glm::vec4& eye, const glm::vec4 rows[4]) {
    Mat5 view;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) view.at(c, r) = rows[r][c];
        view.at(4, r) = -glm::dot(rows[r], eye);
    }
    return view;
}

// Mean colour of one layer of a face's volume texture in tiles.png.
glm::vec3 tileLayerMean(int u0, int layer) {
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load("assets/textures/tiles.png", &w, &h, &n, 4);
    EXPECT_NE(pixels, nullptr);
    if (!pixels) return glm::vec3(0.0f);
    EXPECT_EQ(w, 1536);
    EXPECT_EQ(h, 256);
    glm::vec3 sum(0.0f);
    for (int y = layer * 16; y < layer * 16 + 16; ++y)
        for (int x = u0 * 16; x < u0 * 16 + 16; ++x) {
            const unsigned char* p = pixels + (size_t(y) * w + x) * 4;
            sum += glm::vec3(p[0], p[1], p[2]);
        }
    stbi_image_free(pixels);
    return sum / 256.0f;
}

glm::vec3 chromaticity(glm::vec3 c) { return c / std::max(c.r + c.g + c.b, 1.0f); }

class WorldRenderTest : public ::testing::Test, protected HandMadeWorld {
protected:
    glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.05f, 100.0f);

    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        testgl::loadAllShaders();
        ASSERT_NE(getShader("blockShader"), nullptr);
        Texture* tiles = getTexture("tiles.png");
        ASSERT_NE(tiles, nullptr);

        GLuint program = getShader("blockShader")->program;
        glUseProgram(program);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, tiles->id);
        glUniform1i(glGetUniformLocation(program, "texSampler"), 2);
        glUniform2ui(glGetUniformLocation(program, "texSize"), 96, 16);
        glUniformMatrix4fv(glGetUniformLocation(program, "P"), 1, GL_FALSE,
                           glm::value_ptr(projection));
        world.updateFrustum(projection);
    }
    void TearDown() override {
        deleteChunks();
        Chunk::releaseRetiredRenderers();
    }

    void meshAll() {
        for (auto& [coords, chunk] : world.chunks) chunk->buildMesh(&world, false);
    }

    // Draws the world into an offscreen target and reads it back, rows from the top.
    std::vector<uint8_t> draw(const Mat5& view, const std::string& screenshot, int size = SIZE) {
        testgl::Framebuffer target(size, size);
        target.bind();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glClearColor(CLEAR.r / 255.0f, CLEAR.g / 255.0f, CLEAR.b / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.render(view, false);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        target.savePng(testgl::screenshotPath(screenshot));
        std::vector<uint8_t> pixels = target.readTopDown();
        testgl::Framebuffer::unbind();
        return pixels;
    }

    // Screen pixel (x from the left, y from the top) of a world point.
    glm::ivec2 project(const Mat5& view, const glm::vec4& point) const {
        glm::vec4 v = view.transform(point, 1.0f);
        glm::vec4 clip = projection * glm::vec4(v.x, v.y, v.z, 1.0f);
        glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return {int((ndc.x * 0.5f + 0.5f) * SIZE), int((0.5f - ndc.y * 0.5f) * SIZE)};
    }

    static glm::vec3 meanColor(const std::vector<uint8_t>& pixels, glm::ivec2 lo, glm::ivec2 hi,
                               int* clearCount = nullptr) {
        glm::vec3 sum(0.0f);
        int count = 0, clear = 0;
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x) {
                const uint8_t* p = &pixels[(size_t(y) * SIZE + x) * 4];
                sum += glm::vec3(p[0], p[1], p[2]);
                if (glm::u8vec4(p[0], p[1], p[2], p[3]) == CLEAR) ++clear;
                ++count;
            }
        if (clearCount) *clearCount = clear;
        return sum / float(std::max(count, 1));
    }

    static int clearPixels(const std::vector<uint8_t>& pixels) {
        int clear = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (glm::u8vec4(pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]) == CLEAR)
                ++clear;
        return clear;
    }
};

TEST_F(WorldRenderTest, BlockShaderTakesTheUniformsTheCodeSends) {
    testgl::expectUniform("blockShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("blockShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("blockShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("blockShader", "texSize", GL_UNSIGNED_INT_VEC2);
}

// A slab of leaves (x 0..3) beside red rock (x 4..7) seen from the front through w = 3.5:
// the z-1 faces show each block's side texture at the middle layer; the sky stays clear.
TEST_F(WorldRenderTest, SliceShowsTheBlocksWhereTheyAreAndNothingElse) {
    Chunk* chunk = add({0, 0, 0});
    for (int x = 0; x < 8; ++x)
        for (int y = 56; y < 64; ++y)
            for (int z = 4; z < 8; ++z)
                for (int w = 0; w < 8; ++w) chunk->setBlock(x, y, z, w, x < 4 ? 5 : 12);
    for (int x = 0; x < 8; ++x)
        for (int z = 0; z < 8; ++z)
            for (int w = 0; w < 8; ++w) chunk->setBlock(x, 0, z, w, 3);  // no floor faces
    meshAll();

    // Looking along +z from z = -4; screen right is -x.
    const glm::vec4 rows[4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    Mat5 view = viewMatrix({4.0f, 60.0f, -4.0f, 3.5f}, rows);
    std::vector<uint8_t> pixels = draw(view, "world_slice_front");

    struct Region {
        int id;
        float x0, x1;
    };
    for (Region region : {Region{5, 0.5f, 3.5f}, Region{12, 4.5f, 7.5f}}) {
        glm::ivec2 a = project(view, {region.x0, 63.5f, 4.0f, 3.5f});
        glm::ivec2 b = project(view, {region.x1, 56.5f, 4.0f, 3.5f});
        int clear = 0;
        glm::vec3 seen = meanColor(pixels, glm::min(a, b), glm::max(a, b), &clear);
        EXPECT_EQ(clear, 0) << "block " << region.id;
        // w = 3.5 is the middle of the face's w range: layer 8 of 16.
        glm::vec3 expected = tileLayerMean(blockTexU0(uint8_t(region.id), FACE_SIDE), 8);
        glm::vec3 dc = chromaticity(seen) - chromaticity(expected);
        EXPECT_LT(glm::length(dc), 0.04f) << "block " << region.id << " seen " << seen.r << ","
                                          << seen.g << "," << seen.b << " tile " << expected.r
                                          << "," << expected.g << "," << expected.b;
        float brightness = (seen.r + seen.g + seen.b) / (expected.r + expected.g + expected.b);
        EXPECT_GT(brightness, 0.5f) << "block " << region.id;
        EXPECT_LT(brightness, 1.05f) << "block " << region.id;
    }

    // Above the slab and beside the chunk there is only the clear colour.
    glm::ivec2 sky = project(view, {4.0f, 66.5f, 4.0f, 3.5f});
    int clear = 0;
    meanColor(pixels, sky - glm::ivec2(8, 4), sky + glm::ivec2(8, 4), &clear);
    EXPECT_EQ(clear, 17 * 9);
    glm::ivec2 beside = project(view, {-3.0f, 60.0f, 4.0f, 3.5f});
    meanColor(pixels, beside - glm::ivec2(4), beside + glm::ivec2(4), &clear);
    EXPECT_EQ(clear, 81);
}

TEST_F(WorldRenderTest, HyperplaneThatMissesEveryChunkDrawsNothing) {
    add({0, 0, 0})->blocks.fill(3);
    add({0, 0, 1})->blocks.fill(3);
    meshAll();
    // Looking straight down on the tops at y 128.
    const glm::vec4 rows[4] = {{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}};

    for (float w : {3.0f, 12.0f}) {
        std::vector<uint8_t> pixels = draw(viewMatrix({4.0f, 140.0f, 4.0f, w}, rows), "world_slice_hit");
        // The 8 x 8 top seen from 12 blocks above covers the middle third of the screen.
        EXPECT_LT(clearPixels(pixels), SIZE * SIZE - 40 * 40) << "w = " << w << " cuts a chunk";
    }
    for (float w : {-0.5f, 16.5f, 40.0f}) {
        std::vector<uint8_t> pixels =
            draw(viewMatrix({4.0f, 140.0f, 4.0f, w}, rows), "world_slice_miss");
        EXPECT_EQ(clearPixels(pixels), SIZE * SIZE) << "w = " << w;
    }
}

// Through a hyperplane tilted in x-w and z-w, solid ground seen from above is one closed
// surface. Tetrahedra cut along shared edges meet exactly; neighbouring faces (also across
// chunks, drawn with transforms of their own) meet in T-junctions, where rounding would open
// single-pixel cracks unless the shader closes them. Large frames show such cracks reliably.
TEST_F(WorldRenderTest, TiltedSliceHasNoCracks) {
    for (int cx = -2; cx <= 2; ++cx)
        for (int cz = -2; cz <= 2; ++cz)
            for (int cw = -1; cw <= 1; ++cw) {
                Chunk* chunk = add({cx, cz, cw});
                for (int x = 0; x < 8; ++x)
                    for (int y = 0; y < 64; ++y)
                        for (int z = 0; z < 8; ++z)
                            for (int w = 0; w < 8; ++w)
                                chunk->setBlock(x, y, z, w, (x + z + w) % 3 + 1);
            }
    meshAll();

    struct Tilt {
        float xw, zw, height;
    };
    for (Tilt tilt : {Tilt{0.5f, 0.35f, 76.0f}, Tilt{0.2f, 0.35f, 76.0f}, Tilt{0.5f, 0.05f, 70.0f},
                      Tilt{0.9f, 0.05f, 76.0f}}) {
        glm::vec4 over =
            glm::normalize(glm::vec4(std::sin(tilt.xw), 0.0f, std::sin(tilt.zw), 1.0f));
        glm::vec4 right = glm::normalize(glm::vec4(1.0f, 0.0f, 0.0f, 0.0f) - over * over.x);
        // Looking straight down: back is +y, up is the remaining direction in x, z, w.
        glm::vec4 up = glm::normalize(glm::vec4(0.0f, 0.0f, 1.0f, 0.0f) - over * over.z -
                                      right * right.z);
        const glm::vec4 rows[4] = {right, up, {0.0f, 1.0f, 0.0f, 0.0f}, over};
        Mat5 view = viewMatrix({4.3f, tilt.height, 4.1f, 4.2f}, rows);
        EXPECT_EQ(clearPixels(draw(view, "world_slice_tilted", 512)), 0)
            << "tilt " << tilt.xw << ", " << tilt.zw << " from y " << tilt.height;
    }
}

// Every block id draws its own texture; an id without one (only damaged files hold them)
// draws the magenta and black fallback instead of reading past the texture table.
TEST_F(WorldRenderTest, EveryIdDrawsAndUnknownIdsDrawTheFallback) {
    Chunk* chunk = add({0, 0, 0});
    const uint8_t ids[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 200, 15};
    auto slot = [](int i) { return glm::ivec2(6 - (i % 4) * 2, 64 - (i / 4) * 2); };
    for (int i = 0; i < 16; ++i)
        for (int w = 0; w < 8; ++w) chunk->setBlock(slot(i).x, slot(i).y, 4, w, ids[i]);
    meshAll();
    const glm::vec4 rows[4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    Mat5 view = viewMatrix({3.5f, 61.5f, -3.0f, 3.5f}, rows);
    std::vector<uint8_t> pixels = draw(view, "world_slice_all_blocks");

    for (int i = 0; i < 16; ++i) {
        glm::ivec2 a = project(view, {slot(i).x + 0.2f, slot(i).y + 0.8f, 4.0f, 3.5f});
        glm::ivec2 b = project(view, {slot(i).x + 0.8f, slot(i).y + 0.2f, 4.0f, 3.5f});
        glm::ivec2 lo = glm::min(a, b), hi = glm::max(a, b);
        int clear = 0, magenta = 0;
        meanColor(pixels, lo, hi, &clear);
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x) {
                const uint8_t* p = &pixels[(size_t(y) * SIZE + x) * 4];
                if (p[0] > 120 && p[2] > 120 && p[1] < 40) ++magenta;
            }
        EXPECT_EQ(clear, 0) << "id " << int(ids[i]);
        if (ids[i] > 14)
            EXPECT_GT(magenta, 0) << "id " << int(ids[i]);
        else
            EXPECT_EQ(magenta, 0) << "id " << int(ids[i]);
    }
}

// Seen square-on, a cut through a block's x face is the texture's layer for that w, upright and
// unmirrored: u runs with z (screen right), v down the block, the layer with w.
TEST_F(WorldRenderTest, FaceShowsItsTextureLayerTexelForTexel) {
    int w = 0, h = 0, n = 0;
    unsigned char* tiles = stbi_load("assets/textures/tiles.png", &w, &h, &n, 4);
    ASSERT_NE(tiles, nullptr);
    add({0, 0, 0})->setBlock(3, 64, 3, 3, 1);  // grass: turf at the top of its sides
    meshAll();
    // Looking along +x at the x-1 face (x = 3); screen right is +z.
    const glm::vec4 rows[4] = {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, 1}};
    const int u0 = blockTexU0(1, FACE_SIDE);
    const float xFaceShade = 0.86f;  // the shader's light for faces across x

    for (int layer : {2, 13}) {
        float sliceW = 3.0f + (float(layer) + 0.5f) / 16.0f;
        Mat5 view = viewMatrix({2.3f, 64.5f, 3.5f, sliceW}, rows);
        std::vector<uint8_t> pixels = draw(view, "world_face_layer_" + std::to_string(layer));
        int wrong = 0;
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i) {
                glm::vec4 texelCentre(3.0f, 65.0f - (j + 0.5f) / 16.0f, 3.0f + (i + 0.5f) / 16.0f,
                                      sliceW);
                glm::ivec2 at = project(view, texelCentre);
                const uint8_t* seen = &pixels[(size_t(at.y) * SIZE + at.x) * 4];
                const unsigned char* texel =
                    tiles + (size_t(layer * 16 + j) * w + size_t(u0 * 16 + i)) * 4;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(int(seen[c]) - int(std::lround(texel[c] * xFaceShade))) > 2) {
                        ++wrong;
                        break;
                    }
            }
        EXPECT_EQ(wrong, 0) << "layer " << layer;
    }
    stbi_image_free(tiles);
}

// Meshes uploaded for one chunk are drawn again after an edit rebuilds the section.
TEST_F(WorldRenderTest, EditedSectionIsRedrawnAfterUpdateMesh) {
    Chunk* chunk = add({0, 0, 0});
    for (int x = 0; x < 8; ++x)
        for (int z = 0; z < 8; ++z)
            for (int w = 0; w < 8; ++w) chunk->setBlock(x, 0, z, w, 3);
    meshAll();
    const glm::vec4 rows[4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    Mat5 view = viewMatrix({4.0f, 40.0f, -4.0f, 3.5f}, rows);
    EXPECT_EQ(clearPixels(draw(view, "world_slice_before_edit")), SIZE * SIZE);

    world.setBlock({4, 40, 2, 3}, 5);
    chunk->updateMesh(&world);
    std::vector<uint8_t> pixels = draw(view, "world_slice_after_edit");
    glm::ivec2 at = project(view, {4.5f, 40.5f, 2.0f, 3.5f});
    int clear = 0;
    meanColor(pixels, at - glm::ivec2(2), at + glm::ivec2(2), &clear);
    EXPECT_EQ(clear, 0);
}

}  // namespace

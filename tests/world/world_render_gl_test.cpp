#include "engine/Shader.h"
#include "engine/Texture.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"
#include "world/ChunkFaceTables.h"
#include "world/HandMadeWorld.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <memory>

namespace {

constexpr int SIZE = 128;
const glm::u8vec4 CLEAR(26, 51, 153, 255);
// Screen rows (right, up, back, over) looking along +z with -x to the right, in a w slice.
const glm::vec4 FRONT[4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};

// A view matrix from an eye and four orthonormal rows.
Mat5 viewMatrix(const glm::vec4& eye, const glm::vec4 rows[4]) {
    Mat5 view;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) view.at(c, r) = rows[r][c];
        view.at(4, r) = -glm::dot(rows[r], eye);
    }
    return view;
}

// tiles.png as loaded by stb: 96 x 16 tiles of 16 x 16 texels, one row of tiles per layer.
struct Tiles {
    int w = 0, h = 0, n = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{
        stbi_load("assets/textures/tiles.png", &w, &h, &n, 4), stbi_image_free};
    glm::vec3 texel(int u0, int layer, int i, int j) const {
        const size_t x = size_t(u0 * 16 + i), y = size_t(layer * 16 + j);
        const unsigned char* p = &pixels.get()[(y * size_t(w) + x) * 4];
        return {p[0], p[1], p[2]};
    }
    glm::vec3 layerMean(int u0, int layer) const {
        glm::vec3 sum(0.0f);
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i) sum += texel(u0, layer, i, j);
        return sum / 256.0f;
    }
};

// Pixels of a screen rectangle (inclusive, y from the top).
struct Area {
    glm::vec3 mean{0.0f};
    int clear = 0, magenta = 0, count = 0;
};

Area areaOf(const std::vector<uint8_t>& pixels, glm::ivec2 a, glm::ivec2 b, int size = SIZE) {
    Area area;
    for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
        for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x) {
            const uint8_t* p = &pixels[(size_t(y) * size_t(size) + size_t(x)) * 4];
            area.mean += glm::vec3(p[0], p[1], p[2]);
            area.clear += glm::u8vec4(p[0], p[1], p[2], p[3]) == CLEAR;
            area.magenta += p[0] > 120 && p[2] > 120 && p[1] < 40;
            ++area.count;
        }
    area.mean /= float(std::max(area.count, 1));
    return area;
}

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

    // Fills the box lo..hi (inclusive, local cells) of a chunk.
    static void fill(Chunk* chunk, glm::ivec4 lo, glm::ivec4 hi, uint8_t id) {
        for (int x = lo.x; x <= hi.x; ++x)
            for (int y = lo.y; y <= hi.y; ++y)
                for (int z = lo.z; z <= hi.z; ++z)
                    for (int w = lo.w; w <= hi.w; ++w) chunk->setBlock(x, y, z, w, id);
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
    static int clearPixels(const std::vector<uint8_t>& pixels, int size = SIZE) {
        return areaOf(pixels, {0, 0}, {size - 1, size - 1}, size).clear;
    }

    // Screen pixel (x from the left, y from the top) of a world point.
    glm::ivec2 project(const Mat5& view, const glm::vec4& point) const {
        glm::vec4 v = view.transform(point, 1.0f);
        glm::vec4 clip = projection * glm::vec4(v.x, v.y, v.z, 1.0f);
        glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return {int((ndc.x * 0.5f + 0.5f) * SIZE), int((0.5f - ndc.y * 0.5f) * SIZE)};
    }
};

TEST_F(WorldRenderTest, BlockShaderTakesTheUniformsTheCodeSends) {
    testgl::expectUniform("blockShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("blockShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("blockShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("blockShader", "texSize", GL_UNSIGNED_INT_VEC2);
    testgl::expectUniform("blockShader", "fromFaceRecords", GL_BOOL);
    testgl::expectUniform("blockShader", "sectionFaces", GL_UNSIGNED_INT_SAMPLER_BUFFER);
    testgl::expectUniform("blockShader", "sectionTetrahedra", GL_UNSIGNED_INT_SAMPLER_BUFFER);
}

// A slab of leaves (x 0..3) beside red rock (x 4..7) seen from the front through w = 3.5:
// the z-1 faces show each block's side texture at the middle layer; the sky stays clear.
TEST_F(WorldRenderTest, SliceShowsTheBlocksWhereTheyAreAndNothingElse) {
    Chunk* chunk = add({0, 0, 0});
    fill(chunk, {0, 56, 4, 0}, {3, 63, 7, 7}, 5);
    fill(chunk, {4, 56, 4, 0}, {7, 63, 7, 7}, 12);
    fill(chunk, {0, 0, 0, 0}, {7, 0, 7, 7}, 3);  // no floor faces
    meshAll();
    Mat5 view = viewMatrix({4.0f, 60.0f, -4.0f, 3.5f}, FRONT);
    std::vector<uint8_t> pixels = draw(view, "world_slice_front");

    const Tiles tiles;
    ASSERT_EQ(glm::ivec2(tiles.w, tiles.h), glm::ivec2(1536, 256));
    auto sum = [](glm::vec3 c) { return std::max(c.r + c.g + c.b, 1.0f); };
    for (auto [id, x0, x1] : {std::tuple(5, 0.5f, 3.5f), std::tuple(12, 4.5f, 7.5f)}) {
        const glm::vec3 seen = areaOf(pixels, project(view, {x0, 63.5f, 4.0f, 3.5f}),
                                      project(view, {x1, 56.5f, 4.0f, 3.5f})).mean;
        // w = 3.5 is the middle of the face's w range: layer 8 of 16.
        const glm::vec3 tile = tiles.layerMean(blockTexU0(uint8_t(id), FACE_SIDE), 8);
        SCOPED_TRACE(::testing::Message() << "block " << id << " seen " << seen.r << "," << seen.g
                                          << "," << seen.b << " tile " << tile.r << "," << tile.g
                                          << "," << tile.b);
        EXPECT_LT(glm::length(seen / sum(seen) - tile / sum(tile)), 0.04f);  // chromaticity
        EXPECT_GT(sum(seen) / sum(tile), 0.5f);  // brightness: lit, and shaded no brighter
        EXPECT_LT(sum(seen) / sum(tile), 1.05f);
    }

    // Above the slab and beside the chunk there is only the clear colour.
    glm::ivec2 sky = project(view, {4.0f, 66.5f, 4.0f, 3.5f});
    EXPECT_EQ(areaOf(pixels, sky - glm::ivec2(8, 4), sky + glm::ivec2(8, 4)).clear, 17 * 9);
    glm::ivec2 beside = project(view, {-3.0f, 60.0f, 4.0f, 3.5f});
    EXPECT_EQ(areaOf(pixels, beside - glm::ivec2(4), beside + glm::ivec2(4)).clear, 81);
}

TEST_F(WorldRenderTest, HyperplaneThatMissesEveryChunkDrawsNothing) {
    add({0, 0, 0})->blocks.fill(3);
    add({0, 0, 1})->blocks.fill(3);
    meshAll();
    // Looking straight down on the tops at y 128.
    const glm::vec4 rows[4] = {{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}};
    for (float w : {3.0f, 12.0f, -0.5f, 16.5f, 40.0f}) {
        const bool cuts = w == 3.0f || w == 12.0f;
        int clear = clearPixels(draw(viewMatrix({4.0f, 140.0f, 4.0f, w}, rows),
                                     cuts ? "world_slice_hit" : "world_slice_miss"));
        // The 8 x 8 top seen from 12 blocks above covers the middle third of the screen.
        if (cuts)
            EXPECT_LT(clear, SIZE * SIZE - 40 * 40) << "w = " << w << " cuts a chunk";
        else
            EXPECT_EQ(clear, SIZE * SIZE) << "w = " << w;
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
                    for (int z = 0; z < 8; ++z)
                        for (int w = 0; w < 8; ++w)
                            fill(chunk, {x, 0, z, w}, {x, 63, z, w}, uint8_t((x + z + w) % 3 + 1));
            }
    meshAll();

    for (auto [xw, zw, height] : {std::tuple(0.5f, 0.35f, 76.0f), std::tuple(0.2f, 0.35f, 76.0f),
                                  std::tuple(0.5f, 0.05f, 70.0f), std::tuple(0.9f, 0.05f, 76.0f)}) {
        glm::vec4 over = glm::normalize(glm::vec4(std::sin(xw), 0.0f, std::sin(zw), 1.0f));
        glm::vec4 right = glm::normalize(glm::vec4(1.0f, 0.0f, 0.0f, 0.0f) - over * over.x);
        // Looking straight down: back is +y, up is the remaining direction in x, z, w.
        glm::vec4 up = glm::normalize(glm::vec4(0, 0, 1, 0) - over * over.z - right * right.z);
        const glm::vec4 rows[4] = {right, up, {0.0f, 1.0f, 0.0f, 0.0f}, over};
        Mat5 view = viewMatrix({4.3f, height, 4.1f, 4.2f}, rows);
        EXPECT_EQ(clearPixels(draw(view, "world_slice_tilted", 512), 512), 0)
            << "tilt " << xw << ", " << zw << " from y " << height;
    }
}

// Every block id draws its own texture; an id without one (only damaged files hold them)
// draws the magenta and black fallback instead of reading past the texture table.
TEST_F(WorldRenderTest, EveryIdDrawsAndUnknownIdsDrawTheFallback) {
    Chunk* chunk = add({0, 0, 0});
    const uint8_t ids[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 200, 15};
    auto slot = [](int i) { return glm::ivec2(6 - (i % 4) * 2, 64 - (i / 4) * 2); };
    for (int i = 0; i < 16; ++i)
        fill(chunk, {slot(i).x, slot(i).y, 4, 0}, {slot(i).x, slot(i).y, 4, 7}, ids[i]);
    meshAll();
    Mat5 view = viewMatrix({3.5f, 61.5f, -3.0f, 3.5f}, FRONT);
    std::vector<uint8_t> pixels = draw(view, "world_slice_all_blocks");

    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(::testing::Message() << "id " << int(ids[i]));
        Area area = areaOf(pixels, project(view, {slot(i).x + 0.2f, slot(i).y + 0.8f, 4.0f, 3.5f}),
                           project(view, {slot(i).x + 0.8f, slot(i).y + 0.2f, 4.0f, 3.5f}));
        EXPECT_EQ(area.clear, 0);
        EXPECT_EQ(area.magenta > 0, ids[i] > 14);
    }
}

// Seen square-on, a cut through a block's x face is the texture's layer for that w, upright and
// unmirrored: u runs with z (screen right), v down the block, the layer with w.
TEST_F(WorldRenderTest, FaceShowsItsTextureLayerTexelForTexel) {
    const Tiles tiles;
    ASSERT_EQ(glm::ivec2(tiles.w, tiles.h), glm::ivec2(1536, 256));
    add({0, 0, 0})->setBlock(3, 64, 3, 3, 1);  // grass: turf at the top of its sides
    meshAll();
    // Looking along +x at the x-1 face (x = 3); screen right is +z.
    const glm::vec4 rows[4] = {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, 1}};
    const float xFaceShade = 0.86f;  // the shader's light for faces across x
    const int u0 = blockTexU0(1, FACE_SIDE);

    for (int layer : {2, 13}) {
        float sliceW = 3.0f + (float(layer) + 0.5f) / 16.0f;
        Mat5 view = viewMatrix({2.3f, 64.5f, 3.5f, sliceW}, rows);
        std::vector<uint8_t> pixels = draw(view, "world_face_layer_" + std::to_string(layer));
        int wrong = 0;
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i) {
                const glm::vec2 texelCentre = (glm::vec2(i, j) + 0.5f) / 16.0f;
                glm::ivec2 at = project(view, {3, 65 - texelCentre.y, 3 + texelCentre.x, sliceW});
                glm::vec3 seen = areaOf(pixels, at, at).mean;
                glm::vec3 texel = glm::round(tiles.texel(u0, layer, i, j) * xFaceShade);
                wrong += glm::any(glm::greaterThan(glm::abs(seen - texel), glm::vec3(2.0f)));
            }
        EXPECT_EQ(wrong, 0) << "layer " << layer;
    }
}

// Meshes uploaded for one chunk are drawn again after an edit rebuilds the section.
TEST_F(WorldRenderTest, EditedSectionIsRedrawnAfterUpdateMesh) {
    Chunk* chunk = add({0, 0, 0});
    fill(chunk, {0, 0, 0, 0}, {7, 0, 7, 7}, 3);
    meshAll();
    Mat5 view = viewMatrix({4.0f, 40.0f, -4.0f, 3.5f}, FRONT);
    EXPECT_EQ(clearPixels(draw(view, "world_slice_before_edit")), SIZE * SIZE);

    world.setBlock({4, 40, 2, 3}, 5);
    chunk->updateMesh(&world);
    glm::ivec2 at = project(view, {4.5f, 40.5f, 2.0f, 3.5f});
    std::vector<uint8_t> pixels = draw(view, "world_slice_after_edit");
    EXPECT_EQ(areaOf(pixels, at - glm::ivec2(2), at + glm::ivec2(2)).clear, 0);
}

}  // namespace

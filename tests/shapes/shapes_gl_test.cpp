// Every shape uploads and draws with the shader its users draw it with; the slicing shaders cut
// tetrahedra into whole, crack-free cross-sections.
#include "shapes/Shapes.h"

#include "engine/Math4D.h"
#include "engine/MeshRenderer.h"
#include "engine/Shader.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int size = 128;
constexpr float pi = 3.14159265358979f;

GLint location(GLuint program, const char* name) { return glGetUniformLocation(program, name); }
using Uniforms = std::function<void(GLuint)>;

// A texture of w x h texels, filled by `texel`(x, y), nearest filtering.
GLuint makeTexture(int w, int h, const std::function<glm::u8vec4(int, int)>& texel) {
    std::vector<glm::u8vec4> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[y * w + x] = texel(x, y);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

// A turn in the x-w plane: the cut then crosses the shape's cells at general angles.
Mat5 tilt(float angle) {
    return Rotor4(wedge4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 0, 1)), angle).toMat5();
}

struct DrawResult {
    int lit = 0;
    std::vector<uint8_t> pixels;  // RGBA, rows from the top

    glm::u8vec4 at(int x, int y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * size + x) * 4];
        return glm::u8vec4(p[0], p[1], p[2], p[3]);
    }
    static bool isLit(const glm::u8vec4& p) { return p.r > 20 || p.g > 20 || p.b > 20; }
};

class ShapesGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testgl::context(size, size), nullptr);
        ASSERT_TRUE(testgl::loadAllShaders());
        projection = glm::perspective(glm::radians(60.0f), 1.0f, 0.01f, 100.0f);
    }

    // Draws `mesh` in `mode` with the named shader, "P" and "MV" (or "MVP" for the sky box)
    // set, then whatever `uniforms` adds; expects no GL error and saves a screenshot.
    DrawResult draw(const std::string& name, const Mesh& mesh, GLenum mode,
                    const std::string& shaderName, const Mat5& mv, const Uniforms& uniforms = {}) {
        SCOPED_TRACE(name);
        DrawResult result;
        const Shader* shader = getShader(shaderName);
        if (!shader) {
            ADD_FAILURE() << "no " << shaderName;
            return result;
        }
        testgl::Framebuffer target(size, size);
        target.bind();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

        MeshRenderer renderer;
        renderer.init(&mesh);
        renderer.mode = mode;
        const GLuint program = shader->program;
        glUseProgram(program);
        glUniformMatrix4fv(location(program, "P"), 1, GL_FALSE, glm::value_ptr(projection));
        glUniform1fv(location(program, "MV"), 25, mv.data());
        if (uniforms) uniforms(program);
        glBindVertexArray(renderer.vao);
        glDrawArrays(renderer.mode, 0, static_cast<GLsizei>(renderer.vertCount));
        glBindVertexArray(0);
        glFinish();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        result.pixels = target.readTopDown();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) result.lit += DrawResult::isLit(result.at(x, y));
        target.savePng(testgl::screenshotPath("shapes_" + name));
        testgl::Framebuffer::unbind();
        return result;
    }

    glm::mat4 projection;
};

// Uniforms the drawing code sends that no game-side test checks already.
TEST_F(ShapesGl, ShaderUniformTypesMatchTheirUsers) {
    for (const char* name : {"simplexColorShader", "simplexSolidColorShader",
                             "simplexColorAlphaShader", "simplexSolidColorNormalShader",
                             "simplexNormalShader", "wireframeShader", "wireframeColorShader"}) {
        testgl::expectUniform(name, "MV", GL_FLOAT, 25);
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
    }
    testgl::expectUniform("skyboxShader", "texSampler", GL_SAMPLER_2D);
    testgl::expectUniform("simplexSolidColorShader", "inColor", GL_FLOAT_VEC3);
    testgl::expectUniform("simplexSolidColorNormalShader", "inColor", GL_FLOAT_VEC3);
    testgl::expectUniform("simplexSolidColorNormalShader", "lightDir", GL_FLOAT_VEC4);
    testgl::expectUniform("simplexColorAlphaShader", "alpha", GL_FLOAT);
    testgl::expectUniform("wireframeColorShader", "wFar", GL_FLOAT);
}

Uniforms setInt(const char* name, int value) {
    return [=](GLuint p) { glUniform1i(location(p, name), value); };
}
Uniforms setFloat(const char* name, float value) {
    return [=](GLuint p) { glUniform1f(location(p, name), value); };
}
Uniforms setVec3(const char* name, glm::vec3 v) {
    return [=](GLuint p) { glUniform3f(location(p, name), v.x, v.y, v.z); };
}
Uniforms setVec4(const char* name, glm::vec4 v) {
    return [=](GLuint p) { glUniform4f(location(p, name), v.x, v.y, v.z, v.w); };
}
Uniforms both(Uniforms a, Uniforms b) {
    return [=](GLuint p) {
        a(p);
        b(p);
    };
}
// The crack stage `offset` of an 8 x 16 tile image on texture unit 2.
Uniforms targetBlockUniforms(int offset) {
    return [=](GLuint p) {
        glUniform1i(location(p, "texSampler"), 2);
        glUniform2ui(location(p, "texSize"), 8, 16);
        glUniform1i(location(p, "offset"), offset);
    };
}

TEST_F(ShapesGl, EveryShapeDrawsWithItsShader) {
    const GLuint white = makeTexture(128, 256, [](int, int) { return glm::u8vec4(255); });
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, white);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, white);

    const float spiderColours[6] = {0.8f, 0.2f, 0.1f, 0.1f, 0.1f, 0.1f};
    Dodecaplex spiderPart;
    spiderPart.generate(false, 0.0f, false, spiderColours, true);

    const Mat5 far = translate4(glm::vec4(0, 0, -12, 0)) * tilt(0.3f);
    const Mat5 near = translate4(glm::vec4(0, 0, -4, 0.1f)) * tilt(0.3f);
    const Mat5 sky = translate4(glm::vec4(0, 0, -4, 0)) * tilt(0.3f);
    const Mat5 small = translate4(glm::vec4(0, -0.3f, -2, 0.05f)) * tilt(0.3f);
    const Mat5 cube = translate4(glm::vec4(0, 0, -6, 0.1f)) * tilt(0.3f);
    const Uniforms lightFromAbove = setVec4("lightDir", {0, 1, 0, 0});
    const GLenum slices = GL_LINES_ADJACENCY;
    struct Shape {
        const char* name;
        const Mesh& mesh;
        GLenum mode;
        const char* shader;
        Mat5 mv;
        Uniforms uniforms;
    };
    const Shape shapes[] = {
        {"loadingDodecaplex", loadingDodecaplex, slices, "simplexColorNormalShader", far,
         lightFromAbove},
        {"greyDodecaplex", greyDodecaplex, slices, "simplexColorNormalShader", far, lightFromAbove},
        {"dodecaplexWireframe", dodecaplexWireframe, GL_LINES, "wireframeShader", far,
         both(setFloat("wFar", 8.0f), setVec4("inColor", {1, 0, 0, 1}))},
        {"spiderDodecaplex", spiderPart, slices, "simplexColorShader", far, {}},
        {"sun", sphereMesh, slices, "simplexShader", sky, setInt("texSampler", 2)},
        {"moon", sphereMesh, slices, "moonShader", sky,
         both(setInt("moonTexture", 2), setFloat("blend", 0.5f))},
        {"hypersphere", hypersphereMesh, slices, "simplexColorShader", near, {}},
        {"hollowHypersphere", hollowHypersphereMesh, slices, "simplexColorShader", near, {}},
        {"pentachoronBase", pentachoronBaseMesh, slices, "simplexSolidColorShader", small,
         setVec3("inColor", {1, 0, 1})},
        {"pentachoronHollow", pentachoronHollowMesh, slices, "simplexColorAlphaShader", small,
         setFloat("alpha", 0.5f)},
        {"targetBlock", hypercubeMesh, slices, "targetBlockShader", cube, targetBlockUniforms(5)},
        {"hypercubeHollow", hypercubeHollowMesh, slices, "simplexColorShader", cube, {}},
        {"kleinBottle", kleinBottleMesh, GL_LINES, "wireframeColorShader",
         translate4(glm::vec4(0, 0, -3, 0)), setFloat("wFar", 2.0f)},
    };
    for (const Shape& shape : shapes)
        EXPECT_GT(
            draw(shape.name, shape.mesh, shape.mode, shape.shader, shape.mv, shape.uniforms).lit,
            100)
            << shape.name;

    // The sky box is drawn from its centre and fills the view.
    const glm::mat4 mvp =
        projection * glm::lookAt(glm::vec3(0), glm::vec3(0, 0.3f, -1), glm::vec3(0, 1, 0));
    EXPECT_EQ(draw("skybox", skyboxMesh, GL_TRIANGLES, "skyboxShader", Mat5(),
                   [&](GLuint p) {
                       glUniformMatrix4fv(location(p, "MVP"), 1, GL_FALSE, glm::value_ptr(mvp));
                       glUniform1i(location(p, "texSampler"), 0);
                   })
                  .lit,
              size * size);
    glDeleteTextures(1, &white);
}

// The tesseract of corners +-1, seen from 5 units in front: the cut at w = 0 is the cube's
// surface, whose silhouette is its front face, a square of half-size (1/4) / tan 30 degrees.
const Mat5 cubeInFront = translate4(glm::vec4(0, 0, -5, 0.25f));
const float squareHalf = 0.25f / std::tan(pi / 6) * size / 2;  // pixels

TEST_F(ShapesGl, SlicedTesseractIsAWholeCrackFreeCube) {
    const DrawResult cut =
        draw("sliceSolid", hypercubeMesh, GL_LINES_ADJACENCY, "simplexSolidColorShader",
             cubeInFront, setVec3("inColor", {1, 1, 1}));
    const float centre = (size - 1) / 2.0f;
    int holes = 0, outside = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float reach = std::max(std::abs(x - centre), std::abs(y - centre));
            const bool lit = DrawResult::isLit(cut.at(x, y));
            if (reach < squareHalf - 1.5f && !lit) ++holes;
            if (reach > squareHalf + 1.5f && lit) ++outside;
        }
    EXPECT_EQ(holes, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(cut.lit, 0);

    // Attributes follow the cut: the front cell (z = +1) has bits x, y, w; at its centre, on the
    // slice at model w = -0.25, they read (0.5, 0.5, 0.375).
    const DrawResult colours =
        draw("sliceColours", hypercubeMesh, GL_LINES_ADJACENCY, "simplexColorShader", cubeInFront);
    const glm::u8vec4 middle = colours.at(size / 2, size / 2);
    EXPECT_NEAR(middle.r, 128, 6);
    EXPECT_NEAR(middle.g, 128, 6);
    EXPECT_NEAR(middle.b, 96, 6);

    // A hyperplane that misses the tesseract draws nothing.
    const DrawResult missed =
        draw("sliceMissed", hypercubeMesh, GL_LINES_ADJACENCY, "simplexSolidColorShader",
             translate4(glm::vec4(0, 0, -5, 1.5f)), setVec3("inColor", {1, 1, 1}));
    EXPECT_EQ(missed.lit, 0);
}

TEST_F(ShapesGl, TargetBlockShowsTheCrackStageOfItsOffset) {
    // Stage s of the 8 x 16 tile image is filled with its own colour.
    const GLuint stages = makeTexture(128, 256, [](int x, int) {
        const int stage = x / 16;
        return glm::u8vec4(stage * 30 + 10, 255 - stage * 30, stage % 2 ? 200 : 50, 255);
    });
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, stages);
    for (int offset : {0, 3, 7}) {
        const DrawResult result =
            draw("targetBlockStage" + std::to_string(offset), hypercubeMesh, GL_LINES_ADJACENCY,
                 "targetBlockShader", cubeInFront, targetBlockUniforms(offset));
        const glm::u8vec4 middle = result.at(size / 2, size / 2);
        EXPECT_EQ(middle.r, offset * 30 + 10) << offset;
        EXPECT_EQ(middle.g, 255 - offset * 30) << offset;
    }
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(1, &stages);
}

TEST_F(ShapesGl, ByteNormalsLightTheFaceTowardsTheLight) {
    // The tesseract's cells with one signed byte of the cell normal per vertex (-1 as 255),
    // as the bar model packs them.
    const glm::vec4 cellNormals[8] = {{0, 0, 0, -1}, {0, 0, -1, 0}, {0, 0, 1, 0}, {0, 0, 0, 1},
                                      {-1, 0, 0, 0}, {1, 0, 0, 0},  {0, 1, 0, 0}, {0, -1, 0, 0}};
    std::vector<uint8_t> normalBytes(160);
    for (int v = 0; v < 160; ++v)
        normalBytes[v] = static_cast<uint8_t>(static_cast<int8_t>(cellNormals[v / 20][v % 4]));
    GenericMesh mesh;
    mesh.vertCount_ = 160;
    mesh.attribs = {{GL_FLOAT, 4, hypercubeMeshPositions.data(), 160 * 16, 0},
                    {GL_UNSIGNED_BYTE, 1, normalBytes.data(), 160, 0}};

    // Turned so that the -x cell faces the camera, lit from the camera's side.
    const Mat5 turned =
        cubeInFront *
        Rotor4(wedge4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 1, 0)), -pi / 2).toMat5();
    auto setUniforms = [](float lightZ) {
        return both(setVec3("inColor", {1.0f, 0.5f, 0.25f}),
                    setVec4("lightDir", {0, 0, lightZ, 0}));
    };
    const glm::u8vec4 lit = draw("normalsLit", mesh, GL_LINES_ADJACENCY,
                                 "simplexSolidColorNormalShader", turned, setUniforms(1.0f))
                                .at(size / 2, size / 2);
    EXPECT_NEAR(lit.r, 255, 3);
    EXPECT_NEAR(lit.g, 128, 3);
    const glm::u8vec4 away = draw("normalsAway", mesh, GL_LINES_ADJACENCY,
                                  "simplexSolidColorNormalShader", turned, setUniforms(-1.0f))
                                 .at(size / 2, size / 2);
    EXPECT_NEAR(away.r, 0.35 * 255, 3);

    const glm::u8vec4 shown =
        draw("normalsShown", mesh, GL_LINES_ADJACENCY, "simplexNormalShader", turned)
            .at(size / 2, size / 2);
    EXPECT_NEAR(shown.b, 255, 3);  // the view-space normal is +z
    EXPECT_NEAR(shown.r, 128, 3);
}

TEST_F(ShapesGl, WireframeFadesWithDistanceFromTheHyperplane) {
    // One horizontal edge at view w = 1.
    const glm::vec4 edge[2] = {{-1, 0, 0, 1}, {1, 0, 0, 1}};
    GenericMesh mesh;
    mesh.vertCount_ = 2;
    mesh.attribs = {{GL_FLOAT, 4, edge, 32, 0}};
    auto withFar = [](float wFar) {
        return both(setFloat("wFar", wFar), setVec4("inColor", glm::vec4(1)));
    };
    const Mat5 mv = translate4(glm::vec4(0, 0, -3, 0));
    EXPECT_EQ(draw("wireGone", mesh, GL_LINES, "wireframeShader", mv, withFar(0.5f)).lit, 0);
    const DrawResult half = draw("wireHalf", mesh, GL_LINES, "wireframeShader", mv, withFar(2.0f));
    EXPECT_GT(half.lit, 20);
    EXPECT_NEAR(half.at(size / 2, size / 2).r + half.at(size / 2, size / 2 - 1).r, 128, 8);
}

}  // namespace

#include "engine/Shader.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"
#include "world/Clouds.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

TEST(CloudsDraw, LayerShowsOverheadAndUploadsOnce) {
    ASSERT_NE(testgl::context(), nullptr);
    testgl::loadAllShaders();
    Shader* shader = getShader("cloudShader");
    ASSERT_NE(shader, nullptr);
    testgl::expectUniform("cloudShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("cloudShader", "P", GL_FLOAT_MAT4);
    testgl::expectUniform("cloudShader", "cloudColor", GL_FLOAT_VEC4);

    glUseProgram(shader->program);
    const glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.003f, 1000.0f);
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE,
                       glm::value_ptr(projection));
    glUniform4f(glGetUniformLocation(shader->program, "cloudColor"), 1.0f, 1.0f, 1.0f, 1.0f);
    const GLint mv = glGetUniformLocation(shader->program, "MV");

    // A viewer 556 units below the layer, looking straight up, in the slice w = 0.5.
    const glm::vec4 eye(10.0f, -300.0f, 20.0f, 0.5f);
    Clouds clouds;
    clouds.update(eye, {0, 0, 0, 1}, 2, true);
    const Mat5 view = lookAt4(eye, {0, -1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 0, 0, 1});

    testgl::Framebuffer target(128, 128);
    target.bind();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    clouds.render(view, mv);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    target.savePng(testgl::screenshotPath("clouds_overhead"));

    int white = 0;
    const std::vector<uint8_t> pixels = target.readTopDown();
    for (size_t i = 0; i < pixels.size(); i += 4) white += pixels[i] == 255 && pixels[i + 2] == 255;
    EXPECT_GT(white, 0) << "no cloud in sight";
    EXPECT_LT(white, 128 * 128) << "clouds are patches, not a ceiling";

    // Uploaded on the first frame; later frames draw the same buffers.
    std::vector<GLuint> arrays;
    for (const auto& [coords, chunk] : clouds.chunks) {
        EXPECT_EQ(chunk->uploaded, chunk->mesh.vertCount() > 0);
        arrays.push_back(chunk->renderer.vao);
    }
    clouds.render(view, mv);
    size_t i = 0;
    for (const auto& [coords, chunk] : clouds.chunks) EXPECT_EQ(chunk->renderer.vao, arrays[i++]);
    testgl::Framebuffer::unbind();
    glUseProgram(0);
}

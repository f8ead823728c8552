#include "engine/Shader.h"
#include "engine/Texture.h"
#include "game/GameTestSupport.h"
#include "game/TesseractEdges.h"
#include "items/BlockModels.h"
#include "support/GlTestContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

namespace {

constexpr int SIZE = 128;
constexpr float distance = 1.0f;

// What one dropped item straight ahead of a viewer looking down -z draws (the item at spin 0,
// its bob lifting it 0.1): the extent of its cyan pixels and the lit pixels near the centre.
struct Drawn {
    int cyan = 0, left = SIZE, right = -1, top = SIZE, bottom = -1, lit = 0;
};

Drawn draw(std::unique_ptr<Item> item, bool glasses, const std::string& screenshot) {
    auto entity = ItemEntity::make(std::move(item), {0.0f, -0.1f, -distance, 0.0f}, glm::vec4(0.0f));
    testgl::Framebuffer target(SIZE, SIZE);
    target.bind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    entity->render(nullptr, Mat5(), glasses);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    if (!screenshot.empty()) target.savePng(testgl::screenshotPath(screenshot));
    Drawn d;
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const glm::u8vec4 p = target.pixel(x, y);
            d.lit += unsigned(x - SIZE / 2 + 4) < 8 && unsigned(y - SIZE / 2 + 4) < 8 && p.r + p.g + p.b > 30;
            if (p.r > 60 || p.g < 150 || p.b < 150) continue;
            ++d.cyan;
            d.left = std::min(d.left, x);
            d.right = std::max(d.right, x);
            d.top = std::min(d.top, y);
            d.bottom = std::max(d.bottom, y);
        }
    testgl::Framebuffer::unbind();
    return d;
}

TEST(ItemEntityGl, TheGlassesShowACyanOutlineOfEdgePointFourAndABlockItemItsModel) {
    ASSERT_NE(testgl::context(), nullptr);
    ASSERT_TRUE(testgl::loadAllShaders());
    uploadTesseractEdges(itemEntityOutline);
    initBlockMeshes();
    const glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.05f, 100.0f);
    for (const char* name : {"wireframeShader", "blockShader"}) {
        glUseProgram(getShader(name)->program);
        glUniformMatrix4fv(glGetUniformLocation(getShader(name)->program, "P"), 1, GL_FALSE, glm::value_ptr(projection));
    }
    const GLuint block = getShader("blockShader")->program;
    glUniform1i(glGetUniformLocation(block, "texSampler"), 2);
    glUniform2ui(glGetUniformLocation(block, "texSize"), 96, 16);
    ASSERT_NE(getTexture("tiles.png"), nullptr);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, getTexture("tiles.png")->id);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    EXPECT_EQ(draw(std::make_unique<gametest::TestPick>(), false, "").cyan, 0);
    const Drawn outline = draw(std::make_unique<gametest::TestPick>(), true, "item_entity_outline");
    ASSERT_GT(outline.cyan, 20);
    // The cube's front face (at distance - 0.2) and back face (distance + 0.2) bound the
    // projected width of the 0.4 edge: SIZE / 2 * 0.2 / depth on each side of the centre.
    const float width = float(outline.right - outline.left + 1);
    EXPECT_GE(width, 2.0f * SIZE / 2 * 0.2f / (distance + 0.2f));
    EXPECT_LE(width, 2.0f * SIZE / 2 * 0.2f / (distance - 0.2f) + 2.0f);
    EXPECT_NEAR((outline.left + outline.right) / 2.0f, SIZE / 2.0f, 1.5f);
    EXPECT_NEAR((outline.top + outline.bottom) / 2.0f, SIZE / 2.0f, 1.5f);

    EXPECT_GT(draw(std::make_unique<BlockItem>(3), false, "item_entity_block").lit, 40);
}

}  // namespace

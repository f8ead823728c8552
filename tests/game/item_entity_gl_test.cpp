#include "engine/MeshRenderer.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "game/ItemEntity.h"
#include "game/TesseractEdges.h"
#include "items/BlockItem.h"
#include "items/BlockModels.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

namespace {

constexpr int SIZE = 128;
constexpr float distance = 1.0f;

// An item that draws nothing itself, so only the outline reaches the picture.
class InvisibleItem : public Item {
public:
    InvisibleItem() { count = 1; }
    std::string getName() const override { return "Invisible"; }
    void renderIcon(const glm::ivec2&) override {}
    void render(const Mat5&, bool) override {}
    bool isSpecial() const override { return false; }
    bool canStackWith(const std::unique_ptr<Item>&) const override { return false; }
    bool use(World*, Player*, int) override { return false; }
    std::unique_ptr<Item> clone() const override { return std::make_unique<InvisibleItem>(); }
};

struct Extent {
    int count = 0, left = SIZE, right = -1, top = SIZE, bottom = -1;
};

class ItemEntityGlTest : public ::testing::Test {
protected:
    glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.05f, 100.0f);

    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        testgl::loadAllShaders();
        ASSERT_NE(getShader("wireframeShader"), nullptr);
        ASSERT_NE(getShader("blockShader"), nullptr);
        uploadTesseractEdges(itemEntityOutline);
        initBlockMeshes();

        for (const char* name : {"wireframeShader", "blockShader"}) {
            glUseProgram(getShader(name)->program);
            glUniformMatrix4fv(glGetUniformLocation(getShader(name)->program, "P"), 1, GL_FALSE,
                               glm::value_ptr(projection));
        }
        GLuint block = getShader("blockShader")->program;
        glUniform1i(glGetUniformLocation(block, "texSampler"), 2);
        glUniform2ui(glGetUniformLocation(block, "texSize"), 96, 16);
        Texture* tiles = getTexture("tiles.png");
        ASSERT_NE(tiles, nullptr);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, tiles->id);
    }

    // Draws one dropped item straight ahead of a viewer looking down -z (the item at spin 0,
    // its bob lifting it 0.1) and returns the extent of its cyan pixels.
    Extent draw(std::unique_ptr<Item> item, bool glasses, const std::string& screenshot) {
        auto entity = ItemEntity::make(std::move(item), {0.0f, -0.1f, -distance, 0.0f},
                                       glm::vec4(0.0f));
        testgl::Framebuffer target(SIZE, SIZE);
        target.bind();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        entity->render(nullptr, Mat5(), glasses);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        if (!screenshot.empty()) target.savePng(testgl::screenshotPath(screenshot));

        Extent cyan;
        for (int y = 0; y < SIZE; ++y)
            for (int x = 0; x < SIZE; ++x) {
                const glm::u8vec4 p = target.pixel(x, y);
                if (p.r > 60 || p.g < 150 || p.b < 150) continue;
                ++cyan.count;
                cyan.left = std::min(cyan.left, x);
                cyan.right = std::max(cyan.right, x);
                cyan.top = std::min(cyan.top, y);
                cyan.bottom = std::max(cyan.bottom, y);
            }
        lit = 0;
        for (int y = SIZE / 2 - 4; y < SIZE / 2 + 4; ++y)
            for (int x = SIZE / 2 - 4; x < SIZE / 2 + 4; ++x) {
                const glm::u8vec4 p = target.pixel(x, y);
                lit += p.r + p.g + p.b > 30;
            }
        testgl::Framebuffer::unbind();
        return cyan;
    }
    int lit = 0;  // pixels drawn near the centre by the last draw
};

TEST_F(ItemEntityGlTest, TheOutlineUniformsHaveTheTypesTheCodeSends) {
    testgl::expectUniform("wireframeShader", "wFar", GL_FLOAT);
    testgl::expectUniform("wireframeShader", "MV", GL_FLOAT, 25);
    testgl::expectUniform("wireframeShader", "inColor", GL_FLOAT_VEC4);
}

TEST_F(ItemEntityGlTest, TheGlassesShowACyanOutlineOfEdgePointFour) {
    Extent without = draw(std::make_unique<InvisibleItem>(), false, "");
    EXPECT_EQ(without.count, 0);

    Extent outline = draw(std::make_unique<InvisibleItem>(), true, "item_entity_outline");
    ASSERT_GT(outline.count, 20);
    // The cube's front face (at distance - 0.2) and back face (distance + 0.2) bound the
    // projected width of the 0.4 edge: SIZE / 2 * 0.2 / depth on each side of the centre.
    const float outer = SIZE / 2 * 0.2f / (distance - 0.2f);
    const float inner = SIZE / 2 * 0.2f / (distance + 0.2f);
    const float width = float(outline.right - outline.left + 1);
    EXPECT_GE(width, 2.0f * inner);
    EXPECT_LE(width, 2.0f * outer + 2.0f);
    EXPECT_NEAR((outline.left + outline.right) / 2.0f, SIZE / 2.0f, 1.5f);
    EXPECT_NEAR((outline.top + outline.bottom) / 2.0f, SIZE / 2.0f, 1.5f);
}

TEST_F(ItemEntityGlTest, ABlockItemDrawsItsModel) {
    draw(std::make_unique<BlockItem>(3), false, "item_entity_block");
    EXPECT_GT(lit, 40);
}

}  // namespace

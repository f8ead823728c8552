#include "items/BlockModels.h"
#include "items/Crafting.h"
#include "items/Inventory.h"
#include "items/InventoryGUI.h"
#include "items/ItemDrawing.h"
#include "items/TestItems.h"
#include "support/GlTestContext.h"
#include "support/ShaderChecks.h"

#include "engine/Shader.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <stb_image.h>

using nlohmann::json;

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;

void setPixelProjection(int width, int height) {
    const glm::mat4 p = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
    for (const char* name : {"tex2DShader", "textShader", "quadShader"}) {
        Shader* shader = getShader(name);
        ASSERT_NE(shader, nullptr) << name;
        glUseProgram(shader->program);
        glUniformMatrix4fv(glGetUniformLocation(shader->program, "P"), 1, GL_FALSE,
                           glm::value_ptr(p));
    }
}

class ItemsGlTest : public ::testing::Test {
protected:
    GLFWwindow* window = nullptr;

    void SetUp() override {
        window = testgl::context(WIDTH, HEIGHT);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(testgl::loadAllShaders());
        loadTestCatalogue();
        Inventory::initRender();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        while (glGetError() != GL_NO_ERROR) {}
    }
};

// The atlas as a file, for comparing what the GPU shows with what the generator drew.
struct Atlas {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    Atlas() {
        int channels = 0;
        uint8_t* pixels = stbi_load("assets/textures/items.png", &width, &height, &channels, 4);
        if (pixels) rgba.assign(pixels, pixels + size_t(width) * height * 4);
        stbi_image_free(pixels);
    }
    // The texel blended over opaque black, as the screen shows it.
    glm::ivec3 overBlack(int x, int y) const {
        const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
        return glm::ivec3(glm::vec3(p[0], p[1], p[2]) * (p[3] / 255.0f) + 0.5f);
    }
};

// Draws one cell at (5, 4) over black and compares all 70 x 72 pixels with the texels of the
// cell at (cellX, cellY), each shown as 2 x 2 pixels.
void expectCellDrawn(const std::function<void(glm::ivec2)>& draw, const Atlas& atlas,
                     unsigned cellX, unsigned cellY, const std::string& what) {
    testgl::Framebuffer fb(80, 80);
    fb.bind();
    setPixelProjection(80, 80);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw({5, 4});
    const std::vector<uint8_t> image = fb.readTopDown();
    int wrong = 0, opaque = 0;
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 70; ++x) {
            const uint8_t* p = &image[(size_t(y + 4) * 80 + x + 5) * 4];
            const glm::ivec3 expected = atlas.overBlack(int(cellX) + x / 2, int(cellY) + y / 2);
            const glm::ivec3 got(p[0], p[1], p[2]);
            if (glm::any(glm::greaterThan(glm::abs(got - expected), glm::ivec3(3)))) ++wrong;
            if (expected != glm::ivec3(0)) ++opaque;
        }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_GT(opaque, 400) << what << " has a drawing";
    testgl::Framebuffer::unbind();
}

TEST_F(ItemsGlTest, EveryIconCellOfTheAtlasReadsBackAsItsOwnCell) {
    const Atlas atlas;
    ASSERT_EQ(atlas.width, 512);
    ASSERT_EQ(atlas.height, 148);
    TexturedQuad sprite;
    itemDrawing::initAtlasQuad(sprite);
    ASSERT_NE(sprite.vao, 0u);

    for (int id = 1; id <= 14; ++id) {
        BlockItem item(id);
        expectCellDrawn([&](glm::ivec2 pos) { item.renderIcon(pos); }, atlas, (id - 1) * 36, 37,
                        "block " + std::to_string(id));
    }
    struct Row {
        unsigned y, cells;
        const char* name;
    };
    for (Row row : {Row{0, 2, "frame"}, Row{74, 6, "tool"}, Row{111, 8, "material"}})
        for (unsigned i = 0; i < row.cells; ++i)
            expectCellDrawn(
                [&](glm::ivec2 pos) { itemDrawing::drawAtlasCell(sprite, i * 36, row.y, pos); },
                atlas, i * 36, row.y, std::string(row.name) + " " + std::to_string(i));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The generator keeps to the grid: nothing is painted in the gaps between cells, so an
    // icon drawn with another row or column pitch would show up here.
    int strayTexels = 0;
    for (int y = 0; y < atlas.height; ++y)
        for (int x = 0; x < atlas.width; ++x) {
            const bool inCell = x % 36 < 35 && y % 37 < 36;
            if (!inCell && atlas.rgba[(size_t(y) * atlas.width + x) * 4 + 3] != 0) ++strayTexels;
        }
    EXPECT_EQ(strayTexels, 0);
}

// Pixels that differ from the clear colour inside a rectangle.
int drawnPixels(const testgl::Framebuffer& fb, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += fb.pixel(x, y) != glm::u8vec4(40, 40, 40, 255);
    return n;
}

TEST_F(ItemsGlTest, StackCountsShowExceptForALoneUnstackableItem) {
    testgl::Framebuffer fb(200, 200);
    fb.bind();
    setPixelProjection(200, 200);
    std::vector<std::pair<std::unique_ptr<Item>, bool>> cases;
    cases.emplace_back(material("Rock", 1), true);
    cases.emplace_back(tool(), false);
    cases.emplace_back(block(3, 1), true);
    cases.emplace_back(material("Rock", 57), true);
    for (auto& [item, shown] : cases) {
        glClearColor(40 / 255.0f, 40 / 255.0f, 40 / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        Item::renderStack(item, {20, 20});
        EXPECT_EQ(drawnPixels(fb, 60, 60, 40, 20) > 0, shown) << item->getName() << item->count;
    }
    testgl::Framebuffer::unbind();
}

TEST_F(ItemsGlTest, TooltipBoxSitsAboveTheCursorAndFitsTheName) {
    testgl::Framebuffer fb(300, 100);
    fb.bind();
    setPixelProjection(300, 100);
    glClearColor(40 / 255.0f, 40 / 255.0f, 40 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Item::renderTooltip(material("Abcdefghij", 1), {50, 60});  // box 170 x 26 from (50, 30)
    EXPECT_EQ(fb.pixel(55, 33), glm::u8vec4(0, 0, 0, 255)) << "the black fill";
    EXPECT_EQ(fb.pixel(215, 52), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(drawnPixels(fb, 52, 32, 166, 22) > 100, true);
    EXPECT_EQ(drawnPixels(fb, 222, 20, 30, 50), 0) << "right of the box";
    EXPECT_EQ(drawnPixels(fb, 40, 58, 200, 10), 0) << "below the box";
    EXPECT_EQ(drawnPixels(fb, 40, 15, 200, 13), 0) << "above the box";
    testgl::Framebuffer::unbind();
}

TEST_F(ItemsGlTest, BlockModelsUploadAndDrawWithTheBlockShader) {
    initBlockMeshes();
    for (const RenderedMesh& mesh : blockMeshes) {
        EXPECT_NE(mesh.renderer.vao, 0u);
        EXPECT_EQ(mesh.renderer.vertCount, 160u);
    }
    testgl::expectUniform("blockShader", "MV", GL_FLOAT, 25);
    testgl::Framebuffer fb(64, 64);
    fb.bind();
    BlockItem(4).render(Mat5(), true);
    BlockItem(99).render(Mat5(), true);  // no model: draws nothing
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    testgl::Framebuffer::unbind();
}

TEST_F(ItemsGlTest, TheInventoryScreenWithItsCraftingPanelDrawsAFrame) {
    for (const char* name : {"tex2DShader", "textShader", "quadShader"})
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
    recipes = {{"chest", {{"recipe", {{{"name", "Wood"}, {"count", 8}}}},
                          {"result", {{"name", "Chest"}, {"count", 1}}}}},
               {"dirt", {{"recipe", {{{"name", "Stone"}, {"count", 1}}, {{"name", "Wood"}, {"count", 1}}}},
                         {"result", {{"name", "Dirt"}, {"count", 2}}}}}};
    Inventory hotbar({1, 8}, {25, 50}, {0, 0}), inventory({4, 8}, {109, 50}, {-1, -1});
    hotbar.getSlot(0) = block(4, 40);
    hotbar.getSlot(3) = block(3, 7);
    inventory.getSlot(9) = block(9, 1);

    auto screen = std::make_unique<InventoryGUI>();
    screen->init(window);
    EXPECT_EQ(screen->windowHeight, HEIGHT);
    screen->open(&hotbar, &inventory);
    ASSERT_EQ(screen->craftingMenu.entries.size(), 2u);
    screen->cursor.item = block(2, 3);

    testgl::Framebuffer fb(WIDTH, HEIGHT);
    fb.bind();
    setPixelProjection(WIDTH, HEIGHT);
    glClearColor(40 / 255.0f, 40 / 255.0f, 40 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    screen->render({160, 120});
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    fb.savePng(testgl::screenshotPath("inventory_screen"));

    EXPECT_GT(drawnPixels(fb, 25 + 34, 50, 70, 72), 1000) << "the hotbar's first slot";
    EXPECT_GT(drawnPixels(fb, WIDTH - 300 + 6, 100 + 6, 70, 72), 1000) << "the first result box";
    EXPECT_GT(drawnPixels(fb, WIDTH - 250, 50, 150, 24), 50) << "the label";
    EXPECT_GT(drawnPixels(fb, 140, 100, 70, 72), 1000) << "the carried stack";
    EXPECT_EQ(drawnPixels(fb, 500, 600, 100, 100), 0) << "nothing in the middle";
    testgl::Framebuffer::unbind();
    recipes = nullptr;
}

}  // namespace

#include "items/Crafting.h"
#include "items/InventoryGUI.h"
#include "items/ItemDrawing.h"
#include "items/MaterialItem.h"
#include "items/TestItems.h"
#include "items/ToolItem.h"
#include "support/GlTestContext.h"

#include "engine/Shader.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <stb_image.h>

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
const glm::u8vec4 grey(40, 40, 40, 255);

class ItemsGlTest : public CatalogueTest {
protected:
    GLFWwindow* window = nullptr;

    void SetUp() override {
        window = testgl::context(WIDTH, HEIGHT);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(testgl::loadAllShaders());
        CatalogueTest::SetUp();
        Inventory::initRender();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        while (glGetError() != GL_NO_ERROR) {}
    }

    // Binds a fresh target with a pixel projection for the 2D shaders, cleared to `clear`.
    std::unique_ptr<testgl::Framebuffer> target(int width, int height, glm::u8vec4 clear = grey) {
        auto fb = std::make_unique<testgl::Framebuffer>(width, height);
        fb->bind();
        const glm::mat4 p = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
        for (const char* name : {"tex2DShader", "textShader", "quadShader"}) {
            glUseProgram(getShader(name)->program);
            glUniformMatrix4fv(glGetUniformLocation(getShader(name)->program, "P"), 1, GL_FALSE,
                               glm::value_ptr(p));
        }
        glClearColor(clear.r / 255.0f, clear.g / 255.0f, clear.b / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        return fb;
    }
    void TearDown() override { testgl::Framebuffer::unbind(); }
};

// Pixels that differ from the grey clear colour inside a rectangle.
int drawnPixels(const testgl::Framebuffer& fb, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += fb.pixel(x, y) != grey;
    return n;
}

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

// Every icon reads back, as 70 x 72 pixels drawn at (5, 4) over black, as the texels of its
// own cell shown 2 x 2 each: a flipped image or a wrong row pitch shows up here.
TEST_F(ItemsGlTest, EveryIconCellOfTheAtlasReadsBackAsItsOwnCell) {
    const Atlas atlas;
    ASSERT_EQ(glm::ivec2(atlas.width, atlas.height), glm::ivec2(512, 148));
    TexturedQuad sprite;
    itemDrawing::initAtlasQuad(sprite);
    ASSERT_NE(sprite.vao, 0u);

    auto expectCell = [&](const std::function<void(glm::ivec2)>& draw, unsigned cellX,
                          unsigned cellY, const std::string& what) {
        const auto fb = target(80, 80, glm::u8vec4(0, 0, 0, 255));
        draw({5, 4});
        const std::vector<uint8_t> image = fb->readTopDown();
        int wrong = 0, opaque = 0;
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < 70; ++x) {
                const uint8_t* p = &image[(size_t(y + 4) * 80 + x + 5) * 4];
                const glm::ivec3 expected = atlas.overBlack(int(cellX) + x / 2, int(cellY) + y / 2);
                wrong += glm::any(glm::greaterThan(
                    glm::abs(glm::ivec3(p[0], p[1], p[2]) - expected), glm::ivec3(3)));
                opaque += expected != glm::ivec3(0);
            }
        EXPECT_EQ(wrong, 0) << what;
        EXPECT_GT(opaque, 400) << what << " has a drawing";
    };
    for (int id = 1; id <= 14; ++id) {
        BlockItem item(id);
        expectCell([&](glm::ivec2 pos) { item.renderIcon(pos); }, (id - 1) * 36, 37,
                   "block " + std::to_string(id));
    }
    for (unsigned i = 0; i < 2; ++i)
        expectCell([&](glm::ivec2 pos) { itemDrawing::drawAtlasCell(sprite, i * 36, 0, pos); },
                   i * 36, 0, "frame " + std::to_string(i));
    // Tools and materials find their cell by name, in the order of their rows.
    const std::vector<const char*> tools = {"Stick", "Hammer", "Iron Pick", "Deadly Pick", "Iron Axe", "Deadly Axe"};
    const std::vector<const char*> materials = {"Rock",    "Hypersilk",  "Iron Bars",    "Deadly Bars",
                                                "Compass", "4D Glasses", "Klein Bottle", "Health Potion"};
    for (unsigned i = 0; i < tools.size(); ++i) {
        ToolItem item(tools[i]);
        expectCell([&](glm::ivec2 pos) { item.renderIcon(pos); }, i * 36, 74, tools[i]);
    }
    for (unsigned i = 0; i < materials.size(); ++i) {
        MaterialItem item(materials[i]);
        expectCell([&](glm::ivec2 pos) { item.renderIcon(pos); }, i * 36, 111, materials[i]);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Nothing is painted in the gaps between cells.
    int strayTexels = 0;
    for (int y = 0; y < atlas.height; ++y)
        for (int x = 0; x < atlas.width; ++x)
            strayTexels +=
                (x % 36 == 35 || y % 37 == 36) && atlas.rgba[(size_t(y) * atlas.width + x) * 4 + 3];
    EXPECT_EQ(strayTexels, 0);
}

TEST_F(ItemsGlTest, StackCountsShowExceptForALoneUnstackableItem) {
    const auto fb = target(200, 200);
    std::vector<std::pair<std::unique_ptr<Item>, bool>> cases;
    cases.emplace_back(material("Rock", 1), true);
    cases.emplace_back(tool(), false);
    cases.emplace_back(block(3, 1), true);
    cases.emplace_back(material("Rock", 57), true);
    for (auto& [item, shown] : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        Item::renderStack(item, {20, 20});
        EXPECT_EQ(drawnPixels(*fb, 60, 60, 40, 20) > 0, shown) << describe(item);
    }
}

TEST_F(ItemsGlTest, TooltipBoxSitsAboveTheCursorAndFitsTheName) {
    const auto fb = target(300, 100);
    Item::renderTooltip(material("Abcdefghij", 1), {50, 60});  // box 170 x 26 from (50, 30)
    EXPECT_EQ(fb->pixel(55, 33), glm::u8vec4(0, 0, 0, 255)) << "the black fill";
    EXPECT_EQ(fb->pixel(215, 52), glm::u8vec4(0, 0, 0, 255));
    EXPECT_GT(drawnPixels(*fb, 52, 32, 166, 22), 100);
    EXPECT_EQ(drawnPixels(*fb, 222, 20, 30, 50), 0) << "right of the box";
    EXPECT_EQ(drawnPixels(*fb, 40, 58, 200, 10), 0) << "below the box";
    EXPECT_EQ(drawnPixels(*fb, 40, 15, 200, 13), 0) << "above the box";
}

TEST_F(ItemsGlTest, TheInventoryScreenWithItsCraftingPanelDrawsAFrame) {
    recipes = {{"chest", recipeOf("Wood 8", "Chest 1")},
               {"dirt", recipeOf("Stone 1|Wood 1", "Dirt 2")}};
    Inventory hotbar({1, 8}, {25, 50}, {0, 0}), inventory({4, 8}, {109, 50}, {-1, -1});
    fill(hotbar, "Wood 40|-|-|Stone 7");
    inventory.getSlot(9) = block(9, 1);

    auto screen = std::make_unique<InventoryGUI>();
    screen->init(window);
    EXPECT_EQ(screen->windowHeight, HEIGHT);
    screen->open(&hotbar, &inventory);
    ASSERT_EQ(screen->craftingMenu.entries.size(), 2u);
    screen->cursor.item = block(2, 3);

    const auto fb = target(WIDTH, HEIGHT);
    screen->render({160, 120});
    BlockItem(99).render(Mat5(), true);  // no model: draws nothing
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    fb->savePng(testgl::screenshotPath("inventory_screen"));

    EXPECT_GT(drawnPixels(*fb, 25 + 34, 50, 70, 72), 1000) << "the hotbar's first slot";
    EXPECT_GT(drawnPixels(*fb, WIDTH - 300 + 6, 100 + 6, 70, 72), 1000) << "the first result box";
    EXPECT_GT(drawnPixels(*fb, WIDTH - 250, 50, 150, 24), 50) << "the label";
    EXPECT_GT(drawnPixels(*fb, 140, 100, 70, 72), 1000) << "the carried stack";
    EXPECT_EQ(drawnPixels(*fb, 500, 600, 100, 100), 0) << "nothing in the middle";
    recipes = nullptr;
}

}  // namespace

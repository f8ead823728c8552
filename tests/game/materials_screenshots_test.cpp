#include "support/GameHarness.h"

#include "engine/InputCallbacks.h"
#include "engine/Shader.h"
#include "engine/ThreadRandom.h"
#include "game/ChestEntity.h"
#include "game/Compass.h"
#include "game/GameState.h"
#include "game/HudMath.h"
#include "game/ItemEntity.h"
#include "game/SpiderEntity.h"
#include "game/StoneRoom.h"
#include "items/CompassMath.h"
#include "items/CompassRenderer.h"
#include "items/MaterialItem.h"
#include "items/InventoryLayout.h"

#include <GLFW/glfw3.h>
#include <glm/gtx/string_cast.hpp>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>

// What a player sees of the materials: each one in the hand and lying in the room, the outlines
// that the 4D glasses show of a creature and an item beyond the room's wall in w, and the held
// compass with its diagram and readout. The shots land in build/screenshots/.

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;
const char* const materials[] = {"Rock",       "Hypersilk",    "Iron Bars",    "Deadly Bars",
                                 "4D Glasses", "Klein Bottle", "Health Potion", "Compass"};

std::string shotName(std::string name) {
    for (char& c : name) c = c == ' ' ? '_' : char(std::tolower(static_cast<unsigned char>(c)));
    return "material_" + name;
}

// Pixels of a rectangle for which `test` holds.
int countPixels(const std::vector<uint8_t>& image, int x0, int y0, int x1, int y1,
                const std::function<bool(int r, int g, int b)>& test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &image[(size_t(y) * W + x) * 4];
            n += test(p[0], p[1], p[2]);
        }
    return n;
}
bool reddish(int r, int g, int b) { return r - g > 40 && r - b > 40; }
bool cyanish(int r, int g, int b) { return g - r > 40 && b - r > 40; }
bool magentaish(int r, int g, int b) { return r - g > 40 && b - g > 40; }
bool orangeish(int r, int g, int b) { return r - g > 30 && g - b > 30; }
bool coloured(int r, int g, int b) { return std::max({r, g, b}) - std::min({r, g, b}) > 40; }

// The title screen's world can hold dropped items before any game screen built the models: first
// in this program, before anything uploads them, every material draws nothing and fails nothing;
// later, with the models built, an unregistered shader leaves its part out.
TEST(MaterialsUnbuilt, DrawNothingWithoutTheirModelsOrShaders) {
    GameHarness game;
    ASSERT_TRUE(game.ready());
    ASSERT_EQ(MaterialItem::rockModel.vao, 0u) << "this test runs first";
    const auto drawsNothing = [&](const std::string& what) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const char* name : materials) {
            const std::unique_ptr<Item> item = Item::create(name, 1);
            item->render(hud::heldItemMatrix({}), true);
            item->render(translate4(glm::vec4(0.0f, 0.0f, -2.0f, 0.0f)) * scale4(0.2f), false);
        }
        glFinish();
        EXPECT_EQ(countPixels(game.image(), 0, 0, W, H, [](int r, int g, int b) { return r + g + b > 0; }), 0) << what;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << what;
    };
    ASSERT_TRUE(Item::loadItemInfo("itemInfo.json"));
    drawsNothing("never built");

    Item::initRender();
    CompassRenderer::init();
    std::map<std::string, std::unique_ptr<Shader>> registered;
    registered.swap(shaders);
    drawsNothing("no shaders");
    shaders.swap(registered);
}

class MaterialsScreenshots : public ::testing::Test {
protected:
    GameHarness game;
    Player& player = gameState.player;
    World& world = gameState.world;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(gametest::enterStoneRoom(game));
        player.hotbar.selected = {0, 0};
        threadrandom::generator().seed(3);  // the shaken copies of the hypersilk
    }
    std::vector<uint8_t> frame() {
        game.frame();
        return game.image();
    }
    void expectHudInView(const std::string& what) {
        const glm::u8vec4 centre = game.pixel(W / 2, H / 2);
        EXPECT_GE(std::min({centre.r, centre.g, centre.b}), 250) << what << ": the crosshair";
        EXPECT_GT(game.pixel(10 + 2 * 6 + 1, H - 106 + 2 * 30 + 1).r, 150) << what << ": the health bar";
    }
};

TEST_F(MaterialsScreenshots, EachMaterialReadsInTheHandAndLyingInTheRoom) {
    const std::vector<uint8_t> emptyHand = frame();
    const struct {
        const char* name;
        float heldShare;  // of the lower right quarter of the view, at least
        std::function<bool(int, int, int)> colour;
        int colourPixels;  // of the held model's own colour there, at least
        bool whole = false;  // shown whole: clear of the window's right and bottom edges
    } cases[] = {
        {"Rock", 0.3f, [](int r, int g, int b) { return std::abs(r - g) < 8 && std::abs(g - b) < 8 && r > 100; }, 20000},
        {"Hypersilk", 0.01f, magentaish, 300},
        {"Iron Bars", 0.2f, [](int r, int g, int b) { return r > g + 5 && std::abs(g - b) <= 3; }, 20000},
        {"Deadly Bars", 0.3f, cyanish, 20000},
        {"Compass", 0.1f, [](int r, int g, int b) { return g > 200 && r < 80 && b < 80; }, 100},
        {"4D Glasses", 0.3f, [](int r, int g, int b) { return g - r > 80 && g - b > 80; }, 5000},
        {"Klein Bottle", 0.02f, coloured, 300, true},
        {"Health Potion", 0.02f, coloured, 300, true},
    };
    const glm::ivec2 slot = player.hotbar.pos + inventoryLayout::slotOffset(0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        player.hotbar.getSlot(0) = Item::create(c.name, 1);
        ASSERT_NE(player.hotbar.getSlot(0), nullptr);
        const std::vector<uint8_t> held = frame();
        game.screenshot(shotName(c.name));

        // In the lower right, in its own colours; the upper left, the crosshair, the health bar
        // and the hotbar below its first slot stay in view.
        EXPECT_GT(testgame::changedShare(emptyHand, held, W / 2, H / 2, W, H), c.heldShare);
        EXPECT_GT(countPixels(held, W / 2, H / 2, W, H, c.colour), c.colourPixels);
        EXPECT_LT(testgame::changedShare(emptyHand, held, 0, 0, W / 2, H / 2), 0.03f);
        expectHudInView(c.name);
        EXPECT_GT(testgame::changedShare(emptyHand, held, slot.x + 15, slot.y + 15, slot.x + 55, slot.y + 57), 0.2f)
            << "its icon";
        EXPECT_LT(testgame::changedShare(emptyHand, held, 0, slot.y + 80, 140, H - 120), 0.01f) << "the hotbar";
        if (c.whole) {
            EXPECT_EQ(testgame::changedShare(emptyHand, held, W - 16, 0, W, H), 0.0f) << "cut at the right";
            EXPECT_EQ(testgame::changedShare(emptyHand, held, 0, H - 16, W, H), 0.0f) << "cut at the bottom";
        }

        // Lying two and a half cells ahead at eye height, it shows around its place.
        std::unique_ptr<Item> item = std::move(player.hotbar.getSlot(0));
        std::unique_ptr<Entity> lying = ItemEntity::make(
            std::move(item), player.eyePos + glm::vec4(0.0f, -0.2f, 2.5f, 0.0f), glm::vec4(0.0f));
        Entity* entity = lying.get();
        ASSERT_TRUE(world.addEntity(lying));
        const std::vector<uint8_t> dropped = frame();
        EXPECT_GT(testgame::changedShare(emptyHand, dropped, W / 2 - 60, H / 2 - 10, W / 2 + 60, H / 2 + 140), 0.02f);
        EXPECT_LT(testgame::changedShare(emptyHand, dropped, 0, 0, W / 4, H), 0.01f);
        for (auto& [coords, chunk] : world.chunks)
            std::erase_if(chunk->entities, [&](const std::unique_ptr<Entity>& e) { return e.get() == entity; });
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The glasses show what lies beyond the room's wall in w, out of the slice: a spider's red
// outline, a dropped item's cyan one and a chest's orange one.
TEST_F(MaterialsScreenshots, TheGlassesOutlineASpiderAnItemAndAChestBeyondTheWall) {
    const glm::vec4 eye = player.eyePos;
    std::unique_ptr<Entity> spider = Entity::create("Spider", eye + glm::vec4(1.0f, -0.3f, 4.0f, -4.5f));
    ASSERT_NE(spider, nullptr);
    static_cast<SpiderEntity&>(*spider).clock = [] { return 10.0; };
    static_cast<SpiderEntity&>(*spider).direction = glm::vec4(0, 0, -1, 0);
    ASSERT_TRUE(world.addEntity(spider));
    std::unique_ptr<Entity> item =
        ItemEntity::make(Item::create("Rock", 1), eye + glm::vec4(-1.0f, 0.0f, 3.0f, -4.5f), glm::vec4(0.0f));
    ASSERT_TRUE(world.addEntity(item));
    const glm::vec4 chestCell = glm::floor(eye + glm::vec4(-0.5f, 0.8f, 5.0f, -4.5f));
    world.setBlock(glm::ivec4(chestCell), ChestEntity::chestBlock);
    std::unique_ptr<Entity> chest = Entity::create("Chest", chestCell);
    ASSERT_TRUE(chest && world.addEntity(chest));

    const std::vector<uint8_t> without = frame();
    player.hotbar.getSlot(0) = Item::create("4D Glasses", 1);
    const std::vector<uint8_t> with = frame();
    game.screenshot("glasses_outline");

    // Left of the centre the spider, right of it the item; the glasses in the hand lie below.
    // (Left of x 150 the hotbar and the red health vial.)
    EXPECT_EQ(countPixels(without, 150, 0, W, H, reddish), 0) << "nothing of them in the slice";
    EXPECT_EQ(countPixels(without, 150, 0, W, H, cyanish), 0);
    EXPECT_GT(countPixels(with, 100, 150, W / 2, H / 2 + 100, reddish), 300);
    EXPECT_GT(countPixels(with, W / 2 + 50, H / 2 - 150, W - 150, H / 2 + 40, cyanish), 100);
    // Above the centre the chest.
    EXPECT_EQ(countPixels(without, W / 2 - 150, 0, W / 2 + 150, H / 2 - 50, orangeish), 0);
    EXPECT_GT(countPixels(with, W / 2 - 150, 0, W / 2 + 150, H / 2 - 50, orangeish), 100);
    expectHudInView("glasses");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MaterialsScreenshots, TheHeldCompassShowsItsDiagramAndTheReadoutAndTurnsWithARightDrag) {
    const std::vector<uint8_t> emptyHand = frame();
    player.hotbar.getSlot(0) = Item::create("Compass", 1);

    // A right-button drag turns the diagram, not the view.
    const glm::vec4 forward = player.forward;
    compassAngles = glm::vec2(0.0f);
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    game.tick();
    cursorPosCallback(game.window(), 20.0, 60.0);
    mouseButtonCallback(game.window(), GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    game.tick();
    EXPECT_GT(compassAngles[0], 0.0f);
    EXPECT_LT(compassAngles[1], 0.0f) << "tilted towards the viewer";
    EXPECT_EQ(player.forward, forward);

    const std::vector<uint8_t> held = frame();
    game.screenshot("compass_held");

    // The readout: each piece where the layout puts it, in its colour, ending 5 pixels from the
    // right edge (its shadow 2 further).
    const auto pieces = compassmath::readout(compassPlayerPos, compassFacing, gameWindowSize);
    EXPECT_EQ(compassmath::lineAt(pieces, H - 21), "Facing Direction: X: 0.0, Z: 1.0, W: 0.0");
    for (const auto& piece : pieces) {
        SCOPED_TRACE(piece.text);
        const int x1 = piece.pos.x + int(piece.text.size()) * 16, y1 = piece.pos.y + 16;
        EXPECT_GT(testgame::changedShare(emptyHand, held, piece.pos.x, piece.pos.y, x1, y1), 0.03f);
        const glm::u8vec4 colour = testgame::toBytes(glm::vec4(piece.colour, 1.0f));
        EXPECT_GT(testgame::shareNear(held, piece.pos.x, piece.pos.y, x1, y1, colour, 10), 0.015f);
    }
    EXPECT_EQ(testgame::changedShare(emptyHand, held, W - 2, H - 60, W, H), 0.0f);

    // The diagram: the cube's cyan edges, the green upward axis (world w), the red and blue
    // axes, the yellow facing and orange side needles, low at the right above the readout.
    const int x0 = W / 2 + 50, y0 = H / 2 - 50, y1 = H - 60;
    EXPECT_GT(countPixels(held, x0, y0, W, y1, [](int r, int g, int b) { return g > 150 && b > 150 && r < 120; }), 200);
    for (const glm::u8vec4 colour : {glm::u8vec4(0, 255, 0, 255), glm::u8vec4(255, 0, 0, 255), glm::u8vec4(0, 0, 255, 255),
                                     glm::u8vec4(255, 255, 0, 255), glm::u8vec4(255, 128, 0, 255)})
        EXPECT_GT(testgame::shareNear(held, x0, y0, W, y1, colour, 40) * float((W - x0) * (y1 - y0)), 5.0f)
            << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b);
    EXPECT_LT(testgame::changedShare(emptyHand, held, 0, 0, W / 2, H / 2), 0.03f) << "only the slot's icon";
    expectHudInView("compass");

    // Unturned and drawn alone, large below the view's centre: the yellow needle points along the
    // facing and the orange one against the side, each over the line of that axis's colour,
    // which shows on the other side of the centre. The diagram's x, y, z are the world's x, w, z.
    const glm::u8vec4 yellow(255, 255, 0, 255), orange(255, 128, 0, 255), green(0, 255, 0, 255),
        red(255, 0, 0, 255), blue(0, 0, 255, 255);
    const struct {
        glm::vec4 facing, left;
        glm::vec3 ahead, side;  // the needles in the diagram
        glm::u8vec4 aheadAxis, sideAxis;
    } facings[] = {{{0, 0, 1, 0}, {1, 0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, red, blue},
                   {{0, 0, 0, 1}, {0, 0, 1, 0}, {0, 1, 0}, {0, 0, -1}, green, red}};
    const glm::vec3 centre(0.0f, -0.06f, -0.25f);
    const glm::quat fixedTurn = glm::angleAxis(glm::radians(-36.0f), glm::vec3(0, 1, 0));
    const auto shows = [&](const std::vector<uint8_t>& image, const glm::vec3& d, glm::u8vec4 colour) {
        const glm::vec4 clip = gameState.projection * glm::vec4(centre + 0.1f * (fixedTurn * d), 1.0f);
        const int x = int((clip.x / clip.w + 1.0f) * W / 2), y = int((1.0f - clip.y / clip.w) * H / 2);
        return testgame::shareNear(image, x - 3, y - 3, x + 4, y + 4, colour, 40) > 0.0f;
    };
    compassAngles = glm::vec2(0.0f);
    for (const auto& f : facings) {
        SCOPED_TRACE(testing::Message() << "facing " << glm::to_string(f.facing));
        compassFacing = f.facing;
        compassLeft = f.left;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        CompassRenderer::renderHeld(glm::translate(glm::mat4(1.0f), centre - glm::vec3(0.0f, 0.15f, 0.05f)));
        const std::vector<uint8_t> diagram = game.image();
        EXPECT_TRUE(shows(diagram, 0.2f * f.ahead, yellow) && !shows(diagram, 0.2f * f.ahead, orange));
        EXPECT_TRUE(shows(diagram, 0.2f * f.side, orange) && !shows(diagram, 0.2f * f.side, yellow));
        EXPECT_TRUE(shows(diagram, -0.2f * f.ahead, f.aheadAxis));
        EXPECT_TRUE(shows(diagram, -0.2f * f.side, f.sideAxis));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The diagram culls faces, sets back the cut and turns depth writes off for its text: whatever
// the state was before, it is the state after.
TEST_F(MaterialsScreenshots, TheCompassPutsBackTheStateItChanges) {
    const std::unique_ptr<Item> compass = Item::create("Compass", 1);
    struct State {
        GLboolean culling, offsetting, depthWrites;
        GLint cullFace, frontFace, vertexArray;
        bool operator==(const State&) const = default;
    };
    const auto read = [] {
        State s{};
        s.culling = glIsEnabled(GL_CULL_FACE);
        s.offsetting = glIsEnabled(GL_POLYGON_OFFSET_FILL);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthWrites);
        glGetIntegerv(GL_CULL_FACE_MODE, &s.cullFace);
        glGetIntegerv(GL_FRONT_FACE, &s.frontFace);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &s.vertexArray);
        return s;
    };
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    for (bool changed : {false, true}) {
        if (changed) {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            glFrontFace(GL_CCW);
            glEnable(GL_POLYGON_OFFSET_FILL);
            glBindVertexArray(vao);
        }
        const State before = read();
        compass->render(hud::heldItemMatrix({}), true);
        EXPECT_TRUE(read() == before) << (changed ? "culling back faces" : "the game's state");
    }
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vao);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace

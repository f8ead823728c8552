// The tutorial through the real screens and their real input callbacks at the game's 1024 x 768:
// the title's "tutorial" button, every slide, the interactive scene (walking, turning the slice,
// orbiting the 3D view, leaving with a key held and coming back), "exit" back to the title, and
// once more from the title to the scene, where the window's close request ends the program.
// Buttons are clicked where their sizes and alignments put them.
#include "engine/Shader.h"
#include "gui/Adapters.h"
#include "gui/ContentBox.h"
#include "gui/Element.h"
#include "screens/TitleState.h"
#include "support/AppHarness.h"
#include "support/ShaderChecks.h"
#include "tutorial/TutorialSlideshowState.h"
#include "tutorial/TutorialState.h"
#include "tutorial/TutorialWorld.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace {

using testapp::AppHarness;
using testapp::containsText;
using testapp::expectButtonsAt;
using testapp::Image;
using testapp::Rect;
using testapp::rectOf;
using testapp::whiteInk;

TutorialSlideshowState& show = tutorialSlideshowState;
TutorialState& scene = tutorialState;

// A widget on a panel of the slideshow, in window pixels.
Rect onPanel(gui::Element& element, int panel) {
    gui::ContentBox& box = show.panels[panel];
    const Rect outer = rectOf(box, show.interface), inner = rectOf(element, box);
    return {outer.x + inner.x, outer.y + inner.y, inner.width, inner.height};
}

int countPixels(const Image& image, Rect area, bool (*match)(glm::u8vec4)) {
    int n = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.y + area.height, image.height); ++y)
        for (int x = std::max(area.x, 0); x < std::min(area.x + area.width, image.width); ++x) n += match(image.at(x, y));
    return n;
}

// Frank's teal green, which no tile and no sky has.
bool forgGreen(glm::u8vec4 p) { return p.r < 100 && p.g > 180 && p.b > 110 && p.b < 190; }
bool pictureCyan(glm::u8vec4 p) { return p.r < 90 && p.g > 150 && p.b > 150 && std::abs(p.g - p.b) < 30; }

// The first wrapped line of a text on a panel is drawn, readable.
void expectText(const Image& shot, gui::Text& text, int panel) {
    const std::string first = text.lines(show.panels[panel]).front();
    EXPECT_TRUE(containsText(shot, onPanel(text, panel), first, 2, whiteInk)) << "no readable \"" << first << "\"";
}

// Where the buttons stand in the game's window, worked out from their sizes and alignments: the
// title's 300-wide one centred, the others 20 pixels in from the bottom corners.
namespace at {
const Rect tutorial{362, 400, 300, 50}, continueOn{854, 698, 150, 50}, leftCorner{20, 698, 100, 50},
    rightCorner{904, 698, 100, 50};
}  // namespace at

// Waits for a slide of the slideshow, then draws it.
void showSlide(AppHarness& app, int slide) {
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &show && show.slide == slide; }, 120)) << "slide " << slide;
    app.frame();
    app.screenshot("tutorial_slide_" + std::to_string(slide));
}

// The scene's two views: Frank's sprite at the centre of the left one and the blocks of his
// cross-section around it, the plane's white edges across the blocks in the right one (both
// below their hints, above the buttons).
constexpr int viewWidth = AppHarness::width / 2 - 2;
const Rect spriteArea{viewWidth / 2 - 8, AppHarness::height / 2 - 16, 16, 16};
const Rect sliceArea{10, 80, viewWidth - 20, AppHarness::height - 180};
const Rect worldArea{AppHarness::width / 2 + 3, 40, viewWidth, AppHarness::height - 140};

// The slideshow's sky, which the scene keeps as its clear colour.
bool sky(glm::u8vec4 p) { return std::abs(p.r - 88) < 8 && std::abs(p.g - 149) < 8 && std::abs(p.b - 239) < 8; }
// A block of the cross-section in the 2D view: neither sky nor Frank.
bool sliceBlock(glm::u8vec4 p) { return !sky(p) && !forgGreen(p); }
bool planeEdge(glm::u8vec4 p) { return whiteInk(p); }

// Which pixels of an area match, to compare two frames.
std::vector<bool> maskOf(const Image& shot, Rect area, bool (*match)(glm::u8vec4)) {
    std::vector<bool> mask;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) mask.push_back(match(shot.at(x, y)));
    return mask;
}

int changed(const Image& before, const Image& after, Rect area, bool (*match)(glm::u8vec4)) {
    const std::vector<bool> a = maskOf(before, area, match), b = maskOf(after, area, match);
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

void expectBothViews(const Image& shot, const char* when) {
    EXPECT_GT(countPixels(shot, spriteArea, forgGreen), 15) << "no forg in the 2D view " << when;
    EXPECT_GT(countPixels(shot, sliceArea, sliceBlock), 10000) << "no cross-section in the 2D view " << when;
    EXPECT_GT(countPixels(shot, worldArea, planeEdge), 150) << "no plane in the 3D view " << when;
    EXPECT_TRUE(containsText(shot, {0, 0, viewWidth, 100}, "WASD or arrow keys to move the forg.", 1, whiteInk));
    EXPECT_TRUE(containsText(shot, {viewWidth, 0, viewWidth + 6, 60}, "Click + drag to adjust 3D view", 1, whiteInk));
}

// The 2D view shows the ground of Frank's plane the right way up and the right way round: his
// forward (where A walks him) to the left, as the 3D view shows it, 16 pixels a block, his feet
// at the view's centre. In every column of the plane the top block shows just below the height
// where the world has it, and nothing solid just above.
void expectGroundOfThePlane(const Image& shot) {
    const tutorial::Forg& frank = scene.player;
    ASSERT_EQ(frank.forward, glm::vec3(0, 0, 1));
    int columns = 0;
    for (int z = 0; z < tutorial::worldSize; ++z) {
        int top = tutorial::worldSize - 1;
        while (!tutorial::isSolidCell(scene.blocks, frank.currentBlock.x, top, z)) --top;
        const int x = viewWidth / 2 + int(std::lround((frank.pos.z - z - 0.5f) * 16));
        const int y = AppHarness::height / 2 - int(std::lround((top + 1 - frank.pos.y) * 16));
        // Above his own column stands his sprite.
        columns += sliceBlock(shot.at(x, y + 4)) && (z == frank.currentBlock.z || !sliceBlock(shot.at(x, y - 4)));
    }
    EXPECT_EQ(columns, tutorial::worldSize);
}

// His sprite faces the way he last walked (the frames of columns 8 to 15 face left), and it is
// that frame that the 2D view shows.
void expectForgFacingLeft(const Image& shot) {
    const tutorial::SpriteCell cell = scene.forgCell;
    EXPECT_GE(cell.col, 8) << "he faces right after walking left";
    EXPECT_GT(testapp::pictureShown(shot, "assets/textures/forg.png", spriteArea,
                                    {cell.col * 16, cell.row * 16, 16, 16}), 0.9f);
}

// Every frame ends with depth writes and the depth test on, whichever way it ends.
void expectDepthStateRestored(const char* when) {
    GLboolean writes = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    EXPECT_TRUE(writes) << when;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << when;
}

struct FixedSize : gui::SizeSource {
    glm::ivec2 size;
    explicit FixedSize(glm::ivec2 s) : size(s) {}
    void getWindowSize(int& w, int& h) override { w = size.x, h = size.y; }
};

// The scene's frame at odd window sizes and without its programs: nothing breaks, and the depth
// state is back on afterwards.
void renderAwkwardFrames(AppHarness& app) {
    for (glm::ivec2 size : {glm::ivec2(0, 0), glm::ivec2(300, 200), glm::ivec2(1, 768), glm::ivec2(1024, 768)}) {
        FixedSize fake(size);
        scene.gui.sizeSource = &fake;
        scene.render(app.manager);
        expectDepthStateRestored("a frame of the scene");
    }
    scene.gui.sizeSource = nullptr;
    std::map<std::string, std::unique_ptr<Shader>> removed;
    for (const char* name : {"blockTutorial3DShader", "blockTutorial2DShader", "blockCrossSectionAreaShader",
                             "blockCrossSectionEdgesShader", "quadShader"})
        if (auto entry = shaders.extract(name)) removed.insert(std::move(entry));
    scene.render(app.manager);
    expectDepthStateRestored("a frame of the scene without its programs");
    shaders.merge(removed);
}

}  // namespace

TEST(TutorialRoad, FromTheTitleThroughEverySlideAndTheSceneAndBack) {
    AppHarness app;
    ASSERT_TRUE(app.ready()) << "needs a display of its own, the shaders and the window's focus";
    for (const char* name : {"blockTutorial3DShader", "blockTutorial2DShader"}) {
        testgl::expectUniform(name, "MVP", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "texSize", GL_UNSIGNED_INT_VEC2);
        testgl::expectUniform(name, "texSampler", GL_SAMPLER_2D);
    }
    testgl::expectUniform("blockTutorial2DShader", "MV2D", GL_FLOAT_MAT4);
    for (const char* name : {"blockCrossSectionAreaShader", "blockCrossSectionEdgesShader"}) {
        testgl::expectUniform(name, "MV2D", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "MV", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "P", GL_FLOAT_MAT4);
        testgl::expectUniform(name, "inColor", GL_FLOAT_VEC4);
    }

    app.start();
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &titleState && titleState.backgroundLoaded(); }));
    app.frame();
    app.clickOn(at::tutorial);

    showSlide(app, 0);
    {
        const Image shot = app.image();
        expectText(shot, show.texts[0], 0);
        expectText(shot, show.texts[1], 0);
        expectButtonsAt(shot, show.interface, {{&show.continueButton, at::continueOn}, {&show.exitButton, at::leftCorner}});
        EXPECT_GT(countPixels(shot, onPanel(show.images[0], 0), pictureCyan), 1000) << "no comparison picture";
    }
    app.clickOn(at::continueOn);

    showSlide(app, 1);
    {
        const Image shot = app.image();
        for (int t : {2, 3, 4}) expectText(shot, show.texts[t], 1);
        expectButtonsAt(shot, show.interface, {{&show.continueButton, at::continueOn}, {&show.backButton, at::leftCorner}});
        EXPECT_GT(countPixels(shot, onPanel(show.images[2], 1), forgGreen), 1000) << "no forg";
        // He faces right: the picture is one of the first three cells of his sheet.
        float facingRight = 0.0f;
        for (int frame = 0; frame < 3; ++frame)
            facingRight = std::max(facingRight, testapp::pictureShown(shot, "assets/textures/forg.png",
                                                                      onPanel(show.images[2], 1), {frame * 16, 0, 16, 16}));
        EXPECT_GT(facingRight, 0.9f) << "Frank faces the wrong way";
        EXPECT_GT(countPixels(shot, onPanel(show.images[1], 1), forgGreen), 20) << "no cross-section";
    }
    app.clickOn(at::continueOn);

    showSlide(app, 2);
    expectText(app.image(), show.texts[5], 2);
    expectText(app.image(), show.texts[6], 2);
    // Its two cross-sections, 530 x 230, centred on the panel (at (20, 20)), 75 and 325 pixels down.
    for (const auto& [picture, y] : {std::pair{"assets/textures/cross_section_1.png", 95},
                                     {"assets/textures/cross_section_2.png", 345}})
        EXPECT_GT(testapp::pictureShown(app.image(), picture, {247, y, 530, 230}), 0.9f) << picture;
    app.clickOn(at::continueOn);

    // The interactive slide: Frank falls onto the ground, then walks along his plane.
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &scene; }, 120));
    EXPECT_EQ(show.slide, 3);
    for (int i = 0; i < 150; ++i) app.frame();
    app.screenshot("tutorial_slide_3");
    const glm::vec3 landed = scene.player.pos;
    EXPECT_TRUE(scene.player.onGround(scene.blocks)) << "Frank never landed";
    expectGroundOfThePlane(app.image());
    app.holdKey(GLFW_KEY_A, true);
    for (int i = 0; i < 40; ++i) app.frame();
    app.holdKey(GLFW_KEY_A, false);
    for (int i = 0; i < 150; ++i) app.frame();
    EXPECT_GT(scene.player.pos.z - landed.z, 0.5f) << "A walks him along +z, his plane's forward";
    app.screenshot("tutorial_scene");
    const Image walked = app.image();
    expectBothViews(walked, "after walking");
    expectForgFacingLeft(walked);
    expectButtonsAt(walked, scene.gui, {{&scene.backButton, at::leftCorner}, {&scene.nextButton, at::rightCorner}});

    // Twenty wheel notches at once turn his plane by 0.6 rad, less the last thousandth dropped.
    for (int i = 0; i < 20; ++i) app.wheel(1.0);
    for (int i = 0; i < 100; ++i) app.frame();
    EXPECT_NEAR(std::atan2(scene.player.forward.x, scene.player.forward.z), 0.599f, 0.001f);
    app.screenshot("tutorial_scene_turned");
    const Image turned = app.image();
    expectBothViews(turned, "after turning");
    EXPECT_GT(changed(walked, turned, worldArea, planeEdge), 100) << "the plane's edges did not move with the turn";
    EXPECT_GT(changed(walked, turned, sliceArea, sliceBlock), 2000) << "the 2D view kept the old cross-section";

    // Dragging in the right half orbits the 3D view, across and up and down; the cross-section
    // stays as it was.
    Image orbited = turned;
    for (glm::ivec2 by : {glm::ivec2(100, 0), glm::ivec2(0, 50)}) {
        const Image before = orbited;
        app.drag(800, 400, 800 + by.x, 400 + by.y);
        for (int i = 0; i < 5; ++i) app.frame();
        orbited = app.image();
        EXPECT_GT(changed(before, orbited, worldArea, sky), 5000)
            << "the 3D view did not turn with a drag by " << by.x << ", " << by.y;
    }
    EXPECT_LT(changed(turned, orbited, sliceArea, sliceBlock), 100) << "the drag moved the 2D view";
    expectDepthStateRestored("the scene's frame");
    renderAwkwardFrames(app);

    // Escape with A held leaves the slideshow on slide 3 with slide 2's panel; back on the scene
    // through "back" and "continue", nothing is held any more.
    app.holdKey(GLFW_KEY_A, true);
    app.frame();
    app.key(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &show; }, 120));
    EXPECT_EQ(show.slide, 3);
    EXPECT_EQ(show.interface.elements.back(), &show.panels[2]);
    app.clickOn(at::leftCorner);
    ASSERT_TRUE(app.runUntil([&] { return show.slide == 2; }, 120));
    app.clickOn(at::continueOn);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &scene; }, 120));
    const glm::vec3 entered = scene.player.pos;
    for (int i = 0; i < 100; ++i) app.frame();
    EXPECT_EQ(glm::vec2(scene.player.pos.x, scene.player.pos.z), glm::vec2(entered.x, entered.z))
        << "a key held on leaving walked him on the next visit";
    app.holdKey(GLFW_KEY_A, false);

    // "next" goes on to the last slide.
    app.clickOn(at::rightCorner);
    showSlide(app, 4);
    {
        const Image shot = app.image();
        for (int t : {7, 8, 9, 10}) expectText(shot, show.texts[t], 3);
        expectButtonsAt(shot, show.interface, {{&show.exitButton, at::rightCorner}, {&show.backButton, at::leftCorner}});
        EXPECT_GT(countPixels(shot, onPanel(show.images[5], 3), pictureCyan), 500) << "no rotation picture";
    }

    // "exit" returns to the title screen, which still answers.
    app.clickOn(at::rightCorner);
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &titleState; }, 120));
    EXPECT_EQ(app.manager.states.size(), 1u);
    app.frame();
    EXPECT_TRUE(containsText(app.image(), at::tutorial, "tutorial", 2, whiteInk));

    // Once more into the scene, where the window's close request ends the program: the scene
    // leaves, then the slideshow, then the title screen.
    app.clickOn(at::tutorial);
    for (int slide = 0; slide < TutorialSlideshowState::sceneSlide; ++slide) {
        ASSERT_TRUE(app.runUntil([&] { return app.top() == &show && show.slide == slide; }, 10));
        app.clickOn(at::continueOn);
    }
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &scene; }, 10));
    app.requestClose();
    EXPECT_TRUE(app.runUntil([&] { return app.manager.states.empty(); }, 10)) << "the program did not end";
}

// The tutorial through the real screens and their real input callbacks at the game's 1024 x 768:
// the title's "tutorial" button, every slide, the interactive scene (walking, turning the slice,
// orbiting the 3D view, leaving with a key held and coming back), and "exit" back to the title.
#include "engine/Shader.h"
#include "gui/Adapters.h"
#include "gui/ContentBox.h"
#include "gui/Element.h"
#include "screens/TitleState.h"
#include "support/AppHarness.h"
#include "support/ShaderChecks.h"
#include "tutorial/TutorialSlideshowState.h"
#include "tutorial/TutorialState.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace {

using testapp::AppHarness;
using testapp::containsText;
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

void expectButtons(const Image& shot, gui::Interface& ui, std::initializer_list<gui::Button*> buttons) {
    for (gui::Button* button : buttons)
        EXPECT_TRUE(containsText(shot, rectOf(*button, ui), button->label, 2, whiteInk)) << button->label;
}

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
    app.clickOn(rectOf(titleState.tutorialButton, titleState.interface));

    showSlide(app, 0);
    {
        const Image shot = app.image();
        expectText(shot, show.texts[0], 0);
        expectText(shot, show.texts[1], 0);
        expectButtons(shot, show.interface, {&show.continueButton, &show.exitButton});
        EXPECT_LT(rectOf(show.exitButton, show.interface).x, AppHarness::width / 2) << "exit at the bottom left";
        EXPECT_GT(countPixels(shot, onPanel(show.images[0], 0), pictureCyan), 1000) << "no comparison picture";
    }
    app.clickOn(rectOf(show.continueButton, show.interface));

    showSlide(app, 1);
    {
        const Image shot = app.image();
        for (int t : {2, 3, 4}) expectText(shot, show.texts[t], 1);
        expectButtons(shot, show.interface, {&show.continueButton, &show.backButton});
        EXPECT_GT(countPixels(shot, onPanel(show.images[2], 1), forgGreen), 1000) << "no forg";
        EXPECT_GT(countPixels(shot, onPanel(show.images[1], 1), forgGreen), 20) << "no cross-section";
    }
    app.clickOn(rectOf(show.continueButton, show.interface));

    showSlide(app, 2);
    expectText(app.image(), show.texts[5], 2);
    expectText(app.image(), show.texts[6], 2);
    app.clickOn(rectOf(show.continueButton, show.interface));

    // The interactive slide: Frank falls onto the ground, then walks along his plane.
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &scene; }, 120));
    EXPECT_EQ(show.slide, 3);
    for (int i = 0; i < 150; ++i) app.frame();
    app.screenshot("tutorial_slide_3");
    const glm::vec3 landed = scene.player.pos;
    EXPECT_TRUE(scene.player.onGround(scene.blocks)) << "Frank never landed";
    app.holdKey(GLFW_KEY_A, true);
    for (int i = 0; i < 40; ++i) app.frame();
    app.holdKey(GLFW_KEY_A, false);
    for (int i = 0; i < 150; ++i) app.frame();
    EXPECT_GT(scene.player.pos.z - landed.z, 0.5f) << "A walks him along +z, his plane's forward";
    app.screenshot("tutorial_scene");
    const Image walked = app.image();
    expectBothViews(walked, "after walking");
    expectButtons(walked, scene.gui, {&scene.backButton, &scene.nextButton});

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
    app.clickOn(rectOf(show.backButton, show.interface));
    ASSERT_TRUE(app.runUntil([&] { return show.slide == 2; }, 120));
    app.clickOn(rectOf(show.continueButton, show.interface));
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &scene; }, 120));
    const glm::vec3 entered = scene.player.pos;
    for (int i = 0; i < 100; ++i) app.frame();
    EXPECT_EQ(glm::vec2(scene.player.pos.x, scene.player.pos.z), glm::vec2(entered.x, entered.z))
        << "a key held on leaving walked him on the next visit";
    app.holdKey(GLFW_KEY_A, false);

    // "next" goes on to the last slide.
    app.clickOn(rectOf(scene.nextButton, scene.gui));
    showSlide(app, 4);
    {
        const Image shot = app.image();
        for (int t : {7, 8, 9, 10}) expectText(shot, show.texts[t], 3);
        expectButtons(shot, show.interface, {&show.exitButton, &show.backButton});
        EXPECT_GT(rectOf(show.exitButton, show.interface).x, AppHarness::width / 2) << "exit at the bottom right";
        EXPECT_GT(countPixels(shot, onPanel(show.images[5], 3), pictureCyan), 500) << "no rotation picture";
    }

    // "exit" returns to the title screen, which still answers.
    app.clickOn(rectOf(show.exitButton, show.interface));
    ASSERT_TRUE(app.runUntil([&] { return app.top() == &titleState; }, 120));
    EXPECT_EQ(app.manager.states.size(), 1u);
    app.frame();
    EXPECT_TRUE(containsText(app.image(), rectOf(titleState.tutorialButton, titleState.interface), "tutorial", 2,
                             whiteInk));
}

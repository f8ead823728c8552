// Draws a button, a slider, a text input and a scrolled content box into an offscreen target and
// checks their pixels and the viewport (run under xvfb-run).

#include "FakeDesktop.h"
#include "support/GlTestContext.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Slider.h"
#include "gui/TextInput.h"
#include "gui/Viewport.h"

#include <gtest/gtest.h>

#include <array>

using guitest::FakeDesktop;

namespace {

constexpr int screenWidth = 320, screenHeight = 240;

// The GL viewport each request of the interface ended in.
std::vector<std::array<GLint, 4>> glViewports;

void testViewportCallback(void*, const gui::Rect& rect, glm::ivec2 offset) {
    gui::applyViewport(screenHeight, rect, offset);
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    glViewports.push_back(v);
}

bool near(glm::u8vec4 p, int r, int g, int b, int tolerance = 12) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
           std::abs(p.b - b) <= tolerance;
}

::testing::AssertionResult pixelIs(const testgl::Framebuffer& fb, int x, int y, int r, int g,
                                   int b) {
    const glm::u8vec4 p = fb.pixel(x, y);
    if (near(p, r, g, b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << int(p.r)
                                         << ", " << int(p.g) << ", " << int(p.b) << "), not ("
                                         << r << ", " << g << ", " << b << ")";
}

int whitePixelsIn(const testgl::Framebuffer& fb, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += near(fb.pixel(x, y), 255, 255, 255, 30);
    return count;
}

TEST(WidgetsGl, DrawsWidgetsAndClipsTheContentBox) {
    ASSERT_NE(testgl::context(), nullptr);
    ASSERT_TRUE(testgl::loadAllShaders());
    Texture* font = getTexture("pixelfont.png");
    ASSERT_NE(font, nullptr);

    SolidQuad quad;
    quad.shader = getShader("quadShader");
    ASSERT_TRUE(quad.init());
    BitmapText text(font, getShader("textShader"));

    FakeDesktop desktop;
    desktop.width = screenWidth, desktop.height = screenHeight;
    desktop.cursorY = 239;  // over nothing: no hover jitter
    gui::Interface ui;
    desktop.attach(ui);
    ui.quadRenderer = &quad;
    ui.textRenderer = &text;
    ui.viewportCallback = testViewportCallback;

    gui::Button button, pressed, inBox, clipped;
    button.label = "OK";
    button.x = button.y = 10;
    button.height = 40;
    pressed.x = 120, pressed.y = 10, pressed.width = 60, pressed.height = 30;
    pressed.pressed = true;
    gui::Slider slider;
    slider.label = "Vol";
    slider.x = 10, slider.y = 70, slider.width = 200, slider.value = 50;
    gui::TextInput input;
    input.x = 10, input.y = 130, input.width = 200, input.height = 40;
    input.text = "abc";
    input.cursor = input.anchor = 3;
    gui::ContentBox box;
    box.parent = &ui;
    box.x = 220, box.y = 10, box.width = 90, box.height = 150;
    box.overflowY = 100, box.scrollY = -50;
    for (gui::Button* child : {&inBox, &clipped}) {
        child->x = 5, child->width = 60, child->height = 40;
        box.addElement(child);
    }
    inBox.y = 100;    // box y 50: screen 60 to 99
    clipped.y = 180;  // box y 130: screen 140 to 179, cut at the box's bottom (160)
    for (gui::Element* e : std::initializer_list<gui::Element*>{&button, &pressed, &slider, &input})
        ui.addElement(e);
    ui.addElement(&box);
    ui.selectElement(&input);

    testgl::Framebuffer fb(screenWidth, screenHeight);
    fb.bind();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    gui::applyViewport(screenHeight, {0, 0, screenWidth, screenHeight}, {0, 0});
    glViewports.clear();
    ui.render();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    fb.savePng(testgl::screenshotPath("gui_widgets"));

    // The box drew into its own rectangle (GL rows from the bottom), then the whole window is back.
    ASSERT_FALSE(glViewports.empty());
    EXPECT_EQ(glViewports.front(), (std::array<GLint, 4>{220, 240 - 10 - 150, 90, 150}));
    EXPECT_EQ(glViewports.back(), (std::array<GLint, 4>{0, 0, screenWidth, screenHeight}));

    // Button: black at 0.7 over grey, a white outline on its edge pixels, a white label.
    EXPECT_TRUE(pixelIs(fb, 15, 15, 38, 38, 38));
    EXPECT_TRUE(pixelIs(fb, 10, 30, 255, 255, 255));
    EXPECT_TRUE(pixelIs(fb, 109, 30, 255, 255, 255));
    EXPECT_TRUE(pixelIs(fb, 60, 49, 255, 255, 255));
    EXPECT_TRUE(pixelIs(fb, 60, 50, 128, 128, 128));
    EXPECT_GT(whitePixelsIn(fb, 44, 22, 76, 38), 10);
    EXPECT_TRUE(pixelIs(fb, 130, 20, 217, 217, 217));  // pressed: white at 0.7

    // Slider: track, value part outlined magenta, black knob outlined cyan at f = 100.
    EXPECT_TRUE(pixelIs(fb, 150, 100, 64, 64, 64));
    EXPECT_TRUE(pixelIs(fb, 150, 95, 197, 197, 197));  // white 0.7 over the track
    EXPECT_TRUE(pixelIs(fb, 50, 95, 178, 0, 178));
    EXPECT_TRUE(pixelIs(fb, 110, 100, 0, 0, 0));
    EXPECT_TRUE(pixelIs(fb, 101, 100, 0, 178, 178));
    EXPECT_GT(whitePixelsIn(fb, 10, 70, 58, 86), 10);  // its label

    // Text input: a dark box with white text, outlined while selected.
    EXPECT_TRUE(pixelIs(fb, 150, 160, 64, 64, 64));
    EXPECT_TRUE(pixelIs(fb, 10, 150, 255, 255, 255));
    EXPECT_TRUE(pixelIs(fb, 150, 169, 255, 255, 255));
    EXPECT_GT(whitePixelsIn(fb, 14, 142, 62, 158), 10);

    // Content box: magenta frame, the scrolled child at its place, the cut child clipped.
    const glm::ivec4 frame(fb.pixel(221, 120));
    EXPECT_TRUE(frame.r > 180 && frame.g < 60 && frame.b > 180) << glm::to_string(frame);
    EXPECT_TRUE(pixelIs(fb, 225, 80, 255, 255, 255));   // the scrolled child's left edge
    EXPECT_TRUE(pixelIs(fb, 250, 60, 255, 255, 255));   // and its top edge
    EXPECT_TRUE(pixelIs(fb, 225, 150, 255, 255, 255));  // the cut child shows inside the box
    EXPECT_TRUE(pixelIs(fb, 225, 165, 128, 128, 128));  // but not below it
    EXPECT_TRUE(pixelIs(fb, 250, 179, 128, 128, 128));
    EXPECT_TRUE(pixelIs(fb, 300, 70, 0, 0, 0));  // the vertical bar's thumb
    EXPECT_TRUE(pixelIs(fb, 225, 30, 89, 89, 89));  // the box's own fill above the children

    testgl::Framebuffer::unbind();
}

}  // namespace

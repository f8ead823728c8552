#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Text.h"
#include "gui/TextInput.h"

#include <gtest/gtest.h>

using guitest::Probe;
using guitest::pressKey;
using guitest::Request;

namespace {

// A box at (100, 50), 400 x 300, in an 800 x 600 window.
class ContentBoxTest : public guitest::GuiTest {
protected:
    ContentBoxTest() {
        box.parent = &ui;
        box.x = 100, box.y = 50, box.width = 400;
        ui.addElement(&box);
    }
    // Presses at a point of the box and tells which bars that grabbed.
    std::pair<bool, bool> grabsAt(int x, int y) {
        desktop.moveTo(ui, 100 + x, 50 + y);
        desktop.press(ui);
        const std::pair<bool, bool> grabbed{box.draggingX, box.draggingY};
        desktop.release(ui);
        return grabbed;
    }
    gui::ContentBox box;
};

TEST_F(ContentBoxTest, WheelScrollsWithinTheOverflow) {
    struct Case {
        int overflowX, overflowY, startY;
        bool overBox;
        int dx, dy, steps;
        glm::ivec2 scroll;
        bool taken;
    } cases[] = {
        {0, 200, 0, true, 0, -1, 1, {0, -30}, true},
        {0, 200, 0, true, 0, -1, 11, {0, -200}, true},  // stops at the overflow
        {0, 200, -200, true, 0, 1, 10, {0, 0}, true},   // and at the top
        {0, 200, 0, false, 0, -1, 1, {0, 0}, false},    // the cursor is not over the box
        {0, 0, 0, true, 0, -1, 1, {0, 0}, false},       // nothing to scroll
        {50, 100, 0, true, -1, -1, 1, {-30, 0}, true},  // the horizontal overflow goes first
        {50, 100, 0, true, -1, 0, 2, {-50, 0}, true},
        {50, 100, 0, true, 0, -1, 1, {0, -30}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        box.overflowX = c.overflowX, box.overflowY = c.overflowY;
        box.scrollX = 0, box.scrollY = c.startY;
        desktop.moveTo(ui, c.overBox ? 300 : 50, 200);
        bool taken = false;
        for (int i = 0; i < c.steps; ++i) taken = ui.scroll(c.dx, c.dy);
        EXPECT_EQ(glm::ivec2(box.scrollX, box.scrollY), c.scroll);
        EXPECT_EQ(taken, c.taken);
    }
}

TEST_F(ContentBoxTest, DraggingTheVerticalBarScrolls) {
    box.overflowY = 200;
    // Track 298 long, thumb 300 / 500 of it, so it travels 119.2 pixels.
    desktop.moveTo(ui, 100 + 390, 50 + 50);
    EXPECT_TRUE(desktop.press(ui));
    // Grabbed but not moved: no jump. 60 / 119.2 of 200 truncates to 100; the ends clamp.
    for (auto [y, scroll] : {std::pair{50, 0}, {110, -100}, {299, -200}, {-50, 0}, {500, -200}}) {
        desktop.moveTo(ui, 100 + 385, 50 + y);
        EXPECT_EQ(box.scrollY, scroll) << y;
    }
    EXPECT_FALSE(desktop.release(ui));  // released below the box: the drag ends all the same
    desktop.moveTo(ui, 100 + 390, 50 + 50);
    EXPECT_EQ(box.scrollY, -200);
}

TEST_F(ContentBoxTest, BarsGrabInSeventeenPixelStripsThatShareTheCorner) {
    box.overflowX = 400, box.overflowY = 100;
    using Grab = std::pair<bool, bool>;
    EXPECT_EQ(grabsAt(382, 100), Grab(false, false));  // 18 from the right edge: content
    EXPECT_EQ(grabsAt(383, 100), Grab(false, true));
    EXPECT_EQ(grabsAt(50, 283), Grab(true, false));
    EXPECT_EQ(grabsAt(395, 295), Grab(false, false));  // the corner grabs neither

    // The horizontal bar stops 16 short of the vertical one: 382 long, its thumb half of that.
    desktop.moveTo(ui, 100 + 10, 50 + 295);
    desktop.press(ui);
    desktop.moveTo(ui, 100 + 10 + 96, 50 + 295);
    EXPECT_EQ(box.scrollX, -201);  // 96 of the 191 pixels the thumb travels
    desktop.moveTo(ui, 100 + 10 + 191, 50 + 295);
    EXPECT_EQ(box.scrollX, -400);
    EXPECT_FLOAT_EQ(box.horizontalBar().thumbPos, 1 + 191);
}

TEST_F(ContentBoxTest, ChildrenAreHitAtTheirScrolledPositionAndTakeTheWheelFirst) {
    int clicks = 0;
    gui::Button button;
    button.x = 10, button.y = 150;
    guitest::countClicks(button, clicks);
    Probe probe;
    box.addElement(&button);
    box.addElement(&probe);
    box.overflowY = 300;
    box.scrollX = -7, box.scrollY = -100;  // the button shows at box (3, 50), screen (103, 100)

    desktop.moveTo(ui, 115.9, 105.9);  // whole pixels count
    int cx, cy;
    box.getCursorPos(cx, cy);
    EXPECT_EQ(glm::ivec2(cx, cy), glm::ivec2(22, 155));
    EXPECT_EQ(probe.lastCursor, glm::dvec2(22, 155));
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_EQ(box.selectedIndex, 0);
    EXPECT_TRUE(button.selected);
    EXPECT_TRUE(desktop.release(ui));  // a box takes every button event inside it
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.selected);

    desktop.click(ui, 115, 205);  // where the button would be without the scroll
    EXPECT_EQ(clicks, 1);
    desktop.moveTo(ui, 50, 205);
    EXPECT_FALSE(desktop.press(ui));  // outside the box

    probe.consumeScroll = true;
    desktop.moveTo(ui, 300, 200);
    EXPECT_TRUE(ui.scroll(0, -1));
    EXPECT_EQ(probe.scrollEvents, 1);
    EXPECT_EQ(box.scrollY, -100);
}

TEST_F(ContentBoxTest, TabMovesThroughTheChildrenAndHandsOnAtTheEnd) {
    gui::Button before, first, second, after;
    gui::Text label;
    ui.clearElements();
    for (gui::Element* e : std::initializer_list<gui::Element*>{&before, &box, &after})
        ui.addElement(e);
    for (gui::Element* e : std::initializer_list<gui::Element*>{&first, &second, &label})
        box.addElement(e);
    ui.selectElement(&before);

    pressKey(ui, GLFW_KEY_TAB);
    EXPECT_EQ(ui.selectedIndex, 1);
    EXPECT_TRUE(box.selected && first.selected);  // selecting the box selects its first child
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_TAB));
    EXPECT_TRUE(second.selected && !first.selected);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));  // no wrapping inside: on to the next element
    EXPECT_EQ(ui.selectedIndex, 2);
    EXPECT_TRUE(after.selected);
    EXPECT_FALSE(second.selected || box.selected);
    EXPECT_EQ(box.selectedIndex, -1);

    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);  // back into the box at its first child
    EXPECT_EQ(ui.selectedIndex, 1);
    EXPECT_TRUE(first.selected);
    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_FALSE(first.selected);
}

TEST_F(ContentBoxTest, KeysAndTypingReachTheSelectedChild) {
    int clicks = 0;
    gui::Button button;
    guitest::countClicks(button, clicks);
    gui::TextInput name;
    name.y = 100;
    box.addElement(&button);
    box.addElement(&name);
    ui.selectElement(&box);
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(clicks, 1);

    desktop.click(ui, 110, 160);
    ASSERT_EQ(box.selectedIndex, 1);
    guitest::typeText(ui, "ok");
    EXPECT_EQ(name.text, "ok");
    box.deselect();
    EXPECT_FALSE(name.selected);
    EXPECT_FALSE(box.charInput(ui, 'x'));
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ContentBoxTest, ViewportRequestsAreClippedThroughEachLevelAndMoved) {
    box.scrollX = -10, box.scrollY = -100;
    // Scrolled to box y -20..30, clipped to 0..30; the cut-off 20 rows go into the offset.
    box.setViewport({10, 80, 50, 50}, {0, 0});
    box.setViewport({-30, 200, 1000, 500}, {3, 4});
    box.setContentViewport(true);
    box.setContentViewport(false);
    EXPECT_TRUE(box.viewportChanged);
    gui::ContentBox inner;
    inner.parent = &box;
    inner.width = 200, inner.height = 100;
    inner.y = 350;  // shows at box y 250 with the scroll: half of it is visible
    inner.setContentViewport(false);
    EXPECT_EQ(desktop.viewports, (std::vector<Request>{{{100, 50, 50, 30}, {0, -20}},
                                                       {{100, 150, 400, 200}, {3 - 40, 4}},
                                                       {{100, 50, 400, 300}, {-10, -100}},
                                                       {{100, 50, 400, 300}, {0, 0}},
                                                       {{100, 300, 190, 50}, {-10, 0}}}));
}

TEST_F(ContentBoxTest, RenderFollowsTheViewportProtocol) {
    Probe plain, painter;
    painter.onRender = [](gui::Window& w) { w.setViewport({0, 0, 20, 20}, {0, 0}); };
    box.addElement(&plain);
    box.addElement(&painter);
    box.scrollY = -10;
    ui.render();
    const gui::Rect whole{100, 50, 400, 300}, strip{100, 50, 20, 10};
    EXPECT_EQ(desktop.viewports, (std::vector<Request>{
                                     {whole, {0, 0}},    // background
                                     {whole, {0, -10}},  // children, scrolled
                                     {strip, {0, -10}},  // the painter's own request, clipped
                                     {whole, {0, -10}},  // back to the content after it
                                     {whole, {0, 0}},    // frame and bars
                                     {{0, 0, 800, 600}, {0, 0}},  // the interface restores it
                                 }));
    EXPECT_EQ(plain.renders, 1);
}

TEST_F(ContentBoxTest, SelectingTheBoxSelectsItsFirstChildUnlessOneIsSelected) {
    Probe unselectable, other;
    unselectable.selectable = false;
    box.addElement(&unselectable);
    box.addElement(&other);
    box.select();
    EXPECT_TRUE(unselectable.selected);  // whether or not it can be selected
    box.selectElement(&other);
    box.select();
    EXPECT_EQ(box.selectedIndex, 1);
    gui::ContentBox empty;
    empty.select();
    EXPECT_EQ(empty.selectedIndex, -1);
}

}  // namespace

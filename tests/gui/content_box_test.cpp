#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Text.h"
#include "gui/TextInput.h"

#include <gtest/gtest.h>

using guitest::FakeDesktop;
using guitest::Probe;
using guitest::pressKey;

namespace {

// A box at (100, 50), 400 x 300, in an 800 x 600 window.
class ContentBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop.attach(ui);
        box.parent = &ui;
        box.x = 100;
        box.y = 50;
        box.width = 400;
        box.height = 300;
        ui.addElement(&box);
    }
    void wheel(double dx, double dy) { ui.scroll(dx, dy); }

    FakeDesktop desktop;
    gui::Interface ui;
    gui::ContentBox box;
};

TEST_F(ContentBoxTest, WheelScrollsWithinTheOverflow) {
    box.overflowY = 200;
    box.scrollSpeed = 30;
    desktop.moveTo(ui, 300, 200);
    EXPECT_TRUE(ui.scroll(0, -1));
    EXPECT_EQ(box.scrollY, -30);
    for (int i = 0; i < 10; ++i) wheel(0, -1);
    EXPECT_EQ(box.scrollY, -200);
    for (int i = 0; i < 10; ++i) wheel(0, 1);
    EXPECT_EQ(box.scrollY, 0);
    EXPECT_EQ(box.scrollX, 0);
}

TEST_F(ContentBoxTest, WheelOutsideTheBoxOrWithoutOverflowIsNotTaken) {
    box.overflowY = 200;
    desktop.moveTo(ui, 50, 200);
    EXPECT_FALSE(ui.scroll(0, -1));
    EXPECT_EQ(box.scrollY, 0);
    box.overflowY = 0;
    desktop.moveTo(ui, 300, 200);
    EXPECT_FALSE(ui.scroll(0, -1));
}

TEST_F(ContentBoxTest, HorizontalWheelScrollsTheHorizontalOverflowFirst) {
    box.overflowX = 50;
    box.overflowY = 100;
    box.scrollSpeed = 30;
    desktop.moveTo(ui, 300, 200);
    wheel(-1, -1);
    EXPECT_EQ(box.scrollX, -30);
    EXPECT_EQ(box.scrollY, 0);
    wheel(-1, 0);
    EXPECT_EQ(box.scrollX, -50);
    wheel(0, -1);
    EXPECT_EQ(box.scrollY, -30);
}

TEST_F(ContentBoxTest, ChildrenTakeTheWheelFirst) {
    Probe child;
    child.consumeScroll = true;
    box.addElement(&child);
    box.overflowY = 200;
    desktop.moveTo(ui, 300, 200);
    EXPECT_TRUE(ui.scroll(0, -1));
    EXPECT_EQ(child.scrollEvents, 1);
    EXPECT_EQ(box.scrollY, 0);
}

TEST_F(ContentBoxTest, DraggingTheVerticalBarScrolls) {
    box.overflowY = 200;
    // Track 298 long, thumb 300 / 500 of it, so it travels 119.2 pixels.
    desktop.moveTo(ui, 100 + 390, 50 + 50);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(box.draggingY);
    EXPECT_EQ(box.grabOffset, 49);
    desktop.moveTo(ui, 100 + 385, 50 + 50);  // grabbed but not moved: no jump
    EXPECT_EQ(box.scrollY, 0);
    desktop.moveTo(ui, 100 + 390, 50 + 110);
    EXPECT_EQ(box.scrollY, -100);  // 60 / 119.2 of 200, truncated
    desktop.moveTo(ui, 100 + 390, 50 + 299);
    EXPECT_EQ(box.scrollY, -200);
    desktop.moveTo(ui, 100 + 390, 0);
    EXPECT_EQ(box.scrollY, 0);
    desktop.moveTo(ui, 100 + 390, 50 + 500);
    EXPECT_EQ(box.scrollY, -200);
    // Released below the box: the drag ends all the same.
    EXPECT_FALSE(desktop.release(ui));
    EXPECT_FALSE(box.draggingY);
    desktop.moveTo(ui, 100 + 390, 50 + 50);
    EXPECT_EQ(box.scrollY, -200);
}

TEST_F(ContentBoxTest, BarStripsAreSeventeenPixelsAndTheCornerGrabsNeither) {
    box.overflowX = 100;
    box.overflowY = 100;
    desktop.moveTo(ui, 100 + 382, 50 + 100);  // 18 from the right edge: content
    desktop.press(ui);
    EXPECT_FALSE(box.draggingY);
    desktop.release(ui);
    desktop.moveTo(ui, 100 + 383, 50 + 100);
    desktop.press(ui);
    EXPECT_TRUE(box.draggingY);
    desktop.release(ui);
    desktop.moveTo(ui, 100 + 50, 50 + 290);
    desktop.press(ui);
    EXPECT_TRUE(box.draggingX);
    EXPECT_FALSE(box.draggingY);
    desktop.release(ui);
    desktop.moveTo(ui, 100 + 395, 50 + 295);
    EXPECT_TRUE(desktop.press(ui));  // the corner: a plain press inside the box
    EXPECT_FALSE(box.draggingX || box.draggingY);
}

TEST_F(ContentBoxTest, HorizontalBarSharesTheEdgeWithTheVerticalOne) {
    box.overflowX = 400;
    box.overflowY = 100;
    const gui::ContentBox::Bar bar = box.horizontalBar();
    EXPECT_FLOAT_EQ(bar.length, 400 - 2 - 16);
    EXPECT_FLOAT_EQ(bar.thumbLength, 0.5f * bar.length);
    box.scrollX = -400;
    EXPECT_FLOAT_EQ(box.horizontalBar().thumbPos, 1 + bar.length - bar.thumbLength);
    desktop.moveTo(ui, 100 + 10, 50 + 295);
    desktop.press(ui);
    desktop.moveTo(ui, 100 + 10 + 400, 50 + 295);
    EXPECT_EQ(box.scrollX, -400);
}

TEST_F(ContentBoxTest, ChildrenAreHitAtTheirScrolledPosition) {
    int clicks = 0;
    gui::Button button;
    button.x = 10;
    button.y = 150;
    button.userData = &clicks;
    button.callback = [](void* n) { ++*static_cast<int*>(n); };
    box.addElement(&button);
    box.overflowY = 300;
    box.scrollY = -100;  // the button shows at box y 50, screen y 100

    desktop.moveTo(ui, 115, 105);
    int cx, cy;
    box.getCursorPos(cx, cy);
    EXPECT_EQ(cx, 15);
    EXPECT_EQ(cy, 155);
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
}

TEST_F(ContentBoxTest, ChildrenGetCursorMovesInContentCoordinates) {
    Probe child;
    box.addElement(&child);
    box.scrollY = -100;
    box.scrollX = -7;
    desktop.moveTo(ui, 150, 70);
    EXPECT_DOUBLE_EQ(child.lastCursorX, 57);
    EXPECT_DOUBLE_EQ(child.lastCursorY, 120);
}

TEST_F(ContentBoxTest, ChildrenAlignInsideTheBox) {
    Probe child;
    child.alignX = 1;
    child.x = -10;
    child.alignY = 2;
    int x, y;
    child.getPos(box, x, y);
    EXPECT_EQ(x, 400 - 10 - 10);
    EXPECT_EQ(y, 150 - 5);
}

TEST_F(ContentBoxTest, TabMovesThroughTheChildrenAndHandsOnAtTheEnd) {
    gui::Button before, first, second, after;
    gui::Text label;
    ui.clearElements();
    ui.addElement(&before);
    ui.addElement(&box);
    ui.addElement(&after);
    box.addElement(&first);
    box.addElement(&second);
    box.addElement(&label);
    ui.selectElement(&before);

    pressKey(ui, GLFW_KEY_TAB);
    EXPECT_EQ(ui.selectedIndex, 1);
    EXPECT_TRUE(box.selected);
    EXPECT_TRUE(first.selected);  // selecting the box selects its first child
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_TAB));
    EXPECT_TRUE(second.selected);
    EXPECT_FALSE(first.selected);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));  // no wrapping inside: on to the next element
    EXPECT_EQ(ui.selectedIndex, 2);
    EXPECT_TRUE(after.selected);
    EXPECT_FALSE(second.selected);
    EXPECT_EQ(box.selectedIndex, -1);
    EXPECT_FALSE(box.selected);

    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);  // back into the box at its first child
    EXPECT_EQ(ui.selectedIndex, 1);
    EXPECT_TRUE(first.selected);
    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_FALSE(first.selected);
}

TEST_F(ContentBoxTest, KeysReachTheSelectedChild) {
    int clicks = 0;
    gui::Button child;
    child.userData = &clicks;
    child.callback = [](void* n) { ++*static_cast<int*>(n); };
    box.addElement(&child);
    ui.selectElement(&box);
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(clicks, 1);
    box.deselect();
    EXPECT_FALSE(child.selected);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_ENTER));
}

TEST_F(ContentBoxTest, TypingReachesATextInputInsideTheBox) {
    gui::TextInput name;
    box.addElement(&name);
    desktop.moveTo(ui, 110, 60);
    desktop.press(ui);
    desktop.release(ui);
    ASSERT_EQ(ui.selectedIndex, 0);
    guitest::typeText(ui, "ok");
    EXPECT_EQ(name.text, "ok");
    box.deselect();
    EXPECT_FALSE(box.charInput(ui, 'x'));
}

TEST_F(ContentBoxTest, ViewportRequestsAreClippedToTheBoxAndMoved) {
    box.scrollY = -100;
    box.setViewport({10, 80, 50, 50}, {0, 0});
    ASSERT_EQ(desktop.viewports.size(), 1u);
    // Scrolled to box y -20..30, clipped to 0..30; the cut-off 20 rows go into the offset.
    EXPECT_EQ(desktop.viewports[0].first, (gui::Rect{110, 50, 50, 30}));
    EXPECT_EQ(desktop.viewports[0].second, glm::ivec2(0, -20));
    EXPECT_TRUE(box.viewportChanged);

    box.setViewport({-30, 200, 1000, 500}, {3, 4});
    EXPECT_EQ(desktop.viewports[1].first, (gui::Rect{100, 150, 400, 200}));
    EXPECT_EQ(desktop.viewports[1].second, glm::ivec2(3 - 30, 4));

    box.setContentViewport(true);
    EXPECT_EQ(desktop.viewports[2].first, (gui::Rect{100, 50, 400, 300}));
    EXPECT_EQ(desktop.viewports[2].second, glm::ivec2(0, -100));
    box.setContentViewport(false);
    EXPECT_EQ(desktop.viewports[3].second, glm::ivec2(0, 0));
}

TEST_F(ContentBoxTest, NestedBoxesClipThroughEachLevel) {
    gui::ContentBox inner;
    inner.parent = &box;
    inner.width = 200;
    inner.height = 100;
    inner.y = 350;  // content y 350 shows at box y 250 with the scroll: half of it is visible
    box.addElement(&inner);
    box.scrollY = -100;
    inner.setContentViewport(false);
    ASSERT_EQ(desktop.viewports.size(), 1u);
    EXPECT_EQ(desktop.viewports[0].first, (gui::Rect{100, 300, 200, 50}));
    EXPECT_EQ(desktop.viewports[0].second, glm::ivec2(0, 0));
}

// Draws into a strip of its window, as a nested box would.
class StripPainter : public Probe {
public:
    void render(gui::Window& window) override {
        Probe::render(window);
        window.setViewport({0, 0, 20, 20}, {0, 0});
    }
};

TEST_F(ContentBoxTest, RenderFollowsTheViewportProtocol) {
    Probe plain;
    StripPainter painter;
    box.addElement(&plain);
    box.addElement(&painter);
    box.scrollY = -10;
    ui.render();
    const gui::Rect whole{100, 50, 400, 300}, strip{100, 50, 20, 10};
    const std::vector<std::pair<gui::Rect, glm::ivec2>> expected = {
        {whole, {0, 0}},     // background
        {whole, {0, -10}},   // children, scrolled
        {strip, {0, -10}},   // the painter's own request, clipped
        {whole, {0, -10}},   // back to the content after it
        {whole, {0, 0}},     // frame and bars
        {{0, 0, 800, 600}, {0, 0}},  // the interface restores the window
    };
    ASSERT_EQ(desktop.viewports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(desktop.viewports[i].first, expected[i].first) << i;
        EXPECT_EQ(desktop.viewports[i].second, expected[i].second) << i;
    }
    EXPECT_EQ(plain.renders, 1);
}

TEST_F(ContentBoxTest, SelectingTheBoxSelectsItsFirstChild) {
    Probe unselectable, other;
    unselectable.selectable = false;
    box.addElement(&unselectable);
    box.addElement(&other);
    box.select();
    EXPECT_TRUE(unselectable.selected);  // whether or not it can be selected
    box.selectElement(&other);
    box.select();
    EXPECT_TRUE(other.selected);
    EXPECT_EQ(box.selectedIndex, 1);

    gui::ContentBox empty;
    empty.select();
    EXPECT_TRUE(empty.selected);
    EXPECT_EQ(empty.selectedIndex, -1);
}

}  // namespace

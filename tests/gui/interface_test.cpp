#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/Image.h"
#include "gui/Interface.h"
#include "gui/Text.h"

#include <gtest/gtest.h>

using guitest::FakeDesktop;
using guitest::Probe;
using guitest::pressKey;

namespace {

class InterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { desktop.attach(ui); }
    FakeDesktop desktop;
    gui::Interface ui;
};

TEST(Alignment, EdgesAndCentreInBothAxes) {
    EXPECT_EQ(gui::alignedPos(0, 800, 100, 15), 15);
    EXPECT_EQ(gui::alignedPos(1, 800, 100, -20), 680);
    EXPECT_EQ(gui::alignedPos(2, 800, 100, 0), 350);
    EXPECT_EQ(gui::alignedPos(7, 800, 100, 5), 355);  // any other value centres
    EXPECT_EQ(gui::alignedPos(2, 801, 51, 0), 400 - 25);  // integer halving of both
}

TEST_F(InterfaceTest, WidgetsAlignAgainstTheWindowSize) {
    gui::Button right, centred;
    right.alignX = 1;
    right.x = -20;
    right.alignY = 1;
    right.y = -10;
    centred.alignX = centred.alignY = 2;
    int x, y;
    right.getPos(ui, x, y);
    EXPECT_EQ(x, 680);
    EXPECT_EQ(y, 600 - 50 - 10);
    centred.getPos(ui, x, y);
    EXPECT_EQ(x, 350);
    EXPECT_EQ(y, 275);
    desktop.width = 1000;
    right.getPos(ui, x, y);
    EXPECT_EQ(x, 880);

    gui::Image image;
    image.width = 64;
    image.height = 32;
    image.alignX = 2;
    image.alignY = 1;
    image.getPos(ui, x, y);
    EXPECT_EQ(x, 500 - 32);
    EXPECT_EQ(y, 600 - 32);
}

TEST_F(InterfaceTest, CursorPositionIsTruncatedToWholePixels) {
    desktop.cursorX = 10.9;
    desktop.cursorY = 3.2;
    int x, y;
    ui.getCursorPos(x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 3);
}

TEST_F(InterfaceTest, PressGoesOnlyToTheTopmostOfOverlappingButtons) {
    int lowerFired = 0, upperFired = 0;
    gui::Button lower, upper;
    lower.userData = &lowerFired;
    upper.userData = &upperFired;
    lower.callback = upper.callback = [](void* n) { ++*static_cast<int*>(n); };
    upper.x = 50;  // overlaps lower from x 50 to 100
    ui.addElement(&lower);
    ui.addElement(&upper);

    desktop.moveTo(ui, 60, 20);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(upper.pressed);
    EXPECT_FALSE(lower.pressed);
    EXPECT_EQ(ui.selectedIndex, 1);
    desktop.release(ui);
    EXPECT_EQ(upperFired, 1);
    EXPECT_EQ(lowerFired, 0);
}

TEST_F(InterfaceTest, PressSelectsAndAnEmptyClickDeselectsKeepingTheIndex) {
    Probe a, b;
    a.consumeButtons = b.consumeButtons = true;
    ui.addElement(&a);
    ui.addElement(&b);

    EXPECT_TRUE(desktop.press(ui));  // b is topmost and consumes
    EXPECT_TRUE(b.selected);
    EXPECT_EQ(ui.selectedIndex, 1);

    b.consumeButtons = false;  // now only a takes presses
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(a.selected);
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(ui.selectedIndex, 0);

    a.consumeButtons = false;  // nobody takes it: an empty click
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_FALSE(a.selected);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_EQ(a.buttonEvents, 2);
    EXPECT_EQ(b.buttonEvents, 3);
}

TEST_F(InterfaceTest, ButtonIsSelectedOnThePressAndDeselectedByItsRelease) {
    gui::Button button;
    ui.addElement(&button);
    desktop.moveTo(ui, 10, 10);
    desktop.press(ui);
    EXPECT_TRUE(button.selected);
    desktop.release(ui);
    EXPECT_FALSE(button.selected);
    EXPECT_EQ(ui.selectedIndex, 0);
}

TEST_F(InterfaceTest, TabSkipsUnselectableElementsAndWraps) {
    gui::Button first, disabled, third;
    disabled.enabled = false;
    ui.addElement(&first);
    ui.addElement(&disabled);
    ui.addElement(&third);
    ui.selectElement(&first);

    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));  // Tab is never reported as consumed
    EXPECT_EQ(ui.selectedIndex, 2);
    EXPECT_TRUE(third.selected);
    EXPECT_FALSE(first.selected);
    pressKey(ui, GLFW_KEY_TAB);
    EXPECT_EQ(ui.selectedIndex, 0);
    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);  // from the first back round to the last
    EXPECT_EQ(ui.selectedIndex, 2);
    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_FALSE(disabled.selected);
}

TEST_F(InterfaceTest, TabOnlyActsOnAPress) {
    gui::Button a, b;
    ui.addElement(&a);
    ui.addElement(&b);
    ui.selectElement(&a);
    ui.keyInput(GLFW_KEY_TAB, 0, GLFW_RELEASE, 0);
    ui.keyInput(GLFW_KEY_TAB, 0, GLFW_REPEAT, 0);
    EXPECT_EQ(ui.selectedIndex, 0);
}

TEST_F(InterfaceTest, TabWithNothingSelectableChangesNothing) {
    gui::Text label, other;
    ui.addElement(&label);
    ui.addElement(&other);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT));
    EXPECT_EQ(ui.selectedIndex, -1);
    gui::Interface empty;
    EXPECT_FALSE(empty.keyInput(GLFW_KEY_TAB, 0, GLFW_PRESS, 0));
}

TEST_F(InterfaceTest, TabFromNothingSelectedPicksTheFirstAndShiftTabTheLast) {
    gui::Text head, tail;
    Probe a, b;
    for (gui::Element* e : std::initializer_list<gui::Element*>{&head, &a, &b, &tail})
        ui.addElement(e);
    pressKey(ui, GLFW_KEY_TAB);
    EXPECT_EQ(ui.selectedIndex, 1);

    ui.selectElement(nullptr);
    pressKey(ui, GLFW_KEY_TAB, GLFW_MOD_SHIFT);
    EXPECT_EQ(ui.selectedIndex, 2);
    EXPECT_TRUE(b.selected);
}

TEST_F(InterfaceTest, TabWithASingleSelectableElementKeepsIt) {
    Probe only;
    gui::Text label;
    ui.addElement(&only);
    ui.addElement(&label);
    pressKey(ui, GLFW_KEY_TAB);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_EQ(only.selects, 1);
    pressKey(ui, GLFW_KEY_TAB);  // comes back to itself: nothing changes
    EXPECT_EQ(only.selects, 1);
    EXPECT_EQ(only.deselects, 0);
}

TEST_F(InterfaceTest, KeysGoToTheSelectedElementFirst) {
    Probe a, b;
    ui.addElement(&a);
    ui.addElement(&b);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_E));
    EXPECT_EQ(a.keyEvents + b.keyEvents, 0);  // nothing selected: nobody hears it

    ui.selectElement(&a);
    a.consumeKeys = true;
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_TAB));  // the element kept its Tab
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_EQ(a.keyEvents, 1);
    EXPECT_EQ(b.keyEvents, 0);
}

TEST_F(InterfaceTest, ContainerOperations) {
    Probe a, b, stranger;
    ui.addElement(&a);
    ui.addElement(&b);
    EXPECT_FALSE(ui.isEmpty());

    EXPECT_TRUE(ui.selectElement(&b));
    EXPECT_TRUE(ui.selectElement(&b));  // selecting again selects again
    EXPECT_EQ(b.selects, 2);
    EXPECT_FALSE(ui.selectElement(&stranger));
    EXPECT_EQ(ui.selectedIndex, 1);

    // Removing an unselected element still drops the selection.
    EXPECT_TRUE(ui.removeElement(&a));
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_FALSE(ui.removeElement(&a));
    ASSERT_EQ(ui.elements.size(), 1u);

    ui.selectElement(&b);
    EXPECT_FALSE(ui.selectElement(nullptr));
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(ui.selectedIndex, -1);

    ui.selectElement(&b);
    ui.clearElements();
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_TRUE(ui.isEmpty());
}

TEST_F(InterfaceTest, ScrollStopsAtTheFirstTakerAndCursorReachesEveryone) {
    Probe a, b, c;
    b.consumeScroll = true;
    ui.addElement(&a);
    ui.addElement(&b);
    ui.addElement(&c);
    EXPECT_TRUE(ui.scroll(0, -1));
    EXPECT_EQ(a.scrollEvents, 1);
    EXPECT_EQ(b.scrollEvents, 1);
    EXPECT_EQ(c.scrollEvents, 0);
    b.consumeScroll = false;
    EXPECT_FALSE(ui.scroll(0, 1));

    ui.cursorPos(12.5, 7);
    for (Probe* p : {&a, &b, &c}) {
        EXPECT_EQ(p->cursorEvents, 1);
        EXPECT_DOUBLE_EQ(p->lastCursorX, 12.5);
    }
}

// Draws into a corner of the window, as a content box does.
class CornerPainter : public Probe {
public:
    void render(gui::Window& window) override {
        Probe::render(window);
        window.setViewport({10, 20, 30, 40}, {-5, -6});
    }
};

TEST_F(InterfaceTest, RenderRestoresTheWholeWindowAfterAViewportChange) {
    Probe before, after;
    CornerPainter painter;
    ui.addElement(&before);
    ui.addElement(&painter);
    ui.addElement(&after);
    ui.render();
    EXPECT_EQ(before.renders + painter.renders + after.renders, 3);
    ASSERT_EQ(desktop.viewports.size(), 2u);
    EXPECT_EQ(desktop.viewports[0].first, (gui::Rect{10, 20, 30, 40}));
    EXPECT_EQ(desktop.viewports[0].second, glm::ivec2(-5, -6));
    EXPECT_EQ(desktop.viewports[1].first, (gui::Rect{0, 0, 800, 600}));
    EXPECT_EQ(desktop.viewports[1].second, glm::ivec2(0, 0));
    EXPECT_FALSE(ui.viewportChanged);

    desktop.viewports.clear();
    ui.removeElement(&painter);
    ui.render();
    EXPECT_TRUE(desktop.viewports.empty());
}

TEST_F(InterfaceTest, WithoutAViewportCallbackSetViewportDoesNothing) {
    ui.viewportCallback = nullptr;
    ui.setViewport({1, 2, 3, 4}, {0, 0});
    EXPECT_FALSE(ui.viewportChanged);
    EXPECT_TRUE(desktop.viewports.empty());
}

}  // namespace

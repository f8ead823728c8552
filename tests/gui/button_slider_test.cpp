#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/Slider.h"

#include <gtest/gtest.h>

#include <vector>

using guitest::FakeDesktop;
using guitest::pressKey;

namespace {

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override { desktop.attach(ui); }
    FakeDesktop desktop;
    gui::Interface ui;
};

// Counts the calls of a button.
struct ClickCounter {
    int clicks = 0;
    static void onClick(void* self) { ++static_cast<ClickCounter*>(self)->clicks; }
    void wire(gui::Button& button) {
        button.userData = this;
        button.callback = onClick;
    }
};

class ButtonTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        button.x = 100;
        button.y = 100;  // covers 100..199 x 100..149
        counter.wire(button);
        ui.addElement(&button);
    }
    gui::Button button;
    ClickCounter counter;
};

TEST_F(ButtonTest, ClickFiresOnceOnTheRelease) {
    desktop.moveTo(ui, 150, 120);
    desktop.press(ui);
    EXPECT_EQ(counter.clicks, 0);
    desktop.release(ui);
    EXPECT_EQ(counter.clicks, 1);
    EXPECT_FALSE(button.pressed);
}

TEST_F(ButtonTest, ReleaseOutsideFiresNothing) {
    desktop.moveTo(ui, 150, 120);
    desktop.press(ui);
    desktop.moveTo(ui, 300, 120);
    desktop.release(ui);
    EXPECT_EQ(counter.clicks, 0);
    EXPECT_FALSE(button.pressed);
    // And a release inside without a press before it fires nothing either.
    desktop.moveTo(ui, 150, 120);
    desktop.release(ui);
    EXPECT_EQ(counter.clicks, 0);
}

TEST_F(ButtonTest, EdgesLeftAndTopInclusiveRightAndBottomExclusive) {
    desktop.click(ui, 100, 100);
    EXPECT_EQ(counter.clicks, 1);
    desktop.click(ui, 199, 149);
    EXPECT_EQ(counter.clicks, 2);
    desktop.click(ui, 200, 120);
    desktop.click(ui, 150, 150);
    EXPECT_EQ(counter.clicks, 2);
}

TEST_F(ButtonTest, DisabledButtonIgnoresClicks) {
    button.enabled = false;
    EXPECT_FALSE(button.canSelect());
    desktop.moveTo(ui, 150, 120);
    EXPECT_FALSE(desktop.press(ui));
    desktop.release(ui);
    EXPECT_EQ(counter.clicks, 0);
}

TEST_F(ButtonTest, EnterFiresOnlyWhenSelected) {
    EXPECT_FALSE(button.keyInput(ui, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0));
    EXPECT_EQ(counter.clicks, 0);
    ui.selectElement(&button);
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(counter.clicks, 1);
    EXPECT_FALSE(ui.keyInput(GLFW_KEY_ENTER, 0, GLFW_RELEASE, 0));
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_SPACE));
    EXPECT_EQ(counter.clicks, 1);
}

class SliderTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        slider.x = 100;
        slider.y = 200;
        slider.width = 500;
        slider.max = 100;
        slider.userData = &reports;
        slider.callback = [](void* reports, int value) {
            static_cast<std::vector<int>*>(reports)->push_back(value);
        };
        ui.addElement(&slider);
    }
    gui::Slider slider;
    std::vector<int> reports;
};

TEST_F(SliderTest, DragSetsTheValueAndReportsOnceAtTheRelease) {
    desktop.moveTo(ui, 110, 220);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(slider.dragging);
    desktop.moveTo(ui, 100 + 250, 230);
    EXPECT_EQ(slider.value, 50);
    desktop.moveTo(ui, 100 + 123, 230);  // 24.6 rounds to 25
    EXPECT_EQ(slider.value, 25);
    EXPECT_TRUE(reports.empty());
    desktop.moveTo(ui, 100 + 250, 230);
    EXPECT_FALSE(desktop.release(ui));
    EXPECT_EQ(reports, std::vector<int>{50});
    EXPECT_FALSE(slider.dragging);
    desktop.moveTo(ui, 100, 230);  // no longer dragging
    EXPECT_EQ(slider.value, 50);
}

TEST_F(SliderTest, DragBeyondEitherEndClamps) {
    desktop.moveTo(ui, 595, 210);
    desktop.press(ui);
    desktop.moveTo(ui, 20, 210);
    EXPECT_EQ(slider.value, 0);
    desktop.moveTo(ui, 600, 210);
    EXPECT_EQ(slider.value, 100);
    desktop.moveTo(ui, 2000, 210);
    EXPECT_EQ(slider.value, 100);
}

TEST_F(SliderTest, GrabZoneReachesNinePixelsBeyondTheEnds) {
    desktop.moveTo(ui, 91, 200);
    EXPECT_TRUE(desktop.press(ui));
    desktop.release(ui);
    desktop.moveTo(ui, 609, 249);
    EXPECT_TRUE(desktop.press(ui));
    desktop.release(ui);
    desktop.moveTo(ui, 90, 220);
    EXPECT_FALSE(desktop.press(ui));
    desktop.moveTo(ui, 300, 250);
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_FALSE(slider.dragging);
    EXPECT_EQ(reports.size(), 2u);  // one per drag, even without movement
}

TEST_F(SliderTest, KeysStepTheValueAndReportAtOnce) {
    slider.value = 10;
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_RIGHT));  // not selected
    EXPECT_EQ(slider.value, 10);
    ui.selectElement(&slider);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_RIGHT));  // keys are never reported as consumed
    EXPECT_EQ(slider.value, 11);
    pressKey(ui, GLFW_KEY_D);
    pressKey(ui, GLFW_KEY_A);
    pressKey(ui, GLFW_KEY_LEFT);
    EXPECT_EQ(reports, (std::vector<int>{11, 12, 11, 10}));
    ui.keyInput(GLFW_KEY_RIGHT, 0, GLFW_REPEAT, 0);  // repeats do nothing
    EXPECT_EQ(slider.value, 10);
}

TEST_F(SliderTest, KeysStopAtTheLimitsWithoutReporting) {
    ui.selectElement(&slider);
    slider.value = 100;
    pressKey(ui, GLFW_KEY_RIGHT);
    EXPECT_EQ(slider.value, 100);
    slider.value = 0;
    pressKey(ui, GLFW_KEY_LEFT);
    EXPECT_EQ(slider.value, 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(SliderTest, HeightIsFiftyForEveryVerticalAlignment) {
    int x, y, w, h;
    slider.getSize(ui, w, h);
    EXPECT_EQ(h, 50);
    slider.alignY = 1;
    slider.y = -10;
    slider.getPos(ui, x, y);
    EXPECT_EQ(y, 600 - 50 - 10);
    slider.alignY = 2;
    slider.y = 5;
    slider.getPos(ui, x, y);
    EXPECT_EQ(y, 300 + 5 - 25);
}

}  // namespace

#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/Slider.h"

#include <gtest/gtest.h>

#include <vector>

using guitest::pressKey;

namespace {

class ButtonTest : public guitest::GuiTest {
protected:
    ButtonTest() {
        button.x = button.y = 100;  // covers 100..199 x 100..149
        guitest::countClicks(button, clicks);
        ui.addElement(&button);
    }
    gui::Button button;
    int clicks = 0;
};

TEST_F(ButtonTest, FiresOnTheReleaseOfAPressInsideItsEdges) {
    const glm::ivec2 inside{150, 120}, outside{300, 120};
    struct Case {
        glm::ivec2 pressAt, releaseAt;
        int fires;
    } cases[] = {
        {inside, inside, 1}, {inside, outside, 0}, {outside, inside, 0},
        {{100, 100}, {100, 100}, 1}, {{199, 149}, {199, 149}, 1},  // left and top edges inclusive
        {{200, 120}, {200, 120}, 0}, {{150, 150}, {150, 150}, 0},  // right and bottom exclusive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(glm::to_string(c.pressAt) + " to " + glm::to_string(c.releaseAt));
        clicks = 0;
        desktop.moveTo(ui, c.pressAt.x, c.pressAt.y);
        desktop.press(ui);
        EXPECT_EQ(clicks, 0);
        desktop.moveTo(ui, c.releaseAt.x, c.releaseAt.y);
        desktop.release(ui);
        EXPECT_EQ(clicks, c.fires);
        EXPECT_FALSE(button.pressed);
    }
}

TEST_F(ButtonTest, DisabledButtonIgnoresClicks) {
    button.enabled = false;
    EXPECT_FALSE(button.canSelect());
    desktop.moveTo(ui, 150, 120);
    EXPECT_FALSE(desktop.press(ui));
    desktop.release(ui);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonTest, EnterFiresOnlyWhenSelected) {
    EXPECT_FALSE(button.keyInput(ui, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0));
    EXPECT_EQ(clicks, 0);
    ui.selectElement(&button);
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(ui.keyInput(GLFW_KEY_ENTER, 0, GLFW_RELEASE, 0));
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_SPACE));
    EXPECT_EQ(clicks, 1);
}

// A 500-wide slider from x 100, y 200 to 249, of 0 to 100.
class SliderTest : public guitest::GuiTest {
protected:
    SliderTest() {
        slider.x = 100, slider.y = 200, slider.width = 500;
        slider.userData = &reports;
        slider.callback = [](void* reports, int value) {
            static_cast<std::vector<int>*>(reports)->push_back(value);
        };
        ui.addElement(&slider);
    }
    gui::Slider slider;
    std::vector<int> reports;
};

TEST_F(SliderTest, DragSetsTheValueClampedAndReportsOnceAtTheRelease) {
    desktop.moveTo(ui, 110, 220);
    EXPECT_TRUE(desktop.press(ui));
    // 123 of 500 is 24.6, which rounds to 25; the value clamps beyond either end.
    for (auto [x, value] :
         {std::pair{350, 50}, {223, 25}, {20, 0}, {600, 100}, {2000, 100}, {350, 50}}) {
        desktop.moveTo(ui, x, 230);
        EXPECT_EQ(slider.value, value) << x;
    }
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(desktop.release(ui));
    EXPECT_EQ(reports, std::vector<int>{50});
    desktop.moveTo(ui, 100, 230);  // no longer dragging
    EXPECT_EQ(slider.value, 50);
}

TEST_F(SliderTest, GrabZoneReachesNinePixelsBeyondTheEnds) {
    for (auto [x, y, grabs] : {std::tuple{91, 200, true}, {609, 249, true}, {90, 220, false},
                               {610, 220, false}, {300, 199, false}, {300, 250, false}}) {
        desktop.moveTo(ui, x, y);
        EXPECT_EQ(desktop.press(ui), grabs) << x << ", " << y;
        desktop.release(ui);
    }
    EXPECT_EQ(reports.size(), 2u);  // one per drag, even without movement
}

TEST_F(SliderTest, KeysStepTheValueWithinItsLimitsAndReportAtOnce) {
    slider.value = 10;
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_RIGHT));  // not selected
    ui.selectElement(&slider);
    for (int key : {GLFW_KEY_RIGHT, GLFW_KEY_D, GLFW_KEY_A, GLFW_KEY_LEFT})
        EXPECT_FALSE(pressKey(ui, key));  // keys are never reported as consumed
    ui.keyInput(GLFW_KEY_RIGHT, 0, GLFW_REPEAT, 0);  // repeats do nothing
    slider.value = 100;
    pressKey(ui, GLFW_KEY_RIGHT);
    slider.value = 0;
    pressKey(ui, GLFW_KEY_LEFT);
    EXPECT_EQ(slider.value, 0);
    EXPECT_EQ(reports, (std::vector<int>{11, 12, 11, 10}));  // nothing at the limits
}

}  // namespace

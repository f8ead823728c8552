// A widget callback may change the very list that is being dispatched over: a button pops its
// screen (clearElements) or rebuilds the screen's widgets. These run under AddressSanitizer too
// (target gui_dispatch_asan), where touching a destroyed widget or a stale slot of the list fails.

#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Slider.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using guitest::Probe;
using guitest::pressKey;

namespace {

class DispatchTest : public guitest::GuiTest {
public:
    // Heap buttons all on the same spot, so every one of them is under the cursor; each click
    // runs onClick, which may destroy them all.
    void build(gui::ElemContainer& container, int count) {
        for (int i = 0; i < count; ++i) {
            buttons.push_back(std::make_unique<gui::Button>());
            buttons.back()->userData = this;
            buttons.back()->callback = [](void* self) {
                auto* test = static_cast<DispatchTest*>(self);
                ++test->clicks;
                test->onClick();
            };
            container.addElement(buttons.back().get());
        }
    }
    void destroyAll(gui::ElemContainer& container) {
        container.clearElements();
        buttons.clear();
    }
    std::vector<std::unique_ptr<gui::Button>> buttons;
    std::function<void()> onClick;  // runs on each click or slider report
    int clicks = 0;
};

TEST_F(DispatchTest, ButtonThatClearsTheListOnReleaseOrEnterEndsTheDispatch) {
    onClick = [&] { destroyAll(ui); };
    build(ui, 4);
    desktop.moveTo(ui, 10, 10);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_FALSE(desktop.release(ui));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(ui.isEmpty());
    EXPECT_EQ(ui.selectedIndex, -1);

    build(ui, 2);
    ui.selectElement(buttons[0].get());
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(ui.isEmpty());
}

TEST_F(DispatchTest, RebuiltWidgetsDoNotReceiveTheRestOfTheEvent) {
    onClick = [&] {
        destroyAll(ui);
        build(ui, 3);
        ui.selectElement(buttons[0].get());
    };
    build(ui, 3);
    desktop.click(ui, 10, 10);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(ui.elements.size(), 3u);
    // The rest of the release, "nobody took it, deselect", must not undo the new selection.
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_TRUE(buttons[0]->selected);
    // The new buttons were not pressed by the old click; a fresh click works once.
    desktop.release(ui);
    EXPECT_EQ(clicks, 1);
    desktop.click(ui, 10, 10);
    EXPECT_EQ(clicks, 2);
}

TEST_F(DispatchTest, PressConsumerThatChangesTheListIsNotSelected) {
    Probe below, clearing;
    clearing.consumeButtons = true;
    clearing.onEvent = [&] { ui.clearElements(); };
    ui.addElement(&below);
    ui.addElement(&clearing);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_EQ(clearing.selects, 0);
    EXPECT_EQ(below.buttonEvents, 0);
    EXPECT_EQ(ui.selectedIndex, -1);
}

TEST_F(DispatchTest, KeyThatRebuildsTheListSkipsTheTabSearch) {
    gui::ContentBox box;
    box.parent = &ui;
    for (bool inBox : {false, true}) {
        SCOPED_TRACE(inBox ? "in a content box" : "in the interface");
        gui::ElementList& list = inBox ? static_cast<gui::ElementList&>(box) : ui;
        Probe leaving, other;
        leaving.onEvent = [&] {
            list.clearElements();
            list.addElement(&other);
        };
        list.addElement(&leaving);
        list.addElement(&other);
        if (inBox) ui.addElement(&box);
        ui.selectElement(inBox ? static_cast<gui::Element*>(&box) : &leaving);  // box: its first
        EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));  // the Tab went to a list that is gone
        EXPECT_EQ(list.selectedIndex, -1);
        EXPECT_EQ(other.selects, 0);
        ui.clearElements();
    }
}

TEST_F(DispatchTest, ButtonInsideABoxThatClearsTheBoxOrPopsTheScreen) {
    for (bool popScreen : {false, true}) {
        SCOPED_TRACE(popScreen ? "pops the screen" : "clears the box");
        gui::ContentBox box;
        box.parent = &ui;
        box.width = box.height = 200;
        Probe below;
        ui.addElement(&below);
        ui.addElement(&box);
        // Popping the screen leaves the box's own list alone, so its buttons must stay alive.
        onClick = [&] { popScreen ? ui.clearElements() : destroyAll(box); };
        build(box, 4);
        desktop.moveTo(ui, 10, 10);
        EXPECT_TRUE(desktop.press(ui));
        EXPECT_TRUE(desktop.release(ui));
        EXPECT_EQ(clicks, 1);
        EXPECT_TRUE(popScreen ? ui.isEmpty() : box.isEmpty());
        EXPECT_EQ(popScreen ? ui.selectedIndex : box.selectedIndex, -1);
        EXPECT_EQ(below.buttonEvents, 0);
        ui.clearElements();
        buttons.clear();
        clicks = 0;
    }
}

TEST_F(DispatchTest, SliderThatIsDestroyedByItsOwnCallback) {
    auto slider = std::make_unique<gui::Slider>();
    slider->userData = this;
    slider->callback = [](void* self, int) { static_cast<DispatchTest*>(self)->onClick(); };
    onClick = [&] {
        ui.clearElements();
        slider.reset();
    };
    ui.addElement(slider.get());
    desktop.click(ui, 10, 10);
    EXPECT_EQ(slider, nullptr);
}

}  // namespace

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

using guitest::FakeDesktop;
using guitest::Probe;
using guitest::pressKey;

namespace {

// A screen that builds its buttons on the heap, one row each, and can throw them all away.
struct ListScreen {
    gui::ElemContainer* container = nullptr;
    std::vector<std::unique_ptr<gui::Button>> buttons;
    int clicks = 0;
    bool rebuildOnClick = false;

    void build(int count) {
        for (int i = 0; i < count; ++i) {
            auto button = std::make_unique<gui::Button>();
            button->y = 0;  // all stacked on the same spot: every one of them is under the cursor
            button->userData = this;
            button->callback = onClick;
            container->addElement(button.get());
            buttons.push_back(std::move(button));
        }
    }
    void destroyAll() {
        container->clearElements();
        buttons.clear();
    }
    static void onClick(void* self) {
        auto* screen = static_cast<ListScreen*>(self);
        ++screen->clicks;
        screen->destroyAll();
        if (screen->rebuildOnClick) {
            screen->build(3);
            screen->container->selectElement(screen->buttons[0].get());
        }
    }
};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop.attach(ui);
        screen.container = &ui;
    }
    FakeDesktop desktop;
    gui::Interface ui;
    ListScreen screen;
};

TEST_F(DispatchTest, ButtonThatClearsTheListOnReleaseEndsTheDispatch) {
    screen.build(4);
    desktop.moveTo(ui, 10, 10);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_FALSE(desktop.release(ui));
    EXPECT_EQ(screen.clicks, 1);
    EXPECT_TRUE(ui.isEmpty());
    EXPECT_EQ(ui.selectedIndex, -1);
}

TEST_F(DispatchTest, RebuiltWidgetsDoNotReceiveTheRestOfTheEvent) {
    screen.rebuildOnClick = true;
    screen.build(3);
    desktop.moveTo(ui, 10, 10);
    desktop.press(ui);
    desktop.release(ui);
    EXPECT_EQ(screen.clicks, 1);
    ASSERT_EQ(ui.elements.size(), 3u);
    // The rest of the release, "nobody took it, deselect", must not undo the new selection.
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_TRUE(screen.buttons[0]->selected);
    // The new buttons were not pressed by the old click; a fresh click works once.
    desktop.release(ui);
    EXPECT_EQ(screen.clicks, 1);
    desktop.press(ui);
    desktop.release(ui);
    EXPECT_EQ(screen.clicks, 2);
}

TEST_F(DispatchTest, PressConsumerThatChangesTheListIsNotSelected) {
    Probe below, clearing;
    clearing.consumeButtons = true;
    clearing.userData = &ui;
    clearing.onEvent = [](void* ui) { static_cast<gui::Interface*>(ui)->clearElements(); };
    ui.addElement(&below);
    ui.addElement(&clearing);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_EQ(clearing.selects, 0);
    EXPECT_EQ(below.buttonEvents, 0);
    EXPECT_EQ(ui.selectedIndex, -1);
}

TEST_F(DispatchTest, EnterOnAButtonThatPopsTheScreen) {
    screen.build(2);
    ui.selectElement(screen.buttons[0].get());
    EXPECT_TRUE(pressKey(ui, GLFW_KEY_ENTER));
    EXPECT_EQ(screen.clicks, 1);
    EXPECT_TRUE(ui.isEmpty());
}

TEST_F(DispatchTest, KeyThatRebuildsTheListSkipsTheTabSearch) {
    auto leaving = std::make_unique<Probe>();
    Probe other;
    struct Context {
        gui::Interface* ui;
        std::unique_ptr<Probe>* leaving;
        Probe* other;
    } context{&ui, &leaving, &other};
    leaving->userData = &context;
    leaving->onEvent = [](void* c) {
        auto* context = static_cast<Context*>(c);
        context->ui->clearElements();
        context->leaving->reset();
        context->ui->addElement(context->other);
    };
    ui.addElement(leaving.get());
    ui.addElement(&other);
    ui.selectElement(leaving.get());
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_TAB));  // the Tab went to a list that is gone
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_EQ(other.selects, 0);
}

TEST_F(DispatchTest, ButtonInsideABoxThatClearsTheBox) {
    gui::ContentBox box;
    box.parent = &ui;
    box.width = box.height = 200;
    ui.addElement(&box);
    screen.container = &box;
    screen.build(4);
    desktop.moveTo(ui, 10, 10);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(desktop.release(ui));
    EXPECT_EQ(screen.clicks, 1);
    EXPECT_TRUE(box.isEmpty());
    EXPECT_EQ(box.selectedIndex, -1);
}

TEST_F(DispatchTest, ButtonInsideABoxThatPopsTheScreen) {
    gui::ContentBox box;
    box.parent = &ui;
    box.width = box.height = 200;
    Probe below;
    ui.addElement(&below);
    ui.addElement(&box);
    gui::Button quit;
    quit.userData = &ui;
    quit.callback = [](void* ui) { static_cast<gui::Interface*>(ui)->clearElements(); };
    box.addElement(&quit);
    desktop.moveTo(ui, 10, 10);
    desktop.press(ui);
    desktop.release(ui);
    EXPECT_TRUE(ui.isEmpty());
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_EQ(below.buttonEvents, 0);
}

TEST_F(DispatchTest, SliderThatIsDestroyedByItsOwnCallback) {
    struct Owner {
        gui::Interface* ui;
        std::unique_ptr<gui::Slider> slider = std::make_unique<gui::Slider>();
        int reported = -1;
    } owner{&ui};
    owner.slider->userData = &owner;
    owner.slider->callback = [](void* o, int value) {
        auto* owner = static_cast<Owner*>(o);
        owner->reported = value;
        owner->ui->clearElements();
        owner->slider.reset();
    };
    ui.addElement(owner.slider.get());
    desktop.moveTo(ui, 10, 10);
    desktop.press(ui);
    desktop.release(ui);
    EXPECT_EQ(owner.reported, 0);
    EXPECT_EQ(owner.slider, nullptr);
}

}  // namespace

#include "FakeDesktop.h"

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Image.h"
#include "gui/Slider.h"
#include "gui/Text.h"

#include <gtest/gtest.h>

#include <string>

using guitest::Probe;
using guitest::pressKey;

namespace {

using InterfaceTest = guitest::GuiTest;

TEST_F(InterfaceTest, EveryKindAlignsByItsOwnSizeInItsWindow) {
    gui::Button button, inBox;  // 100 x 50
    gui::Image image;
    image.width = 51, image.height = 32;
    gui::Slider slider;  // 300 x 50
    gui::Text label;
    label.setText("abcd");  // 64 x 24
    gui::ContentBox box;    // 400 x 300, its children align inside it
    box.parent = &ui, box.width = 400;
    struct Case {
        gui::Element& element;
        gui::Window& window;
        int alignX, alignY, x, y;
        glm::ivec2 expected;
    } cases[] = {
        {button, ui, 7, 2, 5, 0, {355, 275}},  // anything but 0 and 1 centres
        {button, ui, 1, 1, -20, -10, {680, 540}},
        {image, ui, 2, 1, 0, 0, {400 - 25, 568}},  // both halves are rounded down
        {slider, ui, 0, 1, 0, -10, {0, 540}},
        {slider, ui, 0, 2, 0, 5, {0, 280}},
        {label, ui, 1, 2, -10, 0, {726, 288}},
        {inBox, box, 1, 2, -10, 0, {290, 125}},
    };
    for (Case& c : cases) {
        c.element.setAlignX(c.alignX);
        c.element.setAlignY(c.alignY);
        c.element.setX(c.x);
        c.element.setY(c.y);
        EXPECT_EQ(guitest::posOf(c.element, c.window), c.expected) << &c - cases;
    }
    desktop.width = 1000;  // the window's size is read anew
    EXPECT_EQ(guitest::posOf(button, ui).x, 880);
}

TEST_F(InterfaceTest, PressGoesToTheTopmostTakerWhichIsSelectedUntilAnEmptyClick) {
    Probe a, b;
    a.consumeButtons = b.consumeButtons = true;
    ui.addElement(&a);
    ui.addElement(&b);
    EXPECT_TRUE(desktop.press(ui));  // both overlap; b is on top
    EXPECT_TRUE(b.selected);
    EXPECT_EQ(a.buttonEvents, 0);
    EXPECT_EQ(ui.selectedIndex, 1);

    b.consumeButtons = false;  // now only a takes presses
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_TRUE(a.selected && !b.selected);
    EXPECT_EQ(ui.selectedIndex, 0);

    a.consumeButtons = false;  // nobody takes it: an empty click
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_FALSE(a.selected);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_EQ(a.buttonEvents + b.buttonEvents, 5);
}

TEST_F(InterfaceTest, TabMovesToTheNextSelectableElementAndWraps) {
    constexpr int shift = GLFW_MOD_SHIFT;
    struct Case {
        std::string kinds;  // one element each: 's' selectable, '-' not
        int from, mods, action, expected;
    } cases[] = {
        {"s-s", 0, 0, GLFW_PRESS, 2},      {"s-s", 2, 0, GLFW_PRESS, 0},
        {"s-s", 0, shift, GLFW_PRESS, 2},  {"s-s", 2, shift, GLFW_PRESS, 0},
        {"-ss-", -1, 0, GLFW_PRESS, 1},    {"-ss-", -1, shift, GLFW_PRESS, 2},
        {"ss", -1, 0, GLFW_PRESS, 0},      {"-s", -1, 0, GLFW_PRESS, 1},
        {"s-", -1, shift, GLFW_PRESS, 0},  {"s-", 0, 0, GLFW_PRESS, 0},
        {"--", -1, 0, GLFW_PRESS, -1},     {"--", -1, shift, GLFW_PRESS, -1},
        {"", -1, 0, GLFW_PRESS, -1},       {"ss", 0, 0, GLFW_RELEASE, 0},
        {"ss", 0, 0, GLFW_REPEAT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kinds + " from " + std::to_string(c.from) + (c.mods ? " with Shift" : ""));
        gui::Interface list;
        std::vector<Probe> probes(c.kinds.size());
        for (size_t i = 0; i < probes.size(); ++i) {
            probes[i].selectable = c.kinds[i] == 's';
            list.addElement(&probes[i]);
        }
        if (c.from >= 0) list.selectElement(&probes[c.from]);
        EXPECT_FALSE(list.keyInput(GLFW_KEY_TAB, 0, c.action, c.mods));  // never consumed
        EXPECT_EQ(list.selectedIndex, c.expected);
        for (size_t i = 0; i < probes.size(); ++i) {
            EXPECT_EQ(probes[i].selected, static_cast<int>(i) == c.expected) << i;
            EXPECT_EQ(probes[i].keyEvents, static_cast<int>(i) == c.from) << i;  // heard it first
        }
        if (c.expected >= 0) {
            EXPECT_EQ(probes[c.expected].selects, 1);  // never selected twice
        }
    }
}

TEST_F(InterfaceTest, ContainerOperations) {
    Probe a, b, stranger;
    ui.addElement(&a);
    ui.addElement(&b);
    EXPECT_TRUE(ui.selectElement(&b));
    EXPECT_TRUE(ui.selectElement(&b));  // selecting again selects again
    EXPECT_EQ(b.selects, 2);
    EXPECT_FALSE(ui.selectElement(&stranger));
    EXPECT_EQ(ui.selectedIndex, 1);
    EXPECT_TRUE(ui.removeElement(&a));  // even an unselected one drops the selection
    EXPECT_FALSE(b.selected);
    EXPECT_EQ(ui.selectedIndex, -1);
    EXPECT_FALSE(ui.removeElement(&a));
    EXPECT_EQ(ui.elements, std::vector<gui::Element*>{&b});

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
    for (Probe* p : {&a, &b, &c}) ui.addElement(p);
    EXPECT_TRUE(ui.scroll(0, -1));
    EXPECT_EQ(glm::ivec3(a.scrollEvents, b.scrollEvents, c.scrollEvents), glm::ivec3(1, 1, 0));
    b.consumeScroll = false;
    EXPECT_FALSE(ui.scroll(0, 1));
    ui.cursorPos(12.5, 7);
    for (Probe* p : {&a, &b, &c}) EXPECT_EQ(p->lastCursor, glm::dvec2(12.5, 7));
}

TEST_F(InterfaceTest, RenderRestoresTheWholeWindowAfterAViewportChange) {
    Probe before, painter, after;
    painter.onRender = [](gui::Window& w) { w.setViewport({10, 20, 30, 40}, {-5, -6}); };
    for (Probe* p : {&before, &painter, &after}) ui.addElement(p);
    ui.render();
    EXPECT_EQ(before.renders + painter.renders + after.renders, 3);
    EXPECT_EQ(desktop.viewports, (std::vector<guitest::Request>{{{10, 20, 30, 40}, {-5, -6}},
                                                                {{0, 0, 800, 600}, {0, 0}}}));
    EXPECT_FALSE(ui.viewportChanged);

    desktop.viewports.clear();
    ui.removeElement(&painter);
    ui.render();
    EXPECT_TRUE(desktop.viewports.empty());

    ui.viewportCallback = nullptr;  // then a request goes nowhere and changes nothing
    ui.setViewport({1, 2, 3, 4}, {0, 0});
    EXPECT_FALSE(ui.viewportChanged);
}

}  // namespace

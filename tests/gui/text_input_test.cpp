#include "FakeDesktop.h"

#include "gui/TextInput.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using guitest::pressKey;
using guitest::typeText;

namespace {

constexpr int ctrl = GLFW_MOD_CONTROL, shift = GLFW_MOD_SHIFT;

// One thing the user does: a key press (or repeat), or typing `typed` when it is set.
struct Step {
    int key = 0, mods = 0;
    const char* typed = nullptr;
    int action = GLFW_PRESS;
};
constexpr Step left{GLFW_KEY_LEFT}, right{GLFW_KEY_RIGHT}, shiftLeft{GLFW_KEY_LEFT, shift},
    backspace{GLFW_KEY_BACKSPACE}, del{GLFW_KEY_DELETE}, selectAll{GLFW_KEY_A, ctrl},
    copy{GLFW_KEY_C, ctrl}, cut{GLFW_KEY_X, ctrl}, paste{GLFW_KEY_V, ctrl};
constexpr Step type(const char* s) { return {0, 0, s}; }

// A 200 x 50 input at (100, 100), selected; its text starts at x 104 in 16-pixel cells.
class TextInputTest : public guitest::GuiTest {
protected:
    TextInputTest() {
        input.x = input.y = 100;
        input.width = 200;
        ui.addElement(&input);
        ui.selectElement(&input);
    }
    void setText(const std::string& s) {
        input.text = s;
        input.cursor = input.anchor = static_cast<int>(s.size());
        input.hasSelection = false;
    }
    void run(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            if (s.typed) typeText(ui, s.typed);
            else ui.keyInput(s.key, 0, s.action, s.mods);
        }
    }
    int caretX() const { return input.textOffset + 16 * input.cursor + 4; }

    gui::TextInput input;
};

TEST_F(TextInputTest, EditingKeysLeaveTextCaretSelectionAndClipboard) {
    const Step deleteRepeat{GLFW_KEY_DELETE, 0, nullptr, GLFW_REPEAT};
    struct Case {
        const char* name;
        std::string start;
        std::vector<Step> steps;
        std::string text;
        int cursor;
        std::string selection = "";
        std::optional<std::string> clipboardBefore = {}, clipboardAfter = {};
    } cases[] = {
        {"typing at the caret", "", {type("hllo"), left, left, left, type("e")}, "hello", 2},
        {"unprintables are swallowed", "", {type("\xE9\x1F\x7F~")}, "~", 1},
        {"Shift+Left selects", "abc", {shiftLeft, shiftLeft}, "abc", 1, "bc"},
        {"typing replaces the selection", "abc", {shiftLeft, shiftLeft, type("X")}, "aX", 2},
        {"Left collapses to the start", "abcdef", {shiftLeft, shiftLeft, left}, "abcdef", 4},
        {"Right collapses to the end", "abcdef", {left, shiftLeft, shiftLeft, right}, "abcdef", 5},
        {"Right stops at the end", "abc", {left, right, right, right}, "abc", 3},
        {"Left stops at the start", "abc", {left, left, left, left}, "abc", 0},
        {"an empty selection deletes one", "abc", {left, left, left, shiftLeft, del}, "bc", 0},
        {"Backspace and Delete", "abcd", {backspace, del, left, left, del}, "ac", 1},
        {"nothing before the caret", "abc", {left, left, backspace, backspace, backspace}, "bc", 0},
        {"Delete repeats", "abc", {left, left, deleteRepeat, deleteRepeat}, "a", 1},
        {"Backspace takes a selection", "abcdef", {left, shiftLeft, shiftLeft, backspace},
         "abcf", 3},
        {"Delete takes a selection", "abcf", {shiftLeft, del}, "abc", 3},
        {"letters without Ctrl", "ab", {{GLFW_KEY_A}, {GLFW_KEY_C}, {GLFW_KEY_V}, {GLFW_KEY_X}},
         "ab", 2},
        {"Ctrl+A then Ctrl+C", "hello", {selectAll, copy}, "hello", 5, "hello", {}, "hello"},
        {"Ctrl+A on nothing copies nothing", "", {selectAll, copy}, "", 0, "", "kept", "kept"},
        {"Ctrl+X", "hello world", {shiftLeft, shiftLeft, shiftLeft, shiftLeft, shiftLeft, cut},
         "hello ", 6, "", {}, "world"},
        {"Ctrl+V keeps printable ASCII", "I like tea", {shiftLeft, shiftLeft, shiftLeft, paste},
         "I like caf au lait", 18, "", "caf\xC3\xA9 au lait\n", "caf\xC3\xA9 au lait\n"},
        {"Ctrl+V of an empty clipboard", "abc", {paste}, "abc", 3, "", "", ""},
        {"Ctrl+V of no clipboard text", "abc", {paste}, "abc", 3},  // GLFW hands back null
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(c.start);
        desktop.clipboardText = c.clipboardBefore;
        run(c.steps);
        EXPECT_EQ(input.text, c.text);
        EXPECT_EQ(input.cursor, c.cursor);
        EXPECT_EQ(input.selectedText(), c.selection);
        EXPECT_EQ(desktop.clipboardText, c.clipboardAfter);
    }
}

TEST_F(TextInputTest, TakesItsEditingKeysAndLeavesTheRest) {
    for (int k : {GLFW_KEY_A, GLFW_KEY_C, GLFW_KEY_V, GLFW_KEY_X, GLFW_KEY_LEFT, GLFW_KEY_DELETE})
        EXPECT_TRUE(pressKey(ui, k)) << k;
    for (int k : {GLFW_KEY_B, GLFW_KEY_TAB, GLFW_KEY_ENTER, GLFW_KEY_ESCAPE, GLFW_KEY_UP,
                  GLFW_KEY_SPACE})
        EXPECT_FALSE(input.keyInput(ui, k, 0, GLFW_PRESS, 0)) << k;
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_BACKSPACE, 0, GLFW_RELEASE, 0));
    EXPECT_TRUE(input.charInput(ui, 0xE9));  // swallowed, not passed on
}

TEST_F(TextInputTest, ADeselectedInputTakesNoTypingOrKeys) {
    setText("abc");
    ui.selectElement(nullptr);
    EXPECT_FALSE(input.charInput(ui, 'x'));
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_BACKSPACE, 0, GLFW_PRESS, 0));
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_A, 0, GLFW_PRESS, ctrl));
    EXPECT_FALSE(input.hasSelection);
    // The interface's empty click deselects it but keeps routing keys to it.
    ui.selectElement(&input);
    desktop.moveTo(ui, 10, 10);
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_FALSE(pressKey(ui, GLFW_KEY_BACKSPACE));
    EXPECT_EQ(input.text, "abc");
}

TEST(PrintableAscii, DropsMultiByteSequencesWhole) {
    EXPECT_EQ(gui::printableAscii(nullptr), "");
    EXPECT_EQ(gui::printableAscii("a\xC3\xA9z"), "az");                // 2 bytes
    EXPECT_EQ(gui::printableAscii("a\xE2\x82\xAC" "b"), "ab");         // 3 bytes
    EXPECT_EQ(gui::printableAscii("\xF0\x9F\x99\x82!"), "!");          // 4 bytes
    EXPECT_EQ(gui::printableAscii("tab\there\r\n~\x7F"), "tabhere~");  // control bytes
    EXPECT_EQ(gui::printableAscii("\x80\xBFok"), "ok");                // stray continuations
    // A sequence cut short by the end of the text, or by a plain character, stops there.
    EXPECT_EQ(gui::printableAscii("ab\xF0\x9F"), "ab");
    EXPECT_EQ(gui::printableAscii("ab\xE2"), "ab");
    EXPECT_EQ(gui::printableAscii("\xE2x\xC3"), "x");
}

TEST_F(TextInputTest, TextOffsetKeepsTheCaretInsideTheBox) {
    typeText(ui, std::string(11, 'w'));
    EXPECT_EQ(input.textOffset, 4);  // caret at 4 + 11 x 16 = 180 still fits in 200
    typeText(ui, "w");
    EXPECT_EQ(input.textOffset, -12);
    typeText(ui, std::string(18, 'w'));
    EXPECT_EQ(caretX(), 200 - 16);  // one cell from the right edge
    const int scrolled = input.textOffset;
    pressKey(ui, GLFW_KEY_BACKSPACE);  // deleting scrolls the text back right
    EXPECT_EQ(input.textOffset, scrolled + 16);

    for (int i = 0; i < 29; ++i) {
        pressKey(ui, GLFW_KEY_LEFT);
        EXPECT_LE(input.textOffset, 4);
        EXPECT_LT(caretX(), 200);
        EXPECT_GE(caretX(), 4);
    }
    EXPECT_EQ(input.textOffset, 4);

    typeText(ui, std::string(30, 'w'));
    ASSERT_LT(input.textOffset, 0);
    pressKey(ui, GLFW_KEY_A, ctrl);
    pressKey(ui, GLFW_KEY_BACKSPACE);
    EXPECT_EQ(input.textOffset, 4);
}

TEST_F(TextInputTest, ClickPlacesTheCaretAtTheNearestGapAndDragSelects) {
    setText("abcdef");
    desktop.time = 12.5;
    for (auto [x, caret] : {std::pair{104 + 2 * 16 + 7, 2}, {104 + 2 * 16 + 9, 3}, {299, 6}}) {
        desktop.moveTo(ui, x, 120);
        EXPECT_TRUE(desktop.press(ui));
        EXPECT_EQ(input.anchor, caret);
        EXPECT_TRUE(desktop.release(ui));  // stays selected after the click
        EXPECT_EQ(input.cursor, caret);
        EXPECT_TRUE(input.selected && !input.hasSelection);
    }
    EXPECT_DOUBLE_EQ(input.clickTime, 12.5);

    desktop.moveTo(ui, 104 + 16, 120);
    desktop.press(ui);
    desktop.moveTo(ui, 104 + 4 * 16, 120);
    EXPECT_EQ(input.selectedText(), "bcd");
    desktop.moveTo(ui, 20, 300);  // dragging far to the left
    desktop.release(ui);
    EXPECT_EQ(input.selectedText(), "a");
    desktop.moveTo(ui, 104 + 5 * 16, 120);  // no longer dragging
    EXPECT_EQ(input.cursor, 0);

    desktop.moveTo(ui, 50, 50);  // a press outside deselects
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_FALSE(input.selected);
    EXPECT_FALSE(desktop.release(ui));
}

}  // namespace

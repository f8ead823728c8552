#include "FakeDesktop.h"

#include "gui/TextInput.h"

#include <gtest/gtest.h>

using guitest::FakeDesktop;
using guitest::pressKey;
using guitest::typeText;

namespace {

constexpr int ctrl = GLFW_MOD_CONTROL, shift = GLFW_MOD_SHIFT;

class TextInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop.attach(ui);
        input.x = 100;
        input.y = 100;
        input.width = 200;
        input.height = 50;
        ui.addElement(&input);
        ui.selectElement(&input);
    }
    void setText(const std::string& s) {
        input.text = s;
        input.cursor = input.anchor = static_cast<int>(s.size());
        input.hasSelection = false;
    }
    bool key(int k, int mods = 0) { return pressKey(ui, k, mods); }

    FakeDesktop desktop;
    gui::Interface ui;
    gui::TextInput input;
};

TEST_F(TextInputTest, TypingInsertsAtTheCaret) {
    typeText(ui, "hllo");
    EXPECT_EQ(input.text, "hllo");
    EXPECT_EQ(input.cursor, 4);
    key(GLFW_KEY_LEFT);
    key(GLFW_KEY_LEFT);
    key(GLFW_KEY_LEFT);
    typeText(ui, "e");
    EXPECT_EQ(input.text, "hello");
    EXPECT_EQ(input.cursor, 2);
}

TEST_F(TextInputTest, UnprintableCodePointsAreSwallowed) {
    EXPECT_TRUE(input.charInput(ui, 0xE9));  // an accented letter
    EXPECT_TRUE(input.charInput(ui, 31));
    EXPECT_TRUE(input.charInput(ui, 127));
    EXPECT_EQ(input.text, "");
    EXPECT_TRUE(input.charInput(ui, '~'));
    EXPECT_EQ(input.text, "~");
}

TEST_F(TextInputTest, ADeselectedInputTakesNoTypingOrKeys) {
    setText("abc");
    ui.selectElement(nullptr);
    EXPECT_FALSE(input.charInput(ui, 'x'));
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_BACKSPACE, 0, GLFW_PRESS, 0));
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_A, 0, GLFW_PRESS, ctrl));
    EXPECT_EQ(input.text, "abc");
    EXPECT_FALSE(input.hasSelection);

    // The interface's empty click deselects it but keeps routing keys to it.
    ui.selectElement(&input);
    desktop.moveTo(ui, 10, 10);
    desktop.press(ui);
    EXPECT_EQ(ui.selectedIndex, 0);
    EXPECT_FALSE(key(GLFW_KEY_BACKSPACE));
    EXPECT_EQ(input.text, "abc");
}

TEST_F(TextInputTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
    setText("abc");
    EXPECT_TRUE(key(GLFW_KEY_LEFT, shift));
    EXPECT_TRUE(key(GLFW_KEY_LEFT, shift));
    EXPECT_EQ(input.selectedText(), "bc");
    EXPECT_EQ(input.anchor, 3);
    EXPECT_EQ(input.cursor, 1);
    typeText(ui, "X");
    EXPECT_EQ(input.text, "aX");
    EXPECT_EQ(input.cursor, 2);
    EXPECT_FALSE(input.hasSelection);
}

TEST_F(TextInputTest, ArrowsCollapseASelectionToItsEnds) {
    setText("abcdef");
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_LEFT);
    EXPECT_EQ(input.cursor, 4);
    EXPECT_FALSE(input.selectionActive());
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_RIGHT);
    EXPECT_EQ(input.cursor, 4);
    key(GLFW_KEY_RIGHT);
    key(GLFW_KEY_RIGHT);
    key(GLFW_KEY_RIGHT);
    EXPECT_EQ(input.cursor, 6);  // stops at the end
    for (int i = 0; i < 8; ++i) key(GLFW_KEY_LEFT);
    EXPECT_EQ(input.cursor, 0);
    key(GLFW_KEY_LEFT, shift);  // a selection that selects nothing yet
    key(GLFW_KEY_DELETE);
    EXPECT_EQ(input.text, "bcdef");
}

TEST_F(TextInputTest, CtrlASelectsAllSoCtrlCCopiesIt) {
    setText("hello");
    EXPECT_TRUE(key(GLFW_KEY_A, ctrl));
    EXPECT_TRUE(input.hasSelection);
    EXPECT_EQ(input.anchor, 0);
    EXPECT_EQ(input.cursor, 5);
    EXPECT_TRUE(key(GLFW_KEY_C, ctrl));
    EXPECT_EQ(desktop.clipboardText, "hello");
    EXPECT_EQ(input.text, "hello");
}

TEST_F(TextInputTest, CtrlAOnEmptyTextSelectsNothing) {
    EXPECT_TRUE(key(GLFW_KEY_A, ctrl));
    EXPECT_FALSE(input.selectionActive());
    desktop.clipboardText = "kept";
    key(GLFW_KEY_C, ctrl);
    EXPECT_EQ(desktop.clipboardText, "kept");  // copying nothing leaves the clipboard alone
}

TEST_F(TextInputTest, LettersWithoutCtrlAreLeftToCharInput) {
    setText("ab");
    for (int k : {GLFW_KEY_A, GLFW_KEY_C, GLFW_KEY_V, GLFW_KEY_X}) EXPECT_TRUE(key(k));
    EXPECT_EQ(input.text, "ab");
    EXPECT_FALSE(input.hasSelection);
    EXPECT_FALSE(key(GLFW_KEY_B));
}

TEST_F(TextInputTest, CtrlXCutsTheSelection) {
    setText("hello world");
    for (int i = 0; i < 5; ++i) key(GLFW_KEY_LEFT, shift);
    EXPECT_TRUE(key(GLFW_KEY_X, ctrl));
    EXPECT_EQ(desktop.clipboardText, "world");
    EXPECT_EQ(input.text, "hello ");
    EXPECT_EQ(input.cursor, 6);
    EXPECT_FALSE(input.hasSelection);
}

TEST_F(TextInputTest, CtrlVReplacesTheSelectionWithPrintableAscii) {
    setText("I like tea");
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_LEFT, shift);
    desktop.clipboardText = "caf\xC3\xA9 au lait\n";
    EXPECT_TRUE(key(GLFW_KEY_V, ctrl));
    EXPECT_EQ(input.text, "I like caf au lait");
    EXPECT_EQ(input.cursor, 18);
    EXPECT_FALSE(input.hasSelection);
}

TEST_F(TextInputTest, PastingFromAnEmptyClipboardInsertsNothing) {
    setText("abc");
    desktop.clipboardText.reset();  // GLFW hands back null
    EXPECT_TRUE(key(GLFW_KEY_V, ctrl));
    EXPECT_EQ(input.text, "abc");
    EXPECT_EQ(input.cursor, 3);
    desktop.clipboardText = "";
    EXPECT_TRUE(key(GLFW_KEY_V, ctrl));
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

TEST_F(TextInputTest, BackspaceAndDelete) {
    setText("abcd");
    EXPECT_TRUE(key(GLFW_KEY_BACKSPACE));
    EXPECT_EQ(input.text, "abc");
    EXPECT_TRUE(key(GLFW_KEY_DELETE));  // nothing at the caret
    EXPECT_EQ(input.text, "abc");
    key(GLFW_KEY_LEFT);
    key(GLFW_KEY_LEFT);
    key(GLFW_KEY_DELETE);
    EXPECT_EQ(input.text, "ac");
    EXPECT_EQ(input.cursor, 1);
    key(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(input.text, "c");
    EXPECT_EQ(input.cursor, 0);
    EXPECT_TRUE(key(GLFW_KEY_BACKSPACE));  // nothing before the caret
    EXPECT_EQ(input.text, "c");
    ui.keyInput(GLFW_KEY_DELETE, 0, GLFW_REPEAT, 0);  // repeats act too
    EXPECT_EQ(input.text, "");
}

TEST_F(TextInputTest, BackspaceAndDeleteRemoveAWholeSelection) {
    setText("abcdef");
    key(GLFW_KEY_LEFT);
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_LEFT, shift);
    key(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(input.text, "abcf");
    EXPECT_EQ(input.cursor, 3);
    key(GLFW_KEY_RIGHT, shift);
    key(GLFW_KEY_DELETE);
    EXPECT_EQ(input.text, "abc");
    EXPECT_EQ(input.cursor, 3);
}

TEST_F(TextInputTest, OtherKeysAndReleasesAreNotTaken) {
    for (int k : {GLFW_KEY_TAB, GLFW_KEY_ENTER, GLFW_KEY_ESCAPE, GLFW_KEY_UP, GLFW_KEY_SPACE})
        EXPECT_FALSE(input.keyInput(ui, k, 0, GLFW_PRESS, 0)) << k;
    EXPECT_FALSE(input.keyInput(ui, GLFW_KEY_BACKSPACE, 0, GLFW_RELEASE, 0));
}

TEST_F(TextInputTest, TypingAtTheRightEdgeScrollsTheTextLeft) {
    typeText(ui, std::string(11, 'w'));
    EXPECT_EQ(input.textOffset, 4);  // caret at 4 + 11 x 16 = 180 still fits in 200
    typeText(ui, "w");
    EXPECT_EQ(input.textOffset, -12);
    typeText(ui, std::string(20, 'w'));
    // The caret stays inside the box, one cell from its right edge.
    EXPECT_EQ(input.textOffset + 16 * input.cursor + 4, 200 - 16);
    EXPECT_LE(input.textOffset, 4);
}

TEST_F(TextInputTest, MovingLeftScrollsBackAndTheOffsetNeverPassesFour) {
    typeText(ui, std::string(30, 'w'));
    for (int i = 0; i < 30; ++i) {
        key(GLFW_KEY_LEFT);
        const int caretX = input.textOffset + 16 * input.cursor + 4;
        EXPECT_LE(input.textOffset, 4);
        EXPECT_LT(caretX, 200);
        EXPECT_GE(caretX, 4);
    }
    EXPECT_EQ(input.textOffset, 4);
}

TEST_F(TextInputTest, DeletingScrollsTheTextBackRight) {
    typeText(ui, std::string(30, 'w'));
    const int scrolled = input.textOffset;
    key(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(input.textOffset, scrolled + 16);
    key(GLFW_KEY_A, ctrl);
    key(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(input.textOffset, 4);
}

TEST_F(TextInputTest, ClickPlacesTheCaretAtTheNearestGap) {
    setText("abcdef");
    desktop.time = 12.5;
    // The text starts at 100 + 4; cell boundaries every 16 pixels.
    desktop.moveTo(ui, 104 + 2 * 16 + 7, 120);
    EXPECT_TRUE(desktop.press(ui));
    EXPECT_EQ(input.cursor, 2);
    EXPECT_EQ(input.anchor, 2);
    EXPECT_DOUBLE_EQ(input.clickTime, 12.5);
    EXPECT_TRUE(desktop.release(ui));  // stays selected after the click
    EXPECT_FALSE(input.hasSelection);
    EXPECT_TRUE(input.selected);
    desktop.moveTo(ui, 104 + 2 * 16 + 9, 120);
    desktop.press(ui);
    EXPECT_EQ(input.cursor, 3);
    desktop.release(ui);
    desktop.moveTo(ui, 299, 120);
    desktop.press(ui);
    EXPECT_EQ(input.cursor, 6);
}

TEST_F(TextInputTest, DragSelects) {
    setText("abcdef");
    desktop.moveTo(ui, 104 + 16, 120);
    desktop.press(ui);
    desktop.moveTo(ui, 104 + 4 * 16, 120);
    EXPECT_TRUE(input.hasSelection);
    EXPECT_EQ(input.selectedText(), "bcd");
    desktop.moveTo(ui, 20, 300);  // dragging far to the left
    EXPECT_EQ(input.cursor, 0);
    desktop.release(ui);
    EXPECT_EQ(input.selectedText(), "a");
    EXPECT_FALSE(input.dragging);
    desktop.moveTo(ui, 104 + 5 * 16, 120);  // no longer dragging
    EXPECT_EQ(input.cursor, 0);
}

TEST_F(TextInputTest, PressOutsideDeselects) {
    desktop.moveTo(ui, 50, 50);
    EXPECT_FALSE(desktop.press(ui));
    EXPECT_FALSE(input.selected);
    EXPECT_FALSE(desktop.release(ui));
}

}  // namespace

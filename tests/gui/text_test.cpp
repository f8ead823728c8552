#include "FakeDesktop.h"

#include "gui/Text.h"

#include <gtest/gtest.h>

using guitest::FakeDesktop;

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { desktop.attach(ui); }
    FakeDesktop desktop;
    gui::Interface ui;
    gui::Text label;
};

TEST_F(TextTest, TabsBecomeFourSpaces) {
    label.setText("a\tb\t");
    EXPECT_EQ(label.text, "a    b    ");
}

TEST_F(TextTest, UnwrappedSizeIsTheLongestLineByTheLineCount) {
    label.setText("one\nthree\nxy");
    int w, h;
    label.getSize(ui, w, h);
    EXPECT_EQ(w, 5 * 16);
    EXPECT_EQ(h, 3 * 24);
    label.scale = 3;
    label.getSize(ui, w, h);
    EXPECT_EQ(w, 5 * 24);
    EXPECT_EQ(h, 3 * 36);
    label.setText("");
    label.getSize(ui, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 36);
}

TEST_F(TextTest, LabelsAlignByTheirOwnSize) {
    label.setText("abcd");  // 64 x 24
    label.alignX = 1;
    label.x = -10;
    label.alignY = 2;
    int x, y;
    label.getPos(ui, x, y);
    EXPECT_EQ(x, 800 - 64 - 10);
    EXPECT_EQ(y, 300 - 12);
    EXPECT_FALSE(label.canSelect());
    EXPECT_FALSE(label.mouseButton(ui, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0));
}

TEST_F(TextTest, WrappedLabelKeepsEveryLineWithinTheWidth) {
    label.setText("the quick brown fox jumps over the lazy dog and on");  // 50 characters
    ASSERT_EQ(label.text.size(), 50u);
    label.wrapWidth = 400;
    const std::vector<std::string> lines = label.lines(ui);
    EXPECT_GT(lines.size(), 1u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(static_cast<int>(line.size()) * 16, 400) << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, label.text);  // broken only at spaces
    int w, h;
    label.getSize(ui, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h % 24, 0);
    EXPECT_EQ(h, static_cast<int>(lines.size()) * 24);
}

TEST_F(TextTest, ShortWrappedTextIsOneLineButFullWidth) {
    label.setText("short");
    label.wrapWidth = 400;
    int w, h;
    label.getSize(ui, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 24);
}

TEST_F(TextTest, WrappedLinesAlignEachInTheWrapWidth) {
    label.setText("a line\nwith words");
    label.wrapWidth = 400;
    label.alignX = 1;
    label.x = -20;
    int x, y;
    label.getPos(ui, x, y);
    ASSERT_EQ(x, 800 - 400 - 20);
    EXPECT_EQ(label.lineLeft(x, 6 * 16), 800 - 20 - 6 * 16);  // right edges meet
    label.alignX = 2;
    label.getPos(ui, x, y);
    EXPECT_EQ(label.lineLeft(x, 10 * 16), 400 - 20 - 80);     // centred about the window's middle
    label.alignX = 0;
    EXPECT_EQ(label.lineLeft(x, 10 * 16), x);
    label.alignX = 1;
    label.wrapWidth = 0;  // unwrapped: every line starts at the aligned block's left edge
    label.getPos(ui, x, y);
    EXPECT_EQ(label.lineLeft(x, 6 * 16), 800 - 20 - 10 * 16);
}

TEST(WrapText, BreaksAtTheLastFittingSpace) {
    using V = std::vector<std::string>;
    EXPECT_EQ(gui::wrapText("aaa bbb ccc", 7), (V{"aaa bbb", "ccc"}));
    EXPECT_EQ(gui::wrapText("aaa bbb ccc", 8), (V{"aaa bbb", "ccc"}));
    EXPECT_EQ(gui::wrapText("aaa bbb ccc", 6), (V{"aaa", "bbb", "ccc"}));
    EXPECT_EQ(gui::wrapText("aaa bbb ccc", 11), (V{"aaa bbb ccc"}));
    EXPECT_EQ(gui::wrapText("ab\ncd ef", 4), (V{"ab", "cd", "ef"}));
    EXPECT_EQ(gui::wrapText("ab\n\ncd", 0), (V{"ab", "", "cd"}));
}

TEST(WrapText, AWordLongerThanALineIsBrokenHard) {
    using V = std::vector<std::string>;
    EXPECT_EQ(gui::wrapText("abcdefghij", 4), (V{"abcd", "efgh", "ij"}));
    EXPECT_EQ(gui::wrapText("to abcdefghij x", 4), (V{"to", "abcd", "efgh", "ij x"}));
    EXPECT_EQ(gui::wrapText("abc", 1), (V{"a", "b", "c"}));
}

TEST_F(TextTest, AWrapWidthNarrowerThanOneCharacterStillEnds) {
    label.setText("abc def");
    label.wrapWidth = 5;
    EXPECT_EQ(label.lines(ui).size(), 6u);  // one character a line; the space is a break
}

}  // namespace

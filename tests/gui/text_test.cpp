#include "FakeDesktop.h"

#include "gui/Text.h"

#include <gtest/gtest.h>

using guitest::posOf;

namespace {

class TextTest : public guitest::GuiTest {
protected:
    gui::Text label;  // 8 x 8 font cells at scale 2: 16 x 16 glyphs in 24-pixel lines
};

TEST_F(TextTest, SizeIsTheLongestLineOrTheWrapWidthByTheLineCount) {
    struct Case {
        const char* text;
        int scale, wrapWidth;
        glm::ivec2 size;
    } cases[] = {
        {"one\nthree\nxy", 2, 0, {5 * 16, 3 * 24}},
        {"one\nthree\nxy", 3, 0, {5 * 24, 3 * 36}},
        {"", 3, 0, {0, 36}},
        {"a\tb", 2, 0, {6 * 16, 24}},  // a tab is four spaces
        {"short", 2, 400, {400, 24}},  // wrapped text is as wide as its wrap width
        {"the quick brown fox jumps over the lazy dog and on", 2, 400, {400, 2 * 24}},
        {"abcdefghij", 2, 80, {80, 2 * 24}},  // five characters a line
        {"abcdefghij", 2, 79, {79, 3 * 24}},  // four
        {"abc def", 2, 5, {5, 6 * 24}},  // narrower than a character: one a line, and it ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        label.setText(c.text);
        label.scale = c.scale;
        label.wrapWidth = c.wrapWidth;
        EXPECT_EQ(guitest::sizeOf(label, ui), c.size);
    }
}

TEST(WrapText, BreaksAtTheLastFittingSpaceOrHardInsideALongWord) {
    using V = std::vector<std::string>;
    struct Case {
        const char* text;
        int charsPerLine;
        V lines;
    } cases[] = {
        {"aaa bbb ccc", 7, {"aaa bbb", "ccc"}},
        {"aaa bbb ccc", 8, {"aaa bbb", "ccc"}},
        {"aaa bbb ccc", 6, {"aaa", "bbb", "ccc"}},
        {"aaa bbb ccc", 11, {"aaa bbb ccc"}},
        {"ab\ncd ef", 4, {"ab", "cd", "ef"}},
        {"ab\n\ncd", 0, {"ab", "", "cd"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"to abcdefghij x", 4, {"to", "abcd", "efgh", "ij x"}},
        {"abc", 1, {"a", "b", "c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(gui::wrapText(c.text, c.charsPerLine), c.lines) << c.text;
}

TEST_F(TextTest, WrappedLinesAlignEachInTheWrapWidth) {
    label.setText("a line\nwith words");
    label.wrapWidth = 400;
    label.alignX = 1;
    label.x = -20;
    const int right = posOf(label, ui).x;
    ASSERT_EQ(right, 800 - 400 - 20);
    EXPECT_EQ(label.lineLeft(right, 6 * 16), 800 - 20 - 6 * 16);  // right edges meet
    label.alignX = 2;
    const int centred = posOf(label, ui).x;
    EXPECT_EQ(label.lineLeft(centred, 10 * 16), 400 - 20 - 80);  // centred about the middle
    label.alignX = 0;
    EXPECT_EQ(label.lineLeft(centred, 10 * 16), centred);
    label.alignX = 1;
    label.wrapWidth = 0;  // unwrapped: every line starts at the aligned block's left edge
    EXPECT_EQ(label.lineLeft(posOf(label, ui).x, 6 * 16), 800 - 20 - 10 * 16);
}

}  // namespace

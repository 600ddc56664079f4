// The line view over a text box: counting, reading, writing and removing lines.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "tests/ui/QtTestApp.h"
#include "ui/TextBoxLines.h"

using namespace quorvane;

namespace {

class TextBoxLinesTest : public ::testing::Test, public QtAppFirst {
protected:
    TextBoxLinesTest() { qtTestApp(); }
    QPlainTextEdit box;
    TextBoxLines lines{box};
};

TEST_F(TextBoxLinesTest, AddOnEmptyBoxEndsEveryLineWithABreak) {
    EXPECT_EQ(lines.count(), 0);
    EXPECT_EQ(lines.add("a"), 0);
    EXPECT_EQ(lines.add("b"), 1);
    EXPECT_EQ(lines.add("c"), 2);
    EXPECT_EQ(lines.count(), 3);
    EXPECT_EQ(lines.text(), "a\r\nb\r\nc\r\n");
}

TEST_F(TextBoxLinesTest, AddAfterTextWithoutFinalBreakPutsBreakFirst) {
    lines.setText("x\r\ny");
    EXPECT_EQ(lines.count(), 2);
    lines.add("z");
    EXPECT_EQ(lines.text(), "x\r\ny\r\nz");
    EXPECT_EQ(lines.count(), 3);
}

TEST_F(TextBoxLinesTest, PutOnLastLineKeepsTheFinalBreak) {
    lines.add("one");
    lines.add("two");
    lines.put(lines.count() - 1, "two...");
    EXPECT_EQ(lines.text(), "one\r\ntwo...\r\n");
    EXPECT_EQ(lines.count(), 2);
}

TEST_F(TextBoxLinesTest, PutOnEmptyBoxWithMinusOneSetsContentWithoutBreak) {
    lines.put(lines.count() - 1, "first");
    EXPECT_EQ(lines.text(), "first");
    EXPECT_EQ(lines.count(), 1);
}

TEST_F(TextBoxLinesTest, PutMinusOneWritesTheCursorLine) {
    lines.setText("a\r\nb\r\nc");
    QTextCursor cursor(box.document()->findBlockByNumber(1));
    box.setTextCursor(cursor);
    lines.put(-1, "B");
    EXPECT_EQ(lines.text(), "a\r\nB\r\nc");
}

TEST_F(TextBoxLinesTest, IndexNamingNoLineChangesNothingAndReadsEmpty) {
    lines.add("only");
    lines.put(1, "nope");  // the empty remainder after the last break is not a line
    lines.put(5, "nope");
    lines.put(-2, "nope");
    lines.remove(1);
    lines.remove(-1);
    EXPECT_EQ(lines.text(), "only\r\n");
    EXPECT_EQ(lines.get(1), "");
    EXPECT_EQ(lines.get(-1), "");
}

TEST_F(TextBoxLinesTest, DeleteRemovesLineWithItsBreak) {
    lines.add("a");
    lines.add("b");
    lines.add("c");
    lines.remove(0);
    EXPECT_EQ(lines.text(), "b\r\nc\r\n");
    EXPECT_EQ(lines.count(), 2);
    lines.setText("p\r\nq");
    lines.remove(1);  // the last line goes to the end of the content
    EXPECT_EQ(lines.text(), "p\r\n");
    EXPECT_EQ(lines.count(), 1);
}

// The one-edit batch operations leave the box exactly as the line-by-line ones do, with and
// without a final break, and when every line goes.
TEST_F(TextBoxLinesTest, BatchAddAndDeleteMatchOneLineAtATime) {
    for (const char* start : {"", "x\r\ny", "x\r\ny\r\n"}) {
        for (int removed : {0, 2, 4, 9}) {
            QPlainTextEdit otherBox;
            TextBoxLines reference{otherBox};
            lines.setText(start);
            reference.setText(start);
            lines.addLines({"a", "b"});
            reference.add("a");
            reference.add("b");
            lines.deleteFirst(removed);
            for (int i = 0; i < removed; ++i) reference.remove(0);
            EXPECT_EQ(lines.text(), reference.text()) << '"' << start << "\" removing " << removed;
            EXPECT_EQ(lines.count(), reference.count());
        }
    }
}

TEST_F(TextBoxLinesTest, GetCutsLongLinesWithoutSplittingACharacter) {
    lines.add(std::string(5000, 'x'));
    EXPECT_EQ(lines.get(0), std::string(4096, 'x'));
    // 4095 ASCII bytes then a two-byte letter: the cut falls inside it, so it is left out whole.
    lines.clear();
    lines.add(std::string(4095, 'y') + "\xC3\xA9" + "z");
    EXPECT_EQ(lines.get(0), std::string(4095, 'y'));
}

TEST_F(TextBoxLinesTest, TextKeepsUtf8AndNoBreakSpaces) {
    lines.setText("Jos\xC3\xA9\xC2\xA0X\r\nline2");
    EXPECT_EQ(lines.get(0), "Jos\xC3\xA9\xC2\xA0X");
    EXPECT_EQ(lines.text(), "Jos\xC3\xA9\xC2\xA0X\r\nline2");
    lines.clear();
    EXPECT_EQ(lines.count(), 0);
    EXPECT_EQ(lines.text(), "");
}

}  // namespace

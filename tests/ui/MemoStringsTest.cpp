// The line view over a text box: counting, reading, writing and removing lines.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "tests/ui/QtTestApp.h"
#include "ui/MemoStrings.h"

namespace {

class MemoStringsTest : public ::testing::Test, public TQtAppFirst {
protected:
    MemoStringsTest() { QtTestApp(); }
    QPlainTextEdit box;
    TMemoStrings lines{box};
};

TEST_F(MemoStringsTest, AddOnEmptyBoxEndsEveryLineWithABreak) {
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Add("a"), 0);
    EXPECT_EQ(lines.Add("b"), 1);
    EXPECT_EQ(lines.Add("c"), 2);
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Text(), "a\r\nb\r\nc\r\n");
}

TEST_F(MemoStringsTest, AddAfterTextWithoutFinalBreakPutsBreakFirst) {
    lines.SetText("x\r\ny");
    EXPECT_EQ(lines.Count(), 2);
    lines.Add("z");
    EXPECT_EQ(lines.Text(), "x\r\ny\r\nz");
    EXPECT_EQ(lines.Count(), 3);
}

TEST_F(MemoStringsTest, PutOnLastLineKeepsTheFinalBreak) {
    lines.Add("one");
    lines.Add("two");
    lines.Put(lines.Count() - 1, "two...");
    EXPECT_EQ(lines.Text(), "one\r\ntwo...\r\n");
    EXPECT_EQ(lines.Count(), 2);
}

TEST_F(MemoStringsTest, PutOnEmptyBoxWithMinusOneSetsContentWithoutBreak) {
    lines.Put(lines.Count() - 1, "first");
    EXPECT_EQ(lines.Text(), "first");
    EXPECT_EQ(lines.Count(), 1);
}

TEST_F(MemoStringsTest, PutMinusOneWritesTheCursorLine) {
    lines.SetText("a\r\nb\r\nc");
    QTextCursor cursor(box.document()->findBlockByNumber(1));
    box.setTextCursor(cursor);
    lines.Put(-1, "B");
    EXPECT_EQ(lines.Text(), "a\r\nB\r\nc");
}

TEST_F(MemoStringsTest, IndexNamingNoLineChangesNothingAndReadsEmpty) {
    lines.Add("only");
    lines.Put(1, "nope");  // the empty remainder after the last break is not a line
    lines.Put(5, "nope");
    lines.Put(-2, "nope");
    lines.Delete(1);
    lines.Delete(-1);
    EXPECT_EQ(lines.Text(), "only\r\n");
    EXPECT_EQ(lines.Get(1), "");
    EXPECT_EQ(lines.Get(-1), "");
}

TEST_F(MemoStringsTest, DeleteRemovesLineWithItsBreak) {
    lines.Add("a");
    lines.Add("b");
    lines.Add("c");
    lines.Delete(0);
    EXPECT_EQ(lines.Text(), "b\r\nc\r\n");
    EXPECT_EQ(lines.Count(), 2);
    lines.SetText("p\r\nq");
    lines.Delete(1);  // the last line goes to the end of the content
    EXPECT_EQ(lines.Text(), "p\r\n");
    EXPECT_EQ(lines.Count(), 1);
}

// The one-edit batch operations leave the box exactly as the line-by-line ones do, with and
// without a final break, and when every line goes.
TEST_F(MemoStringsTest, BatchAddAndDeleteMatchOneLineAtATime) {
    for (const char* start : {"", "x\r\ny", "x\r\ny\r\n"}) {
        for (int removed : {0, 2, 4, 9}) {
            QPlainTextEdit otherBox;
            TMemoStrings reference{otherBox};
            lines.SetText(start);
            reference.SetText(start);
            lines.AddLines({"a", "b"});
            reference.Add("a");
            reference.Add("b");
            lines.DeleteFirst(removed);
            for (int i = 0; i < removed; ++i) reference.Delete(0);
            EXPECT_EQ(lines.Text(), reference.Text()) << '"' << start << "\" removing " << removed;
            EXPECT_EQ(lines.Count(), reference.Count());
        }
    }
}

TEST_F(MemoStringsTest, GetCutsLongLinesWithoutSplittingACharacter) {
    lines.Add(std::string(5000, 'x'));
    EXPECT_EQ(lines.Get(0), std::string(4096, 'x'));
    // 4095 ASCII bytes then a two-byte letter: the cut falls inside it, so it is left out whole.
    lines.Clear();
    lines.Add(std::string(4095, 'y') + "\xC3\xA9" + "z");
    EXPECT_EQ(lines.Get(0), std::string(4095, 'y'));
}

TEST_F(MemoStringsTest, TextKeepsUtf8AndNoBreakSpaces) {
    lines.SetText("Jos\xC3\xA9\xC2\xA0X\r\nline2");
    EXPECT_EQ(lines.Get(0), "Jos\xC3\xA9\xC2\xA0X");
    EXPECT_EQ(lines.Text(), "Jos\xC3\xA9\xC2\xA0X\r\nline2");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Text(), "");
}

}  // namespace

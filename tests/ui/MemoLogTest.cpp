// The activity log written into its text box: the line bound, appends on the last line, and
// lines logged by other threads reaching the box through the GUI thread's event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <thread>

#include "tests/ui/QtTestApp.h"
#include "text/Clock.h"
#include "ui/ActivityLog.h"
#include "ui/MemoLog.h"
#include "ui/MemoStrings.h"

namespace {

class FixedClock final : public TClock {
public:
    TDateTime Now() const override { return EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0); }
};

class MemoLogTest : public ::testing::Test, public TQtAppFirst {
protected:
    MemoLogTest() {
        QtTestApp();
        SetLocaleFormats(TFormatSettings::Fallback());
        BindLogToMemo(log, box);
    }
    QPlainTextEdit box;
    TMemoStrings lines{box};
    FixedClock clock;
    TActivityLog log{lines, clock};
};

TEST_F(MemoLogTest, NewLinesAreStampedAndAppendsLandOnTheLastLine) {
    log.Log("Grabbing Page for Ann", false);
    log.Log(".", true);
    log.Log("Timed Out", true);
    log.Log("", false);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Get(0), "[06/12/26 09:05:07] Grabbing Page for Ann.Timed Out");
    EXPECT_EQ(lines.Get(1), "[06/12/26 09:05:07] ");
}

TEST_F(MemoLogTest, BoundKeepsAtMost10001Lines) {
    for (int i = 0; i < 10000; ++i) lines.Add("line " + std::to_string(i));
    log.Log("10000", false);
    EXPECT_EQ(lines.Count(), 10001);
    EXPECT_EQ(lines.Get(0), "line 0");
    log.Log("10001", false);
    EXPECT_EQ(lines.Count(), 10001);
    EXPECT_EQ(lines.Get(0), "line 1");
    log.Log("+", true);  // an append adds no line but still trims one
    EXPECT_EQ(lines.Count(), 10000);
    EXPECT_EQ(lines.Get(9999), "[06/12/26 09:05:07] 10001+");
}

TEST_F(MemoLogTest, WritesScrollToTheNewestLine) {
    box.resize(300, 100);
    box.show();
    for (int i = 0; i < 200; ++i) log.Log("line", false);
    EXPECT_GT(box.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
}

TEST_F(MemoLogTest, OtherThreadsLinesArriveThroughTheEventLoopInOrder) {
    std::thread writer([this] {
        for (int i = 0; i < 50; ++i) log.Log("conn " + std::to_string(i), false);
    });
    writer.join();
    QElapsedTimer waited;
    waited.start();
    while (lines.Count() < 50 && waited.elapsed() < 5000) QCoreApplication::processEvents();
    ASSERT_EQ(lines.Count(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(lines.Get(i), "[06/12/26 09:05:07] conn " + std::to_string(i));
}

}  // namespace

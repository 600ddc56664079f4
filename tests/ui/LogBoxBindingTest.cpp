// The activity log written into its text box: the line bound, appends on the last line, and
// lines logged by other threads reaching the box through the GUI thread's event loop.
#include <gtest/gtest.h>

#include "tests/support/TestDoubles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <thread>

#include "tests/ui/QtTestApp.h"
#include "text/Clock.h"
#include "log/ActivityLog.h"
#include "ui/LogBoxBinding.h"
#include "ui/TextBoxLines.h"

using namespace quorvane;

namespace {


class LogBoxBindingTest : public ::testing::Test, public QtAppFirst {
protected:
    LogBoxBindingTest() {
        qtTestApp();
        setLocaleFormats(FormatSettings::fallback());
        bindLogToTextBox(log, box);
    }
    QPlainTextEdit box;
    TextBoxLines lines{box};
    FakeClock clock{encodeDate(2026, 12, 6) + encodeTime(9, 5, 7, 0)};
    ActivityLog log{lines, clock};
};

TEST_F(LogBoxBindingTest, NewLinesAreStampedAndAppendsLandOnTheLastLine) {
    log.log("Grabbing Page for Ann", false);
    log.log(".", true);
    log.log("Timed Out", true);
    log.log("", false);
    EXPECT_EQ(lines.count(), 2);
    EXPECT_EQ(lines.get(0), "[06/12/26 09:05:07] Grabbing Page for Ann.Timed Out");
    EXPECT_EQ(lines.get(1), "[06/12/26 09:05:07] ");
}

TEST_F(LogBoxBindingTest, BoundKeepsAtMost10001Lines) {
    for (int i = 0; i < 10000; ++i) lines.add("line " + std::to_string(i));
    log.log("10000", false);
    EXPECT_EQ(lines.count(), 10001);
    EXPECT_EQ(lines.get(0), "line 0");
    log.log("10001", false);
    EXPECT_EQ(lines.count(), 10001);
    EXPECT_EQ(lines.get(0), "line 1");
    log.log("+", true);  // an append adds no line but still trims one
    EXPECT_EQ(lines.count(), 10000);
    EXPECT_EQ(lines.get(9999), "[06/12/26 09:05:07] 10001+");
}

TEST_F(LogBoxBindingTest, WritesScrollToTheNewestLine) {
    box.resize(300, 100);
    box.show();
    for (int i = 0; i < 200; ++i) log.log("line", false);
    EXPECT_GT(box.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
}

TEST_F(LogBoxBindingTest, OtherThreadsLinesArriveThroughTheEventLoopInOrder) {
    std::thread writer([this] {
        for (int i = 0; i < 50; ++i) log.log("conn " + std::to_string(i), false);
    });
    writer.join();
    QElapsedTimer waited;
    waited.start();
    while (lines.count() < 50 && waited.elapsed() < 5000) QCoreApplication::processEvents();
    ASSERT_EQ(lines.count(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(lines.get(i), "[06/12/26 09:05:07] conn " + std::to_string(i));
}

}  // namespace

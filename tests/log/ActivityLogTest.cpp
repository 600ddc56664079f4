// The activity log: stamps, appends, the line bound, and lines from other threads.
#include <gtest/gtest.h>

#include "tests/support/TestDoubles.h"

#include <thread>

#include "text/DateTime.h"
#include "text/LineList.h"
#include "log/ActivityLog.h"

using namespace quorvane;

namespace {

// 6 December 2026 09:05:07.

class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override { setLocaleFormats(FormatSettings::fallback()); }
    void fill(int count) {
        for (int i = 0; i < count; ++i) lines.add("line " + std::to_string(i));
    }
    FakeClock clock{encodeDate(2026, 12, 6) + encodeTime(9, 5, 7, 0)};
    StringList lines;
};

TEST_F(ActivityLogTest, NewLinesAreStampedAndAppendsJoinTheLastLine) {
    ActivityLog log(lines, clock);
    log.log("tail", true);  // empty log: becomes the first line, unstamped
    log.log("Grabbing Page for Ann", false);
    log.log(".", true);
    log.log("Timed Out", true);
    log.log("", false);
    EXPECT_EQ(lines.text(), "tail\r\n[06/12/26 09:05:07] Grabbing Page for Ann.Timed Out\r\n[06/12/26 09:05:07] \r\n");
}

TEST_F(ActivityLogTest, BoundRemovesOneLinePerCall) {
    ActivityLog log(lines, clock);
    fill(LogLineBound);
    log.log("a", false);
    EXPECT_EQ(lines.count(), LogLineBound + 1);
    EXPECT_EQ(lines.get(0), "line 0");
    log.log("b", false);
    EXPECT_EQ(lines.count(), LogLineBound + 1);
    EXPECT_EQ(lines.get(0), "line 1");
    log.log(".", true);
    EXPECT_EQ(lines.count(), LogLineBound);
    EXPECT_EQ(lines.get(lines.count() - 1), "[06/12/26 09:05:07] b.");
}

TEST_F(ActivityLogTest, OtherThreadsWaitInThePendingListInCallOrder) {
    ActivityLog log(lines, clock);
    std::vector<std::string> events;
    int wakes = 0;
    log.onWake = [&] { ++wakes; };
    log.onScroll = [&] { events.push_back("scroll"); };
    log.log("Grabbing", false);
    std::thread([&] {
        log.log("access 1", false);
        log.log("access 2", false);
        log.log("!", true);
    }).join();
    EXPECT_EQ(lines.count(), 1);  // nothing written off the GUI thread
    EXPECT_EQ(log.pendingCount(), 3u);
    EXPECT_EQ(wakes, 1);  // one wake per batch
    log.log(".", true);   // lands after the pending lines, on the newest one
    EXPECT_EQ(lines.text(),
              "[06/12/26 09:05:07] Grabbing\r\n[06/12/26 09:05:07] access 1\r\n[06/12/26 09:05:07] access 2!.\r\n");
    EXPECT_EQ(events, (std::vector<std::string>{"scroll", "scroll", "scroll"}));
}

// A drain writes its batch in one go and still leaves what one call at a time would: appends
// onto the line last before the batch, onto an empty log, and removals past the lines added.
TEST_F(ActivityLogTest, DrainedBatchMatchesOneCallAtATime) {
    for (int start : {0, 1, LogLineBound - 2, LogLineBound + 3}) {
        StringList reference;
        StringList drained;
        for (int i = 0; i < start; ++i) {
            reference.add("line " + std::to_string(i));
            drained.add("line " + std::to_string(i));
        }
        ActivityLog direct(reference, clock);
        ActivityLog log(drained, clock);
        const auto calls = [](ActivityLog& target) {
            target.log(".", true);
            target.log("Timed Out", true);
            for (int i = 0; i < 5; ++i) {
                target.log("access " + std::to_string(i), false);
                if (i % 2 == 0) target.log("+", true);
            }
        };
        calls(direct);
        std::thread([&] { calls(log); }).join();
        log.drainPending();
        EXPECT_EQ(drained.text(), reference.text()) << "starting with " << start << " lines";
    }
}

// However many lines wait, the pending list holds no more than the log could show, and writing
// it gives the log it would have had without the limit.
TEST_F(ActivityLogTest, PendingListIsBoundedWithoutChangingTheResult) {
    StringList reference;
    ActivityLog direct(reference, clock);
    ActivityLog log(lines, clock);
    fill(20);
    for (int i = 0; i < 20; ++i) reference.add("line " + std::to_string(i));
    std::thread([&] {
        for (int i = 0; i < 3 * LogLineBound; ++i) {
            log.log("access " + std::to_string(i), false);
            if (i % 7 == 0) log.log("+", true);
        }
        EXPECT_LE(log.pendingCount(), 2u * (LogLineBound + 1));
    }).join();
    for (int i = 0; i < 3 * LogLineBound; ++i) {
        direct.log("access " + std::to_string(i), false);
        if (i % 7 == 0) direct.log("+", true);
    }
    log.drainPending();
    EXPECT_EQ(lines.count(), LogLineBound + 1);
    EXPECT_EQ(lines.text(), reference.text());
}

}  // namespace

// The activity log: stamps, appends, the line bound, and lines from other threads.
#include <gtest/gtest.h>

#include <thread>

#include "text/DateTime.h"
#include "text/Strings.h"
#include "ui/ActivityLog.h"

namespace {

// 6 December 2026 09:05:07.
class TFixedClock final : public TClock {
public:
    TDateTime Now() const override { return EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0); }
};

class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override { SetLocaleFormats(TFormatSettings::Fallback()); }
    void Fill(int count) {
        for (int i = 0; i < count; ++i) lines.Add("line " + std::to_string(i));
    }
    TFixedClock clock;
    TStringList lines;
};

TEST_F(ActivityLogTest, NewLinesAreStampedAndAppendsJoinTheLastLine) {
    TActivityLog log(lines, clock);
    log.Log("tail", true);  // empty log: becomes the first line, unstamped
    log.Log("Grabbing Page for Ann", false);
    log.Log(".", true);
    log.Log("Timed Out", true);
    log.Log("", false);
    EXPECT_EQ(lines.Text(), "tail\r\n[06/12/26 09:05:07] Grabbing Page for Ann.Timed Out\r\n[06/12/26 09:05:07] \r\n");
}

TEST_F(ActivityLogTest, BoundRemovesOneLinePerCall) {
    TActivityLog log(lines, clock);
    Fill(LogLineBound);
    log.Log("a", false);
    EXPECT_EQ(lines.Count(), LogLineBound + 1);
    EXPECT_EQ(lines.Get(0), "line 0");
    log.Log("b", false);
    EXPECT_EQ(lines.Count(), LogLineBound + 1);
    EXPECT_EQ(lines.Get(0), "line 1");
    log.Log(".", true);
    EXPECT_EQ(lines.Count(), LogLineBound);
    EXPECT_EQ(lines.Get(lines.Count() - 1), "[06/12/26 09:05:07] b.");
}

TEST_F(ActivityLogTest, OtherThreadsWaitInThePendingListInCallOrder) {
    TActivityLog log(lines, clock);
    std::vector<std::string> events;
    int wakes = 0;
    log.OnWake = [&] { ++wakes; };
    log.OnScroll = [&] { events.push_back("scroll"); };
    log.OnPump = [&] { events.push_back("pump"); };
    log.Log("Grabbing", false);
    std::thread([&] {
        log.Log("access 1", false);
        log.Log("access 2", false);
        log.Log("!", true);
    }).join();
    EXPECT_EQ(lines.Count(), 1);  // nothing written off the GUI thread
    EXPECT_EQ(log.PendingCount(), 3u);
    EXPECT_EQ(wakes, 1);  // one wake per batch
    log.Log(".", true);   // lands after the pending lines, on the newest one
    EXPECT_EQ(lines.Text(),
              "[06/12/26 09:05:07] Grabbing\r\n[06/12/26 09:05:07] access 1\r\n[06/12/26 09:05:07] access 2!.\r\n");
    EXPECT_EQ(events, (std::vector<std::string>{"scroll", "pump", "scroll", "scroll", "pump"}));
}

// A drain writes its batch in one go and still leaves what one call at a time would: appends
// onto the line last before the batch, onto an empty log, and removals past the lines added.
TEST_F(ActivityLogTest, DrainedBatchMatchesOneCallAtATime) {
    for (int start : {0, 1, LogLineBound - 2, LogLineBound + 3}) {
        TStringList reference;
        TStringList drained;
        for (int i = 0; i < start; ++i) {
            reference.Add("line " + std::to_string(i));
            drained.Add("line " + std::to_string(i));
        }
        TActivityLog direct(reference, clock);
        TActivityLog log(drained, clock);
        const auto calls = [](TActivityLog& target) {
            target.Log(".", true);
            target.Log("Timed Out", true);
            for (int i = 0; i < 5; ++i) {
                target.Log("access " + std::to_string(i), false);
                if (i % 2 == 0) target.Log("+", true);
            }
        };
        calls(direct);
        std::thread([&] { calls(log); }).join();
        log.DrainPending();
        EXPECT_EQ(drained.Text(), reference.Text()) << "starting with " << start << " lines";
    }
}

// However many lines wait, the pending list holds no more than the log could show, and writing
// it gives the log it would have had without the limit.
TEST_F(ActivityLogTest, PendingListIsBoundedWithoutChangingTheResult) {
    TStringList reference;
    TActivityLog direct(reference, clock);
    TActivityLog log(lines, clock);
    Fill(20);
    for (int i = 0; i < 20; ++i) reference.Add("line " + std::to_string(i));
    std::thread([&] {
        for (int i = 0; i < 3 * LogLineBound; ++i) {
            log.Log("access " + std::to_string(i), false);
            if (i % 7 == 0) log.Log("+", true);
        }
        EXPECT_LE(log.PendingCount(), 2u * (LogLineBound + 1));
    }).join();
    for (int i = 0; i < 3 * LogLineBound; ++i) {
        direct.Log("access " + std::to_string(i), false);
        if (i % 7 == 0) direct.Log("+", true);
    }
    log.DrainPending();
    EXPECT_EQ(lines.Count(), LogLineBound + 1);
    EXPECT_EQ(lines.Text(), reference.Text());
}

}  // namespace

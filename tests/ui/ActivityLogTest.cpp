// The activity log: stamps, appends, the line bound, and lines from other threads.
#include <gtest/gtest.h>

#include <atomic>
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

TEST_F(ActivityLogTest, ConcurrentWritersWhileTheGuiThreadDrains) {
    constexpr int Writers = 4, PerWriter = 2000;
    TActivityLog log(lines, clock);
    std::atomic<int> finished{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < Writers; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < PerWriter; ++i) log.Log(std::to_string(w) + " " + std::to_string(i), false);
            ++finished;
        });
    int guiLines = 0;
    while (finished.load() < Writers) {
        log.Log("gui", false);
        ++guiLines;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (auto& t : writers) t.join();
    log.DrainPending();
    ASSERT_LE(Writers * PerWriter + guiLines, LogLineBound);
    EXPECT_EQ(lines.Count(), Writers * PerWriter + guiLines);
    std::vector<int> last(Writers, -1);
    for (int i = 0; i < lines.Count(); ++i) {
        int w, n;
        if (std::sscanf(lines.Get(i).c_str(), "[06/12/26 09:05:07] %d %d", &w, &n) != 2) continue;
        EXPECT_GT(n, last[w]);
        last[w] = n;
    }
    for (int w = 0; w < Writers; ++w) EXPECT_EQ(last[w], PerWriter - 1);
}

}  // namespace

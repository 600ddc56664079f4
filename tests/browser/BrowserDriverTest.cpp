// Page waits on a fake control and clock: pass cadence, dots, redirects and time-outs.
#include <gtest/gtest.h>

#include "browser/BrowserDriver.h"
#include "browser/DeferredBrowser.h"
#include "tests/browser/Fakes.h"

using namespace quorvane;

namespace {

struct DriverTest : ::testing::Test {
    FakeClock clock{46362.5};
    RecordingLog log;
    FakeBrowserControl control{clock};
    BrowserDriver driver{control, log, clock};

    // Runs one wait with documents completing at the given passes; returns the log lines.
    std::vector<std::string> run(std::vector<int> plan, bool expectRedirect, int timeoutSeconds = 60)
    {
        log.lines = {"Grabbing"};
        control.planFor = [plan](const std::string&) { return plan; };
        driver.setTimeoutSeconds(timeoutSeconds);
        int ended = 0;
        driver.load("http://a/", expectRedirect, [&](WaitOutcome) { ++ended; });
        control.runPending();
        EXPECT_EQ(ended, 1);
        return log.lines;
    }
};

TEST_F(DriverTest, PassesAndDotsCountOverBothWaits)
{
    EXPECT_EQ(run({1}, false), std::vector<std::string>{"Grabbing"});
    EXPECT_EQ(control.passes, 1);  // a page completing at once still costs a pass
    control.passes = 0;
    // Pass 3 marks the first line; pass 6 is the second pass of the second wait.
    EXPECT_EQ(run({4, 6}, true), (std::vector<std::string>{"Grabbing.", "Redirecting."}));
    EXPECT_EQ(control.passes, 6);
    control.passes = 0;
    EXPECT_EQ(run({1, 5}, false).size(), 1u);
    EXPECT_EQ(control.passes, 1);
}

TEST_F(DriverTest, TimeOutIsOnlyLoggedAfterTheDots)
{
    // 60 s of 100 ms passes: the first pass found past the deadline ends the wait.
    const auto lines = run({}, false);
    EXPECT_EQ(lines.back(), "Grabbing" + std::string(control.passes / 3, '.') + "Timed Out");
    EXPECT_GE(control.passes, 600);
    EXPECT_LE(control.passes, 601);
}

TEST_F(DriverTest, OnlyATimeStrictlyPastTheDeadlineEndsTheWait)
{
    clock.value = 0;  // here ten passes land exactly on the one-second deadline
    run({}, false, 1);
    EXPECT_EQ(control.passes, 11);
}

TEST_F(DriverTest, RedirectDoneDuringFirstWaitLeavesSecondToTimeOut)
{
    const auto lines = run({1, 1}, true, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Grabbing");
    EXPECT_EQ(lines[1], "Redirecting" + std::string(control.passes / 3, '.') + "Timed Out");
    EXPECT_GE(control.passes, 11);
}

TEST_F(DriverTest, SecondWaitHasItsOwnDeadline)
{
    run({8}, true, 1);  // the first wait takes 0.8 s, the redirect never completes
    EXPECT_GE(control.passes, 18);
    EXPECT_LE(control.passes, 19);
}

TEST_F(DriverTest, AStopEndsTheWaitAndEveryLaterOneAtOnce)
{
    std::vector<WaitOutcome> outcomes;
    control.planFor = [](const std::string&) { return std::vector<int>{}; };
    control.duringPass = [&] {
        if (control.passes == 4) driver.stop();
    };
    driver.load("http://a/", false, [&](WaitOutcome outcome) { outcomes.push_back(outcome); });
    control.runPending();
    driver.load("http://b/", false, [&](WaitOutcome outcome) { outcomes.push_back(outcome); });
    std::optional<std::string> markup = "unread";
    driver.captureMarkup([&](std::optional<std::string> read) { markup = read; });
    EXPECT_EQ(outcomes, (std::vector<WaitOutcome>{WaitOutcome::Stopped, WaitOutcome::Stopped}));
    EXPECT_EQ(control.passes, 4);
    EXPECT_EQ(control.navigations.size(), 1u);
    EXPECT_EQ(markup, std::nullopt);
}

}  // namespace

// A browser made on first use: showing a page makes nothing; the first load makes it, and its
// waits run through the deferred control as through the real one.
TEST(DeferredBrowserTest, MadeAtTheFirstLoadOnlyAndDrivenThroughIt)
{
    FakeClock clock{46362.5};
    RecordingLog log;
    FakeBrowserControl* made = nullptr;
    DeferredBrowser deferred([&] {
        auto control = std::make_unique<FakeBrowserControl>(clock);
        made = control.get();
        return control;
    });
    BrowserDriver driver{deferred, log, clock};
    driver.navigate("http://board/");
    EXPECT_EQ(deferred.locationUrl(), "");
    EXPECT_FALSE(deferred.started());

    WaitOutcome outcome = WaitOutcome::TimedOut;
    driver.load("http://a/", false, [&](WaitOutcome ended) { outcome = ended; });
    ASSERT_TRUE(deferred.started());
    made->runPending();
    EXPECT_EQ(outcome, WaitOutcome::Loaded);
    EXPECT_EQ(made->navigations, std::vector<std::string>{"http://a/"});
    driver.navigate("http://board/");
    EXPECT_EQ(deferred.locationUrl(), "http://board/");
}

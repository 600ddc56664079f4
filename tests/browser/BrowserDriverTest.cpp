// Page waits on a fake control and clock: pass cadence, dots, redirects, time-outs, capture.
#include <gtest/gtest.h>

#include "browser/BrowserDriver.h"
#include "tests/browser/Fakes.h"
#include "text/Text.h"

namespace {

constexpr TDateTime Start = 46362.5;  // 6 Dec 2026, 12:00

struct DriverTest : ::testing::Test {
    TFakeClock clock{Start};
    TRecordingLog log;
    TFakeBrowserControl control{clock};
    bool pageLoaded = false;
    TBrowserDriver driver{control, log, clock, pageLoaded};

    void SetUp() override { log.Log("Grabbing Page for Ann", false); }
    void Plan(std::vector<int> passes)
    {
        control.PlanFor = [passes](const std::string&) { return passes; };
    }
};

int CountDots(const std::string& line)
{
    int dots = 0;
    for (char c : line) dots += c == '.';
    return dots;
}

TEST_F(DriverTest, PageCompletingInFirstPassCostsOnePass)
{
    Plan({1});
    driver.NavigateAndWait("http://a/", false);
    EXPECT_TRUE(pageLoaded);
    EXPECT_EQ(control.Passes, 1);
    EXPECT_EQ(control.Navigations, std::vector<std::string>{"http://a/"});
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Grabbing Page for Ann"});
}

TEST_F(DriverTest, DotsEveryThirdPassCountedOverBothWaits)
{
    Plan({4, 6});
    driver.NavigateAndWait("http://a/", true);
    EXPECT_EQ(control.Passes, 6);
    // Pass 3 marks the first line; pass 6 is the second pass of the second wait.
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"Grabbing Page for Ann.", "Redirecting."}));
}

TEST_F(DriverTest, FlagIsClearedBeforeEachWait)
{
    pageLoaded = true;
    Plan({2, 3});
    driver.NavigateAndWait("http://a/", true);
    EXPECT_EQ(control.Passes, 3);
}

TEST_F(DriverTest, TimeOutEndsTheWaitAndIsOnlyLogged)
{
    driver.SetTimeoutSeconds(1);
    Plan({});
    driver.NavigateAndWait("http://a/", false);
    EXPECT_TRUE(pageLoaded);
    // 1 s of 100 ms passes: the first pass found past the deadline ends it.
    EXPECT_GE(control.Passes, 10);
    EXPECT_LE(control.Passes, 11);
    const std::string& line = log.Lines.back();
    EXPECT_EQ(CountDots(line), control.Passes / 3);
    EXPECT_EQ(TextRight(line, 9), "Timed Out");
    EXPECT_EQ(log.Lines.size(), 1u);
}

TEST_F(DriverTest, DefaultTimeoutIsSixtySeconds)
{
    Plan({});
    EXPECT_EQ(driver.TimeoutSeconds(), 60);
    driver.NavigateAndWait("http://a/", false);
    EXPECT_GE(control.Passes, 600);
    EXPECT_LE(control.Passes, 601);
}

TEST_F(DriverTest, RedirectThatCompletedInFirstWaitLeavesSecondWaitToTimeOut)
{
    driver.SetTimeoutSeconds(1);
    Plan({1, 1});
    driver.NavigateAndWait("http://a/", true);
    ASSERT_EQ(log.Lines.size(), 2u);
    EXPECT_EQ(TextLeft(log.Lines[1], 11), "Redirecting");
    EXPECT_EQ(TextRight(log.Lines[1], 9), "Timed Out");
    EXPECT_EQ(TextPos("Timed Out", log.Lines[0]), 0);
    EXPECT_GE(control.Passes, 11);
    EXPECT_LE(control.Passes, 12);
}

TEST_F(DriverTest, SecondWaitHasItsOwnDeadline)
{
    driver.SetTimeoutSeconds(1);
    Plan({8});  // the first wait takes 0.8 s, the redirect never completes
    driver.NavigateAndWait("http://a/", true);
    // A deadline shared with the first wait would end the second one after about 0.2 s.
    EXPECT_GE(control.Passes, 18);
    EXPECT_LE(control.Passes, 19);
}

TEST_F(DriverTest, NoRedirectExpectedMeansNoSecondWait)
{
    Plan({1, 5});
    driver.NavigateAndWait("http://a/", false);
    EXPECT_EQ(control.Passes, 1);
    EXPECT_EQ(log.Lines.size(), 1u);
}

TEST_F(DriverTest, ControlCompletionSetsTheFlag)
{
    ASSERT_TRUE(control.OnDocumentComplete);
    control.OnDocumentComplete();
    EXPECT_TRUE(pageLoaded);
}

TEST_F(DriverTest, PlainNavigationDoesNotWait)
{
    driver.Navigate("http://127.0.0.1:7350/");
    EXPECT_EQ(control.Passes, 0);
    EXPECT_EQ(driver.LocationURL(), "http://127.0.0.1:7350/");
}

TEST_F(DriverTest, CaptureReadsLocationAndMarkup)
{
    EXPECT_EQ(driver.LocationURL(), "");
    control.PageFor = [](const std::string&) { return std::string("<BODY>Jos\xC3\xA9</BODY>"); };
    driver.Navigate("http://a/");
    EXPECT_EQ(driver.DocumentElementInnerHTML(), "<BODY>Jos\xC3\xA9</BODY>");
}

}  // namespace

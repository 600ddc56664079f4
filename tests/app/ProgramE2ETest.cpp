// The real program, headless, against the demo calendar: start-up from a credentials file, the
// board on port 7350 with one row per person, the access line in the log, the re-parse without
// fetching, the stop with code 0, and the refusals that end it before any window.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include "tests/support/E2EHelpers.h"
#include "text/DateTime.h"

namespace {

using namespace e2e;
using std::chrono::seconds;

const std::map<std::string, std::optional<std::string>> HeadlessEnv{
    {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};

constexpr int BoardPort = 7350;

TEST(ProgramE2ETest, HeadlessWithoutCredentialsFileSaysWhyAndExits2) {
    const fs::path dir = makeRunDir("nocred");
    Child program({QUORVANE_PROGRAM}, dir, dir / "out", dir / "err", HeadlessEnv);
    EXPECT_EQ(program.wait(seconds(20)), 2);
    EXPECT_NE(readAll(dir / "err").find("--credentials-file"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, CredentialsFileReadableByOthersIsRefusedWithExit2) {
    const fs::path dir = makeRunDir("perm");
    const fs::path file = writeCredentials(dir, "demo\nsecret\n",
                                           fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    Child program({QUORVANE_PROGRAM, "--credentials-file", file.string()}, dir, dir / "out", dir / "err", HeadlessEnv);
    EXPECT_EQ(program.wait(seconds(20)), 2);
    EXPECT_NE(readAll(dir / "err").find("owner only"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, PortInUseIsFatalWithExit1BeforeAnyPrompt) {
    const fs::path dir = makeRunDir("bind");
    const int blocker = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;  // earlier runs' connections may linger in TIME_WAIT on the port
    setsockopt(blocker, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(BoardPort);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(blocker, 1), 0);
    const fs::path file = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    Child program({QUORVANE_PROGRAM, "--credentials-file", file.string()}, dir, dir / "out", dir / "err", HeadlessEnv);
    EXPECT_EQ(program.wait(seconds(60)), 1);
    close(blocker);
    const std::string err = readAll(dir / "err");
    EXPECT_NE(err.find("Application Error: Exception EIdCouldNotBindSocket in module quorvane at "), std::string::npos)
        << err;
    EXPECT_NE(err.find("Could not bind socket. Address and port are already in use.\n"), std::string::npos);
    EXPECT_EQ(readAll(dir / "out").find("Starting"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, ServesTheBoardRefreshesWithoutFetchingAndStopsWithCode0) {
    const fs::path dir = makeRunDir("board");
    DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    const fs::path file = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    const DateTime started = clockNow();
    Child program({QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca", (dir / "ca.pem").string(),
                    "--credentials-file", file.string()},
                   dir, dir / "out", dir / "err", HeadlessEnv);
    const auto log = [&] { return readAll(dir / "out"); };

    ASSERT_TRUE(waitFor([&] { return countOf(log(), "Done") >= 1; }, seconds(180))) << log();
    const int people = peopleCount();
    EXPECT_EQ(calendar.dayViews(), people);
    EXPECT_EQ(countOf(log(), "Grabbing Page for "), people);
    EXPECT_EQ(log().find("Timed Out"), std::string::npos) << log();

    std::optional<HttpAnswer> page;
    ASSERT_TRUE(waitFor([&] { return (page = httpGet(BoardPort)).has_value(); }, seconds(30)));
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(countOf(page->body, "<tr><td bgcolor=\"#000066\" width=18%><h2>"), people);
    // The demo office always has someone in a meeting, in two, on leave and on a bank holiday.
    EXPECT_NE(page->body.find(" until "), std::string::npos);
    EXPECT_NE(page->body.find("<small>Also: "), std::string::npos);
    EXPECT_NE(page->body.find("Note: Leave"), std::string::npos);
    EXPECT_NE(page->body.find("Bank Holiday"), std::string::npos);
    EXPECT_NE(page->body.find("Jos\xC3\xA9"), std::string::npos);
    // The footer's data time is the real time at which the grab began.
    const std::string footer = page->body.substr(page->body.find("Data refreshed: ") + 16, 11);
    EXPECT_TRUE(footer == dateTimeToText("dd/mm hh:nn", started) ||
                footer == dateTimeToText("dd/mm hh:nn", addSeconds(started, 60)))
        << footer;
    const std::string access = "127.0.0.1 \"GET / HTTP/1.1\" 200 " + std::to_string(page->body.size());
    EXPECT_TRUE(waitFor([&] { return log().find(access) != std::string::npos; }, seconds(10))) << log();

    // Thirty seconds after the first refresh the next one re-parses the cached pages.
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "Done") >= 2; }, seconds(90))) << log();
    EXPECT_EQ(countOf(log(), "Updating info @ "), 2);
    EXPECT_EQ(countOf(log(), "Starting"), 1);
    EXPECT_EQ(countOf(log(), "Processing Meetings for "), 2 * people);
    EXPECT_EQ(calendar.dayViews(), people);

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(60)), 0);
    EXPECT_FALSE(httpGet(BoardPort).has_value());
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, StopDuringARefreshLetsItFinishThenEndsWithCode0) {
    const fs::path dir = makeRunDir("stop");
    DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    const fs::path file = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    Child program({QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca", (dir / "ca.pem").string(),
                    "--credentials-file", file.string()},
                   dir, dir / "out", dir / "err", HeadlessEnv);
    const auto log = [&] { return readAll(dir / "out"); };
    ASSERT_TRUE(waitFor([&] { return log().find("Grabbing Page for ") != std::string::npos; }, seconds(60))) << log();
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(120)), 0);
    // The refresh that was running when the close came ran to its end.
    EXPECT_EQ(countOf(log(), "Done"), 1) << log();
    EXPECT_EQ(countOf(log(), "Grabbing Page for "), peopleCount());
    fs::remove_all(dir);
}

}  // namespace

// The real program, headless, against the demo calendar: start-up from a credentials file, the
// board on the port given with one row per person, the access line in the log, the re-parse
// without fetching, the roster read again on SIGHUP, a display that cannot be opened, the stop
// with code 0, the refusals that end it before any window, and a missing browser engine plugin. The board's default port is held
// throughout (E2EHelpers.h): nothing here may depend on it.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>

#include "tests/support/E2EHelpers.h"
#include "text/DateTime.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

std::vector<std::string> boardArgs(const DemoCalendar& calendar, const fs::path& dir, int port,
                                   const std::vector<std::string>& extra = {}) {
    const fs::path file = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    std::vector<std::string> args{QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca",
                                  (dir / "ca.pem").string(), "--credentials-file", file.string(),
                                  "--port", std::to_string(port)};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

int rowsOf(const std::string& page) { return countOf(page, "<tr><td bgcolor=\"#000066\" width=18%><h2>"); }

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
    const int port = freePort();
    ASSERT_GT(port, 0);
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(blocker, 1), 0);
    const fs::path file = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    Child program({QUORVANE_PROGRAM, "--credentials-file", file.string(), "--port", std::to_string(port)}, dir,
                  dir / "out", dir / "err", HeadlessEnv);
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
    const int port = freePort();
    const DateTime started = clockNow();
    Child program(boardArgs(calendar, dir, port), dir, dir / "out", dir / "err", HeadlessEnv);
    const auto log = [&] { return readAll(dir / "out"); };

    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(log(), "Done") >= 1; }, seconds(180))) << outputOf(dir);
    const int people = peopleCount();
    EXPECT_EQ(calendar.dayViews(), people);
    EXPECT_EQ(countOf(log(), "Grabbing Page for "), people);
    EXPECT_EQ(log().find("Timed Out"), std::string::npos) << log();

    std::optional<HttpAnswer> page;
    ASSERT_TRUE(waitFor([&] { return (page = httpGet(port)).has_value(); }, seconds(30)));
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(rowsOf(page->body), people);
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
    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(log(), "Done") >= 2; }, seconds(90))) << outputOf(dir);
    EXPECT_EQ(countOf(log(), "Updating info @ "), 2);
    EXPECT_EQ(countOf(log(), "Starting"), 1);
    EXPECT_EQ(countOf(log(), "Processing Meetings for "), 2 * people);
    EXPECT_EQ(calendar.dayViews(), people);

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(60)), 0);
    EXPECT_FALSE(httpGet(port).has_value());
    fs::remove_all(dir);
}

// The processes whose parent is pid and whose command name holds name.
std::vector<pid_t> childrenNamed(pid_t pid, const std::string& name) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string stat = readAll(entry.path() / "stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        const std::string comm = stat.substr(stat.find('(') + 1, close - stat.find('(') - 1);
        std::istringstream rest(stat.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == pid && comm.find(name) != std::string::npos) found.push_back(std::stoi(entry.path().filename()));
    }
    return found;
}

bool alive(pid_t pid) {
    const std::string stat = readAll(fs::path("/proc") / std::to_string(pid) / "stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && stat[close + 2] != 'Z';
}

// A value of the process's environment.
std::string environmentValue(pid_t pid, const std::string& name) {
    const std::string environ = readAll(fs::path("/proc") / std::to_string(pid) / "environ");
    std::istringstream in(environ);
    for (std::string entry; std::getline(in, entry, '\0');)
        if (entry.rfind(name + "=", 0) == 0) return entry.substr(name.size() + 1);
    return {};
}

// One raw request line on 127.0.0.1:port; the answer's first bytes.
std::string rawRequest(int port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        char buffer[256];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) answer.assign(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return answer;
}

TEST(ProgramE2ETest, WithoutTheEnginesPluginTheLogInFailsInOneLineAndTheBoardRunsOn) {
    const fs::path dir = makeRunDir("noplugin");
    DemoCalendar calendar(dir);
    // The program alone in a directory of its own: no plugin beside it, nor in a library
    // directory of its tree.
    fs::create_directories(dir / "bin");
    fs::copy_file(QUORVANE_PROGRAM, dir / "bin" / "quorvane");
    std::vector<std::string> args = boardArgs(calendar, dir, freePort());
    args.front() = (dir / "bin" / "quorvane").string();
    Child program(args, dir, dir / "out", dir / "err", HeadlessEnv);
    const auto log = [&] { return readAll(dir / "out"); };
    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(log(), "] Done") >= 1; }, seconds(60))) << outputOf(dir);
    EXPECT_EQ(countOf(log(), "] Browser engine not loaded: no quorvane-webengine.so in " + (dir / "bin").string()), 1)
        << log();
    EXPECT_EQ(countOf(log(), "] Log-in failed: browser engine not loaded\n"), 1) << log();
    EXPECT_TRUE(childrenNamed(program.pid(), "QtWebEngine").empty());
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(20)), 0) << outputOf(dir);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, StopDuringAHungRefreshIsPromptAndLeavesNothingBehind) {
    const fs::path dir = makeRunDir("stop");
    // The roster as editors leave it: a byte-order mark, a comment line, a blank line at the end.
    std::ofstream(dir / "people.txt", std::ios::binary | std::ios::trunc)
        << "\xEF\xBB\xBF# the office\r\n\"Ann Example\",1001,\"A Example\"\r\n\"Ben Carter\",1002,\"B Carter\"\r\n\r\n";
    DemoCalendar calendar(dir, {"--fault", "never-complete"});
    ASSERT_GT(calendar.port, 0);
    auto env = HeadlessEnv;
    env["XDG_RUNTIME_DIR"] = std::nullopt;  // the program makes its own runtime directory
    const int port = freePort();
    Child program(boardArgs(calendar, dir, port), dir, dir / "out", dir / "err", env);
    const auto log = [&] { return readAll(dir / "out"); };
    ASSERT_TRUE(waitWhileRunning(program, [&] { return log().find("] Starting") != std::string::npos; }, seconds(60)))
        << outputOf(dir);

    // A request line holding ESC, BEL and a bare CR reaches the log inert, on a stamped line of its own.
    EXPECT_NE(rawRequest(port, "GET /\x1B[31mred\x07\rx HTTP/1.0\r\n\r\n").find(" 200 "), std::string::npos);
    const std::regex accessLine(R"(\n\[\d\d/\d\d/\d\d \d\d:\d\d:\d\d\] 127\.0\.0\.1 "GET /\\x1B\[31mred\\x07\\x0Dx HTTP/1\.0" 200 \d+\n)");
    EXPECT_TRUE(waitFor([&] { return std::regex_search(log(), accessLine); }, seconds(10))) << log();

    // The log-in loads the engine's plugin, which then starts its processes.
    std::vector<pid_t> engines;
    ASSERT_TRUE(waitFor([&] { return !(engines = childrenNamed(program.pid(), "QtWebEngine")).empty(); }, seconds(30)));
    // The engine started after the program made its runtime directory, and inherited it.
    const std::string runtimeDir = environmentValue(engines.front(), "XDG_RUNTIME_DIR");
    EXPECT_EQ(runtimeDir.rfind("/tmp/quorvane-runtime-", 0), 0u) << runtimeDir;

    // The log-in hangs; a stop ends its wait at once and the program with code 0.
    const auto stopAt = std::chrono::steady_clock::now();
    program.signal(SIGTERM);
    const std::optional<int> code = program.wait(seconds(3));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - stopAt);
    std::printf("[ figure ] stop during a hung refresh: %lld ms\n", static_cast<long long>(took.count()));
    ASSERT_EQ(code, 0) << log() << readAll(dir / "err");
    EXPECT_FALSE(runtimeDir.empty() || fs::exists(runtimeDir)) << runtimeDir;
    EXPECT_TRUE(waitFor([&] {
        for (pid_t engine : engines)
            if (alive(engine)) return false;
        return true;
    }, seconds(1)));
    EXPECT_EQ(countOf(log(), "Grabbing Page for "), 0) << log();
    EXPECT_EQ(readAll(dir / "err").find("List index"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, SighupReadsTheRosterAgainAndKeepsTheCurrentOneWhenTheFileFails) {
    const fs::path dir = makeRunDir("reload");
    DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    const std::string everyone = readAll(dir / "people.txt");
    const std::string lastLine = everyone.substr(everyone.rfind('\n', everyone.size() - 2) + 1);
    const std::string added = lastLine.substr(1, lastLine.find('"', 1) - 1);
    const int people = peopleCount();
    // Started without the last person, the roster named by --roster in another directory.
    fs::create_directories(dir / "etc");
    const fs::path roster = dir / "etc" / "roster.txt";
    std::ofstream(roster, std::ios::binary) << everyone.substr(0, everyone.size() - lastLine.size());
    fs::remove(dir / "people.txt");
    const int port = freePort();
    Child program(boardArgs(calendar, dir, port, {"--roster", roster.string(), "--bind", "127.0.0.1"}), dir,
                  dir / "out", dir / "err", HeadlessEnv);
    const auto log = [&] { return readAll(dir / "out"); };
    const auto doneCount = [&](int count) {
        return waitWhileRunning(program, [&] { return countOf(log(), "Done") >= count; }, seconds(180));
    };
    ASSERT_TRUE(doneCount(1)) << outputOf(dir);
    EXPECT_EQ(rowsOf(httpGet(port).value_or(HttpAnswer{}).body), people - 1);

    // A roster whose one line is short of a field: the line is skipped, naming it, and a roster
    // that lists nobody is refused; the board goes on with the current one.
    std::ofstream(roster, std::ios::binary | std::ios::trunc) << "\"Only A Name\"\n";
    program.signal(SIGHUP);
    ASSERT_TRUE(doneCount(2)) << outputOf(dir);
    EXPECT_EQ(countOf(log(), roster.string() + ":1: line skipped: expected three fields: name, calendar, leave tag; found 1"), 1)
        << log();
    EXPECT_EQ(countOf(log(), "Roster not reloaded, the current one is kept: " + roster.string() + ": "), 1) << log();
    EXPECT_EQ(rowsOf(httpGet(port).value_or(HttpAnswer{}).body), people - 1);

    // The whole roster: the next refresh fetches every day view and shows the person added.
    std::ofstream(roster, std::ios::binary | std::ios::trunc) << everyone;
    program.signal(SIGHUP);
    ASSERT_TRUE(doneCount(3)) << outputOf(dir);
    EXPECT_EQ(countOf(log(), "Roster reloaded from " + roster.string()), 1) << log();
    const std::string page = httpGet(port).value_or(HttpAnswer{}).body;
    EXPECT_EQ(rowsOf(page), people);
    EXPECT_NE(page.find("<h2>" + added + "</h2>"), std::string::npos) << added;
    EXPECT_EQ(calendar.dayViews(), people - 1 + people);

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(60)), 0) << outputOf(dir);
    fs::remove_all(dir);
}

TEST(ProgramE2ETest, ADisplayThatCannotBeOpenedMeansHeadlessWithOneLineSaid) {
    const fs::path dir = makeRunDir("nodisplay");
    DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    const int port = freePort();
    // A display number no X server has here.
    const std::string display = ":" + std::to_string(900 + getpid() % 90);
    Child program(boardArgs(calendar, dir, port), dir, dir / "out", dir / "err",
                  {{"DISPLAY", display}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt},
                   // the engine's notice of this variable is the caller's choice, not the program's
                   {"QTWEBENGINE_DISABLE_SANDBOX", std::nullopt}});
    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(readAll(dir / "out"), "Done") >= 1; }, seconds(180)))
        << outputOf(dir);
    EXPECT_TRUE(httpGet(port).has_value());
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(60)), 0);
    // The one line, and no noise of the graphics stack or the engine.
    EXPECT_EQ(readAll(dir / "err"), "quorvane: cannot open the display '" + display + "'; running headless\n");
    fs::remove_all(dir);
}

}  // namespace

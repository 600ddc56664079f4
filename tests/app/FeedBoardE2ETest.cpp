// The real program, headless, with a roster of iCalendar feeds only: no credentials asked for and
// no browser engine started (a web-calendar person brought in by SIGHUP logs why it is not read,
// and raises a 2-minute grab interval to the web calendar's 5);
// the last good data kept over a kill -9 and served, flagged, while the calendar is down; a
// corrupt state file logged once and ignored.
#include <gtest/gtest.h>

#include <dirent.h>
#include <set>

#include "tests/support/E2EHelpers.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

// The demo people, read from the demo calendar's feeds on port.
void writeFeedRoster(const fs::path& dir, int port) {
    std::string roster = readAll(QUORVANE_DEMO_PEOPLE_ICS);
    for (std::size_t at; (at = roster.find(":PORT/")) != std::string::npos;)
        roster.replace(at, 6, ":" + std::to_string(port) + "/");
    std::ofstream(dir / "people.txt", std::ios::binary | std::ios::trunc) << roster;
}

int feedPeople() { return countOf(readAll(QUORVANE_DEMO_PEOPLE_ICS), "/ics/"); }

// The command lines of the process's descendants, read from /proc.
std::vector<std::string> descendantCommands(pid_t root) {
    std::map<pid_t, pid_t> parentOf;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            const pid_t pid = std::atoi(entry->d_name);
            if (pid <= 0) continue;
            const std::string stat = readAll(fs::path("/proc") / entry->d_name / "stat");
            const std::size_t close = stat.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream rest(stat.substr(close + 2));
            std::string state;
            pid_t parent = 0;
            rest >> state >> parent;
            parentOf[pid] = parent;
        }
        closedir(proc);
    }
    std::set<pid_t> family{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [pid, parent] : parentOf)
            if (family.count(parent) && family.insert(pid).second) grew = true;
    }
    std::vector<std::string> commands;
    for (pid_t pid : family)
        if (pid != root) commands.push_back(readAll(fs::path("/proc") / std::to_string(pid) / "cmdline"));
    return commands;
}

bool startsEngine(pid_t root) {
    for (const std::string& command : descendantCommands(root))
        if (command.find("QtWebEngineProcess") != std::string::npos) return true;
    return false;
}

long residentKb(pid_t pid) {
    std::istringstream status(readAll(fs::path("/proc") / std::to_string(pid) / "status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct BoardRun {
    BoardRun(const fs::path& dir, int port, const std::vector<std::string>& extra = {})
        : dir(dir), program([&] {
              std::vector<std::string> args{QUORVANE_PROGRAM, "--port", std::to_string(port), "--bind", "127.0.0.1",
                                            "--state-dir", (dir / "state").string()};
              args.insert(args.end(), extra.begin(), extra.end());
              return args;
          }(), dir, dir / "out", dir / "err", HeadlessEnv) {}
    std::string log() const { return readAll(dir / "out"); }
    bool done(int count) {
        return waitWhileRunning(program, [&] { return countOf(log(), "] Done") >= count; }, seconds(120));
    }
    fs::path dir;
    Child program;
};

std::string boardJson(int port) { return httpGet(port, "/board.json").value_or(HttpAnswer{}).body; }

TEST(FeedBoardE2ETest, FeedRosterAsksNoCredentialsAndStartsNoEngine) {
    const fs::path dir = makeRunDir("feeds");
    DemoCalendar calendar(dir);
    writeFeedRoster(dir, calendar.port);
    const int port = freePort();
    BoardRun board(dir, port, {"--grab-minutes", "2"});
    ASSERT_TRUE(board.done(1)) << outputOf(dir);
    const std::string page = httpGet(port).value_or(HttpAnswer{}).body;
    EXPECT_EQ(countOf(page, "<tr><td bgcolor=\"#000066\" width=18%><h2>"), feedPeople()) << page;
    EXPECT_FALSE(startsEngine(board.program.pid())) << outputOf(dir);
    std::printf("resident after the first grab: %ld kB\n", residentKb(board.program.pid()));

    // A web-calendar person brought in: no credentials were given, so the log says why it is not read.
    std::ofstream(dir / "people.txt", std::ios::binary | std::ios::app) << "\"Web Person\",1001,\"W Person\"\n";
    board.program.signal(SIGHUP);
    ASSERT_TRUE(waitWhileRunning(board.program, [&] {
        return board.log().find("Log-in failed: no calendar user id and password") != std::string::npos;
    }, seconds(90))) << outputOf(dir);
    EXPECT_FALSE(startsEngine(board.program.pid()));
    // The web calendar is not read every 2 minutes: the interval was raised as the roster came in.
    EXPECT_NE(board.log().find("Grab interval raised to 5 minutes: the roster has web-calendar people"),
              std::string::npos) << outputOf(dir);

    board.program.signal(SIGTERM);
    EXPECT_EQ(board.program.wait(seconds(60)), 0) << outputOf(dir);
    fs::remove_all(dir);
}

TEST(FeedBoardE2ETest, LastDataServedFlaggedAfterKillWithCalendarDown) {
    const fs::path dir = makeRunDir("restart");
    const int port = freePort();
    {
        DemoCalendar calendar(dir);
        writeFeedRoster(dir, calendar.port);
        BoardRun board(dir, port, {"--page", "wall"});
        ASSERT_TRUE(board.done(1)) << outputOf(dir);
        // Written by the state file's own thread, just after the grab.
        ASSERT_TRUE(waitWhileRunning(board.program, [&] { return fs::exists(dir / "state" / "board-state.json"); },
                                     seconds(10))) << outputOf(dir);
        board.program.signal(SIGKILL);
        board.program.wait(seconds(20));
    }  // the calendar is down from here on

    BoardRun board(dir, port, {"--page", "wall"});
    ASSERT_TRUE(waitWhileRunning(board.program, [&] { return countOf(boardJson(port), "\"state\":") > 0; },
                                 seconds(30))) << outputOf(dir);
    const std::string json = boardJson(port);
    EXPECT_EQ(countOf(json, "\"state\":"), feedPeople()) << json;
    EXPECT_EQ(countOf(json, "\"state\":\"unknown\""), 0) << json;
    EXPECT_NE(json.find("\"lastGrabOk\":false"), std::string::npos) << json;  // the wall page's stale banner
    EXPECT_EQ(json.find("\"dataTime\":null"), std::string::npos) << json;
    EXPECT_EQ(countOf(board.log(), "Board state restored from "), 1) << board.log();
    fs::remove_all(dir);
}

TEST(FeedBoardE2ETest, CorruptStateFileIsLoggedOnceAndTheFirstGrabFillsTheBoard) {
    const fs::path dir = makeRunDir("corrupt");
    DemoCalendar calendar(dir);
    writeFeedRoster(dir, calendar.port);
    fs::create_directories(dir / "state");
    std::ofstream(dir / "state" / "board-state.json", std::ios::binary) << "{\"format\": \"quorvane-state\", \"vers";
    const int port = freePort();
    BoardRun board(dir, port, {"--page", "wall"});
    ASSERT_TRUE(board.done(1)) << outputOf(dir);
    EXPECT_EQ(countOf(board.log(), "Board state not restored: "), 1) << board.log();
    EXPECT_EQ(countOf(board.log(), "Board state not restored: state file " + (dir / "state").string()), 1);
    const std::string json = boardJson(port);
    EXPECT_EQ(countOf(json, "\"state\":\"unknown\""), 0) << json;
    EXPECT_NE(json.find("\"lastGrabOk\":true"), std::string::npos) << json;
    fs::remove_all(dir);
}

}  // namespace

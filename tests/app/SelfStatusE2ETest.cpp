// The real program with --self-status, headless over the demo calendar's feeds, its clock set by
// libfaketime: people's links printed by --status-links; a post through a link shown in
// /board.json and on the classic page and ended at its time; every refused post answered as it
// should be with nothing stored; two posts at once leaving one whole; a renewed link stopping the
// old one while the board runs; the statuses kept over a kill -9; a roster reload dropping a
// person's status and link.
#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "tests/support/E2EHelpers.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

constexpr const char* FakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";

// The environment of a headless board whose clock starts at the given local time (UTC).
std::map<std::string, std::optional<std::string>> boardEnv(const std::string& fakeStart) {
    std::map<std::string, std::optional<std::string>> env{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt},
        {"TZ", "UTC"}};
    if (fs::exists(FakeTimeLibrary)) {
        env["LD_PRELOAD"] = FakeTimeLibrary;
        env["FAKETIME"] = "@" + fakeStart;
        env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1";  // the server's time-outs and Qt's timers stay real
    }
    return env;
}

void writeFeedRoster(const fs::path& dir, int port) {
    std::string roster = readAll(QUORVANE_DEMO_PEOPLE_ICS);
    for (std::size_t at; (at = roster.find(":PORT/")) != std::string::npos;)
        roster.replace(at, 6, ":" + std::to_string(port) + "/");
    std::ofstream(dir / "people.txt", std::ios::binary | std::ios::trunc) << roster;
}

// One raw request on 127.0.0.1:port; the whole answer as it came.
std::string rawExchange(int port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string raw;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        char buffer[8192];
        for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) raw.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return raw;
}

std::string post(int port, const std::string& path, const std::string& body) {
    return rawExchange(port, "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                          "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

int statusOf(const std::string& answer) { return answer.size() > 12 ? std::atoi(answer.c_str() + 9) : 0; }

struct BoardRun {
    BoardRun(const fs::path& dir, int port, const std::string& fakeStart, const std::string& page)
        : dir(dir), program({QUORVANE_PROGRAM, "--port", std::to_string(port), "--bind", "127.0.0.1", "--state-dir",
                             (dir / "state").string(), "--self-status", "--page", page},
                            dir, dir / "out", dir / "err", boardEnv(fakeStart)) {}
    std::string log() const { return readAll(dir / "out"); }
    fs::path dir;
    Child program;
};

// NAME TAB URL lines of --status-links (with --renew NAME: that person's line).
std::map<std::string, std::string> statusLinks(const fs::path& dir, int port, const std::string& renew = {}) {
    std::vector<std::string> args{QUORVANE_PROGRAM, "--status-links", "--state-dir", (dir / "state").string(),
                                  "--public-url", "http://127.0.0.1:" + std::to_string(port) + "/"};
    if (!renew.empty()) args.insert(args.end(), {"--renew", renew});
    Child links(args, dir, dir / "links.out", dir / "links.err");
    EXPECT_EQ(links.wait(seconds(30)), 0) << readAll(dir / "links.err");
    std::map<std::string, std::string> paths;
    std::istringstream lines(readAll(dir / "links.out"));
    const std::string prefix = "\thttp://127.0.0.1:" + std::to_string(port);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find(prefix);
        if (tab != std::string::npos) paths[line.substr(0, tab)] = line.substr(tab + prefix.size());
    }
    return paths;
}

TEST(SelfStatusE2ETest, LinksSetStatusesThatShowEndAndSurvive) {
    const bool fake = fs::exists(FakeTimeLibrary);
    if (!fake) {
        std::printf("libfaketime not installed: the status that ends is not waited for\n");
        std::fflush(stdout);  // before the children are forked
    }
    const fs::path dir = makeRunDir("self-status");
    DemoCalendar calendar(dir);
    writeFeedRoster(dir, calendar.port);
    const int port = freePort();
    std::map<std::string, std::string> links = statusLinks(dir, port);
    ASSERT_EQ(static_cast<int>(links.size()), countOf(readAll(QUORVANE_DEMO_PEOPLE_ICS), "/ics/")) << readAll(dir / "links.out");
    std::string bensLink;
    const std::string notFound = "HTTP/1.1 404 Not Found\r\nConnection: close\r\nContent-Type: text/plain; "
                                 "charset=utf-8\r\nContent-Length: 9\r\nServer: BaLtu\r\n\r\nNot found";
    {
        BoardRun board(dir, port, "2026-12-09 11:59:00", "wall");
        ASSERT_TRUE(waitWhileRunning(board.program, [&] { return countOf(board.log(), "] Done") >= 1; }, seconds(120)))
            << board.log();
        const std::string json0 = httpGet(port, "/board.json").value_or(HttpAnswer{}).body;
        ASSERT_EQ(rawExchange(port, "GET /no/such/page HTTP/1.1\r\n\r\n"), notFound);

        // Each post, its answer, and what the board shows after it ("" where nothing may change).
        const std::string ana = links["Ann Example"], ben = links["Ben Carter"], dana = links["Dana Whitfield"];
        const std::string text81(81, 'x');
        // Ann's status ends at noon on the board's clock: the fake day's, or without libfaketime
        // the next day's (and is not waited for).
        std::string day = "2026-12-09";
        if (!fake) {
            const std::time_t tomorrow = std::time(nullptr) + 86400;
            char text[16];
            std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&tomorrow));
            day = text;
        }
        const std::string dayMonth = day.substr(8, 2) + "/" + day.substr(5, 2);
        const struct {
            std::string path, body;
            int code;
            std::string shown, answerHas;
        } cases[] = {
            {ana, "text=Working+from+home&until=" + day + "T12%3A00", 303,
             R"({"text":"Working from home","kind":"self","end":")" + day + R"(T12:00:00+00:00"})", "Location: " + ana},
            {ben, "text=On+a+site+visit&until=", 303, R"({"text":"On a site visit","kind":"self","end":null})", ""},
            {"/me/AAAAAAAAAAAAAAAAAAAAAA", "text=Guess", 404, "", "\r\n\r\nNot found"},
            {dana, "text=" + text81, 400, "", "The status is longer than 80 characters."},
            {dana, "text=a%1Bb", 400, "", "The status holds control characters."},
            {dana, "text=Late&until=2026-12-08T09%3A00", 400, "", "That time has already passed."},
            {dana, "text=Late&until=soon", 400, "", "The time is not one this page reads"},
            {dana, "text=Late&until=" + day + "T12%3A00&clear=1", 303, "", ""},  // clearing what was never set
        };
        for (const auto& c : cases) {
            const std::string answer = post(port, c.path, c.body);
            EXPECT_EQ(statusOf(answer), c.code) << c.body << "\n" << answer;
            if (!c.answerHas.empty()) {
                EXPECT_NE(answer.find(c.answerHas), std::string::npos) << answer;
            }
            if (c.code == 404) {
                EXPECT_EQ(answer.substr(answer.find("\r\n\r\n")), notFound.substr(notFound.find("\r\n\r\n")));
            }
            if (!c.shown.empty()) {
                EXPECT_TRUE(waitFor([&] { return httpGet(port, "/board.json").value_or(HttpAnswer{}).body.find(c.shown) !=
                                                  std::string::npos; }, seconds(10))) << c.shown;
            }
        }
        // Eleven changes in a minute through one link: the eleventh is refused and not stored.
        const std::string eli = links["Eli Moreau"];
        for (int i = 1; i <= 11; ++i)
            EXPECT_EQ(statusOf(post(port, eli, "text=Change+" + std::to_string(i))), i <= 10 ? 303 : 429) << i;
        // Two posts at once for one person: one of them, whole.
        const std::string fay = links["Fay Lindqvist"];
        const std::string first(80, 'A'), second(80, 'B');
        std::thread one([&] { post(port, fay, "text=" + first); });
        std::thread two([&] { post(port, fay, "text=" + second); });
        one.join();
        two.join();

        EXPECT_TRUE(waitFor([&] {
            const std::string json = httpGet(port, "/board.json").value_or(HttpAnswer{}).body;
            return json.find("Change 10") != std::string::npos &&
                   (json.find("\"" + first + "\"") != std::string::npos) != (json.find("\"" + second + "\"") != std::string::npos);
        }, seconds(10))) << httpGet(port, "/board.json").value_or(HttpAnswer{}).body;
        const std::string stored = readAll(dir / "state" / "self-status.json");
        for (const std::string& never : {text81, std::string("Guess"), std::string("Late"), std::string("Change 11")})
            EXPECT_EQ(stored.find(never), std::string::npos) << never;
        EXPECT_EQ(countOf(stored, first) + countOf(stored, second), 1) << stored;
        EXPECT_EQ(board.log().find(ana.substr(4)), std::string::npos);  // no link's token in the log
        EXPECT_NE(board.log().find("Status of Ann Example: Working from home until " + dayMonth + " 12:00, from 127.0.0.1"),
                  std::string::npos) << board.log();
        EXPECT_NE(board.log().find("Status of Dana Whitfield cleared, from 127.0.0.1"), std::string::npos);

        // A renewed link: the old one is any unknown path at once, the new one the page.
        const std::string renewed = statusLinks(dir, port, "Ben Carter")["Ben Carter"];
        bensLink = renewed;
        ASSERT_FALSE(renewed.empty());
        EXPECT_EQ(rawExchange(port, "GET " + ben + " HTTP/1.1\r\n\r\n"), notFound);
        const std::string page = rawExchange(port, "GET " + renewed + " HTTP/1.1\r\n\r\n");
        EXPECT_EQ(statusOf(page), 200);
        EXPECT_NE(page.find("On a site visit"), std::string::npos);

        // Ann's status ends at 12:00 on the board's clock, with no request to make it.
        if (fake) {
            EXPECT_TRUE(waitFor([&] {
                return httpGet(port, "/board.json").value_or(HttpAnswer{}).body.find("Working from home") == std::string::npos;
            }, seconds(90)));
        }
        board.program.signal(SIGKILL);
        board.program.wait(seconds(20));
    }
    // Started again after a kill: the statuses are there, on the classic page too; Ann's has ended.
    BoardRun board(dir, port, "2026-12-09 12:01:00", "classic");
    std::string page;
    EXPECT_TRUE(waitWhileRunning(board.program, [&] {
        page = httpGet(port, "/").value_or(HttpAnswer{}).body;
        return page.find("<small>Note: On a site visit</small>") != std::string::npos;
    }, seconds(60))) << page << board.log();
    EXPECT_NE(page.find("<small>Note: Change 10</small>"), std::string::npos) << page;
    if (fake) {
        EXPECT_EQ(page.find("Working from home"), std::string::npos) << page;
    }
    // A roster read again without Ben: his status and link go, at once.
    EXPECT_EQ(statusOf(rawExchange(port, "GET " + bensLink + " HTTP/1.1\r\n\r\n")), 200);
    std::string roster = readAll(dir / "people.txt");
    roster.erase(roster.find("\"Ben Carter\""), roster.find('\n', roster.find("\"Ben Carter\"")) + 1 - roster.find("\"Ben Carter\""));
    std::ofstream(dir / "people.txt", std::ios::binary | std::ios::trunc) << roster;
    board.program.signal(SIGHUP);
    EXPECT_TRUE(waitWhileRunning(board.program, [&] {
        return board.log().find("Own statuses and links dropped") != std::string::npos;
    }, seconds(60))) << board.log();
    EXPECT_EQ(rawExchange(port, "GET " + bensLink + " HTTP/1.1\r\n\r\n"), notFound);
    EXPECT_EQ(readAll(dir / "state" / "self-status.json").find("On a site visit"), std::string::npos);
    fs::remove_all(dir);
}

}  // namespace

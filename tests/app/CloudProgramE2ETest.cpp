// The real program, headless, over a mixed roster: Microsoft 365 and Google Workspace people read
// through quorvane-fakecloud (its recordings moved to now), a person from the demo calendar's
// iCalendar feed and one from its day views. Both pages show the expected rows; one token serves
// every Microsoft 365 person over two grabs; a throttled person's row arrives after the wait
// without holding up the others; a refused person fails alone; no secret reaches the log.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

#include "tests/support/E2EHelpers.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

const auto Env = [] {
    auto env = HeadlessEnv;
    env["TZ"] = "UTC";
    return env;
}();
const fs::path CloudData = QUORVANE_CLOUD_DATA;

// The recordings are of 2025-03-12; the fake moves them so that 09:45 UTC of that day is now.
constexpr const char* RecordedAt = "2025-03-12T09:45";

std::string curlText(const std::string& url)
{
    std::string text;
    if (FILE* pipe = popen(("curl -s --max-time 10 '" + url + "'").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

// A fixture copied readable by its owner only, text replaced where asked.
fs::path ownerOnly(const fs::path& dir, const std::string& name, const std::string& from = {}, const std::string& to = {})
{
    std::string text = readAll(CloudData / name);
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    return path;
}

struct FakeCloud {
    FakeCloud(const fs::path& dir, const std::vector<std::string>& extra)
        : child([&] {
              std::vector<std::string> args{QUORVANE_FAKECLOUD, "--data", CloudData.string(), "--recorded-at", RecordedAt};
              args.insert(args.end(), extra.begin(), extra.end());
              return args;
          }(), dir, dir / "fake.out", dir / "fake.err")
    {
        waitFor([&] { return (port = std::atoi(readAll(dir / "fake.out").c_str())) > 0; }, seconds(20));
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port); }
    std::string stats() const { return curlText(base() + "/fake/stats"); }
    Child child;
    int port = 0;
};

// The row of a person on the classic page: the status cell after the name.
std::string classicRow(const std::string& page, const std::string& name)
{
    const std::size_t at = page.find("<h2>" + name + "</h2>");
    if (at == std::string::npos) return {};
    return page.substr(at, page.find("</tr>", at) - at);
}

// The person's object in /board.json (up to the next person).
std::string jsonRow(const std::string& json, const std::string& name)
{
    const std::size_t at = json.find("{\"name\":\"" + name + "\"");
    if (at == std::string::npos) return {};
    return json.substr(at, json.find("{\"name\":", at + 1) - at);
}

struct CloudProgramE2ETest : ::testing::Test {
    fs::path dir = makeRunDir("cloud");
    DemoCalendar calendar{dir};
    FakeCloud fake{dir, {"--throttle", "dan@example.org:2", "--retry-after", "3", "--forbid", "eve@example.org"}};
    int port = freePort();

    std::vector<std::string> args(const std::vector<std::string>& extra)
    {
        const fs::path google = ownerOnly(dir, "google-service-account.json", "https://oauth2.googleapis.com/token",
                                          fake.base() + "/token");
        std::vector<std::string> all{QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca",
                                     (dir / "ca.pem").string(), "--credentials-file",
                                     writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write).string(),
                                     "--m365-credentials", ownerOnly(dir, "m365.credentials").string(),
                                     "--m365-login-url", fake.base(), "--m365-graph-url", fake.base(),
                                     "--google-service-account", google.string(), "--google-api-url", fake.base(),
                                     "--roster", (dir / "people.txt").string(), "--port", std::to_string(port)};
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    }
    void writeRoster()
    {
        std::ofstream(dir / "people.txt") << "\"Ann M\",m365:ann@example.org,\"\"\n"
                                          << "\"Dan M\",m365:dan@example.org,\"\"\n"
                                          << "\"Ben M\",m365:ben@example.org,\"\"\n"
                                          << "\"Eve M\",m365:eve@example.org,\"\"\n"
                                          << "\"Gail G\",google:gail@example.org,\"\"\n"
                                          << "\"Hugo G\",google:hugo@example.org,\"\"\n"
                                          << "\"Jose\",http://127.0.0.1:" << calendar.port << "/ics/1003.ics,\"J Alvarez\"\n"
                                          << "\"Ann Example\",1001,\"A Example\"\n";
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(CloudProgramE2ETest, ClassicPageOverAMixedRosterWithOneTokenAndAThrottledPerson)
{
    ASSERT_GT(calendar.port, 0);
    ASSERT_GT(fake.port, 0);
    writeRoster();
    Child program(args({}), dir, dir / "out", dir / "err", Env);
    const auto log = [&] { return readAll(dir / "out"); };
    // Rows come as their calendars answer: Ann's is there while Dan's waits out the throttling.
    bool annBeforeDan = false;
    std::string page;
    ASSERT_TRUE(waitWhileRunning(program, [&] {
        page = httpGet(port).value_or(HttpAnswer{}).body;
        if (classicRow(page, "Ann M").find("Design review") != std::string::npos &&
            classicRow(page, "Dan M").find("Interviews") == std::string::npos)
            annBeforeDan = true;
        return countOf(log(), "Done") >= 1;
    }, seconds(120))) << log() << readAll(dir / "err");
    EXPECT_TRUE(annBeforeDan) << page;
    page = httpGet(port).value_or(HttpAnswer{}).body;

    const struct {
        const char* name;
        std::vector<std::string> parts;
    } rows[] = {
        {"Ann M", {">Design review (Room 4) until ", ", <small>Also: Budget sync until ",
                   "<br><small>Note: Working elsewhere (Harbour Office)</small>"}},
        {"Dan M", {">Interviews (Room 2) until "}},
        {"Ben M", {"<small>Note: Ben on leave</small>"}},
        {"Gail G", {">Sprint planning (Room 7) until ", "<small>Note: Working from home</small>"}},
        {"Hugo G", {"<small>Note: Out of office until ", "<small>Note: Office: Amsterdam HQ</small>"}},
        {"Jose", {"<small>Note: Leave - J Alvarez</small>"}},
        {"Ann Example", {"</h2>"}},
    };
    for (const auto& row : rows)
        for (const std::string& part : row.parts)
            EXPECT_NE(classicRow(page, row.name).find(part), std::string::npos) << row.name << ": " << part << "\n" << page;
    EXPECT_EQ(countOf(log(), "Calendar of Eve M: HTTP 403 (ErrorAccessDenied)"), 1) << log();
    EXPECT_NE(log().find("Logged in"), std::string::npos);  // the day-view person's web calendar

    // A second grab (the roster read again): the Microsoft 365 token of the first is reused.
    program.signal(SIGHUP);
    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(log(), "Done") >= 2; }, seconds(120))) << log();
    EXPECT_EQ(countOf(log(), "Grabbing Calendar for Ann M"), 2) << log();
    const std::string stats = fake.stats();
    EXPECT_NE(stats.find("\"m365TokenRequests\":1,"), std::string::npos) << stats;
    EXPECT_NE(stats.find("\"refused\":0"), std::string::npos) << stats << readAll(dir / "fake.err");

    // Nothing secret in the log or on the page.
    const std::string everything = log() + readAll(dir / "err") + page;
    for (const char* secret : {"test-secret", "client_secret", "PRIVATE KEY", "m365-token-", "google-token-", "Bearer"})
        EXPECT_EQ(everything.find(secret), std::string::npos) << secret;
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(30)), 0);
}

TEST_F(CloudProgramE2ETest, WallPageDataOverAMixedRoster)
{
    ASSERT_GT(calendar.port, 0);
    ASSERT_GT(fake.port, 0);
    writeRoster();
    Child program(args({"--page", "wall"}), dir, dir / "out", dir / "err", Env);
    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(readAll(dir / "out"), "Done") >= 1; }, seconds(120)))
        << readAll(dir / "out") << readAll(dir / "err");
    const std::string json = httpGet(port, "/board.json").value_or(HttpAnswer{}).body;
    const struct {
        const char* name;
        std::vector<std::string> parts;
    } rows[] = {
        {"Ann M", {"\"state\":\"meeting\"", "{\"description\":\"Budget sync\",", ",\"tentative\":true}",
                   "{\"text\":\"Working elsewhere (Harbour Office)\",\"kind\":\"working\"}"}},
        {"Ben M", {"\"state\":\"leave\"", "{\"text\":\"Ben on leave\",\"kind\":\"leave\"}"}},
        {"Eve M", {"\"state\":\"unknown\""}},
        {"Gail G", {"\"state\":\"meeting\"", "{\"text\":\"Working from home\",\"kind\":\"working\"}"}},
        {"Hugo G", {"\"state\":\"leave\"", "\"kind\":\"leave\"", "{\"text\":\"Office: Amsterdam HQ\",\"kind\":\"working\"}"}},
        {"Jose", {"{\"text\":\"Leave - J Alvarez\",\"kind\":\"leave\"}"}},
        {"Ann Example", {"\"state\":"}},
    };
    for (const auto& row : rows)
        for (const std::string& part : row.parts)
            EXPECT_NE(jsonRow(json, row.name).find(part), std::string::npos) << row.name << ": " << part << "\n" << json;
    // Only the tentative meeting says so.
    EXPECT_EQ(countOf(json, "\"tentative\""), 1) << json;
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(30)), 0);
}

}  // namespace

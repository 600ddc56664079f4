// The real program run as a service would be, headless against the demo calendar: systemd played by
// a datagram socket in NOTIFY_SOCKET (ready, status after the grab, the watchdog, stopping),
// /livez, /readyz before and after the grab, /metrics read by prometheus_client's parser, and
// --allow refusing a second loopback address and IPv6 loopback with 403 and an access line; its
// output one stream given as systemd's journal (JOURNAL_STREAM): no stamps, every line's priority,
// the browser engine's noise at debug and never inside the program's lines.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/un.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <sys/stat.h>

#include "text/Instant.h"  // the namespace the helpers use
#include "tests/support/E2EHelpers.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

// One GET to the board from a chosen loopback source address ("127.0.0.2", "::1"); the whole
// answer as it came, empty when no connection could be made.
std::string rawGetFrom(const std::string& source, int port, const std::string& target = "/") {
    const bool v6 = source.find(':') != std::string::npos;
    const int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return {};
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_storage from{}, to{};
    socklen_t size = 0;
    if (v6) {
        auto& f = reinterpret_cast<sockaddr_in6&>(from);
        auto& t = reinterpret_cast<sockaddr_in6&>(to);
        f.sin6_family = t.sin6_family = AF_INET6;
        inet_pton(AF_INET6, source.c_str(), &f.sin6_addr);
        inet_pton(AF_INET6, "::1", &t.sin6_addr);
        t.sin6_port = htons(static_cast<uint16_t>(port));
        size = sizeof(sockaddr_in6);
    } else {
        auto& f = reinterpret_cast<sockaddr_in&>(from);
        auto& t = reinterpret_cast<sockaddr_in&>(to);
        f.sin_family = t.sin_family = AF_INET;
        inet_pton(AF_INET, source.c_str(), &f.sin_addr);
        inet_pton(AF_INET, "127.0.0.1", &t.sin_addr);
        t.sin_port = htons(static_cast<uint16_t>(port));
        size = sizeof(sockaddr_in);
    }
    std::string raw;
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), size) == 0 &&
        connect(fd, reinterpret_cast<sockaddr*>(&to), size) == 0) {
        const std::string request = "GET " + target + " HTTP/1.1\r\nHost: board\r\n\r\n";
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[8192];
        for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) raw.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return raw;
}

// systemd's notification socket: every datagram received so far.
class NotifySocket {
public:
    explicit NotifySocket(const fs::path& path) : path_(path.string()) {
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() { close(fd_); }
    bool bound() const { return bound_; }
    const std::string& path() const { return path_; }
    // Every message so far, one a line.
    const std::string& messages() {
        char buffer[4096];
        for (ssize_t got; (got = recv(fd_, buffer, sizeof buffer, 0)) > 0;)
            messages_.append(buffer, static_cast<size_t>(got)).append("\n");
        return messages_;
    }
    bool has(const std::string& text) { return messages().find(text) != std::string::npos; }

private:
    std::string path_;
    int fd_ = -1;
    bool bound_ = false;
    std::string messages_;
};

// Families and samples as prometheus_client's parser reads them: "name{k=v,...} value" lines.
std::string parsedByPrometheus(const fs::path& file) {
    const std::string script = R"(
import sys
from prometheus_client.parser import text_string_to_metric_families
for family in text_string_to_metric_families(open(sys.argv[1]).read()):
    print("family " + family.name + " " + family.type)
    for s in family.samples:
        labels = ",".join(k + "=" + v for k, v in sorted(s.labels.items()))
        print(s.name + "{" + labels + "} " + repr(s.value))
)";
    const fs::path scriptFile = file.parent_path() / "parse.py";
    std::ofstream(scriptFile) << script;
    std::FILE* pipe = popen(("/usr/bin/python3 " + scriptFile.string() + " " + file.string() + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << out;
    return out;
}

double sampleValue(const std::string& parsed, const std::string& sample) {
    const size_t at = parsed.find("\n" + sample + " ");
    if (at == std::string::npos) return -1;
    return std::atof(parsed.c_str() + at + 1 + sample.size() + 1);
}

TEST(ServiceE2ETest, NotifiesSystemdAnswersHealthAndMetricsAndRefusesClientsOutsideTheRanges) {
    const fs::path dir = makeRunDir("service");
    DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    NotifySocket systemd(dir / "notify");
    ASSERT_TRUE(systemd.bound());
    const int port = freePort();
    const fs::path credentials = writeCredentials(dir, "demo\nsecret\n", fs::perms::owner_read | fs::perms::owner_write);
    // The journal's stream: standard output and error, one file named by device and inode.
    std::ofstream(dir / "out").close();
    struct stat stream {};
    ASSERT_EQ(stat((dir / "out").c_str(), &stream), 0);
    Child program({QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca", (dir / "ca.pem").string(),
                   "--credentials-file", credentials.string(), "--port", std::to_string(port), "--allow",
                   "127.0.0.1/32"},
                  dir, dir / "out", dir / "out",
                  {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt},
                   {"NOTIFY_SOCKET", systemd.path()}, {"WATCHDOG_USEC", "400000"},
                   {"JOURNAL_STREAM", std::to_string(stream.st_dev) + ":" + std::to_string(stream.st_ino)}});
    const auto log = [&] { return readAll(dir / "out"); };

    ASSERT_TRUE(waitWhileRunning(program, [&] { return systemd.has("READY=1"); }, seconds(60))) << log();
    // Listening before the first grab has stored anything: alive, not ready.
    const std::optional<HttpAnswer> early = httpGet(port, "/readyz");
    ASSERT_TRUE(early.has_value());
    if (log().find("Done") == std::string::npos) {
        EXPECT_EQ(early->status, 503);
        EXPECT_EQ(early->body, "no grab has stored a calendar yet");
    }

    ASSERT_TRUE(waitWhileRunning(program, [&] { return countOf(log(), "Done") >= 1; }, seconds(180))) << log();
    EXPECT_TRUE(waitFor([&] { return systemd.has("STATUS=Last grab ok at "); }, seconds(10))) << systemd.messages();
    EXPECT_TRUE(systemd.has("WATCHDOG=1")) << systemd.messages();

    const std::optional<HttpAnswer> live = httpGet(port, "/livez");
    const std::optional<HttpAnswer> ready = httpGet(port, "/readyz");
    const std::optional<HttpAnswer> metrics = httpGet(port, "/metrics");
    ASSERT_TRUE(live && ready && metrics);
    EXPECT_EQ(live->status, 200);
    EXPECT_EQ(live->body, "ok");
    EXPECT_EQ(ready->status, 200) << ready->body;
    EXPECT_EQ(metrics->status, 200);
    EXPECT_NE(metrics->head.find("\r\nContent-Type: text/plain; version=0.0.4\r\n"), std::string::npos) << metrics->head;

    std::ofstream(dir / "metrics.txt") << metrics->body;
    const std::string parsed = "\n" + parsedByPrometheus(dir / "metrics.txt");
    for (const char* family : {"quorvane_build_info gauge", "quorvane_grabs counter", "quorvane_person_fetches counter",
                               "quorvane_last_grab_success_timestamp_seconds gauge", "quorvane_data_age_seconds gauge",
                               "quorvane_http_requests counter", "quorvane_http_connections_open gauge",
                               "quorvane_fetch_duration_seconds histogram"})
        EXPECT_NE(parsed.find(std::string("\nfamily ") + family + "\n"), std::string::npos) << family << parsed;
    EXPECT_EQ(sampleValue(parsed, "quorvane_grabs_total{result=ok}"), 1) << parsed;
    EXPECT_GE(sampleValue(parsed, "quorvane_http_requests_total{code=200}"), 2) << parsed;
    EXPECT_EQ(sampleValue(parsed, "quorvane_person_fetches_total{result=ok,source=daypage}"), peopleCount()) << parsed;
    EXPECT_EQ(sampleValue(parsed, "quorvane_fetch_duration_seconds_count{}"), peopleCount()) << parsed;
    EXPECT_GE(sampleValue(parsed, "quorvane_data_age_seconds{}"), 0) << parsed;
    // No person's name in the metrics.
    std::istringstream roster(readAll(dir / "people.txt"));
    for (std::string line; std::getline(roster, line);) {
        if (line.empty() || line[0] != '"') continue;
        const std::string name = line.substr(1, line.find('"', 1) - 1);
        EXPECT_EQ(metrics->body.find(name), std::string::npos) << name;
    }

    // --allow 127.0.0.1/32: the page for 127.0.0.1, 403 for a second loopback address and for ::1.
    EXPECT_EQ(rawGetFrom("127.0.0.1", port).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    const std::string refused = rawGetFrom("127.0.0.2", port);
    EXPECT_EQ(refused.rfind("HTTP/1.1 403 Forbidden\r\n", 0), 0u) << refused;
    EXPECT_EQ(refused.substr(refused.find("\r\n\r\n") + 4), "Forbidden");
    EXPECT_TRUE(waitFor([&] { return log().find("127.0.0.2 \"\" 403 9") != std::string::npos; }, seconds(10))) << log();
    const std::string v6 = rawGetFrom("::1", port);
    if (!v6.empty()) {
        EXPECT_EQ(v6.rfind("HTTP/1.1 403 Forbidden\r\n", 0), 0u) << v6;
    }

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(60)), 0);
    EXPECT_TRUE(systemd.has("STOPPING=1")) << systemd.messages();

    // "journalctl -p warning" shows the problems only: this run has none; the engine's messages
    // are debug lines of their own.
    const std::regex stamp("^<[0-9]>\\[[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\] ");
    const std::regex priority("^<[3467]>.*");
    std::istringstream journal(log());
    for (std::string line; std::getline(journal, line);) {
        EXPECT_TRUE(std::regex_match(line, priority)) << line;
        EXPECT_FALSE(std::regex_search(line, stamp)) << line;
        EXPECT_NE(line.rfind("<3>", 0), 0u) << line;
        EXPECT_NE(line.rfind("<4>", 0), 0u) << line;
        for (const char* noise : {"WebEngineContext", "CertVerifyProc", "cert_verify", "webenginecontext"})
            if (line.find(noise) != std::string::npos) {
                EXPECT_EQ(line.rfind("<7>", 0), 0u) << line;
            }
    }
    EXPECT_GE(countOf(log(), "\n<6>Done\n"), 1) << log();
    fs::remove_all(dir);
}

}  // namespace

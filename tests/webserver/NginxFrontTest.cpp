// nginx in front of the board with examples/deploy/nginx-board.conf: the classic page and the wall
// page with its data pass through byte for byte, each path its own copy, and a burst of screens
// costs the board about one request a second. Starts nginx as this test's own process in a
// temporary folder; skipped when nginx is not installed (scripts/setup installs it, and
// scripts/test counts a skip as a failure of the set-up).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ServerTestSupport.h"
#include "pages/BoardRequestHandler.h"
#include "tests/support/FreePort.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

constexpr int BurstRequests = 1000;
constexpr int BurstClients = 8;

std::string nginxProgram() {
    for (const char* path : {"/usr/sbin/nginx", "/usr/local/sbin/nginx", "/usr/bin/nginx"})
        if (access(path, X_OK) == 0) return path;
    return {};
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every occurrence of from replaced; the example file must hold it (else the test is stale).
void substitute(std::string& text, const std::string& from, const std::string& to) {
    ASSERT_NE(text.find(from), std::string::npos) << "the example no longer holds \"" << from << "\"";
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

std::string body(const std::string& response) {
    const std::size_t blank = response.find("\r\n\r\n");
    return blank == std::string::npos ? std::string() : response.substr(blank + 4);
}

class NginxFrontTest : public ::testing::Test {
protected:
    void SetUp() override {
        nginx_ = nginxProgram();
        if (nginx_.empty()) GTEST_SKIP() << "nginx is not installed";
        char folder[] = "/tmp/quorvane-nginx-front.XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        dir_ = folder;
        for (const char* sub : {"cache", "tmp"}) fs::create_directory(dir_ / sub);
        // nginx's workers drop root to another user; they need to reach the cache and temp folders.
        for (const char* sub : {"", "cache", "tmp"}) chmod((dir_ / sub).c_str(), 0777);

        setLocaleFormats(FormatSettings::fallback());
        fragment_.editFragment("<table><tr><td>Person 1</td><td>In</td></tr></table>%NOW</body></html>");
    }

    // The board's server on loopback, serving as the program does with the given page settings.
    void startBoard(PageSettings pages = {}) {
        handler_ = std::make_unique<BoardRequestHandler>(fragment_, clock_, log_, pages);
        server_.setDefaultPort(0);
        server_.bindings().push_back({"127.0.0.1", 0, IpVersion::IPv4});
        server_.setHandler([this](const HttpRequest& request, HttpResponse& response) {
            handler_->serve(request, response);
            served_.fetch_add(1);
        });
        server_.setActive(true);
        boardPort_ = server_.boundPort(0);
    }

    void TearDown() override {
        if (nginxPid_ > 0) {
            kill(nginxPid_, SIGTERM);
            waitpid(nginxPid_, nullptr, 0);
        }
        if (server_.active()) server_.setActive(false);
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    // Writes nginx.conf around the example, with its ports and paths moved here, and starts nginx.
    void startNginx() {
        std::string site = readFile(fs::path(QUORVANE_TEST_DATA) / "../../examples/deploy/nginx-board.conf");
        ASSERT_FALSE(site.empty()) << "examples/deploy/nginx-board.conf not found";
        frontPort_ = freePort();
        substitute(site, "listen 8080;", "listen 127.0.0.1:" + std::to_string(frontPort_) + ";");
        substitute(site, "server 127.0.0.1:7350;", "server 127.0.0.1:" + std::to_string(boardPort_) + ";");
        substitute(site, "/var/cache/nginx/quorvane-board", (dir_ / "cache").string());
        substitute(site, "/var/log/nginx/quorvane-board.access.log", (dir_ / "access.log").string());
        std::ofstream(dir_ / "board.conf") << site;
        const std::string d = dir_.string();
        std::ofstream(dir_ / "nginx.conf")
            << "worker_processes 2;\ndaemon off;\npid " << d << "/nginx.pid;\nerror_log " << d
            << "/error.log warn;\nevents { worker_connections 1024; }\nhttp {\n"
            << "  client_body_temp_path " << d << "/tmp/body;\n  proxy_temp_path " << d << "/tmp/proxy;\n"
            << "  fastcgi_temp_path " << d << "/tmp/fastcgi;\n  uwsgi_temp_path " << d << "/tmp/uwsgi;\n"
            << "  scgi_temp_path " << d << "/tmp/scgi;\n  include " << d << "/board.conf;\n}\n";
        nginxPid_ = fork();
        ASSERT_GE(nginxPid_, 0);
        if (nginxPid_ == 0) {
            execl(nginx_.c_str(), nginx_.c_str(), "-p", d.c_str(), "-e", (d + "/error.log").c_str(), "-c",
                  (d + "/nginx.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // Up once it answers; the answers while it starts are not counted by the tests.
        for (int i = 0; i < 100; ++i) {
            if (sendRequest(frontPort_, "GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 1000).bytes.find("HTTP/1.1 200") == 0)
                return;
            int status = 0;
            ASSERT_EQ(waitpid(nginxPid_, &status, WNOHANG), 0) << "nginx ended: " << readFile(dir_ / "error.log");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << "nginx did not answer: " << readFile(dir_ / "error.log");
    }

    std::string nginx_;
    fs::path dir_;
    FakeClock clock_{boardTestTime()};
    RecordingLog log_;
    PublishedBoard fragment_;
    HttpServer server_;
    std::unique_ptr<BoardRequestHandler> handler_;
    std::atomic<int> served_{0};
    std::uint16_t boardPort_ = 0, frontPort_ = 0;
    pid_t nginxPid_ = -1;
};

TEST_F(NginxFrontTest, PagePassesThroughByteForByte) {
    startBoard();
    ASSERT_NO_FATAL_FAILURE(startNginx());
    const std::string request = "GET / HTTP/1.1\r\nHost: board\r\nConnection: close\r\n\r\n";
    const std::string direct = sendRequest(boardPort_, request).bytes;
    const std::string front = sendRequest(frontPort_, request).bytes;
    ASSERT_EQ(direct.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    ASSERT_EQ(front.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_FALSE(body(direct).empty());
    EXPECT_EQ(body(front), body(direct));
    EXPECT_NE(front.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos);
}

TEST_F(NginxFrontTest, ABurstOfScreensReachesTheBoardAboutOnceASecond) {
    startBoard();
    ASSERT_NO_FATAL_FAILURE(startNginx());
    const std::string page = body(sendRequest(boardPort_, "GET / HTTP/1.0\r\n\r\n").bytes);
    served_ = 0;
    std::atomic<int> whole{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < BurstClients; ++c)
        clients.emplace_back([&, c] {
            for (int i = c; i < BurstRequests; i += BurstClients) {
                // Screens that add a query string to defeat caches share the one copy too.
                const std::string target = i % 2 ? "/" : "/?t=" + std::to_string(i);
                const std::string answer = sendRequest(frontPort_, "GET " + target + " HTTP/1.1\r\nHost: b\r\nConnection: close\r\n\r\n").bytes;
                if (answer.rfind("HTTP/1.1 200 OK\r\n", 0) == 0 && body(answer) == page) whole.fetch_add(1);
            }
        });
    for (std::thread& t : clients) t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(whole.load(), BurstRequests);
    // A second's copy: at most one request to the board per second begun, plus the first.
    const int bound = 1 + static_cast<int>(std::ceil(seconds));
    EXPECT_LE(served_.load(), bound) << BurstRequests << " requests in " << seconds << " s";
    if (seconds <= 1.0) {
        EXPECT_LE(served_.load(), 2);
    }
}

TEST_F(NginxFrontTest, WallPageAndItsDataEachComeThroughTheCacheAsServed) {
    auto snapshot = std::make_shared<BoardSnapshot>();
    snapshot->people.push_back(PersonRow{"Person 1", {}, {}, {}});
    fragment_.publish(snapshot);
    startBoard(PageSettings{true, "Front office", false});
    ASSERT_NO_FATAL_FAILURE(startNginx());
    struct Case {
        const char* path;
        const char* contentType;
    };
    const Case cases[] = {{"/", "Content-Type: text/html; charset=utf-8\r\n"},
                          {"/board.json", "Content-Type: application/json; charset=utf-8\r\n"}};
    // Each path twice from the front: nginx asks the board at most once for the two, so the
    // second answer (at least) is its copy, and both are the board's own bytes.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string request = std::string("GET ") + c.path + " HTTP/1.1\r\nHost: wall\r\nConnection: close\r\n\r\n";
        const std::string direct = sendRequest(boardPort_, request).bytes;
        ASSERT_EQ(direct.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
        EXPECT_NE(direct.find(c.contentType), std::string::npos);
        const int before = served_.load();
        for (int round = 0; round < 2; ++round) {
            const std::string front = sendRequest(frontPort_, request).bytes;
            ASSERT_EQ(front.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << front;
            EXPECT_NE(front.find(c.contentType), std::string::npos);
            EXPECT_NE(front.find("X-Cache-Status: "), std::string::npos);
            EXPECT_EQ(body(front), body(direct));
        }
        EXPECT_LE(served_.load() - before, 1);
    }
    EXPECT_NE(body(sendRequest(frontPort_, "GET /board.json HTTP/1.0\r\n\r\n").bytes).find("\"Person 1\""), std::string::npos);
}

}  // namespace

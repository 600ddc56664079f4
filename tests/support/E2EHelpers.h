#pragma once
// Helpers of the end-to-end tests: child processes with their output in files, a plain HTTP GET
// on loopback, polling with a time limit, free ports, the demo calendar started on a free port,
// and the board's default port held for the whole run.
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/FreePort.h"

namespace quorvane {

namespace e2e {

namespace fs = std::filesystem;

inline std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline int countOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

// The environment of a headless run: no display of any kind, so the program picks its own platform.
inline const std::map<std::string, std::optional<std::string>> HeadlessEnv{
    {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};

// A child's standard output and error (files "out" and "err" in dir), for a failed expectation.
inline std::string outputOf(const fs::path& dir) {
    return "--- standard output\n" + readAll(dir / "out") + "--- standard error\n" + readAll(dir / "err");
}

// Polls until ready() holds or the limit passes; returns whether it held.
inline bool waitFor(const std::function<bool()>& ready, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return ready();
}

// A child process; its standard output and error go to files; killed when forgotten.
class Child {
public:
    Child(const std::vector<std::string>& args, const fs::path& cwd, const fs::path& out, const fs::path& err,
           const std::map<std::string, std::optional<std::string>>& env = {}) {
        pid_ = fork();
        if (pid_ == 0) {
            // Each run keeps its state in its own directory unless the test says otherwise.
            setenv("XDG_STATE_HOME", (cwd / "state").c_str(), 1);
            unsetenv("STATE_DIRECTORY");
            for (const auto& [name, value] : env) {
                if (value)
                    setenv(name.c_str(), value->c_str(), 1);
                else
                    unsetenv(name.c_str());
            }
            if (chdir(cwd.c_str()) != 0) _exit(127);
            // err the same file as out: one stream for both, as systemd connects a service's.
            if (!freopen(out.c_str(), "w", stdout)) _exit(127);
            if (err == out ? dup2(STDOUT_FILENO, STDERR_FILENO) < 0 : !freopen(err.c_str(), "w", stderr)) _exit(127);
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0 && !exitCode_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void signal(int signalNumber) const { kill(pid_, signalNumber); }
    // Whether the process is still running (reaps it when it has ended).
    bool running() {
        if (exitCode_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    std::optional<int> exitCode() const { return exitCode_; }
    pid_t pid() const { return pid_; }
    // The exit code (128 + signal when killed), or nothing when it has not ended within limit.
    std::optional<int> wait(std::chrono::seconds limit) {
        waitFor([this] {
            if (exitCode_) return true;
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode_.has_value();
        }, limit);
        return exitCode_;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// Polls like waitFor, but gives up as soon as the program has ended: a test waiting for a board
// that exited at start-up fails at once instead of at the end of its limit.
inline bool waitWhileRunning(Child& program, const std::function<bool()>& ready, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        if (!program.running()) return ready();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return ready();
}

using ::freePort;

// Holds the board's default port (7350) for a whole test binary, when it is free: the tests must
// pass however the machine uses it, and nothing of theirs may fall back on it unnoticed.
class HoldDefaultPort : public ::testing::Environment {
public:
    void SetUp() override {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(7350);
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd_, 1) != 0) {
            close(fd_);  // held by someone else already: just as good
            fd_ = -1;
        }
    }
    void TearDown() override {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};
inline ::testing::Environment* const DefaultPortHeld = ::testing::AddGlobalTestEnvironment(new HoldDefaultPort);

struct HttpAnswer {
    int status = 0;
    std::string head, body;
};

// One GET on 127.0.0.1:port; nothing when no connection could be made.
inline std::optional<HttpAnswer> httpGet(int port, const std::string& target = "/") {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return std::nullopt;
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return std::nullopt;
    }
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: e2e\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        close(fd);
        return std::nullopt;
    }
    std::string raw;
    char buffer[8192];
    for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) raw.append(buffer, static_cast<size_t>(got));
    close(fd);
    const size_t split = raw.find("\r\n\r\n");
    if (raw.size() < 12 || split == std::string::npos) return std::nullopt;
    HttpAnswer answer;
    answer.status = std::atoi(raw.c_str() + 9);
    answer.head = raw.substr(0, split);
    answer.body = raw.substr(split + 4);
    return answer;
}

// The demo calendar on a free loopback port, its certificate written to dir/ca.pem.
struct DemoCalendar {
    explicit DemoCalendar(const fs::path& dir, const std::vector<std::string>& extra = {})
        : dir(dir), child([&] {
              std::vector<std::string> args{QUORVANE_DEMOCAL, "--port", "0", "--cert-out", (dir / "ca.pem").string()};
              args.insert(args.end(), extra.begin(), extra.end());
              return args;
          }(), dir, dir / "democal.out", dir / "democal.err") {
        waitFor([this] {
            const std::string out = readAll(this->dir / "democal.out");
            if (out.find('\n') == std::string::npos) return false;
            port = std::atoi(out.c_str());
            return port > 0;
        }, std::chrono::seconds(20));
    }
    std::string host() const { return "127.0.0.1:" + std::to_string(port); }
    std::string requests() const { return readAll(dir / "democal.err"); }
    // Day views answered (the redirect's second address), counted from the request log.
    int dayViews() const { return countOf(requests(), "web=daypage"); }

    fs::path dir;
    Child child;
    int port = 0;
};

// A fresh directory holding the demo roster.
inline fs::path makeRunDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("quorvane-e2e-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(QUORVANE_DEMO_PEOPLE, dir / "people.txt");
    return dir;
}

inline fs::path writeCredentials(const fs::path& dir, const std::string& content, fs::perms perms) {
    const fs::path file = dir / "credentials";
    std::ofstream(file, std::ios::binary) << content;
    fs::permissions(file, perms);
    return file;
}

inline int peopleCount() {
    int lines = 0;
    std::istringstream in(readAll(QUORVANE_DEMO_PEOPLE));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line != "\r") ++lines;
    return lines;
}

}  // namespace e2e

}  // namespace quorvane

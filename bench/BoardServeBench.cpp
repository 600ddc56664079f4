// Serves the board page the way the program does, for load runs against another server:
// HttpServer on a port, serveBoardPage for every request, the access line going to an
// activity log that starts full (10000 lines) and is written by this main thread, as the GUI
// thread would. Writes the page it serves to a file so that another server can serve the same
// bytes.
//   quorvane_serve_bench PORT PAGE-FILE [PEOPLE [LISTEN-QUEUE]]   (listen queue: the board's 15 by default)
// Runs until SIGINT or SIGTERM, then prints the requests served and the log's line count.
// LOG_VIEW=deque in the environment gives the log a line view whose first line goes in constant
// time (as a text box's does) instead of the StringList, whose remove moves every later line.
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "text/Clock.h"
#include "text/LineList.h"
#include "log/ActivityLog.h"
#include "pages/ClassicPage.h"
#include "pages/PublishedBoard.h"
#include "webserver/HttpServer.h"

namespace {

constexpr int DefaultPeople = 25;

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

// A board fragment like the refresh writes: one row per person, the page time placeholder.
std::string sampleFragment(int people) {
    std::string text = "<table border=1 cellpadding=4><tr><th>Name</th><th>Status</th></tr>\r\n";
    for (int i = 0; i < people; ++i)
        text += "<tr><td>Person " + std::to_string(i) + "</td><td>Meeting: Weekly planning until 14:30 "
                "Also: Call with supplier until 15:00</td></tr>\r\n";
    text += "</table><p>Updated %NOW, data from 06/12 17:00</p></body></html>\r\n";
    return text;
}

// lines in a deque: removing the first is cheap.
class DequeLines final : public LineList {
public:
    int count() const override { return static_cast<int>(lines_.size()); }
    std::string get(int index) const override { return lines_.at(static_cast<std::size_t>(index)); }
    void put(int index, const std::string& text) override { lines_.at(static_cast<std::size_t>(index)) = text; }
    int add(const std::string& text) override {
        lines_.push_back(text);
        return count() - 1;
    }
    void remove(int index) override { lines_.erase(lines_.begin() + index); }
    void clear() override { lines_.clear(); }
    std::string text() const override {
        std::string text;
        for (const auto& line : lines_) text += line + "\r\n";
        return text;
    }

private:
    std::deque<std::string> lines_;
};

class NullLog final : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PORT PAGE-FILE [PEOPLE [LISTEN-QUEUE]]\n", argv[0]);
        return 2;
    }
    reloadLocaleFormats();
    const SystemClock clock;
    PublishedBoard fragment;
    fragment.editFragment(sampleFragment(argc > 3 ? std::stoi(argv[3]) : DefaultPeople));

    {
        NullLog none;
        HttpRequest request;
        HttpResponse response;
        serveBoardPage(fragment.fragment(), clock, none, request, response);
        std::ofstream(argv[2], std::ios::binary) << response.bodyText;
    }

    StringList list;
    DequeLines deque;
    const char* view = std::getenv("LOG_VIEW");
    LineList& lines = view != nullptr && std::string(view) == "deque" ? static_cast<LineList&>(deque) : list;
    for (int i = 0; i < LogLineBound; ++i) lines.add("[06/12/26 09:00:00] earlier line " + std::to_string(i));
    ActivityLog log(lines, clock);
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool woken = false;
    log.onWake = [&] {
        {
            std::lock_guard lock(wakeMutex);
            woken = true;
        }
        wake.notify_one();
    };

    std::atomic<long long> served{0};
    HttpServer server;
    server.setDefaultPort(static_cast<std::uint16_t>(std::stoi(argv[1])));
    if (argc > 4) server.setListenQueue(std::stoi(argv[4]));
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.current()->fragment, clock, log, request, response);
        served.fetch_add(1, std::memory_order_relaxed);
    });
    server.setActive(true);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::printf("serving on port %u\n", server.boundPort(0));
    std::fflush(stdout);

    while (!stopRequested) {
        bool wasWoken = false;
        {
            std::unique_lock lock(wakeMutex);
            wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return woken; });
            wasWoken = woken;
            woken = false;
        }
        // As the window does: once woken, the lines of the next few milliseconds join the batch.
        if (wasWoken) std::this_thread::sleep_for(std::chrono::milliseconds(LogDrainDelayMs));
        log.drainPending();
    }
    server.setActive(false);
    log.drainPending();
    std::printf("requests served: %lld, log lines: %d, last: %s\n", served.load(), lines.count(),
                lines.get(lines.count() - 1).c_str());
    return 0;
}

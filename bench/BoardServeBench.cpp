// Serves the board page the way the program does, for load runs against another server:
// TIdHTTPServer on a port, ServeBoardPage for every request, the access line going to an
// activity log that starts full (10000 lines) and is written by this main thread, as the GUI
// thread would. Writes the page it serves to a file so that another server can serve the same
// bytes.
//   quorvane_serve_bench PORT PAGE-FILE [PEOPLE [LISTEN-QUEUE]]   (listen queue: the board's 15 by default)
// Runs until SIGINT or SIGTERM, then prints the requests served and the log's line count.
// LOG_VIEW=deque in the environment gives the log a line view whose first line goes in constant
// time (as a text box's does) instead of the TStringList, whose Delete moves every later line.
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>

#include "text/Clock.h"
#include "text/Strings.h"
#include "ui/ActivityLog.h"
#include "webserver/BoardFragment.h"
#include "webserver/BoardPage.h"
#include "webserver/IdHTTPServer.h"

namespace {

constexpr int DefaultPeople = 25;

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

// A board fragment like the refresh writes: one row per person, the page time placeholder.
std::string SampleFragment(int people) {
    std::string text = "<table border=1 cellpadding=4><tr><th>Name</th><th>Status</th></tr>\r\n";
    for (int i = 0; i < people; ++i)
        text += "<tr><td>Person " + std::to_string(i) + "</td><td>Meeting: Weekly planning until 14:30 "
                "Also: Call with supplier until 15:00</td></tr>\r\n";
    text += "</table><p>Updated %NOW, data from 06/12 17:00</p></body></html>\r\n";
    return text;
}

// Lines in a deque: removing the first is cheap.
class TDequeLines final : public TStrings {
public:
    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Get(int index) const override { return lines_.at(static_cast<std::size_t>(index)); }
    void Put(int index, const std::string& text) override { lines_.at(static_cast<std::size_t>(index)) = text; }
    int Add(const std::string& text) override {
        lines_.push_back(text);
        return Count() - 1;
    }
    void Delete(int index) override { lines_.erase(lines_.begin() + index); }
    void Clear() override { lines_.clear(); }
    std::string Text() const override {
        std::string text;
        for (const auto& line : lines_) text += line + "\r\n";
        return text;
    }

private:
    std::deque<std::string> lines_;
};

class TNullLog final : public TLogWriter {
public:
    void Log(const std::string&, bool) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PORT PAGE-FILE [PEOPLE [LISTEN-QUEUE]]\n", argv[0]);
        return 2;
    }
    ReloadLocaleFormats();
    const TSystemClock clock;
    TBoardFragment fragment;
    fragment.Replace(SampleFragment(argc > 3 ? std::stoi(argv[3]) : DefaultPeople));

    {
        TNullLog none;
        TIdHTTPRequestInfo request;
        TIdHTTPResponseInfo response;
        ServeBoardPage(fragment.Snapshot(), clock, none, request, response);
        std::ofstream(argv[2], std::ios::binary) << response.BodyText;
    }

    TStringList list;
    TDequeLines deque;
    const char* view = std::getenv("LOG_VIEW");
    TStrings& lines = view != nullptr && std::string(view) == "deque" ? static_cast<TStrings&>(deque) : list;
    for (int i = 0; i < LogLineBound; ++i) lines.Add("[06/12/26 09:00:00] earlier line " + std::to_string(i));
    TActivityLog log(lines, clock);
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool woken = false;
    log.OnWake = [&] {
        {
            std::lock_guard lock(wakeMutex);
            woken = true;
        }
        wake.notify_one();
    };

    std::atomic<long long> served{0};
    TIdHTTPServer server;
    server.SetDefaultPort(static_cast<std::uint16_t>(std::stoi(argv[1])));
    server.SetServerSoftware(std::string(BoardServerSoftware));
    if (argc > 4) server.SetListenQueue(std::stoi(argv[4]));
    server.OnCommandGet = [&](TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
        ServeBoardPage(fragment.Snapshot(), clock, log, request, response);
        served.fetch_add(1, std::memory_order_relaxed);
    };
    server.SetActive(true);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::printf("serving on port %u\n", server.BoundPort(0));
    std::fflush(stdout);

    while (!stopRequested) {
        {
            std::unique_lock lock(wakeMutex);
            wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return woken; });
            woken = false;
        }
        log.DrainPending();
    }
    server.SetActive(false);
    log.DrainPending();
    std::printf("requests served: %lld, log lines: %d, last: %s\n", served.load(), lines.Count(),
                lines.Get(lines.Count() - 1).c_str());
    return 0;
}

#pragma once
// Pieces shared by the load and latency benchmarks: a realistic board fragment, a log writer
// that counts the access lines it passes on, and the process's resident memory.
#include <atomic>
#include <cstdint>
#include <fstream>
#include <string>

#include "text/DateTime.h"
#include "webserver/BoardPageText.h"
#include "log/LogWriter.h"

// Port of the load server, and of nginx serving the same page beside it.
constexpr int LoadServerPort = 7351;
constexpr int NginxPort = 7352;
// People on the benchmark board; a typical small office.
constexpr int BenchPeople = 12;
// A deeper backlog than the board's 15, so that wrk's connection bursts are not refused by the
// kernel before the server sees them; nginx gets the same (see bench/load).
constexpr int BenchListenQueue = 511;

// A board of people rows with the statuses a working day shows.
inline std::string benchBoardFragment(int people) {
    static const char* const statuses[] = {
        "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>",
        "&nbsp;", "Customer call until 12:00", "<small>Note: Bank Holiday</small>",
        "Interviews (Room 2) until 16:00<br><small>Note: Leaving early</small>", "Shift"};
    // The rows as the board writes them (board/BoardFragment.cpp), from the page's own text.
    std::string fragment(TableOpenLine);
    for (int i = 0; i < people; ++i) {
        fragment.append(FragmentLineBreak).append(RowOpen).append("Person " + std::to_string(i + 1));
        fragment.append(RowMiddle).append(statuses[i % 6]).append(RowClose);
    }
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen);
    fragment.append(dateTimeToText(FooterPattern, encodeDate(2026, 12, 6) + encodeTime(9, 0, 0, 0)));
    fragment.append(FooterClose).append(FragmentLineBreak).append(PageCloseLine);
    return fragment;
}

// Passes every line on and counts them: the access-log count of a run.
class CountingLogWriter final : public LogWriter {
public:
    explicit CountingLogWriter(LogWriter& next) : next_(next) {}
    void log(const std::string& text, bool append) override {
        next_.log(text, append);
        count_.fetch_add(1, std::memory_order_relaxed);
    }
    std::uint64_t count() const { return count_.load(std::memory_order_relaxed); }

private:
    LogWriter& next_;
    std::atomic<std::uint64_t> count_{0};
};

// Resident set size of this process in KB (VmRSS), or -1.
inline long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

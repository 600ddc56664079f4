#pragma once
// Pieces shared by the load and latency benchmarks: a realistic board fragment, a log writer
// that counts the access lines it passes on, and the process's resident memory.
#include <atomic>
#include <cstdint>
#include <fstream>
#include <string>

#include "log/LogWriter.h"
#include "pages/ClassicPage.h"
#include "text/DateTime.h"

namespace quorvane {

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
    const Instant day = instantOfLocal(encodeDate(2026, 12, 6));
    const auto at = [day](int hour, int minute) { return day + std::chrono::minutes(hour * 60 + minute); };
    const auto meeting = [](const std::string& text, Instant end, bool until = true) {
        MeetingStatus m;
        m.description = {text, text};
        m.end = end;
        m.showsUntil = until;
        return m;
    };
    const auto note = [](const std::string& text, NoteKind kind) { return NoteStatus{{text, text}, kind}; };
    const PersonStatus statuses[] = {
        {PersonState::Meeting, {meeting("Budget review (Room 4)", at(10, 30)), meeting("Lab meeting", at(11, 0))}, {}},
        {PersonState::Free, {}, {}},
        {PersonState::Meeting, {meeting("Customer call", at(12, 0))}, {}},
        {PersonState::Note, {}, {note("Bank Holiday", NoteKind::Holiday)}},
        {PersonState::Meeting, {meeting("Interviews (Room 2)", at(16, 0))}, {note("Leaving early", NoteKind::Early)}},
        {PersonState::Meeting, {meeting("Shift", at(17, 0), false)}, {}}};
    BoardSnapshot board;
    board.dataTime = at(9, 0);
    for (int i = 0; i < people; ++i) board.people.push_back({"Person " + std::to_string(i + 1), statuses[i % 6], {}, {}});
    return classicFragment(board, false);
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

}  // namespace quorvane

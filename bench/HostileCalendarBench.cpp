// Calendars made to cost: the CPU time of reading each one and expanding the board's day, and
// the memory the parsed calendar keeps (the person's cache between fetches) against the bytes
// fetched. Read for the dates around the day, as the board reads them, or (--whole) for all
// dates. Each case runs in a child process of its own (its peak RSS apart), ended after
// --timeout seconds (default 60). Targets: under 1 s of CPU per calendar below the 16 MiB answer
// cap, a cache of at most twice the fetched bytes.
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "calendar/ParsedCalendar.h"

namespace {

constexpr int Year = 2026, Month = 12, Day = 7;
constexpr std::size_t AnswerCap = 16 * 1024 * 1024;

const char* const Head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quorvane bench//EN\r\n";
const char* const Tail = "END:VCALENDAR\r\n";

std::string allSeconds()
{
    std::string out;
    for (int s = 0; s < 60; ++s) out += (s == 0 ? "" : ",") + std::to_string(s);
    return out;
}

std::string oneRule(const std::string& rule)
{
    return std::string(Head) + "BEGIN:VEVENT\r\nUID:hostile@bench\r\nDTSTAMP:20261101T000000Z\r\n"
           "DTSTART:20261207T080000Z\r\nDTEND:20261207T090000Z\r\nSUMMARY:Ticks\r\nRRULE:" + rule +
           "\r\nEND:VEVENT\r\n" + Tail;
}

// As many copies of event(n) as fit under the answer cap, or count of them.
std::string many(const std::function<std::string(int)>& event, int count = 0)
{
    std::string out = Head;
    for (int n = 0; count == 0 ? out.size() + 200 < AnswerCap : n < count; ++n) out += event(n);
    return out + Tail;
}

std::string dateTime(long long unixSeconds)
{
    const time_t t = static_cast<time_t>(unixSeconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

struct Case {
    const char* name;
    std::function<std::string()> text;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"one MINUTELY;BYSECOND=0..59 event, 1 h", [] { return oneRule("FREQ=MINUTELY;BYSECOND=" + allSeconds()); }},
        {"one HOURLY;BYMINUTE=0..59;BYSECOND=0..59 event, 1 h", [] {
             std::string minutes;
             for (int m = 0; m < 60; ++m) minutes += (m == 0 ? "" : ",") + std::to_string(m);
             return oneRule("FREQ=HOURLY;BYMINUTE=" + minutes + ";BYSECOND=" + allSeconds());
         }},
        {"16 MiB of MINUTELY series, 1 h each", [] {
             return many([](int n) {
                 return "BEGIN:VEVENT\r\nUID:m" + std::to_string(n) +
                        "\r\nDTSTART:20261201T080000Z\r\nDURATION:PT1H\r\nRRULE:FREQ=MINUTELY\r\nEND:VEVENT\r\n";
             });
         }},
        {"16 MiB of weekday COUNT series from 1950", [] {
             return many([](int n) {
                 return "BEGIN:VEVENT\r\nUID:c" + std::to_string(n) +
                        "\r\nDTSTART:19500102T090000Z\r\nDURATION:PT1H\r\n"
                        "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;COUNT=100000\r\nEND:VEVENT\r\n";
             });
         }},
        {"20,000 events happening now", [] {
             return many([](int n) {
                 return "BEGIN:VEVENT\r\nUID:now" + std::to_string(n) +
                        "\r\nDTSTART:20261207T080000Z\r\nDTEND:20261207T170000Z\r\nSUMMARY:Busy " +
                        std::to_string(n) + "\r\nEND:VEVENT\r\n";
             }, 20000);
         }},
        {"200,000 compact events on other days", [] {
             return many([](int n) {
                 // One every five minutes from 1 January 2025 to late November 2026.
                 return "BEGIN:VEVENT\r\nDTSTART:" + dateTime(1735718400LL + 300LL * n) +
                        "\r\nDURATION:PT1H\r\nSUMMARY:e\r\nEND:VEVENT\r\n";
             }, 200000);
         }},
    };
    return all;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double liveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// --whole: read without the dates the board shows (the parse every version has).
bool whole = false;

ParsedCalendar parseCase(const std::string& text)
{
#ifdef HOSTILE_BENCH_WHOLE_ONLY
    return ParsedCalendar::parse(text);
#else
    return whole ? ParsedCalendar::parse(text) : ParsedCalendar::parse(text, KeptDates::around(Year, Month, Day));
#endif
}

void runCase(const Case& c)
{
    const std::string text = c.text();
    malloc_trim(0);
    const double heapBefore = liveHeapBytes();
    const double begun = cpuSeconds();
    const ParsedCalendar calendar = parseCase(text);
    const double parsed = cpuSeconds();
    const double cache = liveHeapBytes() - heapBefore;
    const CalendarDay day = calendar.day(Year, Month, Day);
    const double expanded = cpuSeconds();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("| %s | %.1f MB | %.2f s | %.2f s | %.2f s | %.1f MB (%.2fx) | %ld MB | %zu | %zu |\n", c.name,
                static_cast<double>(text.size()) / 1e6, parsed - begun, expanded - parsed, expanded - begun,
                cache / 1e6, cache / static_cast<double>(text.size()), usage.ru_maxrss / 1024, day.meetings.size(),
                day.warnings.size());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    int timeoutSeconds = 60;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--timeout") == 0) timeoutSeconds = std::atoi(argv[i + 1]);
    }
    for (int i = 1; i < argc; ++i) whole = whole || std::strcmp(argv[i], "--whole") == 0;
    setenv("TZ", "Europe/London", 1);
    tzset();
    std::printf("| calendar | bytes | parse CPU | day CPU | total CPU | cache kept | peak RSS | meetings | warnings |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    for (const Case& c : cases()) {
        const pid_t child = fork();
        if (child == 0) {
            runCase(c);
            std::_Exit(0);
        }
        int status = 0;
        bool ended = false;
        for (int waited = 0; waited < timeoutSeconds * 10 && !ended; ++waited) {
            ended = waitpid(child, &status, WNOHANG) == child;
            if (!ended) poll(nullptr, 0, 100);
        }
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            std::printf("| %s | | | | over %d s (ended) | | | | |\n", c.name, timeoutSeconds);
        } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("| %s | | | | failed (status %d) | | | | |\n", c.name, status);
        }
        std::fflush(stdout);
    }
}

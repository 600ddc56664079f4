// Status composition from cached calendars: 100 people whose iCalendar data (200 events each,
// 50 of them recurring) was read at fetch time, their statuses composed at one instant, beside
// one memmem pass over the same bytes. "Cold" expands the day afresh (the first refresh after a
// fetch); "warm" takes the day kept from the previous refresh (every later 30 s refresh).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "board/CalendarStatus.h"
#include "calendar/ParsedCalendar.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"

using namespace quorvane;

namespace {

constexpr int People = 100;
constexpr int SingleEvents = 150;
constexpr int RecurringEvents = 50;
constexpr int year = 2026, month = 12, day = 7;

class SilentLog : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

std::string stamp(int year, int month, int day, int hour, int minute)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d00", year, month, day, hour, minute);
    return text;
}

// A calendar as a Google or Nextcloud export gives it: London time, descriptions, attendees.
std::string calendarText(int person)
{
    static const char* Rules[] = {"FREQ=WEEKLY;BYDAY=MO,WE,FR", "FREQ=WEEKLY;BYDAY=TU", "FREQ=DAILY;INTERVAL=1",
                                  "FREQ=MONTHLY;BYDAY=1MO", "FREQ=WEEKLY;INTERVAL=2;BYDAY=TH",
                                  "FREQ=MONTHLY;BYMONTHDAY=7", "FREQ=WEEKLY;COUNT=40;BYDAY=MO"};
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quorvane bench//EN\r\n";
    const auto event = [&](int n, const std::string& start, const std::string& end, const std::string& rule) {
        out += "BEGIN:VEVENT\r\nUID:" + std::to_string(person) + "-" + std::to_string(n) + "@bench\r\n";
        out += "DTSTAMP:20261101T120000Z\r\nDTSTART;TZID=Europe/London:" + start + "\r\n";
        out += "DTEND;TZID=Europe/London:" + end + "\r\n";
        if (!rule.empty()) out += "RRULE:" + rule + "\r\n";
        out += "SUMMARY:Meeting " + std::to_string(n) + " of person " + std::to_string(person) + "\r\n";
        out += "LOCATION:Room " + std::to_string(n % 12) + "\r\n";
        out += "DESCRIPTION:Agenda: review the open items\\, agree the next steps and owners.\r\n";
        out += "ORGANIZER;CN=Organiser:mailto:organiser@example.org\r\nSEQUENCE:0\r\nEND:VEVENT\r\n";
    };
    for (int n = 0; n < SingleEvents; ++n) {
        // Spread over two months around the day asked, a few on the day itself.
        const int dayOffset = (n * 7 + person) % 60 - 30;
        std::tm date{};
        date.tm_year = year - 1900;
        date.tm_mon = month - 1;
        date.tm_mday = day + dayOffset;
        date.tm_hour = 12;
        timegm(&date);
        const int hour = 8 + n % 9;
        event(n, stamp(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday, hour, 0),
              stamp(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday, hour, 45), "");
    }
    for (int n = 0; n < RecurringEvents; ++n) {
        const int startMonth = 1 + (n + person) % 11;
        const int hour = 8 + n % 10;
        event(SingleEvents + n, stamp(2025 + n % 2, startMonth, 5, hour, 30), stamp(2025 + n % 2, startMonth, 5, hour + 1, 0),
              Rules[n % (sizeof Rules / sizeof Rules[0])]);
    }
    return out + "END:VCALENDAR\r\n";
}

struct Fixture {
    std::vector<std::string> texts;
    std::vector<ParsedCalendar> calendars;
    Fixture()
    {
        for (int p = 0; p < People; ++p) {
            texts.push_back(calendarText(p));
            calendars.push_back(ParsedCalendar::parse(texts.back()));
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Read after main has set the zone.
Instant now()
{
    static const Instant at = instantOfLocal(encodeDate(year, month, day) + 11.5 / 24);
    return at;
}

void BM_ComposeCold(benchmark::State& state)
{
    SilentLog log;
    for (auto _ : state) {
        for (const ParsedCalendar& calendar : fixture().calendars) {
            benchmark::DoNotOptimize(composeCalendarStatus(calendar.expandDay(year, month, day), now(), "", log));
        }
    }
}
BENCHMARK(BM_ComposeCold)->Unit(benchmark::kMillisecond);

void BM_ComposeWarm(benchmark::State& state)
{
    SilentLog log;
    for (auto _ : state) {
        for (const ParsedCalendar& calendar : fixture().calendars) {
            benchmark::DoNotOptimize(composeCalendarStatus(calendar.day(year, month, day), now(), "", log));
        }
    }
}
BENCHMARK(BM_ComposeWarm)->Unit(benchmark::kMillisecond);

void BM_ParseAtFetch(benchmark::State& state)
{
    for (auto _ : state) {
        for (const std::string& text : fixture().texts) benchmark::DoNotOptimize(ParsedCalendar::parse(text));
    }
}
BENCHMARK(BM_ParseAtFetch)->Unit(benchmark::kMillisecond);

void BM_MemmemPass(benchmark::State& state)
{
    static const char Absent[] = "X-QUORVANE-ABSENT";
    for (auto _ : state) {
        for (const std::string& text : fixture().texts) {
            benchmark::DoNotOptimize(memmem(text.data(), text.size(), Absent, sizeof Absent - 1));
        }
    }
}
BENCHMARK(BM_MemmemPass)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    setenv("TZ", "Europe/London", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    std::size_t bytes = 0;
    for (const std::string& text : fixture().texts) bytes += text.size();
    std::printf("%d calendars, %zu bytes, %zu events each\n", People, bytes, fixture().calendars[0].eventCount());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double floor = reporter.times["BM_MemmemPass"];
    if (floor > 0) {
        std::printf("compose cold / memmem: %.1fx (target <= 20x)\n", reporter.times["BM_ComposeCold"] / floor);
        std::printf("compose warm / memmem: %.2fx\n", reporter.times["BM_ComposeWarm"] / floor);
        std::printf("parse at fetch / memmem: %.1fx\n", reporter.times["BM_ParseAtFetch"] / floor);
    }
    benchmark::Shutdown();
}

// Day-page parsing speed: a parse-only refresh of 100 people over 200 KB day views, beside one
// memmem pass over the same bytes (the floor for any reading of the pages).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "board/DayPageParser.h"
#include "pages/StatusCell.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"

namespace {

constexpr int People = 100;
constexpr std::size_t PageBytes = 200 * 1024;
constexpr int MeetingsPerPage = 8;
constexpr int DayEventsPerPage = 3;
constexpr DateTime now = 46362 + 10.0 / 24;  // 6 December 2026, 10:00

class SilentLog : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

std::string filler(std::size_t bytes, int seed)
{
    std::string out;
    int row = seed;
    while (out.size() < bytes) {
        out += "<TR><TD class=nav vAlign=top><A href=\"/ocas-bin/ocas.fcgi?sub=web&amp;web=navigate&amp;row=" +
               std::to_string(row++) + "\">Calendar navigation entry</A></TD><TD><FONT size=-1>&nbsp;</FONT></TD></TR>\n";
    }
    out.resize(bytes);
    return out;
}

// A day view in the calendar's markup: navigation filler, then the day's table with its day
// events and meetings spread through the second half of the page.
std::string dayPage(int person)
{
    std::string items;
    for (int r = 1; r <= DayEventsPerPage; ++r) {
        items += "<TR><TD colSpan=2><A name=specialNum" + std::to_string(r) +
                 " href=\"/ocas-bin/ocas.fcgi?sub=web&amp;web=viewitem&amp;id=9" + std::to_string(r) +
                 "\"></A><FONT size=-1>" + (r == 1 ? "Bank&nbsp;Holiday" : "Team lunch") + "</FONT></TD></TR>\n";
    }
    std::string page = "<HEAD><TITLE>Day view</TITLE></HEAD><BODY bgColor=#ffffff>\n" + filler(PageBytes / 2, person);
    page += "<TABLE><TBODY>\n" + items;
    const std::size_t gap = (PageBytes / 2) / MeetingsPerPage;
    for (int r = 1; r <= MeetingsPerPage; ++r) {
        const int hour = 8 + r;
        page += "<TR><TD vAlign=top><FONT size=-1><A name=meetingNum" + std::to_string(r) +
                " href=\"/ocas-bin/ocas.fcgi?sub=web&amp;web=viewitem&amp;id=5" + std::to_string(r) + "\">Item</A>" +
                std::to_string(hour) + ":00 - " + std::to_string(hour) + ":45<BR>Review meeting<BR> (Room " +
                std::to_string(r) + ")</FONT></TD></TR>\n";
        page += filler(gap, person * 100 + r);
    }
    page += "</TBODY></TABLE></BODY>";
    return page;
}

const std::vector<std::string>& pages()
{
    static const std::vector<std::string> pages = [] {
        std::vector<std::string> out;
        for (int i = 0; i < People; ++i) out.push_back(dayPage(i));
        return out;
    }();
    return pages;
}

void setBytes(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (const auto& page : pages()) bytes += page.size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_ParseRefresh(benchmark::State& state)
{
    setLocaleFormats(FormatSettings::dayMonthYear());
    SilentLog log;
    for (auto _ : state) {
        for (const auto& page : pages()) {
            benchmark::DoNotOptimize(classicStatusHtml(readDayPage(page, instantOfLocal(now), "J Smith", log)));
        }
    }
    setBytes(state);
}
BENCHMARK(BM_ParseRefresh)->Unit(benchmark::kMillisecond);

void BM_MemmemPass(benchmark::State& state)
{
    static constexpr char Absent[] = "=meetingNum0";
    for (auto _ : state) {
        for (const auto& page : pages()) {
            benchmark::DoNotOptimize(memmem(page.data(), page.size(), Absent, sizeof Absent - 1));
        }
    }
    setBytes(state);
}
BENCHMARK(BM_MemmemPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

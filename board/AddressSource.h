#pragma once
// Calendars read from calendar addresses (a CalDAV collection or an iCalendar feed): everyone's
// fetched together, in parallel (at most a few per host), each person reported as their answer
// comes; each calendar is parsed once per fetch, on a thread of its own (AddressSourceParser), and
// kept as that person's cache.
#include <map>
#include <optional>
#include <set>
#include <string>

#include "board/AddressSourceParser.h"
#include "board/AbsenceWords.h"
#include "board/CalendarSource.h"
#include "calendar/ParsedCalendar.h"
#include "calendarfetch/CalendarFetcher.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

class AddressSource final : public CalendarSource {
public:
    // words: what marks a person's own all-day entry as leave or working from home.
    AddressSource(CalendarFetchSettings settings, LogWriter& log, const Clock& clock,
                  std::shared_ptr<const AbsenceWords> words = AbsenceWords::builtIn());

    // Item ids starting with http:// or https://.
    bool reads(const std::string& itemId) const override;
    const char* kind() const override { return "address"; }
    // Nothing to open: every request carries its own credentials.
    void open(std::function<void(std::string failure)> done) override { done({}); }
    // Each failure keeps that person's cache and is logged as "Calendar of NAME: reason"; the
    // warnings of a calendar read (unknown zone, refused rule) as "Calendar of NAME: warning: ...",
    // once per fetch.
    void fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener) override;
    PersonStatus compose(const Person& person, Instant now) override;
    std::optional<Instant> cachedAt(const Person& person) const override;
    QJsonObject saveCache() const override;
    void restoreCache(const QJsonObject& saved) override;
    void stop() override;

private:
    struct CachedCalendar {
        ParsedCalendar calendar;
        Instant fetchedAt{};
        std::vector<std::string> texts;  // what is saved between runs: bounded (see savedTexts)
    };
    void answered(const CalendarFetchResult& result);
    // The person's calendar read: cached, its warnings logged, the person reported.
    void read(std::size_t index, ParsedTexts parsed);
    // Reports the person (failed when failure is given), and the fetch's end after the last one.
    void finish(std::size_t index, std::optional<std::string> failure);

    CalendarFetcher fetcher_;
    AddressSourceParser parser_;

    bool stopped_ = false;  // the program is stopping: what still arrives is not read
    LogWriter& log_;
    const Clock& clock_;
    std::shared_ptr<const AbsenceWords> words_;
    std::map<std::string, CachedCalendar> cache_;  // by address: a reloaded roster keeps it

    // The fetch under way: the people asked, by roster index.
    std::map<std::size_t, Person> asked_;
    Instant now_{};
    FetchListener listener_;
    std::set<std::size_t> reading_;  // people whose calendar the parser is reading
    unsigned generation_ = 0;        // this fetch's: answers of an earlier one are dropped
};

}  // namespace quorvane

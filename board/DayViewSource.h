#pragma once
// The web calendar's day views, read through the embedded browser: a log-in opens the session,
// then each person's day view is fetched in turn, one at a time. Only a day view the parser can
// read replaces a person's cached one. A wait that times out, a day view showing the log-in form
// (the session is gone) or a stop ends this refresh's fetching; the people not reached stay
// pending for the next refresh of the grab, so a hung calendar costs one time-out per refresh.
#include <map>
#include <string>

#include "board/BoardState.h"
#include "board/CalendarSource.h"
#include "browser/BrowserDriver.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

// Whether the web calendar's day views read this item id: any item id no other source reads
// (calendar addresses, m365: and google: people).
bool readsWebCalendar(const std::string& itemId);
// Whether a board with this roster needs the web calendar (its log-in, so its user id and password,
// and the embedded browser): someone's item id is read by the day views, or the roster is empty
// (an empty roster logs in, as it always has).
bool needsWebCalendar(const Roster& roster);
// The same for a roster file; one that cannot be read lists no one and needs nothing (the board
// starts, logs why and says so on /readyz, until a SIGHUP reads a roster).
bool rosterFileNeedsWebCalendar(const std::string& rosterFile);

struct DayViewSettings {
    std::string calendarHost;  // host[:port] of the web calendar
    bool overHttps = false;    // day views over https instead of the calendar's plain http
};

class DayViewSource final : public CalendarSource {
public:
    // The log-in uses the credentials in state as they are when it starts.
    DayViewSource(DayViewSettings settings, BrowserDriver& browser, const BoardState& state, LogWriter& log,
                  const Clock& clock);

    // Every item id that is not a calendar address.
    bool reads(const std::string& itemId) const override;
    const char* kind() const override { return "daypage"; }
    void open(std::function<void(std::string failure)> done) override;
    void fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener) override;
    PersonStatus compose(const Person& person, Instant now) override;
    std::optional<Instant> cachedAt(const Person& person) const override;
    QJsonObject saveCache() const override;
    void restoreCache(const QJsonObject& saved) override;
    void stop() override { browser_.stop(); }

private:
    struct CachedPage {
        std::string markup;
        Instant fetchedAt{};
    };
    struct Wanted {
        std::size_t index;
        Person person;
    };
    // Fetches the next wanted person, or ends the fetching.
    void fetchNext();
    void pageLoaded(WaitOutcome outcome);
    // The captured markup of the current person's page: stored when it is a readable day view.
    void markupRead(std::optional<std::string> markup);
    // Ends the current person's fetch with a failure; ends the fetching when asked.
    void notStored(const std::string& reason, FetchState after, bool endsFetching);
    void report(FetchState after, std::string failure);

    DayViewSettings settings_;
    BrowserDriver& browser_;
    const BoardState& state_;
    LogWriter& log_;
    const Clock& clock_;
    std::map<std::string, CachedPage> cache_;  // by item id

    // The fetching under way.
    std::vector<Wanted> wanted_;
    std::size_t next_ = 0;
    std::string dateText_;
    Instant now_{};
    FetchListener listener_;
};

}  // namespace quorvane

#pragma once
// A calendar source: where some of the roster's people have their calendars, and how to read
// them. The refresh asks each source, through the same calls, to open its session, to fetch the
// people the open grab still needs, and to compose a person's status at an instant from what it
// has cached. Each source keeps its own cache and decides alone what a failed fetch keeps; the
// refresh only hears, person by person, how each fetch ended.
#include <QJsonObject>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "board/GrabProgress.h"
#include "board/PersonStatus.h"
#include "board/Roster.h"
#include "text/Instant.h"

namespace quorvane {

// How one person's fetch ended.
struct FetchReport {
    std::size_t person = 0;                 // index in the roster
    FetchState after = FetchState::Pending; // Fetched; Kept (tried, failed); Pending (to try again in this grab)
    std::string failure;                    // why not fetched (for the grab's outcome), or empty
};

// Where a source reports. Every call comes from the event loop or from inside the source's own
// calls; a source never reports after stop() has returned and its last done has been called.
struct FetchListener {
    std::function<void(const FetchReport&)> personDone;  // once per person whose fetch ended
    std::function<void()> done;                          // once, when the source fetches no more
};

class CalendarSource {
public:
    virtual ~CalendarSource() = default;

    // Whether this source reads the calendar a roster item id names.
    virtual bool reads(const std::string& itemId) const = 0;
    // The kind of calendar it reads, as the metrics label person fetches ("daypage", "address").
    virtual const char* kind() const { return "other"; }
    // Makes the source ready to fetch for this refresh (a log-in, a token); done receives the
    // failure, or an empty text. A source that needs nothing answers at once.
    virtual void open(std::function<void(std::string failure)> done) = 0;
    // Fetches, for the local day of now, the people of the roster at the given indices (in
    // roster order), and reports each as its fetch ends, then done. People it does not get to
    // (a time-out or a lost session ended its fetching) are not reported: they stay pending.
    virtual void fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener) = 0;
    // The person's status at now from the cache; PersonState::Unknown when nothing was ever
    // read. Raises when the cached data cannot be read (the refresh logs it for that person).
    virtual PersonStatus compose(const Person& person, Instant now) = 0;
    // When the cached data shown for the person was read; none when nothing was.
    virtual std::optional<Instant> cachedAt(const Person& person) const = 0;
    // The program is stopping: whatever is under way ends promptly (and reports), and nothing
    // is fetched again.
    virtual void stop() = 0;
    // The cache as JSON, kept by the board between runs under a key of the source's own (the
    // objects of every source are merged into one); a source that keeps nothing saves nothing.
    virtual QJsonObject saveCache() const { return {}; }
    // Takes back what saveCache wrote (the merged object: the source reads its own key); data
    // that does not read is skipped, never raised.
    virtual void restoreCache(const QJsonObject&) {}
};

}  // namespace quorvane

#pragma once
// Calendars read from Microsoft 365 (item id "m365:USER@DOMAIN") or Google Workspace
// ("google:USER@DOMAIN") with the office's one app identity, through the clients of cloud/:
// everyone of a grab asked together (at most a few at once per host), each person reported as
// their day arrives and kept as their cache. The client is made at the first fetch that has
// people to read, so a roster without such people never contacts the service.
#include <QDate>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/AbsenceWords.h"
#include "board/CalendarSource.h"
#include "cloud/CloudDayClient.h"
#include "cloud/GoogleCalendarClient.h"
#include "cloud/GraphCalendarClient.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

struct CloudSourceSettings {
    std::string prefix;         // the item ids' prefix, "m365:" or "google:"
    std::string noIdentity;     // the reason logged for each person when no identity was given
    // Makes the service's client; empty when no identity was given. May raise (the reason is
    // logged for each person of the fetch).
    std::function<std::unique_ptr<CloudDayClient>()> makeClient;
};

class CloudSource final : public CalendarSource {
public:
    // words: what marks a person's own all-day entry as leave or working from home.
    CloudSource(CloudSourceSettings settings, LogWriter& log, const Clock& clock,
                std::shared_ptr<const AbsenceWords> words = AbsenceWords::builtIn());

    // Item ids of the prefix with a user after it.
    bool reads(const std::string& itemId) const override;
    // "m365" or "google", after the item ids' prefix.
    const char* kind() const override { return settings_.prefix.starts_with("google") ? "google" : "m365"; }
    // Nothing to open: the client takes its tokens as people need them.
    void open(std::function<void(std::string failure)> done) override { done({}); }
    // Each failure keeps that person's cache and is logged as "Calendar of NAME: reason"; the
    // warnings of a day's mapping as "Calendar of NAME: warning: ...".
    void fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener) override;
    PersonStatus compose(const Person& person, Instant now) override;
    std::optional<Instant> cachedAt(const Person& person) const override;
    void stop() override;

private:
    struct CachedDay {
        QDate date;
        CalendarDay day;
        Instant fetchedAt{};
    };
    void answered(std::size_t user, CloudDayResult result);
    void failAll(const std::string& reason);
    void finish();

    CloudSourceSettings settings_;
    LogWriter& log_;
    const Clock& clock_;
    std::shared_ptr<const AbsenceWords> words_;
    std::unique_ptr<CloudDayClient> client_;
    std::map<std::string, CachedDay> cache_;  // by item id: a reloaded roster keeps it
    bool stopped_ = false;

    // The fetch under way: the people asked (roster index and record), by the client's index.
    std::vector<std::pair<std::size_t, Person>> asked_;
    std::size_t remaining_ = 0;
    QDate day_;
    FetchListener listener_;
};

// The two sources; without settings (no identity given) each person is refused with the option
// to give.
std::unique_ptr<CloudSource> makeM365Source(std::optional<GraphSettings> settings, LogWriter& log, const Clock& clock,
                                            std::shared_ptr<const AbsenceWords> words = AbsenceWords::builtIn());
std::unique_ptr<CloudSource> makeGoogleSource(std::optional<GoogleSettings> settings, LogWriter& log,
                                              const Clock& clock,
                                              std::shared_ptr<const AbsenceWords> words = AbsenceWords::builtIn());

}  // namespace quorvane

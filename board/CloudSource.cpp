#include "board/CloudSource.h"

#include <exception>
#include <utility>

#include "board/BoardConstants.h"
#include "board/CalendarStatus.h"
#include "board/LocalDay.h"

namespace quorvane {

CloudSource::CloudSource(CloudSourceSettings settings, LogWriter& log, const Clock& clock,
                         std::shared_ptr<const AbsenceWords> words)
    : settings_(std::move(settings)), log_(log), clock_(clock), words_(std::move(words))
{
}

bool CloudSource::reads(const std::string& itemId) const
{
    return itemId.size() > settings_.prefix.size() && itemId.compare(0, settings_.prefix.size(), settings_.prefix) == 0;
}

void CloudSource::fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener)
{
    asked_.clear();
    listener_ = std::move(listener);
    day_ = localDayOf(now);
    std::vector<std::string> users;
    for (std::size_t index : people) {
        log_.log(std::string(GrabbingCalendarText) + roster[index].name, false);
        asked_.emplace_back(index, roster[index]);
        users.push_back(roster[index].itemId.substr(settings_.prefix.size()));
    }
    remaining_ = asked_.size();
    if (asked_.empty() || stopped_) return finish();
    if (!client_) {
        if (!settings_.makeClient) return failAll(settings_.noIdentity);
        try {
            client_ = settings_.makeClient();
        } catch (const std::exception& error) {
            return failAll(error.what());
        }
    }
    client_->fetchDay(users, day_, [this](std::size_t user, CloudDayResult result) { answered(user, std::move(result)); });
}

void CloudSource::failAll(const std::string& reason)
{
    for (std::size_t user = 0; user < asked_.size(); ++user) answered(user, CloudDayResult{false, {}, reason});
}

void CloudSource::answered(std::size_t user, CloudDayResult result)
{
    if (user >= asked_.size() || remaining_ == 0) return;
    const auto& [index, person] = asked_[user];
    FetchReport report{index, FetchState::Fetched, {}};
    if (result.ok) {
        for (const std::string& warning : result.day.warnings)
            log_.warn(std::string(CalendarFailureText) + person.name + ": " + std::string(CalendarWarningText) + warning);
        cache_.insert_or_assign(person.itemId, CachedDay{day_, std::move(result.day), instantOfLocal(clock_.now())});
    } else {
        // Tried and failed: the cached day stays, and the person is not asked again in this grab.
        log_.error(std::string(CalendarFailureText) + person.name + ": " + result.failure);
        report.after = FetchState::Kept;
        report.failure = person.name + ": " + result.failure;
    }
    --remaining_;
    if (listener_.personDone) listener_.personDone(report);
    if (remaining_ == 0) finish();
}

void CloudSource::finish()
{
    remaining_ = 0;
    FetchListener done = std::move(listener_);
    listener_ = {};
    if (done.done) done.done();
}

void CloudSource::stop()
{
    stopped_ = true;
    if (client_) client_->abort();
    // The people not reported yet stay pending.
    if (listener_.done) finish();
}

PersonStatus CloudSource::compose(const Person& person, Instant now)
{
    const auto cached = cache_.find(person.itemId);
    // A day read for another date says nothing of this one.
    const bool today = cached != cache_.end() && cached->second.date == localDayOf(now);
    PersonStatus status = composeCalendarStatus(today ? cached->second.day : CalendarDay{}, now, person.leaveTag, log_, *words_);
    if (cached == cache_.end()) status.state = PersonState::Unknown;  // never read
    return status;
}

std::optional<Instant> CloudSource::cachedAt(const Person& person) const
{
    const auto cached = cache_.find(person.itemId);
    if (cached == cache_.end()) return std::nullopt;
    return cached->second.fetchedAt;
}

std::unique_ptr<CloudSource> makeM365Source(std::optional<GraphSettings> settings, LogWriter& log, const Clock& clock,
                                            std::shared_ptr<const AbsenceWords> words)
{
    CloudSourceSettings source{std::string(M365ItemPrefix), std::string(NoM365CredentialsText), {}};
    if (settings)
        source.makeClient = [settings = std::move(*settings)] { return std::make_unique<GraphCalendarClient>(settings); };
    return std::make_unique<CloudSource>(std::move(source), log, clock, std::move(words));
}

std::unique_ptr<CloudSource> makeGoogleSource(std::optional<GoogleSettings> settings, LogWriter& log,
                                              const Clock& clock, std::shared_ptr<const AbsenceWords> words)
{
    CloudSourceSettings source{std::string(GoogleItemPrefix), std::string(NoGoogleAccountText), {}};
    if (settings)
        source.makeClient = [settings = std::move(*settings)] { return std::make_unique<GoogleCalendarClient>(settings); };
    return std::make_unique<CloudSource>(std::move(source), log, clock, std::move(words));
}

}  // namespace quorvane

#include "board/DayViewSource.h"

#include <QJsonObject>

#include <exception>
#include <utility>

#include "board/BoardConstants.h"
#include "board/DayPageParser.h"
#include "board/PageChecks.h"
#include "browser/CalendarAddress.h"
#include "calendarfetch/CalendarRequest.h"
#include "text/DateTime.h"

namespace quorvane {

namespace {

// A read that only checks the page: its counts are logged when the person's status is composed.
class NoLog final : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

}  // namespace

bool readsWebCalendar(const std::string& itemId)
{
    // The item ids the sources ahead of this one read: calendar addresses and the cloud services'.
    for (std::string_view prefix : {M365ItemPrefix, GoogleItemPrefix})
        if (itemId.size() > prefix.size() && itemId.compare(0, prefix.size(), prefix) == 0) return false;
    return !isCalendarAddress(itemId);
}

bool needsWebCalendar(const Roster& roster)
{
    if (roster.empty()) return true;
    for (const Person& person : roster)
        if (readsWebCalendar(person.itemId)) return true;
    return false;
}

bool rosterFileNeedsWebCalendar(const std::string& rosterFile)
{
    Roster roster;
    try {
        loadRoster(roster, rosterFile);
    } catch (const std::exception&) {
        return false;  // no file, no one listed: the board starts and says so
    }
    return needsWebCalendar(roster);
}

DayViewSource::DayViewSource(DayViewSettings settings, BrowserDriver& browser, const BoardState& state,
                             LogWriter& log, const Clock& clock)
    : settings_(std::move(settings)), browser_(browser), state_(state), log_(log), clock_(clock)
{
}

bool DayViewSource::reads(const std::string& itemId) const
{
    return readsWebCalendar(itemId);
}

void DayViewSource::open(std::function<void(std::string failure)> done)
{
    auto failed = [this, done](std::string reason) {
        log_.error(std::string(LogInFailedText) + reason);
        done(std::move(reason));
    };
    // A board started without them (no web-calendar person then) has none to log in with.
    if (state_.userId.empty() || state_.password.empty()) return failed(std::string(NoCredentialsReason));
    browser_.load(loginAddress(settings_.calendarHost, state_.userId, state_.password), false,
                  [this, done, failed](WaitOutcome outcome) {
                      if (outcome == WaitOutcome::TimedOut) return failed(std::string(TimedOutReason));
                      if (outcome == WaitOutcome::Stopped) return failed(std::string(StoppedReason));
                      if (std::string reason = browser_.errorPageReason(); !reason.empty()) return failed(reason);
                      browser_.captureMarkup([this, done, failed](std::optional<std::string> markup) {
                          if (markup && holdsPasswordField(*markup)) return failed(std::string(LogInFormAgainReason));
                          log_.log(std::string(LoggedInText), false);
                          done({});
                      });
                  });
}

void DayViewSource::fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener)
{
    wanted_.clear();
    for (std::size_t index : people) wanted_.push_back({index, roster[index]});
    next_ = 0;
    now_ = now;
    // The day of the addresses, always written with "/" as the calendar server reads it.
    dateText_ = dateTimeToText(AddressDatePattern, localOfInstant(now), FormatSettings::dayMonthYear());
    listener_ = std::move(listener);
    fetchNext();
}

void DayViewSource::fetchNext()
{
    if (next_ >= wanted_.size() || browser_.stopped()) {
        wanted_.clear();
        FetchListener listener = std::move(listener_);
        listener_ = {};
        if (listener.done) listener.done();
        return;
    }
    const Person& person = wanted_[next_].person;
    log_.log(std::string(GrabbingPageText) + person.name, false);
    browser_.load(dayViewAddress(settings_.calendarHost, dateText_, person.itemId, settings_.overHttps), true,
                  [this](WaitOutcome outcome) { pageLoaded(outcome); });
}

void DayViewSource::pageLoaded(WaitOutcome outcome)
{
    // Tried and failed: not tried again in this grab. A lost session or a stop leaves the person
    // to the next refresh of the same grab.
    if (outcome == WaitOutcome::TimedOut) return notStored(std::string(TimedOutReason), FetchState::Kept, true);
    if (outcome == WaitOutcome::Stopped || browser_.stopped())
        return notStored(std::string(StoppedReason), FetchState::Pending, true);
    if (std::string reason = browser_.errorPageReason(); !reason.empty())
        return notStored(reason, FetchState::Kept, false);
    if (browser_.locationUrl().empty()) return notStored(std::string(NoLocationReason), FetchState::Kept, false);
    browser_.captureMarkup([this](std::optional<std::string> markup) { markupRead(std::move(markup)); });
}

void DayViewSource::markupRead(std::optional<std::string> markup)
{
    if (!markup) {
        if (browser_.stopped()) return notStored(std::string(StoppedReason), FetchState::Pending, true);
        return notStored(std::string(MarkupNotReadReason), FetchState::Kept, false);
    }
    if (markup->size() > MaxDayPageBytes)
        return notStored(std::string(PageTooLargeReason) + std::to_string(markup->size()) + ")", FetchState::Kept, false);
    if (holdsPasswordField(*markup)) return notStored(std::string(SessionLostReason), FetchState::Pending, true);
    const Person& person = wanted_[next_].person;
    // A page the parser cannot read fails this person only: the cached page stays.
    try {
        NoLog quiet;
        readDayPage(*markup, now_, person.leaveTag, quiet);
    } catch (const std::exception& error) {
        log_.error(std::string(PageNotReadText) + person.name + ": " + error.what());
        return report(FetchState::Kept, error.what());
    }
    cache_[person.itemId] = {std::move(*markup), instantOfLocal(clock_.now())};
    report(FetchState::Fetched, {});
}

void DayViewSource::notStored(const std::string& reason, FetchState after, bool endsFetching)
{
    const auto cached = cache_.find(wanted_[next_].person.itemId);
    const std::string kept = cached == cache_.end() ? std::string(NoPageKeptText)
                                                    : std::string(KeptPageText) +
                                                          dateTimeToText(KeptPagePattern, localOfInstant(cached->second.fetchedAt));
    // With a page kept the board still shows the person, from older data: a warning.
    log_.logLine(std::string(PageNotStoredText) + reason + kept,
                 cached == cache_.end() ? LogSeverity::Error : LogSeverity::Warning);
    if (endsFetching) wanted_.resize(next_ + 1);
    report(after, reason);
}

void DayViewSource::report(FetchState after, std::string failure)
{
    const std::size_t index = wanted_[next_].index;
    ++next_;
    if (listener_.personDone) listener_.personDone({index, after, std::move(failure)});
    fetchNext();
}

PersonStatus DayViewSource::compose(const Person& person, Instant now)
{
    static const std::string NoPage;
    const auto cached = cache_.find(person.itemId);
    const std::string& page = cached == cache_.end() ? NoPage : cached->second.markup;
    PersonStatus status = readDayPage(page, now, person.leaveTag, log_);
    if (cached == cache_.end()) status.state = PersonState::Unknown;  // never read
    return status;
}

QJsonObject DayViewSource::saveCache() const
{
    QJsonObject pages;
    for (const auto& [itemId, cached] : cache_)
        pages.insert(QString::fromStdString(itemId),
                     QJsonObject{{"fetchedAt", qint64(unixSeconds(cached.fetchedAt))},
                                 {"markup", QString::fromStdString(cached.markup)}});
    return QJsonObject{{QLatin1String(DayViewCacheKey), pages}};
}

void DayViewSource::restoreCache(const QJsonObject& saved)
{
    const QJsonObject pages = saved.value(QLatin1String(DayViewCacheKey)).toObject();
    for (auto entry = pages.begin(); entry != pages.end(); ++entry) {
        const QJsonObject cached = entry.value().toObject();
        if (!cached.value("markup").isString() || !cached.value("fetchedAt").isDouble()) continue;
        cache_[entry.key().toStdString()] = {cached.value("markup").toString().toStdString(),
                                             instantOfUnix(cached.value("fetchedAt").toInteger())};
    }
}

std::optional<Instant> DayViewSource::cachedAt(const Person& person) const
{
    const auto cached = cache_.find(person.itemId);
    if (cached == cache_.end()) return std::nullopt;
    return cached->second.fetchedAt;
}

}  // namespace quorvane

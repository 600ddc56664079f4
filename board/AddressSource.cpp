#include "board/AddressSource.h"

#include <QDate>
#include <QJsonArray>
#include <QString>

#include "board/BoardConstants.h"
#include "board/CalendarStatus.h"
#include "calendar/CalendarError.h"
#include "calendarfetch/CalendarRequest.h"
#include "board/LocalDay.h"

namespace quorvane {

AddressSource::AddressSource(CalendarFetchSettings settings, LogWriter& log, const Clock& clock,
                             std::shared_ptr<const AbsenceWords> words)
    : fetcher_(std::move(settings)), log_(log), clock_(clock), words_(std::move(words))
{
    fetcher_.onResult = [this](const CalendarFetchResult& result) { answered(result); };
}

bool AddressSource::reads(const std::string& itemId) const
{
    return isCalendarAddress(itemId);
}

void AddressSource::fetch(const Roster& roster, std::vector<std::size_t> people, Instant now, FetchListener listener)
{
    asked_.clear();
    now_ = now;
    listener_ = std::move(listener);
    std::vector<FetchTarget> targets;
    for (std::size_t index : people) {
        log_.log(std::string(GrabbingCalendarText) + roster[index].name, false);
        asked_.emplace(index, roster[index]);
        targets.push_back({static_cast<int>(index), QString::fromStdString(roster[index].itemId)});
    }
    if (targets.empty()) {
        FetchListener done = std::move(listener_);
        listener_ = {};
        if (done.done) done.done();
        return;
    }
    fetcher_.start(targets, localDayOf(now));
}

void AddressSource::answered(const CalendarFetchResult& result)
{
    const auto asked = asked_.find(static_cast<std::size_t>(result.person));
    if (asked == asked_.end()) return;
    const Person person = asked->second;
    asked_.erase(asked);
    std::string failure = result.failure;
    FetchReport report{static_cast<std::size_t>(result.person), FetchState::Fetched, {}};
    // After a stop an answer already received is not parsed: the program is ending, and a large
    // calendar would hold the exit up.
    const bool ok = result.ok && !stopped_;
    if (result.ok && stopped_) failure = std::string(StoppedReason);
    if (ok) {
        try {
            // Kept for the days around the grab's: what a later refresh can show, and no more.
            const QDate day = localDayOf(now_);
            ParsedCalendar parsed =
                ParsedCalendar::parse(result.calendars, KeptDates::around(day.year(), day.month(), day.day()));
            for (const std::string& warning : parsed.day(day.year(), day.month(), day.day()).warnings)
                log_.log(std::string(CalendarFailureText) + person.name + ": " + std::string(CalendarWarningText) + warning,
                         false);
            cache_.insert_or_assign(person.itemId,
                                    CachedCalendar{std::move(parsed), instantOfLocal(clock_.now()), result.calendars});
        } catch (const CalendarError& error) {
            failure = error.what();
        }
    }
    if (!ok || !failure.empty()) {
        // Tried and failed: the cached calendar stays, and it is not asked again in this grab.
        log_.log(std::string(CalendarFailureText) + person.name + ": " + failure, false);
        report.after = FetchState::Kept;
        report.failure = person.name + ": " + failure;
    }
    if (listener_.personDone) listener_.personDone(report);
    if (asked_.empty()) {
        FetchListener done = std::move(listener_);
        listener_ = {};
        if (done.done) done.done();
    }
}

PersonStatus AddressSource::compose(const Person& person, Instant now)
{
    const auto cached = cache_.find(person.itemId);
    const QDate day = localDayOf(now);
    const CalendarDay calendarDay =
        cached == cache_.end() ? CalendarDay{} : cached->second.calendar.day(day.year(), day.month(), day.day());
    PersonStatus status = composeCalendarStatus(calendarDay, now, person.leaveTag, log_, *words_);
    if (cached == cache_.end()) status.state = PersonState::Unknown;  // never read
    return status;
}

QJsonObject AddressSource::saveCache() const
{
    QJsonObject calendars;
    for (const auto& [address, cached] : cache_) {
        QJsonArray texts;
        for (const std::string& text : cached.texts) texts.append(QString::fromStdString(text));
        calendars.insert(QString::fromStdString(address),
                         QJsonObject{{"fetchedAt", qint64(unixSeconds(cached.fetchedAt))}, {"texts", texts}});
    }
    return QJsonObject{{QLatin1String(AddressCacheKey), calendars}};
}

void AddressSource::restoreCache(const QJsonObject& saved)
{
    const QDate day = localDayOf(instantOfLocal(clock_.now()));
    const QJsonObject calendars = saved.value(QLatin1String(AddressCacheKey)).toObject();
    for (auto entry = calendars.begin(); entry != calendars.end(); ++entry) {
        const QJsonObject cached = entry.value().toObject();
        std::vector<std::string> texts;
        for (const QJsonValue& text : cached.value("texts").toArray()) texts.push_back(text.toString().toStdString());
        if (texts.empty() || !cached.value("fetchedAt").isDouble()) continue;
        try {
            ParsedCalendar parsed =
                ParsedCalendar::parse(texts, KeptDates::around(day.year(), day.month(), day.day()));
            cache_.insert_or_assign(entry.key().toStdString(),
                                    CachedCalendar{std::move(parsed),
                                                   instantOfUnix(cached.value("fetchedAt").toInteger()), std::move(texts)});
        } catch (const CalendarError&) {
            // Saved from a calendar that read once: one that no longer does is simply not restored.
        }
    }
}

std::optional<Instant> AddressSource::cachedAt(const Person& person) const
{
    const auto cached = cache_.find(person.itemId);
    if (cached == cache_.end()) return std::nullopt;
    return cached->second.fetchedAt;
}

}  // namespace quorvane

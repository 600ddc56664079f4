#include "board/AddressSource.h"

#include <QDate>
#include <QJsonArray>
#include <QString>
#include <set>
#include <utility>

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
    // Reads still under way belong to an earlier fetch: their answers are dropped.
    ++generation_;
    reading_.clear();
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
    const std::size_t index = static_cast<std::size_t>(result.person);
    if (!asked_.count(index)) return;
    // After a stop an answer already received is not read: the program is ending, and a large
    // calendar would hold the exit up.
    if (!result.ok || stopped_) return finish(index, result.ok ? std::string(StoppedReason) : result.failure);
    // Kept for the days around the grab's: what a later refresh can show, and no more. Read on
    // the parser's thread; the answer comes back through the event loop.
    const QDate day = localDayOf(now_);
    reading_.insert(index);
    parser_.parse(result.calendars, CivilDate{day.year(), day.month(), day.day()},
                  [this, index, generation = generation_](ParsedTexts parsed) {
                      if (generation != generation_ || !reading_.erase(index)) return;
                      read(index, std::move(parsed));
                  });
}

void AddressSource::read(std::size_t index, ParsedTexts parsed)
{
    if (!parsed.calendar) return finish(index, std::move(parsed.failure));
    const Person& person = asked_.at(index);
    const QDate day = localDayOf(now_);
    for (const std::string& warning : parsed.calendar->day(day.year(), day.month(), day.day()).warnings)
        log_.warn(std::string(CalendarFailureText) + person.name + ": " + std::string(CalendarWarningText) + warning);
    cache_.insert_or_assign(person.itemId, CachedCalendar{std::move(*parsed.calendar), instantOfLocal(clock_.now()),
                                                          std::move(parsed.saved)});
    finish(index, std::nullopt);
}

void AddressSource::finish(std::size_t index, std::optional<std::string> failure)
{
    const auto asked = asked_.find(index);
    if (asked == asked_.end()) return;
    const Person person = asked->second;
    asked_.erase(asked);
    FetchReport report{index, FetchState::Fetched, {}};
    if (failure) {
        // Tried and failed: the cached calendar stays, and it is not asked again in this grab.
        log_.error(std::string(CalendarFailureText) + person.name + ": " + *failure);
        report.after = FetchState::Kept;
        report.failure = person.name + ": " + *failure;
    }
    if (listener_.personDone) listener_.personDone(report);
    if (asked_.empty()) {
        FetchListener done = std::move(listener_);
        listener_ = {};
        if (done.done) done.done();
    }
}

void AddressSource::stop()
{
    stopped_ = true;
    fetcher_.abort();
    // Calendars still being read are not waited for: their people end as stopped now.
    parser_.drop();
    const std::set<std::size_t> reading = std::exchange(reading_, {});
    for (std::size_t index : reading) finish(index, std::string(StoppedReason));
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
        if (cached.texts.empty()) continue;  // too large to keep
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

#include "board/CalendarSources.h"

#include <QDate>
#include <QString>

#include "board/BoardConstants.h"
#include "board/CalendarStatus.h"
#include "calendar/CalendarError.h"

CalendarSources::CalendarSources(CalendarFetchSettings settings, LogWriter& log)
    : fetcher_(std::move(settings)), log_(log) {}

bool CalendarSources::isCalendarAddress(const std::string& itemId) {
    return itemId.rfind(HttpAddressStart, 0) == 0 || itemId.rfind(HttpsAddressStart, 0) == 0;
}

bool CalendarSources::anyIn(const Roster& roster) {
    for (const std::string& itemId : roster.calendarItemId)
        if (isCalendarAddress(itemId)) return true;
    return false;
}

std::string CalendarSources::grab(Roster& roster, DateTime nowTime, DateTime fetchedAt,
                                  const std::function<void()>& runWaitPass) {
    roster.fetch.resize(static_cast<std::size_t>(roster.count()));
    std::vector<CalendarSource> sources;
    for (int i = 0; i < roster.count(); ++i) {
        if (!isCalendarAddress(roster.calendarItemId[i]) || roster.fetch[i].state != FetchState::Pending) continue;
        log_.log(std::string(GrabbingCalendarText) + roster.personName[i], false);
        sources.push_back({i, QString::fromStdString(roster.calendarItemId[i])});
    }
    if (sources.empty()) return {};
    const DateTimeParts now = decodeDateTime(nowTime);
    const std::vector<CalendarFetchResult> results =
        fetcher_.fetchAll(sources, QDate(now.year, now.month, now.day), runWaitPass);
    std::string firstFailure;
    for (const CalendarFetchResult& result : results) {
        const std::string& name = roster.personName[result.person];
        PersonFetch& fetch = roster.fetch[static_cast<std::size_t>(result.person)];
        std::string failure = result.failure;
        if (result.ok) {
            try {
                cache_.insert_or_assign(roster.calendarItemId[result.person], ParsedCalendar::parse(result.calendars));
                fetch = {FetchState::Fetched, fetchedAt};
                continue;
            } catch (const CalendarError& error) {
                failure = error.what();
            }
        }
        // Tried and failed: the cached calendar stays, and it is not asked again in this grab.
        fetch.state = FetchState::Kept;
        log_.log(std::string(CalendarFailureText) + name + ": " + failure, false);
        if (firstFailure.empty()) firstFailure = name + ": " + failure;
    }
    return firstFailure;
}

PersonStatus CalendarSources::compose(const Roster& roster, int index, Instant now) {
    const auto cached = cache_.find(roster.calendarItemId[index]);
    const LocalParts day = localParts(now);
    PersonStatus status = composeCalendarStatus(
        cached == cache_.end() ? CalendarDay{} : cached->second.day(day.year, day.month, day.day), now,
        roster.leaveTag[index], log_);
    if (cached == cache_.end()) status.state = PersonState::Unknown;  // never read
    return status;
}

#include "board/CalendarStatus.h"

#include <cmath>
#include <ctime>

#include "board/BoardConstants.h"
#include "text/HtmlEscape.h"
#include "board/KeywordMatch.h"
#include "text/Text.h"

namespace {

std::tm localParts(std::int64_t unixSeconds)
{
    const time_t t = static_cast<time_t>(unixSeconds);
    std::tm parts{};
    localtime_r(&t, &parts);
    return parts;
}

DateTime localDateTime(std::int64_t unixSeconds)
{
    const std::tm p = localParts(unixSeconds);
    return encodeDate(p.tm_year + 1900, p.tm_mon + 1, p.tm_mday) + encodeTime(p.tm_hour, p.tm_min, p.tm_sec, 0);
}

std::string meetingDescription(const CalendarMeeting& meeting)
{
    if (meeting.isPrivate) return std::string(PrivateText);
    std::string description = htmlEscape(meeting.summary, false);
    if (!meeting.location.empty()) {
        description.append(LocationOpen).append(htmlEscape(meeting.location, false)).append(LocationClose);
    }
    return description;
}

}  // namespace

CalendarStatus composeCalendarStatus(const CalendarDay& day, DateTime nowTime, const std::string& leaveTag,
                                     LogWriter& log)
{
    CalendarStatus result;
    std::string& status = result.html;
    log.log(std::string(MeetingsCountText) + intToText(static_cast<std::int32_t>(day.meetings.size())), false);
    log.log(std::string(DayEventsCountText) + intToText(static_cast<std::int32_t>(day.dayEvents.size())), true);

    const std::int64_t now = localToUnixSeconds(nowTime);
    const std::tm nowParts = localParts(now);
    for (std::size_t i = 0; i < day.meetings.size(); ++i) {
        log.log(std::string(ItemDotText), true);
        const CalendarMeeting& meeting = day.meetings[i];
        const std::string description = meetingDescription(meeting);
        std::string suffix;
        if (!containsAny(textLower(description), NoSuffixKeywords)) {
            const std::tm endParts = localParts(meeting.end);
            const bool laterDay = endParts.tm_year != nowParts.tm_year || endParts.tm_yday != nowParts.tm_yday;
            suffix = std::string(UntilText) +
                     dateTimeToText(laterDay ? UntilLaterDayPattern : UntilPattern, localDateTime(meeting.end));
        }
        if (meeting.start < now && now <= meeting.end) {
            if (status.empty()) {
                status = description + suffix;
            } else {
                status.append(AlsoOpen).append(description).append(suffix).append(SmallClose);
            }
            result.inProgress.push_back(i);
        }
        // As the day views do: after every meeting, over the whole status.
        status = textReplace(status, LineBreak, LineBreakReplacement, ReplaceAll | IgnoreCase);
        status = textReplace(status, CommaBeforeParen, BlankBeforeParen, ReplaceAll);
    }

    for (std::size_t i = 0; i < day.dayEvents.size(); ++i) {
        log.log(std::string(ItemDotText), true);
        const CalendarDayEvent& event = day.dayEvents[i];
        std::string description = event.isPrivate ? std::string(PrivateText) : htmlEscape(event.summary, false);
        if (event.outOfOffice && description.empty()) description = std::string(OutOfOfficeText);
        const std::string lower = textLower(description);
        if (!event.outOfOffice && !containsAny(lower, AdmissionKeywords)) continue;
        const bool leave = event.outOfOffice || contains(lower, LeaveKeyword);
        // On a shared leave calendar the tag picks the person's own entries, letter case included.
        if (leave && !leaveTag.empty() && !contains(description, leaveTag)) continue;
        status.append(status.empty() ? NoteOpen : NoteOpenAfter).append(description).append(SmallClose);
        result.notes.push_back({i, description, leave});
    }
    return result;
}

#include "board/DayPageParser.h"

#include <cstring>

#include "board/BoardConstants.h"
#include "board/KeywordMatch.h"
#include "board/MarkerIndex.h"
#include "board/StatusDetail.h"
#include "text/Text.h"

namespace quorvane {

namespace {

bool endsWithBlockEnd(const std::string& block)
{
    // The last seven characters compared in place: no copy per character gathered.
    return block.size() >= BlockEnd.size() &&
           std::memcmp(block.data() + block.size() - BlockEnd.size(), BlockEnd.data(), BlockEnd.size()) == 0;
}

// A meeting time: the date of nowTime, the time text and ":00", read as a date-time. Written and
// read under one fixed day-month-year record, so the result does not depend on the regional date
// order.
DateTime meetingTime(const std::string& dateText, const std::string& timeText)
{
    return textToDateTime(dateText + timeText + std::string(MeetingSecondsText), FormatSettings::dayMonthYear());
}

// A day view's text as the calendar wrote it ("&nbsp;" as a blank), and its plain form.
CalendarText calendarText(const std::string& markup)
{
    const std::string html = textReplace(markup, NonBreakingSpace, Blank, ReplaceAll);
    return {html, plainText(html)};
}

// The meeting of one block when it is in progress at nowTime. Both times are read first.
void readMeeting(PersonStatus& status, const std::string& block, DateTime nowTime)
{
    const int a = textPos(AnchorEnd, block);
    const int b = textPos(LineBreak, block);
    const int f = textPos(FontEnd, block);
    const int anchorLength = static_cast<int>(AnchorEnd.size());
    const int breakLength = static_cast<int>(LineBreak.size());
    const std::string range = textMid(block, a + anchorLength, b - a - anchorLength);
    const std::string description = textMid(block, b + breakLength, f - b - breakLength);

    // Only the first " - " divides start from end; a later one stays in the end text.
    const int d = textPos(TimeRangeSeparator, range);
    const std::string joined = textReplace(range, TimeRangeSeparator, "", ReplaceNone);
    const std::string startText = textLeft(joined, d - 1);
    const std::string endText = textMid(joined, d, EndTextMaxLength);

    const std::string dateText = dateTimeToText(MeetingDatePattern, nowTime, FormatSettings::dayMonthYear());
    const DateTime start = meetingTime(dateText, startText);
    DateTime end = meetingTime(dateText, endText);
    // An end before the start on the clock runs past midnight: it ends on the following day.
    if (end < start) end += 1.0;
    if (!(start < nowTime && nowTime <= end)) return;

    MeetingStatus meeting;
    meeting.description = calendarText(description);
    meeting.end = instantOfLocal(end);
    meeting.showsUntil = !hasNoSuffixKeyword(meeting.description.html);
    status.meetings.push_back(std::move(meeting));
}

// The note of one day-event block when it concerns the person's presence.
void readDayEvent(PersonStatus& status, const std::string& block, const std::string& leaveTag)
{
    const std::string trimmed = textMid(block, DayEventSkipLength + 1, DayEventWindowLength);
    const int p = textPos(DayEventTextStart, trimmed);
    const int f = textPos(FontEnd, trimmed);
    const int startLength = static_cast<int>(DayEventTextStart.size());
    const CalendarText text = calendarText(textMid(trimmed, p + startLength, f - p - startLength));

    const std::string lower = textLower(text.html);
    if (!containsAny(lower, AdmissionKeywords)) return;
    // Leave is shown only on the person's own row: the tag must appear, letter case included.
    if (contains(lower, LeaveKeyword) && !contains(text.html, leaveTag)) return;
    status.notes.push_back({text, noteKindOf(text.html)});
}

}  // namespace

std::string collectBlockAt(std::string_view page, int i)
{
    std::string block;
    while (!endsWithBlockEnd(block)) {
        block += textCharAt(page, i);
        ++i;
    }
    return block;
}

PersonStatus readDayPage(const std::string& page, Instant now, const std::string& leaveTag, LogWriter& log)
{
    const DateTime nowTime = localOfInstant(now);
    // One pass per marker word instead of a page search per numbered probe.
    const MarkerIndex meetingMarks(page, MeetingMarker);
    const MarkerIndex dayEventMarks(page, DayEventMarker);
    const int meetings = meetingMarks.countNumbered();
    log.log(std::string(MeetingsCountText) + intToText(meetings), false);
    const int dayEvents = dayEventMarks.countNumbered();
    log.log(std::string(DayEventsCountText) + intToText(dayEvents), true);
    // One dot per item begun, written in one append after the reading (also when an item ends it)
    // rather than one log call, and one layout of the log box's line, per item.
    int begun = 0;
    const auto writeDots = [&] {
        if (begun > 0) log.log(std::string(static_cast<std::size_t>(begun), ItemDotText.front()), true);
    };
    PersonStatus status;
    try {
        for (int r = 1; r <= meetings; ++r, ++begun)
            readMeeting(status, collectBlockAt(page, meetingMarks.firstAfterEquals(intToText(r))), nowTime);
        for (int r = 1; r <= dayEvents; ++r, ++begun)
            readDayEvent(status, collectBlockAt(page, dayEventMarks.firstAfterEquals(intToText(r))), leaveTag);
    } catch (...) {
        ++begun;  // the item that failed had its dot before it was read
        writeDots();
        throw;
    }
    writeDots();
    status.state = stateOf(status);
    return status;
}

}  // namespace quorvane

#include "board/DayPageParser.h"

#include <cstring>

#include "board/BoardConstants.h"
#include "board/MarkerIndex.h"
#include "board/StatusDetail.h"
#include "board/KeywordMatch.h"
#include "text/Text.h"

namespace {

bool endsWithBlockEnd(const std::string& block)
{
    // The last seven characters compared in place: no copy per character gathered.
    return block.size() >= BlockEnd.size() &&
           std::memcmp(block.data() + block.size() - BlockEnd.size(), BlockEnd.data(), BlockEnd.size()) == 0;
}

// A meeting time: the date of nowTime, the time text and ":00", read back as a date-time.
// Written and read under one fixed day-month-year record, so the result does not depend on
// the regional date order.
DateTime meetingInstant(const std::string& dateText, const std::string& timeText)
{
    return textToDateTime(dateText + timeText + std::string(MeetingSecondsText), FormatSettings::dayMonthYear());
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

void addMeeting(std::string& status, const std::string& block, DateTime nowTime, PersonView* view)
{
    const int a = textPos(AnchorEnd, block);
    const int b = textPos(LineBreak, block);
    const int f = textPos(FontEnd, block);
    const int anchorLength = static_cast<int>(AnchorEnd.size());
    const int breakLength = static_cast<int>(LineBreak.size());
    const std::string range = textMid(block, a + anchorLength, b - a - anchorLength);
    std::string description = textMid(block, b + breakLength, f - b - breakLength);

    // Only the first " - " divides start from end; a later one stays in the end text.
    const int d = textPos(TimeRangeSeparator, range);
    const std::string joined = textReplace(range, TimeRangeSeparator, "", ReplaceNone);
    const std::string startText = textLeft(joined, d - 1);
    const std::string endText = textMid(joined, d, EndTextMaxLength);

    const std::string dateText =
        dateTimeToText(MeetingDatePattern, nowTime, FormatSettings::dayMonthYear());
    const DateTime start = meetingInstant(dateText, startText);
    DateTime end = meetingInstant(dateText, endText);
    // An end before the start on the clock runs past midnight: it ends on the following day.
    if (end < start) end += 1.0;

    description = textReplace(description, NonBreakingSpace, Blank, ReplaceAll);
    std::string suffix;
    if (!containsAny(textLower(description), NoSuffixKeywords)) {
        suffix = std::string(UntilText) + dateTimeToText(UntilPattern, end);
    }

    if (start < nowTime && nowTime <= end) {
        if (view) view->meetings.push_back(meetingView(description, end, !suffix.empty()));
        if (status.empty()) {
            status = description + suffix;
        } else {
            status.append(AlsoOpen).append(description).append(suffix).append(SmallClose);
        }
    }
    status = textReplace(status, LineBreak, LineBreakReplacement, ReplaceAll | IgnoreCase);
    status = textReplace(status, CommaBeforeParen, BlankBeforeParen, ReplaceAll);
}

void addDayEvent(std::string& status, const std::string& block, const std::string& leaveTag, PersonView* view)
{
    const std::string trimmed = textMid(block, DayEventSkipLength + 1, DayEventWindowLength);
    const int p = textPos(DayEventTextStart, trimmed);
    const int f = textPos(FontEnd, trimmed);
    const int startLength = static_cast<int>(DayEventTextStart.size());
    std::string description = textMid(trimmed, p + startLength, f - p - startLength);
    description = textReplace(description, NonBreakingSpace, Blank, ReplaceAll);

    const std::string lower = textLower(description);
    if (!containsAny(lower, AdmissionKeywords)) return;
    // Leave is shown only on the person's own row: the tag must appear, letter case included.
    if (contains(lower, LeaveKeyword) && !contains(description, leaveTag)) return;

    if (view) view->notes.push_back({plainText(description), noteKindOf(description)});
    status.append(status.empty() ? NoteOpen : NoteOpenAfter).append(description).append(SmallClose);
}

void parseDayPage(const std::string& page, DateTime nowTime, const std::string& leaveTag, std::string& status,
                  LogWriter& log, PersonView* view)
{
    // One pass per marker word instead of a page search per numbered probe.
    const MarkerIndex meetingMarks(page, MeetingMarker);
    const MarkerIndex dayEventMarks(page, DayEventMarker);
    const int meetings = meetingMarks.countNumbered();
    log.log(std::string(MeetingsCountText) + intToText(meetings), false);
    const int dayEvents = dayEventMarks.countNumbered();
    log.log(std::string(DayEventsCountText) + intToText(dayEvents), true);

    for (int r = 1; r <= meetings; ++r) {
        log.log(std::string(ItemDotText), true);
        addMeeting(status, collectBlockAt(page, meetingMarks.firstAfterEquals(intToText(r))), nowTime, view);
    }
    for (int r = 1; r <= dayEvents; ++r) {
        log.log(std::string(ItemDotText), true);
        addDayEvent(status, collectBlockAt(page, dayEventMarks.firstAfterEquals(intToText(r))), leaveTag, view);
    }
}

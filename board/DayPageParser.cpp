#include "board/DayPageParser.h"

#include <cstring>

#include "board/BoardConstants.h"
#include "board/MarkerIndex.h"
#include "text/Text.h"

namespace {

bool Contains(std::string_view text, std::string_view needle)
{
    return TextPos(needle, text) > 0;
}

template <std::size_t N>
bool ContainsAny(std::string_view text, const std::string_view (&needles)[N])
{
    for (std::string_view needle : needles) {
        if (Contains(text, needle)) return true;
    }
    return false;
}

bool EndsWithBlockEnd(const std::string& block)
{
    // The last seven characters compared in place: no copy per character gathered.
    return block.size() >= BlockEnd.size() &&
           std::memcmp(block.data() + block.size() - BlockEnd.size(), BlockEnd.data(), BlockEnd.size()) == 0;
}

std::string Joined(std::string_view a, std::string_view b)
{
    std::string out(a);
    out.append(b);
    return out;
}

// A meeting time: the date of nowTime, the time text and ":00", read back as a date-time.
// Written and read under one fixed day-month-year record, so the result does not depend on
// the regional date order.
TDateTime MeetingInstant(const std::string& dateText, const std::string& timeText)
{
    return TextToDateTime(dateText + timeText + std::string(MeetingSecondsText), TFormatSettings::DayMonthYear());
}

}  // namespace

int CountNumbered(std::string_view page, std::string_view marker)
{
    int n = 0;
    while (Contains(page, Joined(marker, IntToText(n + 1)))) ++n;
    return n;
}

std::string CollectBlockAt(std::string_view page, int i)
{
    std::string block;
    while (!EndsWithBlockEnd(block)) {
        block += TextCharAt(page, i);
        ++i;
    }
    return block;
}

std::string CollectBlock(std::string_view page, std::string_view blockMarker, int number)
{
    return CollectBlockAt(page, TextPos(Joined(blockMarker, IntToText(number)), page));
}

void AddMeeting(std::string& status, const std::string& block, TDateTime nowTime)
{
    const int a = TextPos(AnchorEnd, block);
    const int b = TextPos(LineBreak, block);
    const int f = TextPos(FontEnd, block);
    const int anchorLength = static_cast<int>(AnchorEnd.size());
    const int breakLength = static_cast<int>(LineBreak.size());
    const std::string range = TextMid(block, a + anchorLength, b - a - anchorLength);
    std::string description = TextMid(block, b + breakLength, f - b - breakLength);

    // Only the first " - " divides start from end; a later one stays in the end text.
    const int d = TextPos(TimeRangeSeparator, range);
    const std::string joined = TextReplace(range, TimeRangeSeparator, "", ReplaceNone);
    const std::string startText = TextLeft(joined, d - 1);
    const std::string endText = TextMid(joined, d, EndTextMaxLength);

    const std::string dateText =
        DateTimeToText(MeetingDatePattern, nowTime, TFormatSettings::DayMonthYear());
    const TDateTime start = MeetingInstant(dateText, startText);
    TDateTime end = MeetingInstant(dateText, endText);
    // An end before the start on the clock runs past midnight: it ends on the following day.
    if (end < start) end += 1.0;

    description = TextReplace(description, NonBreakingSpace, Blank, ReplaceAll);
    std::string suffix;
    if (!ContainsAny(TextLower(description), NoSuffixKeywords)) {
        suffix = std::string(UntilText) + DateTimeToText(UntilPattern, end);
    }

    if (start < nowTime && nowTime <= end) {
        if (status.empty()) {
            status = description + suffix;
        } else {
            status.append(AlsoOpen).append(description).append(suffix).append(SmallClose);
        }
    }
    status = TextReplace(status, LineBreak, LineBreakReplacement, ReplaceAll | IgnoreCase);
    status = TextReplace(status, CommaBeforeParen, BlankBeforeParen, ReplaceAll);
}

void AddDayEvent(std::string& status, const std::string& block, const std::string& leaveTag)
{
    const std::string trimmed = TextMid(block, DayEventSkipLength + 1, DayEventWindowLength);
    const int p = TextPos(DayEventTextStart, trimmed);
    const int f = TextPos(FontEnd, trimmed);
    const int startLength = static_cast<int>(DayEventTextStart.size());
    std::string description = TextMid(trimmed, p + startLength, f - p - startLength);
    description = TextReplace(description, NonBreakingSpace, Blank, ReplaceAll);

    const std::string lower = TextLower(description);
    if (!ContainsAny(lower, AdmissionKeywords)) return;
    // Leave is shown only on the person's own row: the tag must appear, letter case included.
    if (Contains(lower, LeaveKeyword) && !Contains(description, leaveTag)) return;

    status.append(status.empty() ? NoteOpen : NoteOpenAfter).append(description).append(SmallClose);
}

void ParseDayPage(const std::string& page, TDateTime nowTime, const std::string& leaveTag, std::string& status,
                  TLogWriter& log)
{
    // One pass per marker word instead of a page search per numbered probe.
    const TMarkerIndex meetingMarks(page, MeetingMarker);
    const TMarkerIndex dayEventMarks(page, DayEventMarker);
    const int meetings = meetingMarks.CountNumbered();
    log.Log(std::string(MeetingsCountText) + IntToText(meetings), false);
    const int dayEvents = dayEventMarks.CountNumbered();
    log.Log(std::string(DayEventsCountText) + IntToText(dayEvents), true);

    for (int r = 1; r <= meetings; ++r) {
        log.Log(std::string(ItemDotText), true);
        AddMeeting(status, CollectBlockAt(page, meetingMarks.FirstAfterEquals(IntToText(r))), nowTime);
    }
    for (int r = 1; r <= dayEvents; ++r) {
        log.Log(std::string(ItemDotText), true);
        AddDayEvent(status, CollectBlockAt(page, dayEventMarks.FirstAfterEquals(IntToText(r))), leaveTag);
    }
}

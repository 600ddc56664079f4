#include "calendar/EventFilter.h"

#include <cstring>
#include <strings.h>

#include <libical/ical.h>

#include "calendar/CalendarConstants.h"
#include "calendar/LocalTime.h"

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// A property line's name (before ';' or ':') is name.
bool named(std::string_view line, std::string_view name)
{
    return startsWithNoCase(line, name) && line.size() > name.size() && (line[name.size()] == ':' || line[name.size()] == ';');
}

// The value after the first ':' outside quotes, line breaks and folding removed.
std::string valueOf(std::string_view line)
{
    bool quoted = false;
    std::size_t at = 0;
    for (; at < line.size(); ++at) {
        if (line[at] == '"') quoted = !quoted;
        if (line[at] == ':' && !quoted) break;
    }
    std::string value;
    for (++at; at < line.size(); ++at) {
        if (line[at] == '\r' || line[at] == '\n') {
            if (at + 1 < line.size() && (line[at + 1] == ' ' || line[at + 1] == '\t')) ++at;
            continue;
        }
        value += line[at];
    }
    return value;
}

// What the filter reads of one VEVENT: its own properties, not those of a VALARM inside it.
struct EventFacts {
    bool hasNul = false, recurs = false, understood = true;
    std::optional<long long> startDay, endDay;
    std::optional<long long> durationDays;
};

std::optional<long long> dayOfValue(const std::string& value)
{
    const icaltimetype t = icaltime_from_string(value.c_str());
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t)) return std::nullopt;
    return civilDayNumber(t.year, t.month, t.day);
}

void readLine(std::string_view line, EventFacts& facts)
{
    if (named(line, "RRULE") || named(line, "RDATE") || named(line, "EXRULE") || named(line, "RECURRENCE-ID")) {
        facts.recurs = true;
    } else if (named(line, "DTSTART")) {
        facts.startDay = dayOfValue(valueOf(line));
        if (!facts.startDay) facts.understood = false;
    } else if (named(line, "DTEND")) {
        facts.endDay = dayOfValue(valueOf(line));
        if (!facts.endDay) facts.understood = false;
    } else if (named(line, "DURATION")) {
        const icaldurationtype d = icaldurationtype_from_string(valueOf(line).c_str());
        if (icaldurationtype_is_bad_duration(d) || d.is_neg) {
            facts.understood = false;
        } else {
            facts.durationDays = (icaldurationtype_as_int(d) + SecondsPerDay - 1) / SecondsPerDay;
        }
    }
}

// Whether a plain event read so lies wholly outside keep (a zone offset or a floating time moves
// it by a day at most, kept as margin).
bool outside(const EventFacts& facts, const DayNumberRange& keep)
{
    if (facts.hasNul || facts.recurs || !facts.understood || !facts.startDay) return false;
    const long long start = *facts.startDay;
    const long long end = facts.endDay ? *facts.endDay : start + facts.durationDays.value_or(1);
    return start > keep.last + 1 || std::max(start, end) < keep.first - 1;
}

}  // namespace

std::optional<std::string> filterEvents(std::string_view text, const std::optional<DayNumberRange>& keep,
                                        std::size_t& eventsLeft, WarningList& warnings)
{
    const bool hasNul = std::memchr(text.data(), '\0', text.size()) != nullptr;
    if (!hasNul && !keep) return std::nullopt;
    std::string out;
    out.reserve(keep ? text.size() / 4 : text.size());
    bool cut = false;
    std::size_t eventBegin = std::string_view::npos;  // offset of the open VEVENT's first line
    int eventLine = 0, lineNumber = 0, depth = 0;     // depth: components open inside the VEVENT
    EventFacts facts;
    std::size_t copiedTo = 0;  // text before this offset is either in out or cut
    for (std::size_t at = 0; at < text.size();) {
        // One logical line: folded continuation lines (starting with a blank) belong to it.
        std::size_t end = at;
        const std::size_t first = lineNumber + 1;
        do {
            const std::size_t newline = text.find('\n', end);
            end = newline == std::string_view::npos ? text.size() : newline + 1;
            ++lineNumber;
        } while (end < text.size() && (text[end] == ' ' || text[end] == '\t'));
        const std::string_view line = text.substr(at, end - at);
        if (eventBegin == std::string_view::npos) {
            if (startsWithNoCase(line, BeginEvent)) {
                eventBegin = at;
                eventLine = static_cast<int>(first);
                depth = 0;
                facts = EventFacts{};
            }
        } else {
            if (line.find('\0') != std::string_view::npos) facts.hasNul = true;
            if (startsWithNoCase(line, "BEGIN:")) {
                ++depth;
            } else if (startsWithNoCase(line, EndEvent) && depth == 0) {
                const bool nul = facts.hasNul;
                const bool away = !nul && keep && outside(facts, *keep);
                const bool over = !nul && !away && eventsLeft == 0;
                if (!nul && !away && !over) --eventsLeft;
                if (nul || away || over) {
                    if (nul) warnings.add(std::string(NulEventText) + std::to_string(eventLine));
                    if (over) warnings.add(std::string(EventsCappedText));
                    out.append(text.substr(copiedTo, eventBegin - copiedTo));
                    copiedTo = end;
                    cut = true;
                }
                eventBegin = std::string_view::npos;
            } else if (startsWithNoCase(line, "END:")) {
                --depth;
            } else if (depth == 0) {
                readLine(line, facts);
            }
        }
        at = end;
    }
    if (!cut) return std::nullopt;
    out.append(text.substr(copiedTo));
    return out;
}

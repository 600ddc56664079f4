#include "tools/democal/DemoFeed.h"

#include <cstdio>

#include "tools/democal/DemoConstants.h"

namespace quorvane {

namespace {

// Backslash, semicolon, comma and line breaks escaped, as iCalendar TEXT values need.
std::string escapeText(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case ';': escaped += "\\;"; break;
        case ',': escaped += "\\,"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': break;
        default: escaped += c;
        }
    }
    return escaped;
}

// One content line, folded after 75 octets (never inside a UTF-8 sequence), with CRLF.
std::string line(std::string_view text) {
    std::string out;
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (width >= DemoFeedLineOctets && !continuation) {
            out += "\r\n ";
            width = 1;
        }
        out += text[i];
        ++width;
    }
    return out + "\r\n";
}

std::string dateText(const DemoDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::string localTimeText(const DemoDate& date, int minute) {
    char text[16];
    std::snprintf(text, sizeof text, "T%02d%02d00", minute / 60, minute % 60);
    return dateText(date) + text;
}

DemoDate nextDay(const DemoDate& date) {
    DemoDate next = date;
    if (!parseQueryDate(queryDateText({date.year, date.month, date.day + 1}))) {
        next.day = 1;
        if (++next.month > 12) {
            next.month = 1;
            ++next.year;
        }
    } else {
        ++next.day;
    }
    return next;
}

std::string uid(const DemoPerson& person, const DemoDate& date, char kind, int number) {
    return std::string(person.itemId) + "-" + dateText(date) + "-" + kind + std::to_string(number) + "@" +
           std::string(DemoFeedUidDomain);
}

}  // namespace

std::optional<std::string> feedItemId(std::string_view path) {
    if (!path.starts_with(DemoFeedPrefix) || !path.ends_with(DemoFeedSuffix)) return std::nullopt;
    std::string_view item = path.substr(DemoFeedPrefix.size());
    if (item.size() <= DemoFeedSuffix.size()) return std::nullopt;
    item.remove_suffix(DemoFeedSuffix.size());
    if (item.find('/') != std::string_view::npos) return std::nullopt;
    return std::string(item);
}

std::string renderDayFeed(const DemoPerson& person, const DemoDate& date, const DemoDayPlan& plan) {
    // Stamped at the day's start, so that the same day always gives the same bytes.
    const std::string stamp = dateText(date) + "T000000Z";
    std::string feed = line("BEGIN:VCALENDAR") + line("VERSION:2.0") + line(DemoFeedProductId) +
                       line("CALSCALE:GREGORIAN") + line("X-WR-CALNAME:" + escapeText(person.name));
    int number = 0;
    for (const std::string& text : plan.dayEvents) {
        feed += line("BEGIN:VEVENT") + line("UID:" + uid(person, date, 'd', ++number)) + line("DTSTAMP:" + stamp) +
                line("DTSTART;VALUE=DATE:" + dateText(date)) + line("DTEND;VALUE=DATE:" + dateText(nextDay(date))) +
                line("SUMMARY:" + escapeText(text)) + line("END:VEVENT");
    }
    number = 0;
    for (const DemoMeeting& meeting : plan.meetings) {
        feed += line("BEGIN:VEVENT") + line("UID:" + uid(person, date, 'm', ++number)) + line("DTSTAMP:" + stamp) +
                line("DTSTART:" + localTimeText(date, meeting.start)) +
                line("DTEND:" + localTimeText(date, meeting.end)) + line("SUMMARY:" + escapeText(meeting.description));
        if (!meeting.room.empty()) feed += line("LOCATION:" + escapeText(meeting.room));
        feed += line("END:VEVENT");
    }
    return feed + line("END:VCALENDAR");
}

}  // namespace quorvane

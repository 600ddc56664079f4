#pragma once
// A person's day in one line, for comparing against tables: "hhmm-hhmm summary (location) flags"
// per meeting in UTC, "[summary flags]" per day event, "!warning" per warning; flags P private,
// T tentative, O out of office, W working elsewhere.
#include <ctime>
#include <string>

#include "calendar/CalendarDay.h"

namespace quorvane {

inline std::string cloudShown(const CalendarDay& day) {
    std::string out;
    const auto add = [&out](const std::string& item) { out += (out.empty() ? "" : "; ") + item; };
    const auto flags = [](bool p, bool t, bool o, bool w) {
        return std::string(p ? " P" : "") + (t ? " T" : "") + (o ? " O" : "") + (w ? " W" : "");
    };
    const auto hhmm = [](std::int64_t seconds) {
        const time_t t = static_cast<time_t>(seconds);
        std::tm parts{};
        gmtime_r(&t, &parts);
        char text[8];
        std::strftime(text, sizeof text, "%H%M", &parts);
        return std::string(text);
    };
    for (const CalendarMeeting& m : day.meetings)
        add(hhmm(m.start) + "-" + hhmm(m.end) + " " + m.summary + (m.location.empty() ? "" : " (" + m.location + ")") +
            flags(m.isPrivate, m.tentative, m.outOfOffice, m.workingElsewhere));
    for (const CalendarDayEvent& e : day.dayEvents) add("[" + e.summary + flags(e.isPrivate, false, e.outOfOffice, e.workingElsewhere) + "]");
    for (const std::string& warning : day.warnings) add("!" + warning);
    return out;
}

}  // namespace quorvane

#pragma once
// Test helper: reads a day view the way the board reads one (numbered markers, blocks closed by
// "</FONT>", fixed cuts), so tests can state what the board will find in the demo's pages.
#include <string>
#include <string_view>
#include <vector>

struct SeenMeeting {
    std::string Range;        // the text between "</A>" and the first "<BR>"
    std::string Description;  // the text between that "<BR>" and the first "</FONT"
    int Start = -1;           // minutes of day, -1 when the range does not read as "HH:MM - HH:MM"
    int End = -1;
};

// Largest n such that marker followed by 1..n all occur.
inline int CountMarkers(std::string_view page, std::string_view marker) {
    int n = 0;
    while (page.find(std::string(marker) + std::to_string(n + 1)) != std::string_view::npos) ++n;
    return n;
}

// The block from "=<marker><number>" to the first "</FONT>" after it inclusive; empty when the
// marker is missing or no "</FONT>" follows (the board fails on such a page).
inline std::string Block(std::string_view page, std::string_view marker, int number) {
    std::size_t at = page.find("=" + std::string(marker) + std::to_string(number));
    if (at == std::string_view::npos) return {};
    std::size_t close = page.find("</FONT>", at);
    if (close == std::string_view::npos) return {};
    return std::string(page.substr(at, close + 7 - at));
}

inline int ReadClock(std::string_view text) {
    if (text.size() != 5 || text[2] != ':') return -1;
    for (int i : {0, 1, 3, 4})
        if (text[i] < '0' || text[i] > '9') return -1;
    int hour = (text[0] - '0') * 10 + (text[1] - '0'), minute = (text[3] - '0') * 10 + (text[4] - '0');
    return hour < 24 && minute < 60 ? hour * 60 + minute : -1;
}

inline std::vector<SeenMeeting> MeetingsIn(std::string_view page) {
    std::vector<SeenMeeting> meetings;
    for (int r = 1, n = CountMarkers(page, "meetingNum"); r <= n; ++r) {
        std::string block = Block(page, "meetingNum", r);
        SeenMeeting seen;
        std::size_t a = block.find("</A>"), b = block.find("<BR>"), f = block.find("</FONT");
        if (a != std::string::npos && b != std::string::npos && a + 4 <= b) seen.Range = block.substr(a + 4, b - a - 4);
        if (b != std::string::npos && f != std::string::npos && b + 4 <= f) seen.Description = block.substr(b + 4, f - b - 4);
        std::size_t dash = seen.Range.find(" - ");
        if (dash != std::string::npos) {
            seen.Start = ReadClock(seen.Range.substr(0, dash));
            seen.End = ReadClock(seen.Range.substr(dash + 3));
        }
        meetings.push_back(seen);
    }
    return meetings;
}

// Descriptions of the day events: after the first 14 characters of the block, the text between
// the first "-1>" and the first "</FONT".
inline std::vector<std::string> DayEventsIn(std::string_view page) {
    std::vector<std::string> events;
    for (int r = 1, n = CountMarkers(page, "specialNum"); r <= n; ++r) {
        std::string block = Block(page, "specialNum", r);
        std::string trimmed = block.size() > 14 ? block.substr(14, 999) : std::string();
        std::size_t p = trimmed.find("-1>"), f = trimmed.find("</FONT");
        events.push_back(p != std::string::npos && f != std::string::npos && p + 3 <= f
                             ? trimmed.substr(p + 3, f - p - 3)
                             : std::string());
    }
    return events;
}

// In progress half a minute after `minute`: start < now <= end.
inline int InProgressAt(const std::vector<SeenMeeting>& meetings, int minute) {
    int count = 0;
    for (const SeenMeeting& m : meetings)
        if (m.Start * 60 < minute * 60 + 30 && minute * 60 + 30 <= m.End * 60) ++count;
    return count;
}

#pragma once
// Calendar dates and the moment a day view is built for: the request's date and a minute of day.
#include <optional>
#include <string>
#include <string_view>

struct DemoDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const DemoDate&) const = default;
};

struct DemoMoment {
    DemoDate Date;
    int Minute = 0;  // minutes since midnight, 0..1439
};

// "YYYY/MM/DD" (also with "-" or "." as the separator, the same one twice: the board writes its
// regional date separator); nullopt when malformed or not a real date.
std::optional<DemoDate> ParseQueryDate(std::string_view text);
// "YYYY-MM-DD hh:mm" as given to --now; nullopt when malformed.
std::optional<DemoMoment> ParseMoment(std::string_view text);
// The local wall clock to the minute.
DemoMoment LocalMoment();

// "YYYY/MM/DD".
std::string QueryDateText(const DemoDate& date);
// For a page heading: "Sunday 6 December 2026".
std::string LongDateText(const DemoDate& date);
// "HH:MM" of a minute of day.
std::string ClockText(int minute);

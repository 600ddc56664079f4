#pragma once
// Calendar dates and the moment a day view is built for: the request's date and a minute of day.
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

struct DemoDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const DemoDate&) const = default;
};

struct DemoMoment {
    DemoDate date;
    int minute = 0;  // minutes since midnight, 0..1439
};

// "YYYY/MM/DD" (also with "-" or "." as the separator, the same one twice: the board writes its
// regional date separator); nullopt when malformed or not a real date.
std::optional<DemoDate> parseQueryDate(std::string_view text);
// "YYYY-MM-DD hh:mm" as given to --now; nullopt when malformed.
std::optional<DemoMoment> parseMoment(std::string_view text);
// The local wall clock to the minute.
DemoMoment localMoment();

// "YYYY/MM/DD".
std::string queryDateText(const DemoDate& date);
// For a page heading: "Sunday 6 December 2026".
std::string longDateText(const DemoDate& date);
// "HH:MM" of a minute of day.
std::string clockText(int minute);

}  // namespace quorvane

#include "tools/democal/DemoDate.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace quorvane {

namespace {

constexpr std::array<const char*, 12> MonthNames{"January", "February", "March",     "April",
                                                 "May",     "June",     "July",      "August",
                                                 "September", "October", "November", "December"};
constexpr std::array<const char*, 7> WeekdayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr int MinYear = 1;
constexpr int MaxYear = 9999;

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int monthLength(int year, int month) {
    constexpr std::array<int, 12> Lengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : Lengths[month - 1];
}

// A run of exactly `digits` decimal digits at text[pos].
std::optional<int> digits(std::string_view text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool isRealDate(int year, int month, int day) {
    return year >= MinYear && year <= MaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= monthLength(year, month);
}

// Reads "YYYY<sep>MM<sep>DD" at the start of text with one of the given separators.
std::optional<DemoDate> readDate(std::string_view text, std::string_view separators) {
    if (text.size() < 10 || separators.find(text[4]) == std::string_view::npos || text[7] != text[4])
        return std::nullopt;
    auto year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    if (!year || !month || !day || !isRealDate(*year, *month, *day)) return std::nullopt;
    return DemoDate{*year, *month, *day};
}

// Day of the week, 0 = Sunday (Sakamoto's method).
int weekday(const DemoDate& date) {
    constexpr std::array<int, 12> Offsets{0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int year = date.month < 3 ? date.year - 1 : date.year;
    return (year + year / 4 - year / 100 + year / 400 + Offsets[date.month - 1] + date.day) % 7;
}

}  // namespace

std::optional<DemoDate> parseQueryDate(std::string_view text) {
    if (text.size() != 10) return std::nullopt;
    return readDate(text, "/-.");
}

std::optional<DemoMoment> parseMoment(std::string_view text) {
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':') return std::nullopt;
    auto date = readDate(text, "-");
    auto hour = digits(text, 11, 2), minute = digits(text, 14, 2);
    if (!date || !hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return DemoMoment{*date, *hour * 60 + *minute};
}

DemoMoment localMoment() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DemoMoment{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                      local.tm_hour * 60 + local.tm_min};
}

std::string queryDateText(const DemoDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
    return text;
}

std::string longDateText(const DemoDate& date) {
    return std::string(WeekdayNames[weekday(date)]) + " " + std::to_string(date.day) + " " +
           MonthNames[date.month - 1] + " " + std::to_string(date.year);
}

std::string clockText(int minute) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

}  // namespace quorvane

#include "calendar/RecurrenceGuard.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "calendar/CalendarConstants.h"
#include "calendar/LocalTime.h"

namespace {

constexpr int MonthLengthMax[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Whether some listed day of the month exists in some listed month (Feb 30 and Apr 31 never do).
bool monthDayCanFall(const icalrecurrencetype& rule)
{
    if (rule.by_month_day[0] == ICAL_RECURRENCE_ARRAY_MAX) return true;
    int longest = 0;
    if (rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX) {
        longest = 31;
    } else {
        for (int i = 0; i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            const int month = icalrecurrencetype_month_month(rule.by_month[i]);
            if (month >= 1 && month <= 12 && MonthLengthMax[month] > longest) longest = MonthLengthMax[month];
        }
    }
    for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && rule.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        if (std::abs(rule.by_month_day[i]) <= longest) return true;
    }
    return false;
}

bool listed(const short* values, int size)
{
    return size > 0 && values[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

bool hasDayFilter(const icalrecurrencetype& rule)
{
    return rule.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
           rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX ||
           rule.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

}  // namespace

std::string recurrenceRefusal(const icalrecurrencetype& rule)
{
    const auto refused = [&rule](std::string_view why) {
        const char* text = icalrecurrencetype_as_string(const_cast<icalrecurrencetype*>(&rule));
        return std::string(why) + (text != nullptr ? text : "");
    };
    if (!monthDayCanFall(rule)) return refused(RuleNeverText);
    // libical looks for a matching day one step at a time up to its last year: a sub-daily
    // rule restricted to certain days may take minutes to find, or to miss, one.
    const bool subDaily = rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
                          rule.freq == ICAL_HOURLY_RECURRENCE;
    if (rule.freq == ICAL_SECONDLY_RECURRENCE || (subDaily && hasDayFilter(rule))) return refused(RuleUnsupportedText);
    // Several seconds listed give several occurrences within one minute, whatever the frequency.
    if (listed(rule.by_second, ICAL_BY_SECOND_SIZE) && rule.by_second[1] != ICAL_RECURRENCE_ARRAY_MAX) {
        return refused(RuleSubMinuteText);
    }
    return {};
}

namespace {

// 0 = Sunday, as libical's day-of-week minus one.
int weekdayOf(long long dayNumber)
{
    return static_cast<int>(((dayNumber % 7) + 11) % 7);  // 1970-01-01 was a Thursday
}

}  // namespace

bool ruleMayFallOn(const icalrecurrencetype& rule, const icaltimetype& start, long long firstDay, long long lastDay)
{
    if (lastDay - firstDay >= 6) return true;
    const bool byDay = listed(rule.by_day, ICAL_BY_DAY_SIZE);
    const bool byMonthDay = listed(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const bool byOtherDays = listed(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) || listed(rule.by_week_no, ICAL_BY_WEEKNO_SIZE);
    const long long startDay = civilDayNumber(start.year, start.month, start.day);
    for (long long day = firstDay; day <= lastDay; ++day) {
        const int weekday = weekdayOf(day);
        bool weekdayFits = true;
        if (byDay) {
            weekdayFits = false;
            for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
                if (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) - 1 == weekday) weekdayFits = true;
            }
        } else if (rule.freq == ICAL_WEEKLY_RECURRENCE) {
            weekdayFits = weekday == weekdayOf(startDay);
        }
        if (!weekdayFits) continue;
        const CivilDate date = civilFromDayNumber(day);
        const int length = static_cast<int>(civilDayNumber(date.month == 12 ? date.year + 1 : date.year,
                                                           date.month == 12 ? 1 : date.month + 1, 1) -
                                            civilDayNumber(date.year, date.month, 1));
        bool monthDayFits = true;
        if (byMonthDay) {
            monthDayFits = false;
            for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && rule.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
                const int d = rule.by_month_day[i];
                if (d == date.day || (d < 0 && length + d + 1 == date.day)) monthDayFits = true;
            }
        } else if (rule.freq == ICAL_MONTHLY_RECURRENCE && !byDay && !byOtherDays) {
            monthDayFits = date.day == start.day;
        }
        if (monthDayFits) return true;
    }
    return false;
}

bool countAsUntil(icalrecurrencetype& rule, const icaltimetype& start)
{
    if (rule.count <= 0) return false;
    const short* parts[] = {rule.by_second, rule.by_minute, rule.by_hour, rule.by_day, rule.by_month_day,
                            rule.by_year_day, rule.by_week_no, rule.by_month, rule.by_set_pos};
    for (const short* part : parts) {
        if (part[0] != ICAL_RECURRENCE_ARRAY_MAX) return false;
    }
    const long long steps = static_cast<long long>(rule.count - 1) * std::max<short>(rule.interval, 1);
    long long days = 0, seconds = 0, months = 0;
    switch (rule.freq) {
    case ICAL_MINUTELY_RECURRENCE: seconds = steps * 60; break;
    case ICAL_HOURLY_RECURRENCE: seconds = steps * 3600; break;
    case ICAL_DAILY_RECURRENCE: days = steps; break;
    case ICAL_WEEKLY_RECURRENCE: days = steps * 7; break;
    // Every month has days 1 to 28; a later day is skipped in short months and not counted.
    case ICAL_MONTHLY_RECURRENCE: if (start.day > 28) return false; months = steps; break;
    case ICAL_YEARLY_RECURRENCE: if (start.month == 2 && start.day == 29) return false; months = steps * 12; break;
    default: return false;
    }
    const long long second = ((start.hour * 60LL + start.minute) * 60 + start.second) + seconds;
    long long day = civilDayNumber(start.year, start.month, start.day) + days + second / SecondsPerDay;
    const long long secondOfDay = second % SecondsPerDay;
    if (months != 0) {
        const long long month = start.year * 12LL + (start.month - 1) + months;
        if (month / 12 > MaxRuleYear) return false;
        day = civilDayNumber(static_cast<int>(month / 12), static_cast<int>(month % 12) + 1, start.day);
    }
    if (day > civilDayNumber(MaxRuleYear, 12, 31)) return false;
    const CivilDate last = civilFromDayNumber(day);
    icaltimetype until = start;
    until.zone = nullptr;
    until.year = last.year;
    until.month = last.month;
    until.day = last.day;
    if (!start.is_date) {
        until.hour = static_cast<int>(secondOfDay / 3600);
        until.minute = static_cast<int>(secondOfDay / 60 % 60);
        until.second = static_cast<int>(secondOfDay % 60);
    }
    rule.count = 0;
    rule.until = until;
    return true;
}

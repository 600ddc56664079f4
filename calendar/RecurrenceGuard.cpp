#include "calendar/RecurrenceGuard.h"

#include <cstdlib>

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

bool hasDayFilter(const icalrecurrencetype& rule)
{
    return rule.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
           rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX ||
           rule.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

}  // namespace

std::string recurrenceRefusal(const icalrecurrencetype& rule)
{
    const char* text = icalrecurrencetype_as_string(const_cast<icalrecurrencetype*>(&rule));
    const std::string shown = text != nullptr ? text : "";
    if (!monthDayCanFall(rule)) return std::string(RuleNeverText) + shown;
    // libical looks for a matching day one step at a time up to its last year: a sub-daily
    // rule restricted to certain days may take minutes to find, or to miss, one.
    const bool subDaily = rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
                          rule.freq == ICAL_HOURLY_RECURRENCE;
    if (rule.freq == ICAL_SECONDLY_RECURRENCE || (subDaily && hasDayFilter(rule))) {
        return std::string(RuleUnsupportedText) + shown;
    }
    return {};
}

namespace {

// 0 = Sunday, as libical's day-of-week minus one.
int weekdayOf(long long dayNumber)
{
    return static_cast<int>(((dayNumber % 7) + 11) % 7);  // 1970-01-01 was a Thursday
}

bool listed(const short* values, int size)
{
    return size > 0 && values[0] != ICAL_RECURRENCE_ARRAY_MAX;
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

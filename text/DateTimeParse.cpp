#include "text/DateTime.h"

#include "text/Errors.h"
#include "text/Placeholders.h"
#include "text/Text.h"
#include "text/TextConstants.h"

#include <ctime>
#include <optional>

namespace quorvane {

namespace {

enum class DateOrder { dayMonthYear, MonthDayYear, YearMonthDay };

// The first of d, m, y, e (either case) in the short date pattern decides the order.
DateOrder orderOf(std::string_view shortDatePattern)
{
    for (const char c : shortDatePattern) {
        switch (c) {
        case 'd': case 'D': return DateOrder::dayMonthYear;
        case 'm': case 'M': return DateOrder::MonthDayYear;
        case 'y': case 'Y': case 'e': case 'E': return DateOrder::YearMonthDay;
        default: break;
        }
    }
    return DateOrder::MonthDayYear;
}

struct Number {
    int value;
    int length;  // characters taken
};

// The scanner's position over the text, with the elementary readers.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }

    // Blanks only; a tab is not a blank here.
    void skipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ') {
            ++pos_;
        }
    }

    // ASCII digits while the value so far is below 1000: at most four significant digits.
    std::optional<Number> readNumber()
    {
        skipBlanks();
        Number n{0, 0};
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && n.value < NumberDigitLimit) {
            n.value = n.value * 10 + (text_[pos_] - '0');
            ++n.length;
            ++pos_;
        }
        if (n.length == 0) {
            return std::nullopt;
        }
        return n;
    }

    // A NUL separator (a setting that prints nothing) never matches.
    bool readSeparator(char separator)
    {
        skipBlanks();
        if (separator != Nul && pos_ < text_.size() && text_[pos_] == separator) {
            ++pos_;
            return true;
        }
        return false;
    }

    // Case-insensitive match of a designator; an empty one never matches.
    bool readDesignator(std::string_view designator)
    {
        skipBlanks();
        if (designator.empty() || text_.size() - pos_ < designator.size()) {
            return false;
        }
        if (textUpper(text_.substr(pos_, designator.size())) != textUpper(designator)) {
            return false;
        }
        pos_ += designator.size();
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class Designator { None, Am, Pm };

Designator readAnyDesignator(Scanner& scan, const FormatSettings& formats)
{
    if (scan.readDesignator(formats.amDesignator) || scan.readDesignator(AmFixed)) {
        return Designator::Am;
    }
    if (scan.readDesignator(formats.pmDesignator) || scan.readDesignator(PmFixed)) {
        return Designator::Pm;
    }
    return Designator::None;
}

// Two-digit (or one-digit) years fall in the hundred years starting CenturyWindow years ago.
int widenYear(int year, int currentYear)
{
    const int base = currentYear - CenturyWindow;
    year += (base / YearsPerCentury) * YearsPerCentury;
    if (year < base) {
        year += YearsPerCentury;
    }
    return year;
}

std::optional<DateTime> readDate(Scanner& scan, const FormatSettings& formats, int currentYear)
{
    const auto a = scan.readNumber();
    if (!a || !scan.readSeparator(formats.dateSep)) {
        return std::nullopt;
    }
    const auto b = scan.readNumber();
    if (!b) {
        return std::nullopt;
    }
    const DateOrder order = orderOf(formats.shortDatePattern);
    int year = currentYear;
    int month = 0;
    int day = 0;
    if (scan.readSeparator(formats.dateSep)) {
        const auto c = scan.readNumber();
        if (!c) {
            return std::nullopt;
        }
        Number yearNumber{};
        switch (order) {
        case DateOrder::dayMonthYear: day = a->value; month = b->value; yearNumber = *c; break;
        case DateOrder::MonthDayYear: month = a->value; day = b->value; yearNumber = *c; break;
        case DateOrder::YearMonthDay: yearNumber = *a; month = b->value; day = c->value; break;
        }
        year = yearNumber.length <= 2 ? widenYear(yearNumber.value, currentYear) : yearNumber.value;
    } else if (order == DateOrder::dayMonthYear) {
        day = a->value;
        month = b->value;
    } else {
        month = a->value;
        day = b->value;
    }
    scan.readSeparator(formats.dateSep);
    scan.skipBlanks();
    if (year < MinYear || year > MaxYear || month < 1 || month > MonthsPerYear || day < 1 ||
        day > daysInMonth(year, month)) {
        return std::nullopt;
    }
    return encodeDate(year, month, day);
}

std::optional<DateTime> readTime(Scanner& scan, const FormatSettings& formats)
{
    Designator designator = readAnyDesignator(scan, formats);
    if (designator != Designator::None) {
        scan.skipBlanks();
    }
    const auto hour = scan.readNumber();
    if (!hour) {
        return std::nullopt;
    }
    int h = hour->value;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    if (scan.readSeparator(formats.timeSep)) {
        const auto m = scan.readNumber();
        if (!m) {
            return std::nullopt;
        }
        minute = m->value;
        if (scan.readSeparator(formats.timeSep)) {
            const auto s = scan.readNumber();
            if (!s) {
                return std::nullopt;
            }
            second = s->value;
            if (scan.readSeparator(formats.decimalSep)) {
                const auto ms = scan.readNumber();
                if (!ms) {
                    return std::nullopt;
                }
                millisecond = ms->value;
            }
        }
    }
    if (designator == Designator::None) {
        designator = readAnyDesignator(scan, formats);
    }
    if (designator != Designator::None) {
        if (h < 1 || h > HoursPerHalfDay) {
            return std::nullopt;
        }
        if (h == HoursPerHalfDay) {
            h = 0;
        }
        if (designator == Designator::Pm) {
            h += HoursPerHalfDay;
        }
    }
    scan.skipBlanks();
    if (h >= HoursPerDay || minute >= MinutesPerHour || second >= SecondsPerMinute ||
        millisecond >= NumberDigitLimit) {
        return std::nullopt;
    }
    return encodeTime(h, minute, second, millisecond);
}

int currentYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace

DateTime textToDateTime(std::string_view text)
{
    const auto formats = localeFormats();
    return textToDateTime(text, *formats, currentYear());
}

DateTime textToDateTime(std::string_view text, const FormatSettings& formats)
{
    return textToDateTime(text, formats, currentYear());
}

DateTime textToDateTime(std::string_view text, const FormatSettings& formats, int currentYear)
{
    Scanner scan(text);
    if (const auto date = readDate(scan, formats, currentYear)) {
        if (scan.atEnd()) {
            return *date;
        }
        if (const auto time = readTime(scan, formats)) {
            return *date + *time;  // whatever follows a valid time is ignored
        }
    }
    scan.seek(0);
    if (const auto time = readTime(scan, formats); time && scan.atEnd()) {
        return *time;
    }
    throw ConvertError(formatPlaceholders(ConvertErrorFormat, {text}));
}

}  // namespace quorvane

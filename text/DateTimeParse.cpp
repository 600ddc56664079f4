#include "text/DateTime.h"

#include "text/Errors.h"
#include "text/Placeholders.h"
#include "text/Text.h"
#include "text/TextConstants.h"

#include <ctime>
#include <optional>

namespace {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// The first of d, m, y, e (either case) in the short date pattern decides the order.
DateOrder OrderOf(std::string_view shortDatePattern)
{
    for (const char c : shortDatePattern) {
        switch (c) {
        case 'd': case 'D': return DateOrder::DayMonthYear;
        case 'm': case 'M': return DateOrder::MonthDayYear;
        case 'y': case 'Y': case 'e': case 'E': return DateOrder::YearMonthDay;
        default: break;
        }
    }
    return DateOrder::MonthDayYear;
}

struct Number {
    int Value;
    int Length;  // characters taken
};

// The scanner's position over the text, with the elementary readers.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Position() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos; }

    // Blanks only; a tab is not a blank here.
    void SkipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ') {
            ++pos_;
        }
    }

    // ASCII digits while the value so far is below 1000: at most four significant digits.
    std::optional<Number> ReadNumber()
    {
        SkipBlanks();
        Number n{0, 0};
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && n.Value < kNumberDigitLimit) {
            n.Value = n.Value * 10 + (text_[pos_] - '0');
            ++n.Length;
            ++pos_;
        }
        if (n.Length == 0) {
            return std::nullopt;
        }
        return n;
    }

    // A NUL separator (a setting that prints nothing) never matches.
    bool ReadSeparator(char separator)
    {
        SkipBlanks();
        if (separator != kNul && pos_ < text_.size() && text_[pos_] == separator) {
            ++pos_;
            return true;
        }
        return false;
    }

    // Case-insensitive match of a designator; an empty one never matches.
    bool ReadDesignator(std::string_view designator)
    {
        SkipBlanks();
        if (designator.empty() || text_.size() - pos_ < designator.size()) {
            return false;
        }
        if (TextUpper(text_.substr(pos_, designator.size())) != TextUpper(designator)) {
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

Designator ReadAnyDesignator(Scanner& scan, const TFormatSettings& formats)
{
    if (scan.ReadDesignator(formats.AmDesignator) || scan.ReadDesignator(kAmFixed)) {
        return Designator::Am;
    }
    if (scan.ReadDesignator(formats.PmDesignator) || scan.ReadDesignator(kPmFixed)) {
        return Designator::Pm;
    }
    return Designator::None;
}

// Two-digit (or one-digit) years fall in the hundred years starting CenturyWindow years ago.
int WidenYear(int year, int currentYear)
{
    const int base = currentYear - CenturyWindow;
    year += (base / kYearsPerCentury) * kYearsPerCentury;
    if (year < base) {
        year += kYearsPerCentury;
    }
    return year;
}

std::optional<TDateTime> ReadDate(Scanner& scan, const TFormatSettings& formats, int currentYear)
{
    const auto a = scan.ReadNumber();
    if (!a || !scan.ReadSeparator(formats.DateSep)) {
        return std::nullopt;
    }
    const auto b = scan.ReadNumber();
    if (!b) {
        return std::nullopt;
    }
    const DateOrder order = OrderOf(formats.ShortDatePattern);
    int year = currentYear;
    int month = 0;
    int day = 0;
    if (scan.ReadSeparator(formats.DateSep)) {
        const auto c = scan.ReadNumber();
        if (!c) {
            return std::nullopt;
        }
        Number yearNumber{};
        switch (order) {
        case DateOrder::DayMonthYear: day = a->Value; month = b->Value; yearNumber = *c; break;
        case DateOrder::MonthDayYear: month = a->Value; day = b->Value; yearNumber = *c; break;
        case DateOrder::YearMonthDay: yearNumber = *a; month = b->Value; day = c->Value; break;
        }
        year = yearNumber.Length <= 2 ? WidenYear(yearNumber.Value, currentYear) : yearNumber.Value;
    } else if (order == DateOrder::DayMonthYear) {
        day = a->Value;
        month = b->Value;
    } else {
        month = a->Value;
        day = b->Value;
    }
    scan.ReadSeparator(formats.DateSep);
    scan.SkipBlanks();
    if (year < kMinYear || year > kMaxYear || month < 1 || month > kMonthsPerYear || day < 1 ||
        day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    return EncodeDate(year, month, day);
}

std::optional<TDateTime> ReadTime(Scanner& scan, const TFormatSettings& formats)
{
    Designator designator = ReadAnyDesignator(scan, formats);
    if (designator != Designator::None) {
        scan.SkipBlanks();
    }
    const auto hour = scan.ReadNumber();
    if (!hour) {
        return std::nullopt;
    }
    int h = hour->Value;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    if (scan.ReadSeparator(formats.TimeSep)) {
        const auto m = scan.ReadNumber();
        if (!m) {
            return std::nullopt;
        }
        minute = m->Value;
        if (scan.ReadSeparator(formats.TimeSep)) {
            const auto s = scan.ReadNumber();
            if (!s) {
                return std::nullopt;
            }
            second = s->Value;
            if (scan.ReadSeparator(formats.DecimalSep)) {
                const auto ms = scan.ReadNumber();
                if (!ms) {
                    return std::nullopt;
                }
                millisecond = ms->Value;
            }
        }
    }
    if (designator == Designator::None) {
        designator = ReadAnyDesignator(scan, formats);
    }
    if (designator != Designator::None) {
        if (h < 1 || h > kHoursPerHalfDay) {
            return std::nullopt;
        }
        if (h == kHoursPerHalfDay) {
            h = 0;
        }
        if (designator == Designator::Pm) {
            h += kHoursPerHalfDay;
        }
    }
    scan.SkipBlanks();
    if (h >= kHoursPerDay || minute >= kMinutesPerHour || second >= kSecondsPerMinute ||
        millisecond >= kNumberDigitLimit) {
        return std::nullopt;
    }
    return EncodeTime(h, minute, second, millisecond);
}

int CurrentYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace

TDateTime TextToDateTime(std::string_view text)
{
    const auto formats = LocaleFormats();
    return TextToDateTime(text, *formats, CurrentYear());
}

TDateTime TextToDateTime(std::string_view text, const TFormatSettings& formats)
{
    return TextToDateTime(text, formats, CurrentYear());
}

TDateTime TextToDateTime(std::string_view text, const TFormatSettings& formats, int currentYear)
{
    Scanner scan(text);
    if (const auto date = ReadDate(scan, formats, currentYear)) {
        if (scan.AtEnd()) {
            return *date;
        }
        if (const auto time = ReadTime(scan, formats)) {
            return *date + *time;  // whatever follows a valid time is ignored
        }
    }
    scan.Seek(0);
    if (const auto time = ReadTime(scan, formats); time && scan.AtEnd()) {
        return *time;
    }
    throw EConvertError(FormatPlaceholders(kConvertErrorFormat, {text}));
}

#include "text/LocaleItems.h"

#include "text/TextConstants.h"

namespace quorvane {

namespace {

// A separator is one ASCII punctuation byte. The first byte of a multi-byte character would
// print a broken character, and a blank could never be read back (parsing skips blanks before
// it looks for a separator), so such settings fall back.
bool usableSeparator(char c)
{
    const auto u = static_cast<unsigned char>(c);
    const bool alnum = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    return u > LastBlankCode && u < FirstNonAscii && !alnum;
}

char firstSeparator(std::string_view text, char fallback)
{
    return !text.empty() && usableSeparator(text.front()) ? text.front() : fallback;
}

struct DatePattern {
    std::string pattern;    // d, M, y letters in the format's order, with its punctuation
    std::string separator;  // the literal between the first two fields
};

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The composite conversions, spelled out.
std::string expandComposites(std::string_view format)
{
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 'D' || format[i + 1] == 'F')) {
            out += format[i + 1] == 'D' ? StrftimeD : StrftimeF;
            ++i;
        } else {
            out.push_back(format[i]);
        }
    }
    return out;
}

// The pattern letters of one strftime conversion; empty for conversions that are no date field.
std::string_view lettersOf(char conversion)
{
    switch (conversion) {
    case 'd': case 'e': return "dd";
    case 'm': return "MM";
    case 'b': case 'h': case 'B': return "MMM";
    case 'y': return "yy";
    case 'Y': case 'C': case 'G': return "yyyy";
    default: return {};
    }
}

// Turns a strftime date format ("%d/%m/%Y", "%m/%d/%y", "%D", "%d.%m.%Y"...) into a short date
// pattern. Literal letters are left out so that words in a format cannot fake a date order.
DatePattern fromStrftime(std::string_view rawFormat)
{
    const std::string format = expandComposites(rawFormat);
    DatePattern result;
    int fields = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            if (fields == 1) {
                result.separator.push_back(format[i]);
            }
            if (!isAsciiLetter(format[i])) {
                result.pattern.push_back(format[i]);
            }
            continue;
        }
        // Skip glibc's flags and widths (%-d, %_m, %4Y) and the E and O modifiers.
        while (i + 1 < format.size() && StrftimeFlags.find(format[i + 1]) != std::string_view::npos) {
            ++i;
        }
        if (i + 1 < format.size()) {
            const std::string_view letters = lettersOf(format[++i]);
            if (!letters.empty()) {
                result.pattern += letters;
                ++fields;
            }
        }
    }
    return result;
}

// The literal right after the first field of a strftime time format ("%H:%M:%S" gives ':');
// %T and %R are themselves hours and minutes joined by ':'.
char timeSeparatorOf(std::string_view format)
{
    bool fieldSeen = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            const char conversion = format[++i];
            if (conversion == 'T' || conversion == 'R') {
                return FallbackTimeSep;
            }
            fieldSeen = true;
        } else if (fieldSeen) {
            return firstSeparator(format.substr(i), FallbackTimeSep);
        }
    }
    return FallbackTimeSep;
}

}  // namespace

FormatSettings formatsFromLocaleItems(const LocaleItemReader& item)
{
    FormatSettings formats = FormatSettings::fallback();
    const DatePattern date = fromStrftime(item(D_FMT));
    if (!date.pattern.empty()) {
        formats.shortDatePattern = date.pattern;
    }
    formats.dateSep = firstSeparator(date.separator, FallbackDateSep);

    formats.timeSep = timeSeparatorOf(item(T_FMT));

    formats.decimalSep = firstSeparator(item(RADIXCHAR), FallbackDecimalSep);

    const std::string am = item(AM_STR);
    const std::string pm = item(PM_STR);
    if (!am.empty()) {
        formats.amDesignator = am;
    }
    if (!pm.empty()) {
        formats.pmDesignator = pm;
    }
    static constexpr nl_item MonthItems[MonthsPerYear] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,
                                                            ABMON_5, ABMON_6, ABMON_7, ABMON_8,
                                                            ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    for (int i = 0; i < MonthsPerYear; ++i) {
        std::string name = item(MonthItems[i]);
        if (!name.empty()) {
            formats.monthAbbrevs[static_cast<std::size_t>(i)] = std::move(name);
        }
    }
    return formats;
}

}  // namespace quorvane

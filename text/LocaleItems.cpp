#include "text/LocaleItems.h"

#include "text/TextConstants.h"

namespace {

// A separator is one ASCII punctuation or blank byte; the first byte of a multi-byte character
// would print a broken character, so such settings fall back.
bool UsableSeparator(char c)
{
    const auto u = static_cast<unsigned char>(c);
    const bool alnum = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    return u > 0 && u < 0x80 && !alnum;
}

char FirstSeparator(std::string_view text, char fallback)
{
    return !text.empty() && UsableSeparator(text.front()) ? text.front() : fallback;
}

struct DatePattern {
    std::string Pattern;  // d, M, y letters in the format's order
    std::string Separator;
};

// Turns a strftime date format ("%d/%m/%Y", "%m/%d/%y", "%Y-%m-%d", "%D"...) into a short date
// pattern and finds the literal between its first two fields.
DatePattern FromStrftime(std::string_view format)
{
    DatePattern result;
    bool fieldSeen = false;
    bool separatorDone = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            if (fieldSeen && !separatorDone) {
                result.Separator.push_back(format[i]);
            }
            result.Pattern.push_back(format[i]);
            continue;
        }
        char conversion = format[++i];
        // Flags and field widths of glibc (%-d, %_m, %0e, %4Y) and the E/O modifiers.
        while (i + 1 < format.size() &&
               (conversion == '-' || conversion == '_' || conversion == '0' || conversion == '^' ||
                conversion == '#' || conversion == 'E' || conversion == 'O' ||
                (conversion >= '1' && conversion <= '9'))) {
            conversion = format[++i];
        }
        std::string_view letters;
        switch (conversion) {
        case 'd': case 'e': letters = "dd"; break;
        case 'm': letters = "MM"; break;
        case 'b': case 'h': case 'B': letters = "MMM"; break;
        case 'y': letters = "yy"; break;
        case 'Y': case 'C': case 'G': letters = "yyyy"; break;
        case 'D': {
            const DatePattern inner = FromStrftime("%m/%d/%y");
            result.Pattern += inner.Pattern;
            if (!separatorDone) {
                result.Separator = inner.Separator;
            }
            fieldSeen = separatorDone = true;
            continue;
        }
        case 'F': {
            const DatePattern inner = FromStrftime("%Y-%m-%d");
            result.Pattern += inner.Pattern;
            if (!separatorDone) {
                result.Separator = inner.Separator;
            }
            fieldSeen = separatorDone = true;
            continue;
        }
        default: break;
        }
        if (letters.empty()) {
            continue;
        }
        if (fieldSeen) {
            separatorDone = true;
        }
        fieldSeen = true;
        result.Pattern += letters;
    }
    return result;
}

// The literal right after the first field of a strftime time format ("%H:%M:%S" gives ':');
// %T and %R are themselves hours and minutes joined by ':'.
char TimeSeparatorOf(std::string_view format)
{
    bool fieldSeen = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            const char conversion = format[++i];
            if (conversion == 'T' || conversion == 'R') {
                return kFallbackTimeSep;
            }
            fieldSeen = true;
        } else if (fieldSeen) {
            return FirstSeparator(format.substr(i), kFallbackTimeSep);
        }
    }
    return kFallbackTimeSep;
}

}  // namespace

TFormatSettings FormatsFromLocaleItems(const TLocaleItemReader& item)
{
    TFormatSettings formats = TFormatSettings::Fallback();
    const DatePattern date = FromStrftime(item(D_FMT));
    if (!date.Pattern.empty()) {
        formats.ShortDatePattern = date.Pattern;
    }
    formats.DateSep = FirstSeparator(date.Separator, kFallbackDateSep);

    formats.TimeSep = TimeSeparatorOf(item(T_FMT));

    formats.DecimalSep = FirstSeparator(item(RADIXCHAR), kFallbackDecimalSep);

    const std::string am = item(AM_STR);
    const std::string pm = item(PM_STR);
    if (!am.empty()) {
        formats.AmDesignator = am;
    }
    if (!pm.empty()) {
        formats.PmDesignator = pm;
    }
    static constexpr nl_item kMonthItems[kMonthsPerYear] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,
                                                            ABMON_5, ABMON_6, ABMON_7, ABMON_8,
                                                            ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    for (int i = 0; i < kMonthsPerYear; ++i) {
        std::string name = item(kMonthItems[i]);
        if (!name.empty()) {
            formats.MonthAbbrevs[static_cast<std::size_t>(i)] = std::move(name);
        }
    }
    return formats;
}


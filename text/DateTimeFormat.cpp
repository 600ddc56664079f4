#include "text/DateTime.h"

#include "text/TextConstants.h"

#include <cstdio>

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char UpperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - kCaseDistance) : c;
}

// Writes into a buffer that keeps at most kMaxFormattedLength characters.
class CappedOutput {
public:
    void Append(std::string_view text)
    {
        const std::size_t room = kMaxFormattedLength - out_.size();
        out_.append(text.substr(0, room));
    }
    void Append(char c) { Append(std::string_view(&c, 1)); }
    // A number with leading zeros up to width digits.
    void Number(int value, int width)
    {
        char digits[16];
        const int n = std::snprintf(digits, sizeof digits, "%0*d", width, value);
        Append(std::string_view(digits, static_cast<std::size_t>(n)));
    }
    bool Full() const { return out_.size() >= kMaxFormattedLength; }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

}  // namespace

std::string DateTimeToText(std::string_view pattern, TDateTime value)
{
    const auto formats = LocaleFormats();
    return DateTimeToText(pattern, value, *formats);
}

std::string DateTimeToText(std::string_view pattern, TDateTime value, const TFormatSettings& formats)
{
    const TDateTimeParts parts = DecodeDateTime(value);
    CappedOutput out;
    char lastKind = 0;
    std::size_t i = 0;
    while (i < pattern.size() && !out.Full()) {
        const char c = pattern[i];
        if (IsLetter(c)) {
            std::size_t count = 1;
            while (i + count < pattern.size() && pattern[i + count] == c) {
                ++count;
            }
            char kind = UpperLetter(c);
            // "mm" right after an hour token (across separators) means minutes.
            if (kind == 'M' && lastKind == 'H') {
                kind = 'N';
            }
            lastKind = kind;
            switch (kind) {
            case 'D': out.Number(parts.Day, count == 1 ? 1 : 2); break;
            case 'M':
                if (count >= 3) {
                    out.Append(formats.MonthAbbrevs[static_cast<std::size_t>(parts.Month - 1)]);
                } else {
                    out.Number(parts.Month, static_cast<int>(count));
                }
                break;
            case 'Y':
                if (count <= 2) {
                    out.Number(parts.Year % kYearsPerCentury, 2);
                } else {
                    out.Number(parts.Year, 4);
                }
                break;
            case 'H': out.Number(parts.Hour, count == 1 ? 1 : 2); break;
            case 'N': out.Number(parts.Minute, count == 1 ? 1 : 2); break;
            case 'S': out.Number(parts.Second, count == 1 ? 1 : 2); break;
            default:
                // A letter with no meaning here is written as it stands.
                out.Append(pattern.substr(i, count));
                break;
            }
            i += count;
        } else if (c == '\'' || c == '"') {
            // Quoted text is written without its quote marks.
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.Append(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
        } else {
            if (c == '/') {
                if (formats.DateSep != kNul) {
                    out.Append(formats.DateSep);
                }
            } else if (c == ':') {
                if (formats.TimeSep != kNul) {
                    out.Append(formats.TimeSep);
                }
            } else {
                out.Append(c);
            }
            ++i;
        }
    }
    return out.Take();
}

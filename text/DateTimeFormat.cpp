#include "text/DateTime.h"

#include "text/TextConstants.h"

namespace quorvane {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char upperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - CaseDistance) : c;
}

// Writes into a buffer that keeps at most MaxFormattedLength characters.
class CappedOutput {
public:
    void append(std::string_view text)
    {
        const std::size_t room = MaxFormattedLength - out_.size();
        out_.append(text.substr(0, room));
    }
    void append(char c) { append(std::string_view(&c, 1)); }
    // A number with leading zeros up to width digits.
    void Number(int value, int width)
    {
        // Written by hand: a formatted print per number made up most of the cost of a stamp.
        char digits[16];
        char* const end = digits + sizeof digits;
        char* at = end;
        const bool negative = value < 0;
        unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            *--at = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        const int signRoom = negative ? 1 : 0;
        while (end - at + signRoom < width && at > digits + 1) *--at = '0';
        if (negative) *--at = '-';
        append(std::string_view(at, static_cast<std::size_t>(end - at)));
    }
    bool full() const { return out_.size() >= MaxFormattedLength; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

}  // namespace

std::string dateTimeToText(std::string_view pattern, DateTime value)
{
    const auto formats = localeFormats();
    return dateTimeToText(pattern, value, *formats);
}

std::string dateTimeToText(std::string_view pattern, DateTime value, const FormatSettings& formats)
{
    const DateTimeParts parts = decodeDateTime(value);
    CappedOutput out;
    char lastKind = 0;
    std::size_t i = 0;
    while (i < pattern.size() && !out.full()) {
        const char c = pattern[i];
        if (isLetter(c)) {
            std::size_t count = 1;
            while (i + count < pattern.size() && pattern[i + count] == c) {
                ++count;
            }
            char kind = upperLetter(c);
            // "mm" right after an hour token (across separators) means minutes.
            if (kind == 'M' && lastKind == 'H') {
                kind = 'N';
            }
            lastKind = kind;
            switch (kind) {
            case 'D': out.Number(parts.day, count == 1 ? 1 : 2); break;
            case 'M':
                if (count >= 3) {
                    out.append(formats.monthAbbrevs[static_cast<std::size_t>(parts.month - 1)]);
                } else {
                    out.Number(parts.month, static_cast<int>(count));
                }
                break;
            case 'Y':
                if (count <= 2) {
                    out.Number(parts.year % YearsPerCentury, 2);
                } else {
                    out.Number(parts.year, 4);
                }
                break;
            case 'H': out.Number(parts.hour, count == 1 ? 1 : 2); break;
            case 'N': out.Number(parts.minute, count == 1 ? 1 : 2); break;
            case 'S': out.Number(parts.second, count == 1 ? 1 : 2); break;
            default:
                // A letter with no meaning here is written as it stands.
                out.append(pattern.substr(i, count));
                break;
            }
            i += count;
        } else if (c == '\'' || c == '"') {
            // Quoted text is written without its quote marks.
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
        } else {
            if (c == '/') {
                if (formats.dateSep != Nul) {
                    out.append(formats.dateSep);
                }
            } else if (c == ':') {
                if (formats.timeSep != Nul) {
                    out.append(formats.timeSep);
                }
            } else {
                out.append(c);
            }
            ++i;
        }
    }
    return out.take();
}

}  // namespace quorvane

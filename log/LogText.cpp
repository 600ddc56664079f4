#include "log/LogText.h"

#include <utility>

#include "log/ActivityLog.h"
#include "text/DateTime.h"

namespace quorvane {

std::string stampedLogLine(const Clock& clock, std::string_view text)
{
    std::string line = "[";
    line += dateTimeToText(LogStampPattern, clock.now());
    line += "] ";
    line += text;
    return line;
}

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

void appendByteEscape(std::string& out, unsigned char byte) {
    out += "\\x";
    out += Hex[byte >> 4];
    out += Hex[byte & 0x0F];
}

// The code point of the well-formed UTF-8 sequence at text[at] and its length; length 0 when the
// bytes there are not one.
std::pair<char32_t, std::size_t> decodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
    if (lead >= 0xF5) length = 0;
    if (length == 0 || at + length > text.size()) return {0, 0};
    char32_t point = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return {0, 0};
        point = (point << 6) | (next & 0x3F);
    }
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {0, 0};
    return {point, length};
}

// Characters that end or turn a line for some reader: the C1 controls (U+0085 is a line end to
// many), the line and paragraph separators, and the bidirectional overrides and isolates that
// make a line read in another order than it is written.
bool isInertCodePoint(char32_t point) {
    return (point >= 0x80 && point <= 0x9F) || point == 0x2028 || point == 0x2029 ||
           (point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

}  // namespace

std::string inertLogText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F) appendByteEscape(out, byte);
            else out += text[at];
            ++at;
            continue;
        }
        const auto [point, length] = decodeUtf8(text, at);
        if (length == 0) {
            // A byte outside any UTF-8 character: a C1 control to a reader taking bytes as Latin-1.
            if (byte <= 0x9F) appendByteEscape(out, byte);
            else out += text[at];
            ++at;
        } else if (isInertCodePoint(point)) {
            out += "\\u{";
            for (int shift = point > 0xFF ? 12 : 4; shift >= 0; shift -= 4) out += Hex[(point >> shift) & 0x0F];
            out += '}';
            at += length;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    return out;
}

}  // namespace quorvane

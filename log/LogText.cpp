#include "log/LogText.h"

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

std::string inertLogText(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace quorvane

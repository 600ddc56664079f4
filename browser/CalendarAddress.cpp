#include "browser/CalendarAddress.h"

#include "browser/BrowserConstants.h"

namespace {

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string percentEncode(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 0x0F];
        }
    }
    return out;
}

std::string loginAddress(const std::string& calendarHost, const std::string& userId, const std::string& password)
{
    std::string url;
    url.append(LoginScheme).append(calendarHost).append(CalendarPath).append(LoginQueryHead);
    url.append(percentEncode(userId)).append(LoginQueryPassword).append(percentEncode(password));
    url.append(LoginQueryTail);
    return url;
}

std::string dayViewAddress(const std::string& calendarHost, const std::string& dateText, const std::string& itemId,
                           bool https)
{
    std::string url;
    url.append(https ? LoginScheme : DayViewScheme).append(calendarHost).append(CalendarPath).append(DayViewQueryHead);
    url.append(dateText).append(DayViewQueryItem).append(itemId).append(DayViewQueryTail);
    return url;
}

#include "browser/CalendarAddress.h"

#include "text/PercentEncoding.h"

#include "browser/BrowserConstants.h"

namespace quorvane {

namespace {


}  // namespace


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

}  // namespace quorvane

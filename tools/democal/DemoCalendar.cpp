#include "tools/democal/DemoCalendar.h"

#include <openssl/rand.h>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoErrors.h"
#include "tools/democal/DemoFeed.h"
#include "tools/democal/DemoPages.h"
#include "tools/democal/DemoPeople.h"
#include "text/PercentEncoding.h"

namespace {

DemoResponse page(int status, std::string reason, std::string body) {
    DemoResponse response;
    response.status = status;
    response.reason = std::move(reason);
    response.body = std::move(body);
    return response;
}

DemoResponse badRequest(std::string_view message) {
    return page(400, "Bad Request", messagePage("Bad request", message));
}

// The item id of resultSelect: the text before its "/" ("1001/1" gives 1001).
std::string itemOf(const std::string& resultSelect) {
    return resultSelect.substr(0, resultSelect.find('/'));
}

}  // namespace

DemoCalendar::DemoCalendar(DemoOptions options) : options_(std::move(options)) {}

DemoMoment DemoCalendar::now() const { return options_.now ? *options_.now : localMoment(); }

DemoResponse DemoCalendar::handle(const DemoRequest& request, bool tls) {
    if (request.method != "GET" && request.method != "HEAD") {
        DemoResponse response = page(405, "Method Not Allowed",
                                     messagePage("Method not allowed", "Only GET and HEAD are served."));
        response.headers.emplace_back("Allow", "GET, HEAD");
        return response;
    }
    if (std::optional<std::string> item = feedItemId(request.path())) return feed(*item, splitQuery(request.query()));
    if (request.path() != DemoCalendarPath)
        return page(404, "Not Found",
                    messagePage("Not found", "The calendar lives at " + std::string(DemoCalendarPath) + "."));

    DemoPairs query = splitQuery(request.query());
    std::optional<std::string> web = queryValue(query, "web");
    if (queryValue(query, "sub") != "web" || !web)
        return badRequest("The query must name sub=web and a web= action.");
    if (*web == DemoWebLogin) return login(query, tls);
    if (*web == DemoWebViewPub) return viewPub(query);
    if (*web == DemoWebDayPage) return dayPage(request, query);
    return badRequest("Unknown action web=" + *web + ".");
}

DemoResponse DemoCalendar::login(const DemoPairs& query, bool tls) {
    if (!tls)
        return page(403, "Forbidden",
                    messagePage("Secure connection required", "Log in over https only."));
    std::string user = percentDecode(queryValue(query, "srch_query").value_or(""));
    std::string password = percentDecode(queryValue(query, "password").value_or(""));
    bool accepted = !user.empty() && !password.empty() &&
                    (!options_.user || *options_.user == user) &&
                    (!options_.password || *options_.password == password);
    if (!accepted)
        return page(200, "OK", logInFormPage("Log-in failed", "The user id or the password is wrong."));
    DemoResponse response = page(200, "OK", messagePage("Logged in", "Welcome, " + user + "."));
    // No Secure flag: the day views come over plain http to the same host and must carry it.
    response.headers.emplace_back("Set-Cookie",
                                  std::string(DemoSessionCookie) + "=" + newSession() + "; Path=/; HttpOnly");
    return response;
}

DemoResponse DemoCalendar::viewPub(const DemoPairs& query) {
    std::string dateText = percentDecode(queryValue(query, "date").value_or(""));
    std::optional<DemoDate> date = parseQueryDate(dateText);
    if (!date) return badRequest("The date '" + dateText + "' is not a date of the form YYYY/MM/DD.");
    std::string item = itemOf(percentDecode(queryValue(query, "resultSelect").value_or("")));
    std::string url = std::string(DemoCalendarPath) + "?sub=web&web=" + std::string(DemoWebDayPage) +
                      "&date=" + queryDateText(*date) + "&item=" + percentEncode(item);
    return page(200, "OK", redirectPage(url));
}

DemoResponse DemoCalendar::dayPage(const DemoRequest& request, const DemoPairs& query) {
    std::string dateText = percentDecode(queryValue(query, "date").value_or(""));
    std::optional<DemoDate> date = parseQueryDate(dateText);
    if (!date) return badRequest("The date '" + dateText + "' is not a date of the form YYYY/MM/DD.");
    if (!hasSession(request) || (options_.fault == DemoFault::LostSession && !spendDayView(request)))
        return page(200, "OK", logInFormPage("Please log in", "Please log in to see this calendar."));
    const DemoPerson* person = findDemoPerson(percentDecode(queryValue(query, "item").value_or("")));
    // Other dates than today get the same day around the same time of day.
    DemoDayPlan plan = person ? planDay(*person, now().minute) : DemoDayPlan{};
    std::string body = renderDayView(person, *date, plan, options_.fault);
    if (options_.fault == DemoFault::HugePage) {
        const std::size_t end = body.rfind("</BODY>");
        body.insert(end == std::string::npos ? body.size() : end,
                    "<DIV STYLE=\"display:none\">" + std::string(DemoHugePageBytes, 'x') + "</DIV>");
    }
    return page(200, "OK", body);
}

bool DemoCalendar::spendDayView(const DemoRequest& request) {
    std::optional<std::string> token = cookieValue(request.header("Cookie").value_or(""), DemoSessionCookie);
    std::lock_guard lock(mutex_);
    if (!token || !sessions_.count(*token)) return false;
    if (++dayViewsServed_ != DemoSessionDayViews + 1) return true;
    // Every session is gone (a restarted calendar, say): the next log-in makes a new one.
    sessions_.clear();
    sessionOrder_.clear();
    return false;
}

DemoResponse DemoCalendar::feed(const std::string& itemId, const DemoPairs& query) {
    const DemoPerson* person = findDemoPerson(percentDecode(itemId));
    if (!person) return page(404, "Not Found", messagePage("Not found", "No calendar has the item id " + itemId + "."));
    // Today's day unless a date is asked for; a feed needs no log-in, like a secret address.
    DemoDate date = now().date;
    if (std::optional<std::string> dateText = queryValue(query, "date")) {
        std::optional<DemoDate> asked = parseQueryDate(percentDecode(*dateText));
        if (!asked) return badRequest("The date '" + percentDecode(*dateText) + "' is not a date of the form YYYY/MM/DD.");
        date = *asked;
    }
    DemoResponse response = page(200, "OK", renderDayFeed(*person, date, planDay(*person, now().minute)));
    response.contentType = std::string(DemoFeedContentType);
    return response;
}

bool DemoCalendar::hasSession(const DemoRequest& request) const {
    std::optional<std::string> header = request.header("Cookie");
    if (!header) return false;
    std::optional<std::string> token = cookieValue(*header, DemoSessionCookie);
    std::lock_guard lock(mutex_);
    return token && sessions_.count(*token) > 0;
}

std::string DemoCalendar::newSession() {
    unsigned char bytes[DemoSessionTokenBytes];
    if (RAND_bytes(bytes, sizeof bytes) != 1) throw DemoError("no random bytes for a session");
    static constexpr char Hex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += Hex[b >> 4];
        token += Hex[b & 15];
    }
    std::lock_guard lock(mutex_);
    sessions_.insert(token);
    sessionOrder_.push_back(token);
    if (sessionOrder_.size() > DemoMaxSessions) {
        sessions_.erase(sessionOrder_.front());
        sessionOrder_.pop_front();
    }
    return token;
}

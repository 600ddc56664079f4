#include "tools/democal/DemoCalendar.h"

#include <openssl/rand.h>

#include <stdexcept>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoPages.h"
#include "tools/democal/DemoPeople.h"

namespace {

DemoResponse Page(int status, std::string reason, std::string body) {
    DemoResponse response;
    response.Status = status;
    response.Reason = std::move(reason);
    response.Body = std::move(body);
    return response;
}

DemoResponse BadRequest(std::string_view message) {
    return Page(400, "Bad Request", MessagePage("Bad request", message));
}

// The item id of resultSelect: the text before its "/" ("1001/1" gives 1001).
std::string ItemOf(const std::string& resultSelect) {
    return resultSelect.substr(0, resultSelect.find('/'));
}

}  // namespace

DemoCalendar::DemoCalendar(DemoOptions options) : options_(std::move(options)) {}

DemoMoment DemoCalendar::Now() const { return options_.Now ? *options_.Now : LocalMoment(); }

DemoResponse DemoCalendar::Handle(const DemoRequest& request, bool tls) {
    if (request.Method != "GET" && request.Method != "HEAD") {
        DemoResponse response = Page(405, "Method Not Allowed",
                                     MessagePage("Method not allowed", "Only GET and HEAD are served."));
        response.Headers.emplace_back("Allow", "GET, HEAD");
        return response;
    }
    if (request.Path() != DemoCalendarPath)
        return Page(404, "Not Found",
                    MessagePage("Not found", "The calendar lives at " + std::string(DemoCalendarPath) + "."));

    DemoPairs query = SplitQuery(request.Query());
    std::optional<std::string> web = QueryValue(query, "web");
    if (QueryValue(query, "sub") != "web" || !web)
        return BadRequest("The query must name sub=web and a web= action.");
    if (*web == DemoWebLogin) return Login(query, tls);
    if (*web == DemoWebViewPub) return ViewPub(query);
    if (*web == DemoWebDayPage) return DayPage(request, query);
    return BadRequest("Unknown action web=" + *web + ".");
}

DemoResponse DemoCalendar::Login(const DemoPairs& query, bool tls) {
    if (!tls)
        return Page(403, "Forbidden",
                    MessagePage("Secure connection required", "Log in over https only."));
    std::string user = PercentDecode(QueryValue(query, "srch_query").value_or(""));
    std::string password = PercentDecode(QueryValue(query, "password").value_or(""));
    bool accepted = !user.empty() && !password.empty() &&
                    (!options_.User || *options_.User == user) &&
                    (!options_.Password || *options_.Password == password);
    if (!accepted)
        return Page(200, "OK", MessagePage("Log-in failed", "The user id or the password is wrong."));
    DemoResponse response = Page(200, "OK", MessagePage("Logged in", "Welcome, " + user + "."));
    // No Secure flag: the day views come over plain http to the same host and must carry it.
    response.Headers.emplace_back("Set-Cookie",
                                  std::string(DemoSessionCookie) + "=" + NewSession() + "; Path=/; HttpOnly");
    return response;
}

DemoResponse DemoCalendar::ViewPub(const DemoPairs& query) {
    std::string dateText = PercentDecode(QueryValue(query, "date").value_or(""));
    std::optional<DemoDate> date = ParseQueryDate(dateText);
    if (!date) return BadRequest("The date '" + dateText + "' is not a date of the form YYYY/MM/DD.");
    std::string item = ItemOf(PercentDecode(QueryValue(query, "resultSelect").value_or("")));
    std::string url = std::string(DemoCalendarPath) + "?sub=web&web=" + std::string(DemoWebDayPage) +
                      "&date=" + QueryDateText(*date) + "&item=" + PercentEncodeQueryValue(item);
    return Page(200, "OK", RedirectPage(url));
}

DemoResponse DemoCalendar::DayPage(const DemoRequest& request, const DemoPairs& query) {
    std::string dateText = PercentDecode(QueryValue(query, "date").value_or(""));
    std::optional<DemoDate> date = ParseQueryDate(dateText);
    if (!date) return BadRequest("The date '" + dateText + "' is not a date of the form YYYY/MM/DD.");
    if (!HasSession(request))
        return Page(200, "OK", MessagePage("Please log in", "Please log in to see this calendar."));
    const DemoPerson* person = FindDemoPerson(PercentDecode(QueryValue(query, "item").value_or("")));
    // Other dates than today get the same day around the same time of day.
    DemoDayPlan plan = person ? PlanDay(*person, Now().Minute) : DemoDayPlan{};
    return Page(200, "OK", RenderDayView(person, *date, plan, options_.Fault));
}

bool DemoCalendar::HasSession(const DemoRequest& request) const {
    std::optional<std::string> header = request.Header("Cookie");
    if (!header) return false;
    std::optional<std::string> token = CookieValue(*header, DemoSessionCookie);
    std::lock_guard lock(mutex_);
    return token && sessions_.count(*token) > 0;
}

std::string DemoCalendar::NewSession() {
    unsigned char bytes[DemoSessionTokenBytes];
    if (RAND_bytes(bytes, sizeof bytes) != 1) throw std::runtime_error("no random bytes for a session");
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

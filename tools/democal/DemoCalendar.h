#pragma once
// The calendar's answers: log-in, the day-view redirect, the day view itself and each person's
// day as an iCalendar feed, worked out
// from a parsed request and the scheme it came over. No sockets here.
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "tools/democal/DemoDate.h"
#include "tools/democal/DemoDayView.h"
#include "tools/democal/DemoHttp.h"

namespace quorvane {

struct DemoOptions {
    std::optional<std::string> user;      // when set, the log-in checks it
    std::optional<std::string> password;  // when set, the log-in checks it
    std::optional<DemoMoment> now;        // a pinned clock; the local clock otherwise
    DemoFault fault = DemoFault::None;
};

class DemoCalendar {
public:
    explicit DemoCalendar(DemoOptions options);

    // The answer to one request; `tls` says whether it came over HTTPS. Thread-safe.
    DemoResponse handle(const DemoRequest& request, bool tls);
    // Whether the request carries the cookie of a live session. Thread-safe.
    bool hasSession(const DemoRequest& request) const;

private:
    DemoResponse login(const DemoPairs& query, bool tls);
    DemoResponse viewPub(const DemoPairs& query);
    DemoResponse dayPage(const DemoRequest& request, const DemoPairs& query);
    DemoResponse feed(const std::string& itemId, const DemoPairs& query);
    std::string newSession();
    // lost-session: counts a day view of the request's live session; false for the one after
    // DemoSessionDayViews day views, when every session is forgotten.
    bool spendDayView(const DemoRequest& request);
    DemoMoment now() const;

    DemoOptions options_;
    mutable std::mutex mutex_;
    std::set<std::string> sessions_;
    std::deque<std::string> sessionOrder_;  // oldest first, for the bound on sessions
    int dayViewsServed_ = 0;  // lost-session: day views served so far
};

}  // namespace quorvane

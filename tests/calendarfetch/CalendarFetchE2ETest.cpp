// Whole grabs on loopback: a real Radicale (CalDAV, htpasswd log-ins), the demo calendar's feeds
// over HTTP and HTTPS, and a table server for redirects, oversized, wrong and silent answers.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "calendarfetch/CalendarFetcher.h"
#include "calendarfetch/CalendarRequest.h"
#include "tests/calendarfetch/CalendarServers.h"

using namespace quorvane;

namespace {

const QDate day(2026, 12, 7);

QByteArray event(const char* uid, const char* start, const char* end, const char* summary) {
    return QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quorvane tests//EN\r\nBEGIN:VEVENT\r\nUID:") + uid +
           "\r\nDTSTAMP:20261201T000000Z\r\nDTSTART" + start + "\r\nDTEND" + end + "\r\nSUMMARY:" + summary +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Ann's calendar on Radicale: two entries on the day asked (one timed, one all-day), one later.
void fillRadicale(const RadicaleServer& radicale) {
    const QString calendar = radicale.base() + "/ann/cal/";
    ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "MKCALENDAR", calendar}), 201);
    const struct {
        const char* name;
        QByteArray data;
    } events[] = {
        {"e1.ics", event("e1", ":20261207T120000Z", ":20261207T130000Z", "Budget review")},
        {"e2.ics", event("e2", ";VALUE=DATE:20261207", ";VALUE=DATE:20261208", "Leave - A Example")},
        {"e3.ics", event("e3", ":20261220T120000Z", ":20261220T130000Z", "Not this day")},
    };
    for (const auto& e : events)
        ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "PUT", "-H", "Content-Type: text/calendar", "--data-binary", "@-",
                              calendar + e.name},
                             e.data),
                  201);
}

Netrc netrcFor(const char* password) {
    return Netrc::parse(std::string("machine 127.0.0.1 login ann password ") + password);
}

// Starts the fetch and runs the event loop until every result is in; each result is handed on
// exactly once, as it comes.
std::vector<CalendarFetchResult> fetchAll(CalendarFetcher& fetcher, const std::vector<FetchTarget>& targets) {
    int handedOn = 0;
    fetcher.onResult = [&](const CalendarFetchResult&) { ++handedOn; };
    fetcher.start(targets, day);
    while (!fetcher.finished()) waitPass();
    EXPECT_EQ(handedOn, static_cast<int>(targets.size()));
    fetcher.onResult = nullptr;
    return fetcher.results();
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) all += text + "\n--\n";
    return all;
}

class CalendarFetchE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        if (!RadicaleServer::installed()) GTEST_SKIP() << "radicale is not installed (apt-get install radicale)";
        radicale_ = std::make_unique<RadicaleServer>("ann", "pw");
        ASSERT_EQ(radicale_->error(), "");
        fillRadicale(*radicale_);
    }
    std::unique_ptr<RadicaleServer> radicale_;
};

}  // namespace

TEST_F(CalendarFetchE2ETest, OneGrabReadsEveryKindOfSourceAndSaysWhyEachFailureFailed) {
    DemoCalendarServer democal;
    ASSERT_NE(democal.port(), 0);
    const QString demo = QString("127.0.0.1:%1").arg(democal.port());
    TableServer table;
    const QByteArray cap(1024 * 1024, 'x');
    const QByteArray big = "BEGIN:VCALENDAR\r\nX-PAD:" + cap + cap + "\r\nEND:VCALENDAR\r\n";
    const QByteArray calendar = radicale_->base().toUtf8() + "/ann/cal/";
    table.answer("/r3", TableServer::response(302, "Location: /r2\r\n", ""));
    table.answer("/r2", TableServer::response(307, "Location: " + table.base().toUtf8() + "/r1\r\n", ""));
    table.answer("/r1", TableServer::response(308, "Location: " + calendar + "\r\n", ""));
    table.answer("/loop", TableServer::response(302, "Location: /loop\r\n", ""));
    table.answer("/html", TableServer::response(200, "Content-Type: text/html\r\n", "<html>Please log in</html>"));
    table.answer("/forbidden", TableServer::response(403, "", "no"));
    table.answer("/bad207", TableServer::response(207, "Content-Type: application/xml\r\n",
                                                  "<multistatus xmlns=\"DAV:\"><response>"));
    table.answer("/big-length.ics", TableServer::response(200, "", big));
    table.answer("/big-stream.ics", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big);

    const struct {
        QString address;
        const char* expected;  // "ok:N" with N calendars, or the failure
        const char* contains;  // in the calendars taken
    } cases[] = {
        {radicale_->base() + "/ann/cal/", "ok:2", "SUMMARY:Budget review"},
        {table.base() + "/r3", "ok:2", "SUMMARY:Leave - A Example"},
        {"http://" + demo + "/ics/1001.ics", "ok:1", "SUMMARY:Budget review\r\nLOCATION:Room 4"},
        {"https://" + demo + "/ics/1002.ics", "ok:1", "SUMMARY:Supplier call"},
        {"http://" + demo + "/ics/9999.ics", "HTTP 404", ""},
        {radicale_->base() + "/ann/missing/", "HTTP 404", ""},
        {table.base() + "/html", "not iCalendar data", ""},
        {table.base() + "/forbidden", "HTTP 403", ""},
        {table.base() + "/loop", "too many redirects (more than 5)", ""},
        {table.base() + "/bad207", "unreadable multistatus", ""},
        {table.base() + "/big-length.ics", "too large", ""},
        {table.base() + "/big-stream.ics", "too large", ""},
        {"http://ann:pw@" + radicale_->base().mid(7) + "/ann/cal/", "credentials in the address refused", ""},
        {QString("http://127.0.0.1:%1/cal/").arg(freePort()), "unreachable (Connection refused)", ""},
        {"1001", "not an http or https address", ""},
    };
    std::vector<FetchTarget> sources;
    for (std::size_t i = 0; i < std::size(cases); ++i) sources.push_back({static_cast<int>(i) + 100, cases[i].address});

    CalendarFetchSettings settings;
    settings.netrc = netrcFor("pw");
    settings.extraCa = loadCalendarCa(democal.certificate().toStdString());
    settings.maxBytes = cap.size();
    settings.timeoutMs = 20000;
    CalendarFetcher fetcher(std::move(settings));
    const std::vector<CalendarFetchResult> results = fetchAll(fetcher, sources);

    ASSERT_EQ(results.size(), std::size(cases));
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CalendarFetchResult& result = results[i];
        const std::string expected = cases[i].expected;
        SCOPED_TRACE(cases[i].address.toStdString());
        EXPECT_EQ(result.person, static_cast<int>(i) + 100);
        if (expected.starts_with("ok:")) {
            EXPECT_TRUE(result.ok) << result.failure;
            EXPECT_EQ(result.calendars.size(), std::stoul(expected.substr(3)));
            EXPECT_NE(joined(result.calendars).find(cases[i].contains), std::string::npos) << joined(result.calendars);
            EXPECT_EQ(joined(result.calendars).find("Not this day"), std::string::npos);
        } else {
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.failure.substr(0, expected.size()), expected) << result.failure;
            EXPECT_EQ(result.failure.find('\n'), std::string::npos);
        }
    }
}

TEST_F(CalendarFetchE2ETest, AWrongOrMissingPasswordIsHttp401AndTheCaIsNeededForHttps) {
    DemoCalendarServer democal;
    ASSERT_NE(democal.port(), 0);
    const std::vector<FetchTarget> sources{
        {0, radicale_->base() + "/ann/cal/"},
        {1, QString("https://127.0.0.1:%1/ics/1001.ics").arg(democal.port())},
    };
    for (const char* netrc : {"wrong", ""}) {
        CalendarFetchSettings settings;
        if (*netrc) settings.netrc = netrcFor(netrc);
        CalendarFetcher fetcher(std::move(settings));
        const std::vector<CalendarFetchResult> results = fetchAll(fetcher, sources);
        EXPECT_EQ(results[0].failure, "HTTP 401") << netrc;
        EXPECT_FALSE(results[1].ok);  // the demo certificate is not trusted without the CA
        EXPECT_TRUE(results[1].failure.starts_with("unreachable (")) << results[1].failure;
    }
}

TEST(CalendarFetchTest, ASilentHostTimesOutOnceAndItsOtherPeopleAreSkipped) {
    testApplication();
    DemoCalendarServer democal;
    ASSERT_NE(democal.port(), 0);
    TableServer silent;  // answers nothing
    std::vector<FetchTarget> sources;
    for (int i = 0; i < 8; ++i) sources.push_back({i, silent.base() + "/cal" + QString::number(i) + "/"});
    sources.push_back({8, QString("http://127.0.0.1:%1/ics/1003.ics").arg(democal.port())});

    constexpr int LimitMs = 800;
    CalendarFetchSettings settings;
    settings.timeoutMs = LimitMs;
    CalendarFetcher fetcher(std::move(settings));
    QElapsedTimer clock;
    clock.start();
    fetcher.start(sources, day);
    while (!fetcher.finished()) {
        waitPass();
        EXPECT_LE(silent.requests(), MaxRequestsPerHost);
    }
    const qint64 elapsed = clock.elapsed();
    const std::vector<CalendarFetchResult>& results = fetcher.results();
    int timedOut = 0, skipped = 0;
    for (int i = 0; i < 8; ++i) {
        timedOut += results[i].failure == "timed out";
        skipped += results[i].failure.starts_with("skipped (127.0.0.1:") &&
                   results[i].failure.ends_with(" timed out for another calendar)");
    }
    EXPECT_EQ(timedOut, 1);
    EXPECT_EQ(skipped, 7);
    EXPECT_EQ(silent.requests(), MaxRequestsPerHost);  // the queued two were never sent
    EXPECT_TRUE(results[8].ok) << results[8].failure;
    EXPECT_LT(elapsed, 2 * LimitMs);  // not a limit per person

    // A stop ends everything at once.
    fetcher.start(sources, day);
    for (int i = 0; i < 3; ++i) waitPass();
    fetcher.abort();
    EXPECT_TRUE(fetcher.finished());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(fetcher.results()[i].failure, "stopped");
}

// Credentials after a redirect: the roster's host gets its entry (or the default one); a host
// reached through a redirect gets only a machine entry naming it; a redirect carrying a user
// name, or leading from HTTPS to HTTP, is not followed and says why.
TEST(CalendarFetchTest, ARedirectTakesNoCredentialsItShouldNot) {
    testApplication();
    TableServer named, other(QHostAddress("127.0.0.2"));
    const QByteArray otherBase = other.base().toUtf8();
    const QByteArray feed = event("r1", ":20261207T120000Z", ":20261207T130000Z", "Moved");
    other.answer("/feed.ics", TableServer::response(200, "", feed));
    named.answer("/away.ics", TableServer::response(302, "Location: " + otherBase + "/feed.ics\r\n", ""));
    named.answer("/userinfo.ics",
                 TableServer::response(302, "Location: http://eve:pw@" + otherBase.mid(7) + "/feed.ics\r\n", ""));
    named.answer("/home.ics", TableServer::response(200, "", feed));

    const std::string namedEntry = "machine 127.0.0.1 login ann password pw\n";
    const struct {
        const char* path;
        std::string netrc;
        const char* failure;       // "" when it reads
        const char* namedAuth;     // the Authorization the roster's host saw ("" for none)
        const char* otherAuth;     // and the one the redirect's host saw
    } cases[] = {
        {"/home.ics", "default login dan password dpw", "", "Basic ZGFuOmRwdw==", nullptr},
        {"/away.ics", namedEntry + "default login dan password dpw", "", "Basic YW5uOnB3", ""},
        {"/away.ics", namedEntry + "machine 127.0.0.2 login bea password bpw", "", "Basic YW5uOnB3",
         "Basic YmVhOmJwdw=="},
        {"/userinfo.ics", namedEntry, "redirect to an address with credentials refused", "Basic YW5uOnB3", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " / " + c.netrc);
        const int otherBefore = other.requests();
        CalendarFetchSettings settings;
        settings.netrc = Netrc::parse(c.netrc);
        settings.timeoutMs = 10000;
        CalendarFetcher fetcher(std::move(settings));
        const std::vector<CalendarFetchResult> results = fetchAll(fetcher, {{1, named.base() + c.path}});
        EXPECT_EQ(results[0].failure, c.failure);
        const auto authorization = [](const QByteArray& head) {
            for (const QByteArray& line : head.split('\n'))
                if (line.toLower().startsWith("authorization:")) return line.mid(14).trimmed().toStdString();
            return std::string();
        };
        EXPECT_EQ(authorization(named.head(c.path)), c.namedAuth);
        if (c.otherAuth) EXPECT_EQ(authorization(other.head("/feed.ics")), c.otherAuth);
        else EXPECT_EQ(other.requests(), otherBefore);
    }
}

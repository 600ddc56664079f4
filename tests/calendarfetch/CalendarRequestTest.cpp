// The decisions taken from an address: where credentials may go, redirects, feeds.
#include <gtest/gtest.h>

#include "calendarfetch/CalendarFetchConstants.h"
#include "calendarfetch/CalendarRequest.h"

using namespace quorvane;

TEST(CalendarRequestTest, CredentialsGoOnlyOverHttpsOrToThisMachine) {
    const struct {
        const char* address;
        bool allowed;
    } cases[] = {
        {"https://cal.example.org/dav/", true},     {"HTTPS://cal.example.org/dav/", true},
        {"http://cal.example.org/dav/", false},     {"http://127.0.0.1:5232/ann/", true},
        {"http://127.8.9.10/ann/", true},           {"http://[::1]:8080/ann/", true},
        {"http://localhost:5232/", true},           {"http://LOCALHOST./", true},
        {"http://localhost.example.org/", false},   {"http://127.0.0.1.example.org/", false},
        {"http://10.0.0.1/", false},                {"http://[::ffff:10.0.0.1]/", false},
        {"http://0.0.0.0/", false},
        {"http://2130706433/", true},  // QUrl reads it as 127.0.0.1, where it connects
    };
    for (const auto& c : cases) EXPECT_EQ(mayCarryCredentials(QUrl(c.address)), c.allowed) << c.address;
}

TEST(CalendarRequestTest, AddressesAreCheckedBeforeAnyRequest) {
    const struct {
        const char* address;
        bool calendar;
        bool credentials;
        bool feed;
    } cases[] = {
        {"https://cal.example.org/dav/ann/", true, false, false},
        {"https://ann:pw@cal.example.org/dav/ann/", true, true, false},
        {"https://ann@cal.example.org/ann.ics", true, true, true},
        {"http://127.0.0.1:8000/ics/1001.ICS", true, false, true},
        {"https://cal.example.org/feed.ics?key=1", true, false, true},
        {"https://cal.example.org/feed.ics.html", true, false, false},
        {"ftp://cal.example.org/a.ics", false, false, true},
        {"1001", false, false, false},
        {"https:///nohost", false, false, false},
    };
    for (const auto& c : cases) {
        const QUrl url(c.address);
        EXPECT_EQ(isReadableAddress(url), c.calendar) << c.address;
        EXPECT_EQ(carriesCredentials(url), c.credentials) << c.address;
        EXPECT_EQ(looksLikeFeed(url), c.feed) << c.address;
    }
    // A roster's item id is a calendar address by its start alone; the fetch checks the rest.
    for (const char* itemId : {"http://x/", "https:///nohost", "HTTP://x/", "Https://x/a.ics"})
        EXPECT_TRUE(isCalendarAddress(itemId)) << itemId;
    for (const char* itemId : {"1001", "ftp://x/a.ics", "http:/x", "http"}) EXPECT_FALSE(isCalendarAddress(itemId)) << itemId;
    EXPECT_EQ(basicAuthorization("Aladdin", "open sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
}

TEST(CalendarRequestTest, RedirectsKeepTheQueryWhereHttpSaysSo) {
    const struct {
        int status;
        const char* method;
        bool keeps;
    } cases[] = {
        {307, "REPORT", true}, {308, "REPORT", true}, {301, "REPORT", true}, {302, "REPORT", true},
        {303, "REPORT", false}, {301, "POST", false}, {303, "GET", true}, {302, "GET", true},
    };
    for (const auto& c : cases) EXPECT_EQ(redirectKeepsMethod(c.status, c.method), c.keeps) << c.status << c.method;
    for (int status : {300, 304, 305, 306, 200, 404}) EXPECT_FALSE(isRedirectStatus(status)) << status;

    const QUrl asked("https://cal.example.org/dav/ann/");
    EXPECT_EQ(redirectTarget(asked, "/dav/ann2/"), QUrl("https://cal.example.org/dav/ann2/"));
    EXPECT_EQ(redirectTarget(asked, "../bob/"), QUrl("https://cal.example.org/dav/bob/"));
    EXPECT_EQ(redirectTarget(asked, "http://other.example/x.ics"), QUrl("http://other.example/x.ics"));
    EXPECT_EQ(redirectTarget(asked, ""), std::nullopt);
    EXPECT_EQ(redirectTarget(asked, "file:///etc/passwd"), std::nullopt);
    EXPECT_EQ(redirectTarget(asked, "javascript:alert(1)"), std::nullopt);

    const struct {
        const char* from;
        const char* to;
        std::string_view refusal;
    } moves[] = {
        {"https://a.example/x", "https://b.example/y", ""},
        {"http://a.example/x", "https://b.example/y", ""},
        {"http://a.example/x", "http://b.example/y", ""},
        {"https://a.example/x", "http://a.example/y", FailRedirectToHttp},
        {"HTTPS://a.example/x", "http://b.example/y", FailRedirectToHttp},
        {"https://a.example/x", "https://user:pw@b.example/y", FailRedirectCredentials},
        {"http://a.example/x", "http://user@a.example/y", FailRedirectCredentials},
    };
    for (const auto& m : moves) EXPECT_EQ(redirectRefusal(QUrl(m.from), QUrl(m.to)), m.refusal) << m.from << " " << m.to;
}

TEST(CalendarRequestTest, OnlyICalendarDataReadsAsAFeed) {
    const struct {
        QByteArray body;
        bool calendar;
    } cases[] = {
        {"BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", true},
        {"\xEF\xBB\xBF" "BEGIN:VCALENDAR\r\n", true},
        {"\r\n \tBEGIN:VCALENDAR\n", true},
        {"begin:vcalendar\n", true},
        {"<html><body>Log in</body></html>", false},
        {"BEGIN:VCARD\r\n", false},
        {"BEGIN:VCALEND", false},
        {"", false},
        {"\xEF\xBB\xBF", false},
    };
    for (const auto& c : cases) EXPECT_EQ(startsAsICalendar(c.body), c.calendar) << c.body.constData();
}

TEST(CalendarRequestTest, CertificateFileWithoutCertificatesIsRefused) {
    const std::string missing = "/nonexistent/ca.pem";
    const std::string notPem = QUORVANE_TEST_DATA "/netrc/mixed.netrc";
    const std::pair<std::string, std::string> cases[] = {
        {missing, "Cannot read the certificate file \"" + missing + "\""},
        {notPem, "The certificate file \"" + notPem + "\" holds no PEM certificate"},
    };
    for (const auto& [path, message] : cases) {
        try {
            loadCalendarCa(path);
            ADD_FAILURE() << path;
        } catch (const QuorvaneError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

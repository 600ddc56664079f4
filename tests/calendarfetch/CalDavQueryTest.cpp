// The day's calendar-query and the reading of multi-status answers (fixtures under data/caldav).
#include <gtest/gtest.h>

#include <QFile>

#include <cstdlib>
#include <ctime>

#include "calendarfetch/CalDavQuery.h"

namespace {

QByteArray fixture(const char* name) {
    QFile file(QString(QUORVANE_TEST_DATA) + "/caldav/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets TZ for the scope of a test.
class Zone {
public:
    explicit Zone(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~Zone() {
        if (old_.empty()) unsetenv("TZ"); else setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

}  // namespace

TEST(CalDavQueryTest, TheDayIsLocalMidnightToMidnightInUtc) {
    const struct {
        const char* zone;
        QDate day;
        const char* start;
        const char* end;
    } cases[] = {
        {"UTC", {2026, 12, 7}, "20261207T000000Z", "20261208T000000Z"},
        {"Europe/London", {2026, 7, 1}, "20260630T230000Z", "20260701T230000Z"},
        {"Europe/London", {2026, 3, 29}, "20260329T000000Z", "20260329T230000Z"},   // 23 hours
        {"America/New_York", {2026, 11, 1}, "20261101T040000Z", "20261102T050000Z"},  // 25 hours
        {"Pacific/Auckland", {2026, 1, 1}, "20251231T110000Z", "20260101T110000Z"},
    };
    for (const auto& c : cases) {
        Zone zone(c.zone);
        const DayRange range = localDayRange(c.day);
        EXPECT_EQ(calDavUtcText(range.start), c.start) << c.zone;
        EXPECT_EQ(calDavUtcText(range.end), c.end) << c.zone;
        const QByteArray body = calendarQueryBody(range);
        EXPECT_TRUE(body.contains(QByteArray("start=\"") + c.start + "\" end=\"" + c.end + "\"")) << body.constData();
    }
    // The body asks for VEVENTs within VCALENDARs and for their data, in the CalDAV namespace.
    const QByteArray body = calendarQueryBody(localDayRange({2026, 12, 7}));
    const MultiStatus notAnAnswer = parseMultiStatus(body);
    EXPECT_FALSE(notAnAnswer.ok);
    for (const char* part : {"urn:ietf:params:xml:ns:caldav", "\"DAV:\"", ":calendar-query", ":calendar-data",
                             "name=\"VCALENDAR\"", "name=\"VEVENT\"", ":time-range"})
        EXPECT_TRUE(body.contains(part)) << part;
}

TEST(CalDavQueryTest, MultiStatusAnswersGiveTheDataOfGoodItems) {
    const struct {
        const char* file;
        bool ok;
        std::vector<std::string> starts;  // the beginning of each calendar text taken
        const char* errorPart;
    } cases[] = {
        {"radicale-two-items.xml", true, {"BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:e1", "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:e2"}, ""},
        {"prefixed-cdata-and-failed-propstat.xml", true, {"BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:a\nSUMMARY:<b>not markup</b>", "BEGIN:VCALENDAR\nUID:c-status-first"}, ""},
        {"empty-day.xml", true, {}, ""},
        {"wrong-namespace.xml", false, {}, "not a DAV multistatus"},
        {"html-error-page.xml", false, {}, "not a DAV multistatus"},
        {"truncated.xml", false, {}, "unreadable multistatus"},
    };
    for (const auto& c : cases) {
        const MultiStatus answer = parseMultiStatus(fixture(c.file));
        EXPECT_EQ(answer.ok, c.ok) << c.file << ": " << answer.error;
        ASSERT_EQ(answer.calendars.size(), c.starts.size()) << c.file;
        for (std::size_t i = 0; i < c.starts.size(); ++i)
            EXPECT_EQ(answer.calendars[i].substr(0, c.starts[i].size()), c.starts[i]) << c.file << " #" << i;
        EXPECT_NE(answer.error.find(c.errorPart), std::string::npos) << c.file << ": " << answer.error;
        EXPECT_EQ(answer.error.find('\n'), std::string::npos);
    }
    // Entities are decoded in the data taken.
    EXPECT_NE(parseMultiStatus(fixture("radicale-two-items.xml")).calendars[0].find("Budget review & plans"),
              std::string::npos);
    EXPECT_FALSE(parseMultiStatus({}).ok);
}

TEST(CalDavQueryTest, AControlByteInOneItemKeepsTheOthers) {
    // Raw control bytes XML forbids, as a server copying an event's text might write them.
    for (const char bad : {'\0', '\x01', '\x1b'}) {
        QByteArray body = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">";
        for (const char* summary : {"Good", "Bad#", "Also good"}) {
            QByteArray item = QByteArray("<d:response><d:href>/e</d:href><d:propstat><d:prop><c:calendar-data>"
                                         "BEGIN:VCALENDAR\nSUMMARY:") + summary +
                              "\nEND:VCALENDAR\n</c:calendar-data></d:prop><d:status>HTTP/1.1 200 OK</d:status>"
                              "</d:propstat></d:response>";
            item.replace('#', QByteArray(1, bad));
            body += item;
        }
        const MultiStatus answer = parseMultiStatus(body + "</d:multistatus>");
        ASSERT_TRUE(answer.ok) << answer.error;
        ASSERT_EQ(answer.calendars.size(), 3u);
        EXPECT_NE(answer.calendars[0].find("SUMMARY:Good\n"), std::string::npos);
        EXPECT_NE(answer.calendars[1].find(std::string("SUMMARY:Bad\0\n", 13)), std::string::npos) << int(bad);
        EXPECT_NE(answer.calendars[2].find("SUMMARY:Also good\n"), std::string::npos);
    }
}

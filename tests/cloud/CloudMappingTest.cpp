// Graph and Google events read into one local day, one event per row, in a zone an hour east of
// UTC so that all-day entries read by shifted instants would land on the wrong day.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "cloud/GoogleEvents.h"
#include "cloud/GraphEvents.h"
#include "tests/calendar/ZoneScope.h"
#include "tests/cloud/CloudShown.h"

using namespace quorvane;

namespace {

struct MappingCase {
    const char* event;  // one event object
    const char* shown;  // cloudShown() of the day 2025-03-12 in Europe/Amsterdam
};

QJsonArray events(const char* event) { return QJsonDocument::fromJson(QByteArray("[") + event + "]").array(); }

#define GRAPH_TIMED(extra, from, to) \
    "{\"subject\":\"Review\",\"start\":{\"dateTime\":\"2025-03-12T" from ":00.0000000\",\"timeZone\":\"UTC\"}," \
    "\"end\":{\"dateTime\":\"2025-03-12T" to ":00.0000000\",\"timeZone\":\"UTC\"}" extra "}"
#define GRAPH_ALLDAY(extra, first, end) \
    "{\"subject\":\"Away\",\"isAllDay\":true,\"start\":{\"dateTime\":\"" first "T00:00:00.0000000\",\"timeZone\":\"UTC\"}," \
    "\"end\":{\"dateTime\":\"" end "T00:00:00.0000000\",\"timeZone\":\"UTC\"}" extra "}"

const MappingCase GraphCases[] = {
    {GRAPH_TIMED(",\"showAs\":\"busy\",\"location\":{\"displayName\":\"Room 4\"}", "09:00", "10:00"), "0900-1000 Review (Room 4)"},
    {GRAPH_TIMED(",\"isCancelled\":true", "09:00", "10:00"), ""},
    {GRAPH_TIMED(",\"showAs\":\"free\"", "09:00", "10:00"), ""},
    {GRAPH_TIMED(",\"responseStatus\":{\"response\":\"declined\"}", "09:00", "10:00"), ""},
    {GRAPH_TIMED(",\"showAs\":\"tentative\"", "09:00", "10:00"), "0900-1000 Review T"},
    {GRAPH_TIMED(",\"showAs\":\"oof\"", "08:00", "12:00"), "0800-1200 Review O"},
    {GRAPH_TIMED(",\"showAs\":\"workingElsewhere\"", "08:00", "12:00"), "0800-1200 Working elsewhere W"},
    {GRAPH_TIMED(",\"sensitivity\":\"private\"", "09:00", "10:00"), "0900-1000 Review P"},
    {GRAPH_TIMED(",\"sensitivity\":\"confidential\"", "09:00", "10:00"), "0900-1000 Review P"},
    {GRAPH_TIMED(",\"sensitivity\":\"personal\"", "09:00", "10:00"), "0900-1000 Review"},
    {GRAPH_TIMED("", "23:00", "23:30"), ""},  // 00:00 the next local day
    {GRAPH_TIMED("", "22:30", "23:30"), "2230-2330 Review"},
    {"{\"subject\":\"Call\",\"start\":{\"dateTime\":\"2025-03-12T10:00:00\",\"timeZone\":\"W. Europe Standard Time\"},"
     "\"end\":{\"dateTime\":\"2025-03-12T11:00:00\",\"timeZone\":\"Europe/Amsterdam\"}}",
     "0900-1000 Call"},
    {"{\"subject\":\"Broken\",\"start\":{}}", "!event without a readable start: Broken"},
    {GRAPH_ALLDAY(",\"showAs\":\"oof\"", "2025-03-12", "2025-03-13"), "[Away O]"},
    {GRAPH_ALLDAY("", "2025-03-10", "2025-03-15"), "[Away]"},
    {GRAPH_ALLDAY("", "2025-03-11", "2025-03-12"), ""},  // by its instants it would overlap the day
    {GRAPH_ALLDAY("", "2025-03-13", "2025-03-14"), ""},
    {GRAPH_ALLDAY(",\"showAs\":\"workingElsewhere\",\"location\":{\"displayName\":\"Harbour\"}", "2025-03-12", "2025-03-13"),
     "[Working elsewhere (Harbour) W]"},
    {GRAPH_ALLDAY(",\"showAs\":\"free\"", "2025-03-12", "2025-03-13"), ""},
};

#define GOOGLE_TIMED(extra) \
    "{\"summary\":\"Sprint\",\"status\":\"confirmed\",\"start\":{\"dateTime\":\"2025-03-12T10:00:00+01:00\"}," \
    "\"end\":{\"dateTime\":\"2025-03-12T11:00:00+01:00\"}" extra "}"
#define GOOGLE_ALLDAY(extra, first, end) \
    "{\"summary\":\"Away\",\"start\":{\"date\":\"" first "\"},\"end\":{\"date\":\"" end "\"}" extra "}"
#define SELF(status) \
    ",\"attendees\":[{\"email\":\"boss@example.org\",\"responseStatus\":\"accepted\"}," \
    "{\"email\":\"gail@example.org\",\"self\":true,\"responseStatus\":\"" status "\"}]"
#define WORKING(properties) ",\"eventType\":\"workingLocation\",\"transparency\":\"transparent\",\"workingLocationProperties\":" properties

const MappingCase GoogleCases[] = {
    {GOOGLE_TIMED(",\"location\":\"Room 7\""), "0900-1000 Sprint (Room 7)"},
    {GOOGLE_TIMED(",\"status\":\"cancelled\""), ""},
    {GOOGLE_TIMED(",\"transparency\":\"transparent\""), ""},
    {GOOGLE_TIMED(SELF("declined")), ""},
    {GOOGLE_TIMED(SELF("tentative")), "0900-1000 Sprint T"},
    {GOOGLE_TIMED(SELF("accepted")), "0900-1000 Sprint"},
    {GOOGLE_TIMED(",\"visibility\":\"private\""), "0900-1000 Sprint P"},
    {GOOGLE_TIMED(",\"visibility\":\"confidential\""), "0900-1000 Sprint P"},
    {GOOGLE_TIMED(",\"eventType\":\"outOfOffice\""), "0900-1000 Sprint O"},
    {GOOGLE_TIMED(",\"eventType\":\"focusTime\""), "0900-1000 Sprint"},
    {GOOGLE_TIMED(WORKING("{\"type\":\"customLocation\",\"customLocation\":{\"label\":\"Client site\"}}")),
     "0900-1000 Client site W"},
    {GOOGLE_ALLDAY(",\"eventType\":\"outOfOffice\"", "2025-03-12", "2025-03-13"), "[Away O]"},
    {GOOGLE_ALLDAY(WORKING("{\"type\":\"homeOffice\",\"homeOffice\":{}}"), "2025-03-12", "2025-03-13"), "[Working from home W]"},
    {GOOGLE_ALLDAY(WORKING("{\"type\":\"officeLocation\",\"officeLocation\":{\"label\":\"HQ\"}}"), "2025-03-12", "2025-03-13"),
     "[Office: HQ W]"},
    {GOOGLE_ALLDAY(WORKING("{\"type\":\"officeLocation\",\"officeLocation\":{}}"), "2025-03-12", "2025-03-13"), "[Office W]"},
    {GOOGLE_ALLDAY("", "2025-03-10", "2025-03-15"), "[Away]"},
    {GOOGLE_ALLDAY("", "2025-03-11", "2025-03-12"), ""},
    {GOOGLE_ALLDAY(",\"visibility\":\"private\"", "2025-03-12", "2025-03-13"), "[Away P]"},
    {"{\"summary\":\"Broken\",\"start\":{\"dateTime\":\"soon\"}}", "!event without a readable start: Broken"},
};

void expectDays(const MappingCase* begin, const MappingCase* end, CalendarDay (*read)(const QJsonArray&, const DayWindow&)) {
    ZoneScope zone("Europe/Amsterdam");
    const DayWindow window = localDayWindow(QDate(2025, 3, 12));
    ASSERT_EQ(window.start, QDateTime::fromString("2025-03-11T23:00:00Z", Qt::ISODate));
    for (const MappingCase* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->event);
        ASSERT_FALSE(events(row->event).isEmpty());
        EXPECT_EQ(cloudShown(read(events(row->event), window)), row->shown);
    }
}

TEST(CloudMappingTest, GraphEventsByTheRulesOfTheBoard) {
    expectDays(std::begin(GraphCases), std::end(GraphCases), graphCalendarDay);
}

TEST(CloudMappingTest, GoogleEventsByTheRulesOfTheBoard) {
    expectDays(std::begin(GoogleCases), std::end(GoogleCases), googleCalendarDay);
}

TEST(CloudMappingTest, MeetingsOrderedByStartThenEnd) {
    ZoneScope zone("UTC");
    const QJsonArray three = QJsonDocument::fromJson(
        R"([{"summary":"B","start":{"dateTime":"2025-03-12T10:00:00Z"},"end":{"dateTime":"2025-03-12T12:00:00Z"}},
            {"summary":"A","start":{"dateTime":"2025-03-12T10:00:00Z"},"end":{"dateTime":"2025-03-12T11:00:00Z"}},
            {"summary":"C","start":{"dateTime":"2025-03-12T09:00:00Z"},"end":{"dateTime":"2025-03-12T09:30:00Z"}}])").array();
    EXPECT_EQ(cloudShown(googleCalendarDay(three, localDayWindow(QDate(2025, 3, 12)))),
              "0900-0930 C; 1000-1100 A; 1000-1200 B");
}

}  // namespace

// Each person's iCalendar feed carries the same day as their day view, and
// examples/demo/people-ics.txt lists the same people by their feed addresses.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoFeed.h"

using namespace quorvane;

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// "hhmm" of a minute of day.
std::string hhmm(int minute) {
    std::string text = std::to_string(minute / 60 * 100 + minute % 60);
    return std::string(4 - text.size(), '0') + text;
}

}  // namespace

TEST(DemoFeedTest, FeedPathsNameOneItem) {
    const struct {
        const char* path;
        std::optional<std::string> item;
    } cases[] = {
        {"/ics/1001.ics", "1001"}, {"/ics/.ics", std::nullopt}, {"/ics/a/b.ics", std::nullopt},
        {"/ics/1001", std::nullopt}, {"/other/1001.ics", std::nullopt}, {"/ics/x%20y.ics", "x%20y"},
    };
    for (const auto& c : cases) EXPECT_EQ(feedItemId(c.path), c.item) << c.path;
}

TEST(DemoFeedTest, EveryPersonsFeedHoldsTheirDayViewsEntries) {
    DemoOptions options;
    options.now = parseMoment("2026-12-31 23:50");  // the all-day events end in the next year
    DemoCalendar calendar(options);
    for (const DemoPerson& person : demoPeople()) {
        DemoResponse response =
            calendar.handle({"GET", "/ics/" + std::string(person.itemId) + ".ics", "HTTP/1.1", {}}, false);
        ASSERT_EQ(response.status, 200) << person.name;
        EXPECT_EQ(response.contentType, "text/calendar; charset=utf-8");
        const std::string& feed = response.body;
        DemoDayPlan plan = planDay(person, options.now->minute);
        EXPECT_EQ(count(feed, "BEGIN:VEVENT\r\n"), plan.meetings.size() + plan.dayEvents.size()) << person.name;
        EXPECT_EQ(count(feed, "DTSTART;VALUE=DATE:20261231\r\nDTEND;VALUE=DATE:20270101\r\n"), plan.dayEvents.size());
        for (const std::string& text : plan.dayEvents) EXPECT_EQ(count(feed, "SUMMARY:" + text + "\r\n"), 1u);
        for (const DemoMeeting& meeting : plan.meetings) {
            const std::string block = "DTSTART:20261231T" + hhmm(meeting.start) + "00\r\nDTEND:20261231T" +
                                      hhmm(meeting.end) + "00\r\nSUMMARY:" + meeting.description +
                                      "\r\nLOCATION:" + meeting.room + "\r\n";
            EXPECT_EQ(count(feed, block), 1u) << person.name << " " << meeting.description;
        }
    }
    EXPECT_EQ(calendar.handle({"GET", "/ics/9999.ics", "HTTP/1.1", {}}, false).status, 404);
    EXPECT_EQ(calendar.handle({"GET", "/ics/1001.ics?date=2026/02/30", "HTTP/1.1", {}}, false).status, 400);
}

TEST(DemoFeedTest, PeopleIcsListsThePeopleByTheirFeeds) {
    std::ifstream in(QUORVANE_DEMO_PEOPLE_ICS);
    ASSERT_TRUE(in) << QUORVANE_DEMO_PEOPLE_ICS;
    std::string line;
    for (const DemoPerson& person : demoPeople()) {
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_EQ(line, "\"" + std::string(person.name) + "\",http://127.0.0.1:PORT/ics/" + std::string(person.itemId) +
                            ".ics,\"" + std::string(person.leaveTag) + "\"");
    }
    EXPECT_FALSE(std::getline(in, line));
}

// What /readyz says of a snapshot, and systemd's status line after a grab.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/HealthPages.h"

using namespace quorvane;

namespace {

TEST(HealthPagesTest, ReadyOnlyWithStoredCalendarsUnderTwoHoursOld) {
    const Instant now = instantOfUnix(1'767'225'600);
    const auto snapshot = [&](std::optional<long long> ageSeconds, bool stored, bool restored, std::string rosterFailure) {
        BoardSnapshot board;
        board.restoredFromState = restored;
        board.rosterFailure = std::move(rosterFailure);
        if (ageSeconds) board.dataTime = now - std::chrono::seconds(*ageSeconds);
        PersonRow row{"Ann", {}, {}, {}};
        if (stored) row.fetchedAt = board.dataTime;
        board.people.push_back(row);
        return board;
    };
    const struct {
        std::optional<long long> age;
        bool stored;
        std::optional<std::string> reason;
        bool restored = false;
        std::string rosterFailure = {};
    } cases[] = {
        {std::nullopt, false, "no grab has stored a calendar yet"},
        {60, false, "no grab has stored a calendar yet"},
        {60, true, std::nullopt},
        {2 * 3600 - 1, true, std::nullopt},
        {2 * 3600, true, "the data is 120 minutes old"},
        {3 * 3600 + 59, true, "the data is 180 minutes old"},
        {60, true, "the rows are from the saved state; no grab has succeeded since the start", true},
        {std::nullopt, false, "the roster was not read, no one is listed: Cannot open file \"people.txt\". No such file",
         false, "Cannot open file \"people.txt\". No such file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notReadyReason(snapshot(c.age, c.stored, c.restored, c.rosterFailure), now), c.reason)
            << c.age.value_or(-1);
}

TEST(HealthPagesTest, StatusLineSaysTheLastGrabsOutcome) {
    setenv("TZ", "UTC", 1);
    BoardSnapshot board;
    EXPECT_EQ(grabStatusText(board), "No grab yet");
    board.lastGrabTime = instantOfUnix(1'767'225'600 + 9 * 3600 + 5 * 60 + 7);
    board.people = {{"Ann", {}, {}, {}}, {"Bob", {}, {}, "Calendar of Bob: HTTP 503"}};
    EXPECT_EQ(grabStatusText(board), "Last grab failed at 09:05:07: Calendar of Bob: HTTP 503");
    board.lastGrabOk = true;
    EXPECT_EQ(grabStatusText(board), "Last grab ok at 09:05:07, 2 people");
}

}  // namespace

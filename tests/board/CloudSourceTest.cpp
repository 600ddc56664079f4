// The Microsoft 365 and Google Workspace sources without their services: which item ids they
// read, no client made for a fetch of no one, and each person refused alone, with the option to
// give, when no identity was given.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/CloudSource.h"
#include "tests/support/TestDoubles.h"

using namespace quorvane;

namespace {

TEST(CloudSourceTest, ReadsItsPrefixAndRefusesEachPersonWithoutAnIdentity)
{
    FakeClock clock{encodeDate(2026, 12, 7) + encodeTime(12, 30, 0, 0)};
    RecordingLog log;
    const Roster roster{{"Ann", "m365:ann@example.org", ""}, {"Gail", "google:gail@example.org", ""}, {"Bo", "m365:", ""}};
    const std::unique_ptr<CloudSource> m365 = makeM365Source(std::nullopt, log, clock);
    const std::unique_ptr<CloudSource> google = makeGoogleSource(std::nullopt, log, clock);
    const bool reads[][3] = {{true, false, false}, {false, true, false}};
    for (std::size_t i = 0; i < roster.size(); ++i) {
        EXPECT_EQ(m365->reads(roster[i].itemId), reads[0][i]) << roster[i].itemId;
        EXPECT_EQ(google->reads(roster[i].itemId), reads[1][i]) << roster[i].itemId;
    }

    const Instant now = instantOfLocal(clock.value);
    const struct {
        CloudSource& source;
        std::size_t person;
        const char* line;
    } cases[] = {
        {*m365, 0, "Calendar of Ann: no Microsoft 365 credentials (--m365-credentials)"},
        {*google, 1, "Calendar of Gail: no Google service account (--google-service-account)"},
    };
    for (const auto& c : cases) {
        std::vector<FetchReport> reports;
        int done = 0;
        c.source.fetch(roster, {c.person}, now, FetchListener{[&](const FetchReport& r) { reports.push_back(r); }, [&] { ++done; }});
        EXPECT_EQ(done, 1);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].after, FetchState::Kept);
        EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), c.line), 1) << c.line;
        EXPECT_EQ(c.source.compose(roster[c.person], now).state, PersonState::Unknown);
        EXPECT_FALSE(c.source.cachedAt(roster[c.person]));
    }
}

TEST(CloudSourceTest, MakesNoClientForAFetchOfNoOne)
{
    FakeClock clock{encodeDate(2026, 12, 7)};
    RecordingLog log;
    int made = 0;
    CloudSource source({"m365:", "none", [&]() -> std::unique_ptr<CloudDayClient> {
                            ++made;
                            throw std::runtime_error("no client here");
                        }},
                       log, clock);
    int done = 0;
    source.fetch({}, {}, instantOfLocal(clock.value), FetchListener{{}, [&] { ++done; }});
    EXPECT_EQ(done, 1);
    EXPECT_EQ(made, 0);
    // Asked for someone, it makes one; the failure to is that person's.
    source.fetch({{"Ann", "m365:ann@example.org", ""}}, {0}, instantOfLocal(clock.value), FetchListener{{}, [&] { ++done; }});
    EXPECT_EQ(made, 1);
    EXPECT_EQ(done, 2);
    EXPECT_EQ(log.lines.back(), "Calendar of Ann: no client here");
}

}  // namespace

// A person's own page: what its form's posts ask for, or why they are refused, and the page as
// served (everything put in escaped, the date for the pickers, the error when there is one).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "pages/PagesConstants.h"
#include "pages/SelfStatusPage.h"
#include "text/DateTime.h"

using namespace quorvane;

namespace {

// 2026-12-09 09:30 in UTC, the zone these tests run in.
constexpr std::int64_t At0930 = 1796808600;

class SelfStatusPageTest : public ::testing::Test {
protected:
    SelfStatusPageTest() {
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    Instant now = instantOfUnix(At0930);
};

TEST_F(SelfStatusPageTest, FormsReadOrRefusedWithTheirReason) {
    const std::string long80(80, 'x'), long81(81, 'x');
    const struct {
        std::string body;
        std::string error, text;
        std::optional<std::int64_t> until;
        bool clear = false;
    } cases[] = {
        {"text=Working+from+home&until=2026-12-09T17:00", "", "Working from home", At0930 + 27000},
        {"until=&text=%20Back%20at%2014%3A30%20", "", "Back at 14:30", std::nullopt},
        {"text=Out&until=2026-12-10T08:00&extra=1", "", "Out", At0930 + 81000},
        {"text=" + long80, "", long80, std::nullopt},
        {"text=" + std::string(40, 'a') + std::string(40 * 2, '\xC3') , std::string(SelfErrorNotText), "", std::nullopt},
        {"text=%C3%A9" + std::string(79, 'e'), "", "\xC3\xA9" + std::string(79, 'e'), std::nullopt},  // characters, not bytes
        {"text=" + long81, std::string(SelfErrorTooLong), "", std::nullopt},
        {"text=a%0Ab", std::string(SelfErrorControls), "", std::nullopt},
        {"text=a%C2%85b", std::string(SelfErrorControls), "", std::nullopt},
        {"text=a%7F", std::string(SelfErrorControls), "", std::nullopt},
        {"text=%FF", std::string(SelfErrorNotText), "", std::nullopt},
        {"text=+&until=", std::string(SelfErrorEmpty), "", std::nullopt},
        {"", std::string(SelfErrorEmpty), "", std::nullopt},
        {"text=x&until=2026-12-09T09:30", std::string(SelfErrorUntilPast), "", std::nullopt},
        {"text=x&until=2026-12-09T09:00", std::string(SelfErrorUntilPast), "", std::nullopt},
        {"text=x&until=tomorrow", std::string(SelfErrorUntilUnreadable), "", std::nullopt},
        {"text=x&until=2026-02-30T10:00", std::string(SelfErrorUntilUnreadable), "", std::nullopt},
        {"text=x&until=2026-12-09T24:00", std::string(SelfErrorUntilUnreadable), "", std::nullopt},
        {"text=a%0Ab&until=past&clear=", "", "", std::nullopt, true},  // clearing asks for nothing else
    };
    for (const auto& c : cases) {
        const StatusForm form = readStatusForm(c.body, now);
        EXPECT_EQ(form.error, c.error) << c.body;
        EXPECT_EQ(form.clear, c.clear) << c.body;
        if (!c.error.empty()) continue;
        EXPECT_EQ(form.text, c.text) << c.body;
        EXPECT_EQ(form.until, c.until ? std::optional<Instant>(instantOfUnix(*c.until)) : std::nullopt) << c.body;
    }
}

TEST_F(SelfStatusPageTest, PageEscapesWhatItShows) {
    const std::string page = selfStatusPageHtml("Ann <b>{{NOW}}", ownStatusText("Home & <i>away</i>", now + std::chrono::hours(2)),
                                                "Bad <x>", now);
    for (const char* part : {"<h1>Ann &lt;b&gt;{{NOW}}</h1>", "Home &amp; &lt;i&gt;away&lt;/i&gt; until 09/12 11:30",
                             "<p class=\"error\" id=\"error\">Bad &lt;x&gt;</p>", "value=\"2026-12-09T23:59\"",
                             "name=\"viewport\""})
        EXPECT_NE(page.find(part), std::string::npos) << part;
    const std::string plain = selfStatusPageHtml("Ann", "", "", now);
    EXPECT_NE(plain.find(SelfNoStatusText), std::string::npos);
    EXPECT_EQ(plain.find("class=\"error\""), std::string::npos);
    EXPECT_EQ(plain.find("{{"), std::string::npos);
    for (const char* outside : {"http://", "https://", "src=", "@import"}) EXPECT_EQ(plain.find(outside), std::string::npos) << outside;
}

}  // namespace

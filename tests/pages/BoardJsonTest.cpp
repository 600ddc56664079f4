// The wall page's data: JSON string escaping and UTF-8 clean-up, local times with their offset,
// the whole document for a board of every state (fixtures board.json / board-hidden.json), hidden
// titles never letting a description or note text through, and the wall page's title.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>

#include "pages/BoardJson.h"
#include "pages/JsonText.h"
#include "pages/StatusCell.h"
#include "pages/WallPage.h"
#include "tests/pages/BoardRows.h"
#include "text/DateTime.h"

using namespace quorvane;

namespace {

// Central European time written as a POSIX rule, so no zone database is needed.
constexpr const char* OfficeZone = "CET-1CEST,M3.5.0,M10.5.0/3";

class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (hadOld_) setenv("TZ", old_.c_str(), 1); else unsetenv("TZ");
        tzset();
    }
private:
    std::string old_;
    bool hadOld_ = false;
};

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(QUORVANE_TEST_DATA) + "/pages/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// 2024-05-08 in the office zone (CEST, +02:00).
constexpr std::int64_t At0905 = 1715151900, At0906 = 1715151970, At0930 = 1715153400, At1030 = 1715157000,
                       At1100 = 1715158800, At1700 = 1715180400;

BoardSnapshot everyState() {
    BoardSnapshot board;
    board.dataTime = instantOfUnix(At0905);
    board.lastGrabOk = true;
    board.lastGrabTime = instantOfUnix(At0906);
    board.people = {
        person("Ann Archer", PersonState::Meeting, {meeting("Budget review (Room 4)", At1030)}),
        person("Ben Brook", PersonState::Meeting,
               {meeting("Design \"sync\" <b>A&B</b>", At1100), meeting("Shift cover", At1700, false)},
               {note("Late start 10am", NoteKind::Late)}),
        person("Cara Cole", PersonState::Leave, {}, {note("Annual Leave (CC)", NoteKind::Leave)}),
        person("Dan Dale", PersonState::Note, {},
               {note("Bank Holiday", NoteKind::Holiday), note("Early finish 3pm", NoteKind::Early)}),
        person("Eve Ek", PersonState::Free),
        person("Finn Fo\xff", PersonState::Unknown),
        person("Gus\tGray", PersonState::Note, {},
               {note("Night shift", NoteKind::Shift), note("Offsite\nall day", NoteKind::Other)}),
    };
    return board;
}

TEST(JsonTextTest, StringsAreEscapedAndCleanedToUtf8) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string in, out;
    } cases[] = {
        {"Ann", "\"Ann\""},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {"\n\r\t\b\f\x01\x1f\x7f", "\"\\n\\r\\t\\b\\f\\u0001\\u001f\x7f\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"Zo\xC3\xAB \xE6\x9D\xB1 \xF0\x9F\x98\x80", "\"Zo\xC3\xAB \xE6\x9D\xB1 \xF0\x9F\x98\x80\""},
        {"a\x80z", "\"a" + fffd + "z\""},                        // stray continuation byte
        {"\xC0\xAF", "\"" + fffd + fffd + "\""},                  // overlong "/"
        {"\xE0\x80\xAF", "\"" + fffd + fffd + fffd + "\""},       // overlong three-byte
        {"\xED\xA0\x80", "\"" + fffd + fffd + fffd + "\""},       // surrogate
        {"\xF4\x90\x80\x80", "\"" + fffd + fffd + fffd + fffd + "\""},  // beyond U+10FFFF
        {"x\xE2\x82", "\"x" + fffd + "\""},                       // cut short at the end
        {"\xE2\x82x", "\"" + fffd + "x\""},                       // cut short inside
        {"\xFF\xFE", "\"" + fffd + fffd + "\""},
    };
    for (const auto& c : cases) {
        std::string out;
        appendJsonString(out, c.in);
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(LocalTimeTest, InstantsReadInTheLocalZoneWithTheirOffset) {
    ZoneGuard zone(OfficeZone);
    const struct {
        std::int64_t unix;
        const char* iso;
        double days;  // the same wall time as days since 1899-12-30
    } cases[] = {
        {At1030, "2024-05-08T10:30:00+02:00", 45420.4375},
        {1704067199, "2024-01-01T00:59:59+01:00", 45292.0 + (59 * 60 + 59) / 86400.0},
        {1711846799, "2024-03-31T01:59:59+01:00", 45382.0 + (3600 + 59 * 60 + 59) / 86400.0},  // before spring forward
        {1711846800, "2024-03-31T03:00:00+02:00", 45382.125},                                 // after it
        {-1, "1970-01-01T00:59:59+01:00", 25569.0 + (59 * 60 + 59) / 86400.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isoLocalTime(instantOfUnix(c.unix)), c.iso);
        EXPECT_EQ(localToUnixSeconds(c.days), c.unix) << c.iso;
    }
    EXPECT_EQ(localHourMinute(instantOfUnix(At1030)), "10:30");
}

TEST(BoardJsonTest, EveryStateAndNoteKindAsTheFixturesShowThem) {
    ZoneGuard zone(OfficeZone);
    EXPECT_EQ(buildBoardJson(everyState(), false, instantOfUnix(At0930)), readFixture("board.json"));
    EXPECT_EQ(buildBoardJson(everyState(), true, instantOfUnix(At0930)), readFixture("board-hidden.json"));
    EXPECT_EQ(buildBoardJson(BoardSnapshot{}, false, instantOfUnix(At0930)),
              "{\"generated\":\"2024-05-08T09:30:00+02:00\",\"dataTime\":null,\"lastGrabOk\":false,"
              "\"lastGrabTime\":null,\"hideTitles\":false,\"people\":[]}\n");
}

TEST(BoardJsonTest, HiddenTitlesNeverLetADescriptionOrNoteThrough) {
    ZoneGuard zone(OfficeZone);
    const BoardSnapshot board = everyState();
    const std::string json = buildBoardJson(board, true, instantOfUnix(At0930));
    // Every word of every title and note that is not also a word of the fixed texts.
    const char* words[] = {"Budget", "review", "Room", "Design", "sync", "A&B", "cover", "10am", "Annual",
                           "(CC)", "Bank", "3pm", "Night", "Offsite", "all day"};
    for (const char* word : words) EXPECT_EQ(json.find(word), std::string::npos) << word;
    for (const PersonRow& row : board.people) {
        for (const MeetingStatus& m : row.status.meetings)
            EXPECT_EQ(json.find(m.description.plain), std::string::npos) << m.description.plain;
        for (const NoteStatus& n : row.status.notes) EXPECT_EQ(json.find(n.text.plain), std::string::npos) << n.text.plain;
    }
    EXPECT_NE(json.find("\"statusHtml\":\"In a meeting until 11:00<br><small>Also: In a meeting</small>"
                        "<br><small>Note: Late start</small>\""),
              std::string::npos);
}

TEST(BoardJsonTest, RowsSayWhenTheirDataWasReadWhyTheyWereNeverReadAndHowLongOneIsFree) {
    ZoneGuard zone(OfficeZone);
    const struct {
        std::optional<std::int64_t> fetchedAt, freeUntil;
        std::string failure, tail;
    } cases[] = {
        {At0905, {}, "", ""},  // read at the last grab: no extra field
        {{}, At1030, "", ",\"freeUntil\":\"2024-05-08T10:30:00+02:00\""},
        {At0905, {}, "Ann: HTTP 503", ",\"asOf\":\"2024-05-08T09:05:00+02:00\""},
        {{}, {}, "Ann: HTTP 401", ",\"reason\":\"HTTP 401\""},
        {{}, {}, "time-out \"day view\"", ",\"reason\":\"time-out \\\"day view\\\"\""},  // no name in front
        {{}, {}, "Ann: ", ",\"reason\":\"Ann: \""},
    };
    for (const auto& c : cases) {
        BoardSnapshot board;
        board.people = {person("Ann", PersonState::Free)};
        if (c.fetchedAt) board.people[0].fetchedAt = instantOfUnix(*c.fetchedAt);
        if (c.freeUntil) board.people[0].status.freeUntil = instantOfUnix(*c.freeUntil);
        board.people[0].failure = c.failure;
        const std::string json = buildBoardJson(board, false, instantOfUnix(At0930));
        EXPECT_NE(json.find("\"statusHtml\":\"\"" + c.tail + "}]}"), std::string::npos) << c.failure << "\n" << json;
    }
    // A private meeting is marked so, for the page to say "Private" in its language.
    BoardSnapshot board;
    board.people = {person("Ann", PersonState::Meeting, {meeting("Private", At1030)})};
    board.people[0].status.meetings[0].isPrivate = true;
    EXPECT_NE(buildBoardJson(board, false, instantOfUnix(At0930)).find("\"until\":true,\"private\":true}"),
              std::string::npos);
    EXPECT_EQ(buildBoardJson(board, true, instantOfUnix(At0930)).find("private"), std::string::npos);
}

TEST(WallPageTest, LanguageClockAndThemeAreFilledInOnePass) {
    const struct {
        WallLook look;
        const char *html, *settings, *label;
    } cases[] = {
        {{}, "<html lang=\"en\" data-theme=\"dark\">", "var Look = {\"clock\":24,\"texts\":{", "\"Meeting\""},
        {{"de", true, WallTheme::Light}, "<html lang=\"de\" data-theme=\"light\">", "var Look = {\"clock\":12,",
         "\"Besprechung\""},
        {{"xx", false, WallTheme::Dark}, "<html lang=\"en\" data-theme=\"dark\">", "{\"clock\":24,", "\"Meeting\""},
    };
    for (const auto& c : cases) {
        const std::string page = wallPageHtml("{{LOOK}} {{LANG}}", c.look);
        EXPECT_NE(page.find(c.html), std::string::npos) << c.look.language;
        EXPECT_NE(page.find(c.settings), std::string::npos) << c.look.language;
        EXPECT_NE(page.find(c.label), std::string::npos) << c.look.language;
        EXPECT_NE(page.find("<h1 id=\"title\">{{LOOK}} {{LANG}}</h1>"), std::string::npos);  // a title is never filled in
        EXPECT_EQ(page.find("{{THEME}}"), std::string::npos);
    }
}

// A person's own status: their words (escaped as markup on the cell, never hidden), its end on
// both pages, and where the calendar says they work named "self" in the JSON once own statuses
// are served.
TEST(BoardJsonTest, OwnStatusesKeepTheirWordsAndEnd) {
    ZoneGuard zone(OfficeZone);
    const auto self = [](const std::string& html, const std::string& plain, std::optional<std::int64_t> end) {
        NoteStatus n{{html, plain}, NoteKind::Self};
        if (end) n.end = instantOfUnix(*end);
        return n;
    };
    constexpr std::int64_t NextDay1200 = At1100 + 25 * 3600;
    const struct {
        NoteStatus note;
        bool hideTitles, selfStatus;
        std::string cell, jsonNote;
    } cases[] = {
        {self("Home &lt;b&gt;", "Home <b>", At1700), false, true, "<small>Note: Home &lt;b&gt; until 17:00</small>",
         R"({"text":"Home <b>","kind":"self","end":"2024-05-08T17:00:00+02:00"})"},
        {self("Site", "Site", At1700), true, true, "<small>Note: Site until 17:00</small>",
         R"({"text":"Site","kind":"self","end":"2024-05-08T17:00:00+02:00"})"},
        {self("Away", "Away", NextDay1200), false, true, "<small>Note: Away until 09/05 12:00</small>",
         R"({"text":"Away","kind":"self","end":"2024-05-09T12:00:00+02:00"})"},
        {self("Out", "Out", std::nullopt), true, true, "<small>Note: Out</small>",
         R"({"text":"Out","kind":"self","end":null})"},
        {note("Home", NoteKind::Working), false, true, "<small>Note: Home</small>",
         R"({"text":"Home","kind":"self","end":null})"},
        {note("Home", NoteKind::Working), true, true, "<small>Note: Working elsewhere</small>",
         R"({"text":"Working elsewhere","kind":"self","end":null})"},
        {note("Home", NoteKind::Working), false, false, "<small>Note: Home</small>", R"({"text":"Home","kind":"working"})"},
    };
    for (const auto& c : cases) {
        BoardSnapshot board;
        board.effectiveNow = instantOfUnix(At0930);
        board.people = {person("Ann", PersonState::Free, {}, {c.note})};
        const std::string json = buildBoardJson(board, c.hideTitles, instantOfUnix(At0930), c.selfStatus);
        EXPECT_NE(json.find("\"notes\":[" + c.jsonNote + "]"), std::string::npos) << json;
        EXPECT_EQ(statusHtml(board.people[0].status, c.hideTitles, board.effectiveNow), c.cell);
    }
}

TEST(WallPageTest, TitleIsEscapedIntoEveryPlaceholder) {
    const struct {
        std::string title, shown;
    } cases[] = {
        {"", "Where Is Everyone?"},
        {"R&D <Floor 2> \"East\" 'wing'", "R&amp;D &lt;Floor 2&gt; &quot;East&quot; &#39;wing&#39;"},
        {"Caf\xE9", "Caf\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        const std::string page = wallPageHtml(c.title);
        EXPECT_NE(page.find("<title>" + c.shown + "</title>"), std::string::npos) << c.title;
        EXPECT_NE(page.find("<h1 id=\"title\">" + c.shown + "</h1>"), std::string::npos) << c.title;
        EXPECT_EQ(page.find("{{TITLE}}"), std::string::npos);
    }
}

}  // namespace

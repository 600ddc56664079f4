// The classic page on its own: page head, page time, access line, failures; and its fragment.
#include <gtest/gtest.h>

#include "tests/webserver/ServerTestSupport.h"
#include "pages/PublishedBoard.h"
#include "tests/pages/BoardRows.h"
#include "text/Errors.h"

using namespace quorvane;

namespace {

class ThrowingLog final : public LogWriter {
public:
    void log(const std::string&, bool) override { throw QuorvaneError("log full"); }
};

class BoardPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        setLocaleFormats(FormatSettings::fallback());
        request.peerAddress = "10.0.0.7";
        request.requestLine = "GET / HTTP/1.1";
    }
    std::string serve(const std::string& fragment) {
        HttpResponse response;
        serveBoardPage(fragment, clock, log, request, response);
        EXPECT_EQ(response.contentType, "text/html; charset=utf-8");
        return response.bodyText;
    }
    FakeClock clock{boardTestTime()};
    RecordingLog log;
    HttpRequest request;
};

TEST_F(BoardPageTest, HeadIsTheSixPiecesIn808Characters) {
    const std::size_t lengths[6] = {42, 450, 100, 84, 92, 40};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(BoardPageHead[i].size(), lengths[i]) << i;
    EXPECT_EQ(boardHead().find("font-family :  Verdana"), 124u);
    EXPECT_EQ(serve(""), boardHead());
    EXPECT_EQ(log.snapshot(), std::vector<std::string>{"10.0.0.7 \"GET / HTTP/1.1\" 200 808"});
}

TEST_F(BoardPageTest, OnlyTheFirstExactPageTimeTokenIsFilled) {
    EXPECT_EQ(serve("a%NOWb%NOWc%now"), boardHead() + "a06/12 17:28b%NOWc%now");
    EXPECT_EQ(serve("<td>no token</td>"), boardHead() + "<td>no token</td>");
}

// The client's text goes into the access line after the line's own fields, so it is logged as
// written: tokens stay tokens, quotes and backslashes cannot fake the quoting; the line is cut at
// its bound.
TEST_F(BoardPageTest, AccessLineCarriesClientTextAsWritten) {
    const struct {
        std::string requestLine;
        std::string logged;
    } cases[] = {
        {"GET /%s/%b HTTP/1.1", "10.0.0.7 \"GET /%s/%b HTTP/1.1\" 200 813"},
        {"GET /%R|%U|%t|%h HTTP/1.1", "10.0.0.7 \"GET /%R|%U|%t|%h HTTP/1.1\" 200 813"},
        {"GET /\" 404 0\" x HTTP/1.1", "10.0.0.7 \"GET /\\x22 404 0\\x22 x HTTP/1.1\" 200 813"},
        {"GET /a\\x22 HTTP/1.1", "10.0.0.7 \"GET /a\\x5Cx22 HTTP/1.1\" 200 813"},
        {"GET /" + std::string(MaxAccessLineBytes, 'a'), "10.0.0.7 \"GET /" + std::string(MaxAccessLineBytes - 15, 'a')},
    };
    request.referer = "ref%U%b";
    request.userAgent = "ua%R";
    for (const auto& c : cases) {
        request.requestLine = c.requestLine;
        serve("12345");
        EXPECT_EQ(log.snapshot().back(), c.logged) << c.requestLine.substr(0, 40);
    }
}

TEST_F(BoardPageTest, LogFailurePropagatesWithThePlainContentType) {
    ThrowingLog failing;
    HttpResponse response;
    EXPECT_THROW(serveBoardPage("", clock, failing, request, response), QuorvaneError);
    EXPECT_EQ(response.contentType, "text/html");
}

// The fragment of a snapshot: an empty status as "&nbsp;", no data time in the footer before the
// first data; an operator's edit is served until the next publish.
TEST_F(BoardPageTest, FragmentOfTheSnapshotAndTheOperatorsEdit) {
    auto board = std::make_shared<BoardSnapshot>();
    board->people.push_back({"Ann", {}, {}, {}});
    const std::string expected =
        std::string(TableOpenLine) + "\r\n" + std::string(RowOpen) + "Ann" + std::string(RowMiddle) + "&nbsp;" +
        std::string(RowClose) + "\r\n</table>\r\n<p><small><small>Page refreshed: %NOW, Data refreshed: "
        "</small></small><p>\r\n</body></html>";
    PublishedBoard published;
    EXPECT_EQ(published.fragment(), "");
    published.publish(board);
    EXPECT_EQ(published.fragment(), expected);
    published.editFragment("edited");
    EXPECT_EQ(published.fragment(), "edited");
    EXPECT_EQ(published.current()->snapshot, board);
    published.publish(board);
    EXPECT_EQ(published.fragment(), expected);
}

// A calendar title holding the page-time token is shown as typed; the footer still gets the time.
TEST_F(BoardPageTest, PageTimeTokenInCalendarTextStaysText) {
    BoardSnapshot board;
    board.people.push_back(person("Ann", PersonState::Meeting, {meeting("%NOW review", 0, false)}));
    board.dataTime = instantOfUnix(0);
    const std::string page = serve(classicFragment(board, false));
    EXPECT_NE(page.find("&#37;NOW review"), std::string::npos);
    EXPECT_NE(page.find("Page refreshed: 06/12 17:28, Data refreshed: "), std::string::npos);
}

// Roster names are text: markup characters go out as references, every other name byte for byte.
TEST_F(BoardPageTest, RosterNamesAreEscaped) {
    const struct {
        const char* name;
        const char* cell;
    } cases[] = {
        {"Ann & Co", "Ann &amp; Co"},
        {"<b>Bo</b>", "&lt;b&gt;Bo&lt;/b&gt;"},
        {"Cy \"C\"", "Cy &quot;C&quot;"},
        {"Dee O'Brien", "Dee O'Brien"},
        {"Élodie", "Élodie"},
    };
    for (const auto& c : cases) {
        BoardSnapshot board;
        board.people.push_back({c.name, {}, {}, {}});
        const std::string row = std::string(RowOpen) + c.cell + std::string(RowMiddle);
        EXPECT_NE(classicFragment(board, false).find(row), std::string::npos) << c.name;
    }
}

}  // namespace

// The classic page on its own: page head, page time, access line, failures; and its fragment.
#include <gtest/gtest.h>

#include "tests/webserver/ServerTestSupport.h"
#include "pages/PublishedBoard.h"
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

TEST_F(BoardPageTest, AccessLineReplacementsApplyInTheirOrder) {
    request.requestLine = "GET /%R|%U|%t|%h|%b HTTP/1.1";
    request.referer = "ref%U%b";
    request.userAgent = "ua%R";
    serve("12345");
    EXPECT_EQ(log.snapshot().back(), "10.0.0.7 \"GET /refua%R813|ua%R|%t|%h|813 HTTP/1.1\" 200 813");

    request.referer.clear();
    request.userAgent.clear();
    serve("12345");
    EXPECT_EQ(log.snapshot().back(), "10.0.0.7 \"GET /||%t|%h|813 HTTP/1.1\" 200 813");
}

// "%R" tokens in the request line each bring in a Referer of "%U" tokens, each of which brings in
// the User-Agent: gigabytes unless the line is cut.
TEST_F(BoardPageTest, TokenExpansionIsCutAtTheBound) {
    request.requestLine = "GET /";
    for (int i = 0; i < 2000; ++i) request.requestLine += "%R";
    for (int i = 0; i < 2000; ++i) request.referer += "%U";
    request.userAgent = std::string(4000, 'a');
    serve("");
    EXPECT_EQ(log.snapshot().back(), "10.0.0.7 \"GET /" + std::string(MaxAccessLineBytes - 15, 'a'));
}

TEST_F(BoardPageTest, LogFailurePropagatesWithThePlainContentType) {
    ThrowingLog failing;
    HttpResponse response;
    EXPECT_THROW(serveBoardPage("", clock, failing, request, response), QuorvaneError);
    EXPECT_EQ(response.contentType, "text/html");
}

// The fragment of a snapshot: an empty status as "&nbsp;", day zero in the footer before the first
// completed grab; an operator's edit is served until the next publish.
TEST_F(BoardPageTest, FragmentOfTheSnapshotAndTheOperatorsEdit) {
    auto board = std::make_shared<BoardSnapshot>();
    board->people.push_back({"Ann", {}, {}, {}});
    const std::string expected =
        std::string(TableOpenLine) + "\r\n" + std::string(RowOpen) + "Ann" + std::string(RowMiddle) + "&nbsp;" +
        std::string(RowClose) + "\r\n</table>\r\n<p><small><small>Page refreshed: %NOW, Data refreshed: 30/12 00:00"
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

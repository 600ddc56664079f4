// The headless log on standard output: stamped lines, one log line an output line, appends on the
// line they belong to, and control bytes made inert there and in the log box alike; to the
// journal, no stamps and each line's priority.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "log/ActivityLog.h"
#include "log/EchoLog.h"
#include "tests/support/TestDoubles.h"
#include "text/DateTime.h"
#include "text/LineList.h"

using namespace quorvane;

namespace {

class EchoLogTest : public ::testing::Test {
protected:
    void SetUp() override { setLocaleFormats(FormatSettings::fallback()); }
    void TearDown() override { std::fclose(out); }
    std::string output() {
        std::fflush(out);
        std::rewind(out);
        std::string text;
        for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
        return text;
    }
    FakeClock clock{encodeDate(2026, 12, 6) + encodeTime(9, 5, 7, 0)};
    StringList lines;
    ActivityLog box{lines, clock};
    std::FILE* out = std::tmpfile();
};

TEST_F(EchoLogTest, LinesAreStampedAndAnotherThreadsLineDoesNotTakeTheDots) {
    {
        EchoLog echo(box, out, clock);
        echo.log("Grabbing Page for Ann", false);
        echo.log(".", true);
        std::thread([&] { echo.log("127.0.0.1 \"GET / HTTP/1.1\" 200 808", false); }).join();
        echo.log("..", true);
        echo.log("Timed Out", true);
        echo.log("Done", false);
    }
    EXPECT_EQ(output(),
              "[06/12/26 09:05:07] Grabbing Page for Ann.\n"
              "[06/12/26 09:05:07] 127.0.0.1 \"GET / HTTP/1.1\" 200 808\n"
              "[06/12/26 09:05:07] ..Timed Out\n"
              "[06/12/26 09:05:07] Done\n");
}

TEST_F(EchoLogTest, ControlBytesAreInertOnTheOutputAndInTheBox) {
    const struct {
        std::string text, inert;
    } cases[] = {
        {"GET /\x1B[2J\x1B]0;owned\x07 HTTP/1.1", "GET /\\x1B[2J\\x1B]0;owned\\x07 HTTP/1.1"},
        {std::string("a\r\nb\0c\x7F", 7), "a\\x0D\\x0Ab\\x00c\\x7F"},
        {"Jos\xC3\xA9 \t", "Jos\xC3\xA9 \\x09"},  // UTF-8 stays as it is
        {"\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},         // continuation bytes in 0x80-0x9F too
        {"a\xE2\x80\xA8GET /forged", "a\\u{2028}GET /forged"},
        {"\xC2\x85x\xE2\x80\xA9\xE2\x80\xAE" "cod.exe", "\\u{85}x\\u{2029}\\u{202E}cod.exe"},
        {"\x9B" "2J\x85\xE2\x80", "\\x9B" "2J\\x85\xE2\\x80"},  // stray C1 bytes, a cut character
    };
    {
        EchoLog echo(box, out, clock);
        for (const auto& c : cases) echo.log(c.text, false);
    }
    std::string expected, boxText;
    for (const auto& c : cases) {
        expected += "[06/12/26 09:05:07] " + c.inert + "\n";
        boxText += "[06/12/26 09:05:07] " + c.inert + "\r\n";
    }
    EXPECT_EQ(output(), expected);
    EXPECT_EQ(lines.text(), boxText);
}

TEST_F(EchoLogTest, JournalLinesCarryTheirPriorityAndNoStampWhileTheBoxStaysStamped) {
    {
        EchoLog echo(box, out, clock, EchoStyle::Journal);
        echo.log("Grabbing Page for Ann", false);
        echo.log(".", true);
        // The engine's message in the middle of the line ends it; the dots go on after it.
        echo.passLine("WebEngineContext used before QtWebEngineCore::initialize()", LogSeverity::Debug);
        echo.log("..", true);
        echo.warn("Page not stored: timed out; kept page of 06/12 09:00");
        std::thread([&] { echo.error("Calendar of Bo: HTTP 500"); }).join();
        echo.logLine("Done", LogSeverity::Info);
    }
    EXPECT_EQ(output(),
              "<6>Grabbing Page for Ann.\n"
              "<7>WebEngineContext used before QtWebEngineCore::initialize()\n"
              "<6>..\n"
              "<4>Page not stored: timed out; kept page of 06/12 09:00\n"
              "<3>Calendar of Bo: HTTP 500\n"
              "<6>Done\n");
    // The log box is as it always was: stamped lines, the engine's message not among them.
    EXPECT_EQ(lines.text(),
              "[06/12/26 09:05:07] Grabbing Page for Ann...\r\n"
              "[06/12/26 09:05:07] Page not stored: timed out; kept page of 06/12 09:00\r\n"
              "[06/12/26 09:05:07] Calendar of Bo: HTTP 500\r\n"
              "[06/12/26 09:05:07] Done\r\n");
}

}  // namespace

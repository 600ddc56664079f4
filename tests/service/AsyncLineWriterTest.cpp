// The standard-output writer: lines come out whole and in order; a caller never waits on an
// output nobody reads, the lines it could not queue are dropped and counted in one stamped line,
// and everything queued is written by the time the writer is gone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "log/ActivityLog.h"
#include "log/EchoLog.h"
#include "service/AsyncLineWriter.h"
#include "tests/support/TestDoubles.h"
#include "text/LineList.h"
#include "text/DateTime.h"

using namespace quorvane;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "a line without its end";
    return lines;
}

class AsyncLineWriterTest : public ::testing::Test {
protected:
    void SetUp() override { setLocaleFormats(FormatSettings::fallback()); }
    FakeClock clock_{encodeDate(2026, 12, 6) + encodeTime(9, 5, 7, 0)};
};

TEST_F(AsyncLineWriterTest, LinesFromManyThreadsComeOutWholeAndInEachThreadsOrder) {
    std::FILE* file = std::tmpfile();
    {
        AsyncLineWriter writer(file, clock_);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&writer, t] {
                for (int i = 0; i < 500; ++i) writer.writeLine("thread " + std::to_string(t) + " line " + std::to_string(i));
            });
        for (auto& thread : threads) thread.join();
    }
    std::rewind(file);
    std::string text(1 << 16, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 2000u);
    int next[4] = {0, 0, 0, 0};
    for (const std::string& line : lines) {
        const int t = line[7] - '0';
        EXPECT_EQ(line, "thread " + std::to_string(t) + " line " + std::to_string(next[t]++));
    }
}

TEST_F(AsyncLineWriterTest, AStalledOutputDropsLinesInsteadOfBlockingAndReportsTheCount) {
    // The report is stamped, or to the journal a warning.
    for (const bool journal : {false, true}) {
        SCOPED_TRACE(journal ? "journal" : "stamped");
        int fds[2];
        ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
        fcntl(fds[1], F_SETPIPE_SZ, 4096);
        std::FILE* out = fdopen(fds[1], "w");
        const std::string line(1000, 'x');
        std::string text;
        std::thread reader;
        std::uint64_t dropped = 0;
        {
            AsyncLineWriter writer(out, clock_, 8, journal);
            // Nobody reads yet: the writer thread soon waits on the full pipe, the queue fills, and the
            // rest is dropped. A caller that blocked would hang this test here.
            for (int i = 0; i < 1000; ++i) writer.writeLine(line);
            dropped = writer.droppedTotal();
            EXPECT_GT(dropped, 900u);
            reader = std::thread([&] {
                char buffer[65536];
                for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
            });
        }
        std::fclose(out);
        reader.join();
        ::close(fds[0]);
        const std::vector<std::string> lines = linesOf(text);
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines.back(), line);  // the report comes after the lines it follows
        std::uint64_t written = 0, reported = 0;
        for (const std::string& each : lines) {
            if (each == line) {
                ++written;
                continue;
            }
            const std::string stamp = journal ? "<4>" : "[06/12/26 09:05:07] ", suffix = " log lines dropped";
            ASSERT_TRUE(each.starts_with(stamp) && each.ends_with(suffix)) << each;
            reported += std::stoull(each.substr(stamp.size(), each.size() - stamp.size() - suffix.size()));
        }
        EXPECT_EQ(reported, dropped);
        EXPECT_EQ(written + dropped, 1000u);
    }
}

// The headless log's echo through the writer: the same bytes as written to the stream at once,
// appends on their line and another thread's line whole.
TEST_F(AsyncLineWriterTest, EchoThroughTheWriterWritesTheSameBytes) {
    const auto echoed = [&](bool queued) {
        std::FILE* file = std::tmpfile();
        {
            StringList lines;
            ActivityLog box(lines, clock_);
            AsyncLineWriter writer(file, clock_);
            std::unique_ptr<EchoLog> echo =
                queued ? std::make_unique<EchoLog>(box, [&](std::string bytes) { writer.write(std::move(bytes)); }, clock_)
                       : std::make_unique<EchoLog>(box, file, clock_);
            echo->log("Grabbing Page for Ann", false);
            echo->log(".", true);
            std::thread([&] { echo->log("127.0.0.1 \"GET / HTTP/1.1\" 200 808", false); }).join();
            echo->log("..", true);
            echo->log("Done", false);
        }
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
        std::fclose(file);
        return text;
    };
    EXPECT_EQ(echoed(true), echoed(false));
    EXPECT_EQ(echoed(true), "[06/12/26 09:05:07] Grabbing Page for Ann.\n"
                            "[06/12/26 09:05:07] 127.0.0.1 \"GET / HTTP/1.1\" 200 808\n"
                            "[06/12/26 09:05:07] ..\n"
                            "[06/12/26 09:05:07] Done\n");
}

}  // namespace

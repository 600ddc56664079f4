// The standard-output writer: lines come out whole and in order; a caller never waits on an
// output nobody reads, the lines it could not queue are dropped and counted in one stamped line,
// and everything queued is written by the time the writer is gone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "service/AsyncLineWriter.h"
#include "tests/support/TestDoubles.h"
#include "text/DateTime.h"

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
    void SetUp() override {
        setLocaleFormats(FormatSettings::fallback());
        ASSERT_EQ(pipe2(fds_, O_CLOEXEC), 0);
        out_ = fdopen(fds_[1], "w");
    }
    void TearDown() override {
        if (out_) std::fclose(out_);
        ::close(fds_[0]);
    }
    // Reads the pipe to its end in the background (the write side closed by the test).
    std::thread reader(std::string& text) {
        return std::thread([this, &text] {
            char buffer[65536];
            for (ssize_t got; (got = ::read(fds_[0], buffer, sizeof buffer)) > 0;)
                text.append(buffer, static_cast<std::size_t>(got));
        });
    }
    void closeOutput() {
        std::fclose(out_);
        out_ = nullptr;
    }
    int fds_[2] = {-1, -1};
    std::FILE* out_ = nullptr;
    FakeClock clock_{encodeDate(2026, 12, 6) + encodeTime(9, 5, 7, 0)};
};

TEST_F(AsyncLineWriterTest, LinesFromManyThreadsComeOutWholeAndInEachThreadsOrder) {
    std::string text;
    std::thread read = reader(text);
    {
        AsyncLineWriter writer(out_, clock_);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&writer, t] {
                for (int i = 0; i < 500; ++i) writer.writeLine("thread " + std::to_string(t) + " line " + std::to_string(i));
            });
        for (auto& thread : threads) thread.join();
        writer.drain();
        EXPECT_EQ(writer.droppedTotal(), 0u);
    }
    closeOutput();
    read.join();
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 2000u);
    int next[4] = {0, 0, 0, 0};
    for (const std::string& line : lines) {
        const int t = line[7] - '0';
        EXPECT_EQ(line, "thread " + std::to_string(t) + " line " + std::to_string(next[t]++));
    }
}

TEST_F(AsyncLineWriterTest, AStalledOutputDropsLinesInsteadOfBlockingAndReportsTheCount) {
    fcntl(fds_[1], F_SETPIPE_SZ, 4096);
    const std::string line(1000, 'x');
    std::string text;
    std::thread read;
    std::uint64_t dropped = 0;
    {
        AsyncLineWriter writer(out_, clock_, 8);
        // Nobody reads yet: the writer thread soon waits on the full pipe, the queue fills, and the
        // rest is dropped. A caller that blocked would hang this test here.
        for (int i = 0; i < 1000; ++i) writer.writeLine(line);
        dropped = writer.droppedTotal();
        EXPECT_GT(dropped, 900u);
        read = reader(text);
    }
    closeOutput();
    read.join();
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back(), line);  // the report comes after the lines it follows
    std::uint64_t written = 0, reported = 0;
    for (const std::string& each : lines) {
        if (each == line) {
            ++written;
            continue;
        }
        const std::string stamp = "[06/12/26 09:05:07] ", suffix = " log lines dropped";
        ASSERT_TRUE(each.starts_with(stamp) && each.ends_with(suffix)) << each;
        reported += std::stoull(each.substr(stamp.size(), each.size() - stamp.size() - suffix.size()));
    }
    EXPECT_EQ(reported, dropped);
    EXPECT_EQ(written + dropped, 1000u);
}

}  // namespace

// Journal detection as systemd documents it: JOURNAL_STREAM names the very file the descriptor is.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "log/JournalStream.h"

using namespace quorvane;

namespace {

TEST(JournalStreamTest, OnlyTheNamedDeviceAndInodeAreTheJournal) {
    std::FILE* file = std::tmpfile();
    std::FILE* other = std::tmpfile();
    struct stat info {};
    ASSERT_EQ(fstat(fileno(file), &info), 0);
    const std::string device = std::to_string(info.st_dev), inode = std::to_string(info.st_ino);
    const struct {
        std::optional<std::string> value;  // none: not set
        bool journal;
    } cases[] = {
        {std::nullopt, false},
        {"", false},
        {device + ":" + inode, true},
        {device + ":" + std::to_string(info.st_ino + 1), false},
        {device + ":" + inode + "x", false},
        {" " + device + ":" + inode, false},
        {device + inode, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.value_or("(unset)"));
        EXPECT_EQ(isJournalStream(fileno(file), c.value ? c.value->c_str() : nullptr), c.journal);
    }
    // The variable inherited by a process whose output goes elsewhere.
    EXPECT_FALSE(isJournalStream(fileno(other), (device + ":" + inode).c_str()));
    std::fclose(file);
    std::fclose(other);
}

TEST(JournalStreamTest, EveryLineOfAMessageCarriesThePriority) {
    const struct {
        std::string text;
        LogSeverity severity;
        std::string lines;
    } cases[] = {
        {"quorvane: option --port takes a port number", LogSeverity::Error, "<3>quorvane: option --port takes a port number\n"},
        {"Application Error: Exception X at 00000001.\nCould not bind.\n", LogSeverity::Error,
         "<3>Application Error: Exception X at 00000001.\n<3>Could not bind.\n"},
        {"a\n\nb", LogSeverity::Warning, "<4>a\n<4>\n<4>b\n"},
        {"", LogSeverity::Debug, "<7>\n"},
        {"Done", LogSeverity::Info, "<6>Done\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(journalLines(c.text, c.severity), c.lines) << c.text;
}

}  // namespace

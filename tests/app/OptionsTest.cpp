// The command line, the credentials file's checks, headless detection and the error box texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "app/Application.h"
#include "app/Options.h"

namespace {

namespace fs = std::filesystem;

class CredentialsFileTest : public ::testing::Test {
protected:
    void Write(const std::string& content, mode_t mode) {
        std::ofstream(path, std::ios::binary) << content;
        chmod(path.c_str(), mode);
    }
    void TearDown() override { fs::remove(path); }
    std::string path = (fs::temp_directory_path() / ("quorvane-cred-" + std::to_string(getpid()))).string();
};

TEST(OptionsTest, DefaultsAndEveryOptionInBothForms) {
    const TOptions none = ParseOptions({});
    EXPECT_FALSE(none.CalendarHost.empty());
    EXPECT_TRUE(none.CalendarCa.empty());
    EXPECT_TRUE(none.CredentialsFile.empty());
    const TOptions all = ParseOptions(
        {"--calendar-host", "127.0.0.1:8443", "--calendar-ca=ca.pem", "--credentials-file", "c", "--help", "--version"});
    EXPECT_EQ(all.CalendarHost, "127.0.0.1:8443");
    EXPECT_EQ(all.CalendarCa, "ca.pem");
    EXPECT_EQ(all.CredentialsFile, "c");
    EXPECT_TRUE(all.Help);
    EXPECT_TRUE(all.Version);
}

TEST(OptionsTest, RefusesUnknownOptionsAndMissingValues) {
    EXPECT_THROW(ParseOptions({"--calender-host", "x"}), EUsageError);
    EXPECT_THROW(ParseOptions({"people.txt"}), EUsageError);
    EXPECT_THROW(ParseOptions({"--credentials-file"}), EUsageError);
    EXPECT_THROW(ParseOptions({"--calendar-host="}), EUsageError);
    EXPECT_THROW(ParseOptions({"--calendar-host", "https://cal.example"}), EUsageError);
    EXPECT_THROW(ParseOptions({"--calendar-host", "cal.example/ocas"}), EUsageError);
    EXPECT_NO_THROW(ParseOptions({"--calendar-host", "[::1]:8443"}));
    EXPECT_THROW(ParseOptions({"--help=yes"}), EUsageError);
}

TEST_F(CredentialsFileTest, ReadsTwoLinesWithEitherLineEnd) {
    Write("ann\r\np&ss word\r\n", 0600);
    const TFileCredentials c = ReadCredentialsFile(path);
    EXPECT_EQ(c.UserId, "ann");
    EXPECT_EQ(c.Password, "p&ss word");
    Write("bob\nsecret", 0400);
    EXPECT_EQ(ReadCredentialsFile(path).Password, "secret");
}

TEST_F(CredentialsFileTest, RefusesFilesOthersCanReadOrWrite) {
    Write("ann\nsecret\n", 0640);
    try {
        ReadCredentialsFile(path);
        FAIL() << "a group-readable file was accepted";
    } catch (const EUsageError& error) {
        EXPECT_NE(std::string(error.what()).find("owner only"), std::string::npos);
    }
    Write("ann\nsecret\n", 0602);
    EXPECT_THROW(ReadCredentialsFile(path), EUsageError);
}

TEST_F(CredentialsFileTest, RefusesMissingFilesAndEmptyLines) {
    EXPECT_THROW(ReadCredentialsFile(path + ".absent"), EUsageError);
    Write("ann\n", 0600);
    EXPECT_THROW(ReadCredentialsFile(path), EUsageError);
    Write("\nsecret\n", 0600);
    EXPECT_THROW(ReadCredentialsFile(path), EUsageError);
}

TEST(HeadlessTest, NoDisplayNoPlatformOrAnOffscreenPlatform) {
    EXPECT_TRUE(IsHeadless(nullptr, nullptr, nullptr));
    EXPECT_TRUE(IsHeadless("", "", ""));
    EXPECT_FALSE(IsHeadless(":99", nullptr, nullptr));
    EXPECT_FALSE(IsHeadless(nullptr, "wayland-0", nullptr));
    EXPECT_TRUE(IsHeadless(":99", nullptr, "offscreen"));
    EXPECT_FALSE(IsHeadless(nullptr, nullptr, "xcb"));
}

TEST(ErrorBoxTextTest, FullStopOnlyWhenTheLastCharacterSortsAfterIt) {
    EXPECT_EQ(ErrorBoxText("'x' is not a valid date and time"), "'x' is not a valid date and time.");
    EXPECT_EQ(ErrorBoxText("List index out of bounds (2)"), "List index out of bounds (2)");  // ')' < '.'
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("path/"), "path/.");
    EXPECT_EQ(ErrorBoxText(""), "");
    EXPECT_EQ(ErrorBoxText("Jos\xC3\xA9"), "Jos\xC3\xA9.");
}

TEST(ErrorBoxTextTest, FatalTextNamesClassModuleAddressAndMessage) {
    const std::string text = FatalErrorText("EIdCouldNotBindSocket",
                                            "Could not bind socket. Address and port are already in use.",
                                            reinterpret_cast<const void*>(0x4A2F10));
    EXPECT_EQ(text,
              "Exception EIdCouldNotBindSocket in module quorvane at 004A2F10.\n"
              "Could not bind socket. Address and port are already in use.\n");
}

}  // namespace

// The command line, the credentials file's checks, headless detection and the error box texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "app/Application.h"
#include "app/Options.h"
#include "webserver/ServerConstants.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

std::string parseOptionsError(const std::vector<std::string>& args) {
    try {
        parseOptions(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

class CredentialsFileTest : public ::testing::Test {
protected:
    void write(const std::string& content, mode_t mode) {
        std::ofstream(path, std::ios::binary) << content;
        chmod(path.c_str(), mode);
    }
    void TearDown() override { fs::remove(path); }
    std::string path = (fs::temp_directory_path() / ("quorvane-cred-" + std::to_string(getpid()))).string();
};

TEST(OptionsTest, DefaultsAndEveryOptionInBothForms) {
    const Options none = parseOptions({});
    EXPECT_FALSE(none.calendarHost.empty());
    EXPECT_TRUE(none.calendarCa.empty());
    EXPECT_TRUE(none.credentialsFile.empty());
    EXPECT_TRUE(none.stateDir.empty());
    const Options all = parseOptions({"--calendar-host", "127.0.0.1:8443", "--calendar-ca=ca.pem", "--credentials-file",
                                      "c", "--state-dir=/var/lib/q", "--help", "--version"});
    EXPECT_EQ(all.stateDir, "/var/lib/q");
    EXPECT_EQ(all.calendarHost, "127.0.0.1:8443");
    EXPECT_EQ(all.calendarCa, "ca.pem");
    EXPECT_EQ(all.credentialsFile, "c");
    EXPECT_TRUE(all.help);
    EXPECT_TRUE(all.version);
}

TEST(OptionsTest, ConnectionCapAndHttpsDayViews) {
    const Options none = parseOptions({});
    EXPECT_EQ(none.maxClientConnections, 64);
    EXPECT_FALSE(none.calendarHttps);
    const Options set = parseOptions({"--max-client-connections", "0", "--calendar-https"});
    EXPECT_EQ(set.maxClientConnections, 0);
    EXPECT_TRUE(set.calendarHttps);
    EXPECT_EQ(parseOptions({"--max-client-connections=8"}).maxClientConnections, 8);
    for (const char* bad : {"-1", "", "8x", "many", "99999999999"})
        EXPECT_THROW(parseOptions({"--max-client-connections", bad}), UsageError) << bad;
    EXPECT_THROW(parseOptions({"--calendar-https=yes"}), UsageError);
}

TEST(OptionsTest, CloudIdentitiesAndServiceAddresses) {
    const Options none = parseOptions({});
    EXPECT_TRUE(none.m365Credentials.empty());
    EXPECT_TRUE(none.googleServiceAccount.empty());
    EXPECT_EQ(none.m365LoginUrl, "https://login.microsoftonline.com");
    EXPECT_EQ(none.m365GraphUrl, "https://graph.microsoft.com");
    EXPECT_EQ(none.googleApiUrl, "https://www.googleapis.com");
    const Options set = parseOptions({"--m365-credentials", "m", "--google-service-account=g", "--m365-login-url",
                                      "http://127.0.0.1:9/", "--m365-graph-url", "https://graph.microsoft.us",
                                      "--google-api-url", "http://[::1]:9"});
    EXPECT_EQ(set.m365Credentials, "m");
    EXPECT_EQ(set.googleServiceAccount, "g");
    EXPECT_EQ(set.m365LoginUrl, "http://127.0.0.1:9/");
    EXPECT_EQ(set.m365GraphUrl, "https://graph.microsoft.us");
    EXPECT_EQ(set.googleApiUrl, "http://[::1]:9");
    for (const char* bad : {"", "graph.microsoft.com", "ftp://x.example", "https://", "https://x.example/?a=1"})
        EXPECT_THROW(parseOptions({"--m365-graph-url", bad}), UsageError) << bad;
}

TEST(OptionsTest, WallPageLanguageClockAndTheme) {
    const struct {
        std::vector<std::string> args;
        const char* language;
        bool clock12, light;
    } cases[] = {
        {{}, "en", false, false},
        {{"--language", "de", "--clock", "12", "--theme", "light"}, "de", true, true},
        {{"--language=sv", "--clock=24", "--theme=dark"}, "sv", false, false},
    };
    for (const auto& c : cases) {
        const WallLook look = parseOptions(c.args).wallLook;
        EXPECT_EQ(look.language, c.language);
        EXPECT_EQ(look.clock12, c.clock12) << c.language;
        EXPECT_EQ(look.theme == WallTheme::Light, c.light) << c.language;
    }
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--language", "xx"}, {"--language", "DE"}, {"--clock", "13"}, {"--theme", "blue"}, {"--clock"}})
        EXPECT_THROW(parseOptions(bad), UsageError) << bad[0];
    EXPECT_NE(usageText(parseOptions({})).find("en, de, es, fr, it, nl, pl, pt, sv"), std::string::npos);
}

TEST(OptionsTest, RefusesUnknownOptionsAndMissingValues) {
    EXPECT_THROW(parseOptions({"--calender-host", "x"}), UsageError);
    EXPECT_THROW(parseOptions({"people.txt"}), UsageError);
    EXPECT_THROW(parseOptions({"--credentials-file"}), UsageError);
    EXPECT_THROW(parseOptions({"--calendar-host="}), UsageError);
    EXPECT_THROW(parseOptions({"--calendar-host", "https://cal.example"}), UsageError);
    EXPECT_THROW(parseOptions({"--calendar-host", "cal.example/ocas"}), UsageError);
    EXPECT_NO_THROW(parseOptions({"--calendar-host", "[::1]:8443"}));
    EXPECT_THROW(parseOptions({"--help=yes"}), UsageError);
    EXPECT_THROW(parseOptions({"--"}), UsageError);
    EXPECT_THROW(parseOptions({"-x"}), UsageError);
}

TEST(OptionsTest, OwnStatusesAndTheirLinks) {
    const Options none = parseOptions({});
    EXPECT_FALSE(none.selfStatus);
    EXPECT_FALSE(none.statusLinks);
    EXPECT_EQ(none.publicUrl, "");
    const Options all = parseOptions({"--self-status", "--status-links", "--renew", "Ann Example", "--public-url",
                                      "https://board.example.org/"});
    EXPECT_TRUE(all.selfStatus);
    EXPECT_TRUE(all.statusLinks);
    EXPECT_EQ(all.renew, "Ann Example");
    EXPECT_EQ(all.publicUrl, "https://board.example.org");  // "/me/..." follows it once
    const struct {
        std::vector<std::string> args;
        std::string message;
    } refused[] = {
        {{"--renew", "Ann"}, "option --renew takes a roster name and goes with --status-links"},
        {{"--status-links", "--renew", ""}, "option --renew takes a roster name and goes with --status-links"},
        {{"--public-url", "board.example.org"}, "option --public-url takes an http:// or https:// address, not 'board.example.org'"},
        {{"--public-url", "ftp://board/"}, "option --public-url takes an http:// or https:// address, not 'ftp://board/'"},
    };
    for (const auto& c : refused) {
        try {
            parseOptions(c.args);
            ADD_FAILURE() << c.message;
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST(OptionsTest, PortBindAndRosterWithTheirDefaults) {
    const Options none = parseOptions({});
    EXPECT_EQ(none.port, 7350);
    EXPECT_TRUE(none.bindAddresses.empty());
    EXPECT_EQ(none.rosterFile, "people.txt");
    const Options all = parseOptions(
        {"--port", "8080", "--bind", "127.0.0.1", "--bind=::1", "--roster", "/etc/quorvane/people.txt"});
    EXPECT_EQ(all.port, 8080);
    EXPECT_EQ(all.bindAddresses, (std::vector<std::string>{"127.0.0.1", "::1"}));
    EXPECT_TRUE(none.allow.empty());
    EXPECT_EQ(parseOptions({"--allow", "10.0.0.0/8", "--allow=::1"}).allow,
              (std::vector<std::string>{"10.0.0.0/8", "::1"}));
    EXPECT_EQ(all.rosterFile, "/etc/quorvane/people.txt");
    EXPECT_EQ(none.grabMinutes, 60);
    EXPECT_EQ(parseOptions({"--grab-minutes", "1"}).grabMinutes, 1);
    EXPECT_EQ(grabMinutesFor(2, true), 5);  // the web calendar is read every 5 minutes at most
    EXPECT_EQ(grabMinutesFor(2, false), 2);

    const std::vector<std::vector<std::string>> refused{
        {"--port", "0"}, {"--port", "65536"}, {"--port", "80a"}, {"--port", "-1"}, {"--port="},
        {"--bind", "localhost"}, {"--bind", "127.0.0.1:80"}, {"--bind", "[::1]"}, {"--roster="}, {"--roster"},
        {"--allow", "10.0.0.0/33"}, {"--allow", "example.org"}, {"--allow", "::1/129"},
        {"--grab-minutes", "0"}, {"--grab-minutes", "1441"}, {"--grab-minutes", "5m"}, {"--config="},
        {"--port", "0", "--port", "80"}};  // every value is checked, not only the last
    for (const auto& args : refused) EXPECT_THROW(parseOptions(args), UsageError) << args[0] << " " << args.back();
}

TEST(OptionsTest, HelpSaysWhereTheBoardListensAndReadsItsRoster) {
    const std::string plain = usageText(parseOptions({}));
    EXPECT_NE(plain.find("port 7350 of every IPv4 and IPv6 address"), std::string::npos) << plain;
    EXPECT_NE(plain.find((fs::current_path() / "people.txt").string()), std::string::npos) << plain;
    const std::string bound = usageText(parseOptions({"--port", "8080", "--bind", "::1", "--roster", "/srv/r.txt"}));
    EXPECT_NE(bound.find("http://[::1]:8080/"), std::string::npos) << bound;
    EXPECT_EQ(bound.find("every IPv4"), bound.find("(default every IPv4") + 9);  // only in the option's line
    EXPECT_NE(bound.find("The roster is /srv/r.txt"), std::string::npos) << bound;
}

TEST_F(CredentialsFileTest, ReadsTwoLinesWithEitherLineEnd) {
    write("ann\r\np&ss word\r\n", 0600);
    const FileCredentials c = readCredentialsFile(path);
    EXPECT_EQ(c.userId, "ann");
    EXPECT_EQ(c.password, "p&ss word");
    write("bob\nsecret", 0400);
    EXPECT_EQ(readCredentialsFile(path).password, "secret");
}

TEST_F(CredentialsFileTest, RefusesFilesOthersCanReadOrWrite) {
    write("ann\nsecret\n", 0640);
    try {
        readCredentialsFile(path);
        FAIL() << "a group-readable file was accepted";
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find("owner only"), std::string::npos);
    }
    write("ann\nsecret\n", 0602);
    EXPECT_THROW(readCredentialsFile(path), UsageError);
}

TEST_F(CredentialsFileTest, RefusesMissingFilesAndEmptyLines) {
    EXPECT_THROW(readCredentialsFile(path + ".absent"), UsageError);
    write("ann\n", 0600);
    EXPECT_THROW(readCredentialsFile(path), UsageError);
    write("\nsecret\n", 0600);
    EXPECT_THROW(readCredentialsFile(path), UsageError);
}

// A configuration file and a command line: the effective settings, or the exact error (the
// file's path shown as F).
TEST(ConfigFileTest, KeysBecomeOptionsAndTheCommandLineWins) {
    const std::string DefaultPort = std::to_string(BoardPort);
    const auto effective = [](const Options& o) {
        std::string allow;
        for (const std::string& range : o.allow) allow += range + ";";
        return std::to_string(o.port) + " " + o.rosterFile + " " + (o.wallPage ? "wall" : "classic") + " [" + o.title +
               "] " + allow + " " + std::to_string(o.grabMinutes) + (o.hideTitles ? " hidden" : "");
    };
    const struct {
        const char* file;
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {"# the board\n[General]\nport = 8080\nroster = /etc/quorvane/people.txt\npage = wall\n"
         "title = \"Level 3, east\"\nallow = 10.0.0.0/8, ::1\ngrab-minutes = 15\nhide-titles = yes\n; done\n",
         {}, "8080 /etc/quorvane/people.txt wall [Level 3, east] 10.0.0.0/8;::1; 15 hidden"},
        {"title = Level 3, east\nhide-titles = false\n", {}, DefaultPort + " people.txt classic [Level 3, east]  60"},
        {"title = Level 3 ; a comment\n", {}, DefaultPort + " people.txt classic [Level 3]  60"},
        {"port = 8080\nallow = 10.0.0.0/8\npage = wall\n", {"--port", "9090", "--allow", "::1", "--page=classic"},
         "9090 people.txt classic [] ::1; 60"},
        {"port = 8080\n\nrooster = people.txt\n", {}, "F:3: unknown key 'rooster' (see --help)"},
        {"[board]\nport = 8080\n", {}, "F:2: unknown key 'board/port' (see --help)"},
        {"config = other.conf\n", {}, "F:1: unknown key 'config' (see --help)"},
        {"port = 80a\n", {"--port", "8080"},
         "F:1: key 'port': option --port takes a port number from 1 to 65535, not '80a'"},
        {"grab-minutes = 0\n", {}, "F:1: key 'grab-minutes': option --grab-minutes takes a number of minutes from 1 to 1440, not '0'"},
        {"allow = 10.0.0.0/8\nallow = ::1\n", {},
         "F:2: key 'allow' given again (first on line 1); give a list on one line, comma separated"},
        {"hide-titles = maybe\n", {}, "F:1: key 'hide-titles' takes true or false, not 'maybe'"},
        {"port 8080\n", {}, "F:1: not a \"key = value\" line"},
    };
    const std::string path = (fs::temp_directory_path() / ("quorvane-conf-" + std::to_string(getpid()))).string();
    for (const auto& row : cases) {
        std::ofstream(path, std::ios::binary) << row.file;
        std::vector<std::string> args{"--config", path};
        args.insert(args.end(), row.args.begin(), row.args.end());
        std::string got;
        try {
            got = effective(parseOptions(args));
        } catch (const UsageError& error) {
            got = error.what();
            if (got.rfind(path, 0) == 0) got.replace(0, path.size(), "F");
        }
        EXPECT_EQ(got, row.expected) << row.file;
    }
    fs::remove(path);
    EXPECT_EQ(std::string(parseOptionsError({"--config", path})),
              "cannot read the configuration file '" + path + "': No such file or directory");
}

TEST(OptionsTest, AbsenceWordsFileReadOrRefusedInOneLine) {
    EXPECT_TRUE(parseOptions({}).absenceWordsFile.empty());
    EXPECT_EQ(parseOptions({"--absence-words", "w.txt"}).absenceWordsFile, "w.txt");
    const std::string path = (fs::temp_directory_path() / ("quorvane-words-" + std::to_string(getpid()))).string();
    const struct {
        const char* content;  // nullptr: no file
        const char* read;     // the text, or the refusal
    } cases[] = {
        {"# ours\nSabbatical\nhome: Campus B\n", "# ours\nSabbatical\nhome: Campus B\n"},
        {"Cong\xc3\xa9\n", "Cong\xc3\xa9\n"},
        {"Cong\xe9\n", "the absence words file 'PATH' is not UTF-8 text"},
        {nullptr, "cannot read the absence words file 'PATH': No such file or directory"},
    };
    for (const auto& c : cases) {
        fs::remove(path);
        if (c.content) std::ofstream(path, std::ios::binary) << c.content;
        std::string read;
        try {
            read = readAbsenceWordsFile(path);
        } catch (const UsageError& error) {
            read = error.what();
        }
        const std::string expected = c.read;
        const std::size_t at = expected.find("PATH");
        EXPECT_EQ(read, at == std::string::npos ? expected : expected.substr(0, at) + path + expected.substr(at + 4));
    }
    fs::remove(path);
    const std::string directory = fs::temp_directory_path().string();
    EXPECT_THROW(readAbsenceWordsFile(directory), UsageError);
}

TEST(HeadlessTest, NoDisplayNoPlatformOrAnOffscreenPlatform) {
    EXPECT_TRUE(isHeadless(nullptr, nullptr, nullptr));
    EXPECT_TRUE(isHeadless("", "", ""));
    EXPECT_FALSE(isHeadless(":99", nullptr, nullptr));
    EXPECT_FALSE(isHeadless(nullptr, "wayland-0", nullptr));
    EXPECT_TRUE(isHeadless(":99", nullptr, "offscreen"));
    EXPECT_FALSE(isHeadless(nullptr, nullptr, "xcb"));
}

TEST(ErrorBoxTextTest, FullStopOnlyWhenTheLastCharacterSortsAfterIt) {
    EXPECT_EQ(errorBoxText("'x' is not a valid date and time"), "'x' is not a valid date and time.");
    EXPECT_EQ(errorBoxText("List index out of bounds (2)"), "List index out of bounds (2)");  // ')' < '.'
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(errorBoxText("path/"), "path/.");
    EXPECT_EQ(errorBoxText(""), "");
    EXPECT_EQ(errorBoxText("Jos\xC3\xA9"), "Jos\xC3\xA9.");
}

TEST(ErrorBoxTextTest, FatalTextNamesClassModuleAddressAndMessage) {
    const std::string text = fatalErrorText("EIdCouldNotBindSocket",
                                            "Could not bind socket. Address and port are already in use.",
                                            reinterpret_cast<const void*>(0x4A2F10));
    EXPECT_EQ(text,
              "Exception EIdCouldNotBindSocket in module quorvane at 004A2F10.\n"
              "Could not bind socket. Address and port are already in use.\n");
}

}  // namespace

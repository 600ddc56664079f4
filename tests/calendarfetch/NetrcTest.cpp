// Netrc: the entries a host gets, and the files refused.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "calendarfetch/Netrc.h"

using namespace quorvane;

namespace {

const std::string MixedNetrc = std::string(QUORVANE_TEST_DATA) + "/netrc/mixed.netrc";

}  // namespace

TEST(NetrcTest, HostsGetTheirEntryOrTheDefault) {
    std::ifstream in(MixedNetrc);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Netrc netrc = Netrc::parse(text);
    const struct {
        const char* host;
        std::optional<NetrcCredentials> expected;
    } cases[] = {
        {"cal.example.org", NetrcCredentials{"ann", "p w\"x"}},       // quoted, with an escape
        {"caldav.example.net", NetrcCredentials{"ben", "secret2"}},   // across lines; case ignored
        {"fake.example", NetrcCredentials{"anon", "guest"}},          // only inside a macro body
        {"commented.example", NetrcCredentials{"anon", "guest"}},     // only inside a comment
        {"after.example", NetrcCredentials{"carl", "third"}},         // after the default entry
        {"nopass.example", std::nullopt},                             // no password: nothing sent
        {"elsewhere.example", NetrcCredentials{"anon", "guest"}},
    };
    for (const auto& c : cases) EXPECT_EQ(netrc.find(c.host), c.expected) << c.host;
    // A host reached through a redirect gets its own machine entry only, never the default one.
    EXPECT_EQ(netrc.find("after.example", Netrc::Entries::MachineOnly), (NetrcCredentials{"carl", "third"}));
    EXPECT_EQ(netrc.find("elsewhere.example", Netrc::Entries::MachineOnly), std::nullopt);

    EXPECT_EQ(Netrc::parse("machine a.example login x").find("a.example"), std::nullopt);
    EXPECT_EQ(Netrc::parse("machine a.example login x password").find("a.example"), std::nullopt);
    EXPECT_EQ(Netrc::parse("machine a.example login x password y").find("b.example"), std::nullopt);
    EXPECT_TRUE(Netrc::parse("").empty());
    // The first entry of a host wins, as in curl.
    EXPECT_EQ(Netrc::parse("machine h login a password 1\nmachine h login b password 2").find("h"),
              (NetrcCredentials{"a", "1"}));
}

TEST(NetrcTest, LoadRefusesFilesOthersCanReadAndNonFiles) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("netrc-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "netrc").string();
    std::ofstream(path) << "machine h login a password b\n";

    const struct {
        mode_t mode;
        const char* messagePart;  // empty: loads
    } cases[] = {
        {0600, ""}, {0400, ""}, {0640, "must be readable by its owner only (chmod 600 it); refused"},
        {0604, "must be readable by its owner only"}, {0610, "must be readable by its owner only"},
    };
    for (const auto& c : cases) {
        chmod(path.c_str(), c.mode);
        if (*c.messagePart == '\0') {
            EXPECT_EQ(Netrc::load(path).find("h"), (NetrcCredentials{"a", "b"})) << std::oct << c.mode;
            continue;
        }
        try {
            Netrc::load(path);
            ADD_FAILURE() << "loaded with mode " << std::oct << c.mode;
        } catch (const NetrcError& error) {
            EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
        }
    }
    EXPECT_THROW(Netrc::load(dir.string()), NetrcError);                   // a folder
    EXPECT_THROW(Netrc::load((dir / "missing").string()), NetrcError);
    std::filesystem::remove_all(dir);
}

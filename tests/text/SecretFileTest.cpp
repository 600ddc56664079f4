// Secret files: found by credential name, refused unless private, and every failure says why.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "text/SecretFile.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

class SecretFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(credentials);
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }
    void TearDown() override { fs::remove_all(root); }
    std::string write(const fs::path& path, mode_t mode) {
        std::ofstream(path) << "secret";
        chmod(path.c_str(), mode);
        return path.string();
    }
    // The text, or the error with the file's path shown as F.
    static std::string outcome(const std::string& path, const std::string& directory) {
        try {
            return readSecretFile(path, "netrc file", directory);
        } catch (const SecretFileError& error) {
            std::string message = error.what();
            if (auto at = message.find(path); at != std::string::npos) message.replace(at, path.size(), "F");
            return message;
        }
    }
    fs::path root = fs::temp_directory_path() / ("quorvane-secret-" + std::to_string(getpid()));
    fs::path credentials = root / "credentials";
};

TEST_F(SecretFileTest, PrivateFilesOnlyWithSystemdsCopiesAllowedGroupRead) {
    const std::string refused = "the netrc file 'F' must be readable by its owner only (chmod 600 it); refused";
    const struct {
        bool inCredentials;
        mode_t mode;
        std::string expected;
    } cases[] = {
        {false, 0600, "secret"}, {false, 0400, "secret"}, {false, 0440, refused}, {false, 0604, refused},
        {true, 0400, "secret"},  {true, 0440, "secret"},  {true, 0460, refused},  {true, 0444, refused},
    };
    for (const auto& row : cases) {
        const std::string path = write((row.inCredentials ? credentials : root) / "netrc", row.mode);
        EXPECT_EQ(outcome(path, credentials.string()), row.expected) << std::oct << row.mode << " " << path;
    }
    EXPECT_EQ(outcome((root / "absent").string(), ""), "cannot read the netrc file 'F': No such file or directory");
    EXPECT_EQ(outcome(credentials.string(), ""), "the netrc file 'F' is not a regular file");
}

// The file passes every check but the reader may not open it (a service user that is not its
// owner): the reason is the system's.
TEST_F(SecretFileTest, AFileTheReaderMayNotOpenSaysWhy) {
    const std::string path = write(root / "netrc", 0600);
    int pipe_[2];
    ASSERT_EQ(pipe(pipe_), 0);
    const pid_t child = fork();
    if (child == 0) {
        // As root, become a user that does not own the file; otherwise take the owner's read bit away.
        if (geteuid() == 0 ? (setgid(65534) != 0 || setuid(65534) != 0) : chmod(path.c_str(), 0200) != 0) _exit(2);
        const std::string message = outcome(path, "");
        [[maybe_unused]] const ssize_t written = ::write(pipe_[1], message.data(), message.size());
        _exit(0);
    }
    close(pipe_[1]);
    std::string message;
    char buffer[256];
    for (ssize_t got; (got = read(pipe_[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(got));
    close(pipe_[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(message, "cannot read the netrc file 'F': Permission denied");
}

TEST_F(SecretFileTest, AValueWithoutSlashNamingACredentialIsThatFile) {
    write(credentials / "netrc", 0400);
    const std::string dir = credentials.string();
    const struct {
        std::string value, directory, expected;
    } cases[] = {
        {"netrc", dir, dir + "/netrc"},     // systemd's copy
        {"netrc", "", "netrc"},             // no credentials handed over: a path
        {"other", dir, "other"},            // no such credential: a path
        {"./netrc", dir, "./netrc"},        // a path, never a credential
        {"/etc/netrc", dir, "/etc/netrc"},
        {"..", dir, ".."},
        {"", dir, ""},
    };
    for (const auto& row : cases) EXPECT_EQ(secretFilePath(row.value, row.directory), row.expected) << row.value;
}

}  // namespace

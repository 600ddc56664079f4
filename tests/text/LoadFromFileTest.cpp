// loadFromFile: line cutting of real files and the open error with its full path.
#include "text/Errors.h"
#include "text/LineList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quorvane;

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

class LoadFromFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quorvane-text-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& content)
    {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return (dir_ / name).string();
    }

    std::string load(const std::string& content)
    {
        StringList list;
        list.loadFromFile(write("f.txt", content));
        return list.text();
    }

    // The error message, checking that the list kept what it held.
    std::string openError(const std::string& name)
    {
        StringList list;
        list.add("kept");
        std::string message = "no error";
        try {
            list.loadFromFile(name);
        } catch (const FileOpenError& e) {
            message = e.what();
        }
        EXPECT_EQ(list.text(), "kept\r\n");
        return message;
    }

    fs::path dir_;
};

}  // namespace

TEST_F(LoadFromFileTest, LineEndsNulAndBytes)
{
    EXPECT_EQ(load("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(load("a\r\n\r\nb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(load("a\n\rb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(load("a\r\r\nb\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(load("one line"), "one line\r\n");
    EXPECT_EQ(load(""), "");
    EXPECT_EQ(load("a\r\nb\0c\r\nd"s), "a\r\nb\r\n");
    EXPECT_EQ(load("\xEF\xBB\xBFx\xFF\n"), "\xEF\xBB\xBFx\xFF\r\n");  // no byte-order-mark handling
    EXPECT_EQ(load(std::string(100000, 'x') + "\ny").size(), 100005u);  // read to the very end
}

TEST_F(LoadFromFileTest, FailuresNameTheFullPath)
{
    const std::string missing = (dir_ / "people.txt").string();
    EXPECT_EQ(openError(missing), "Cannot open file \"" + missing + "\". No such file or directory");
    // Opening a directory succeeds on this platform; it must still be refused.
    EXPECT_EQ(openError(dir_.string()), "Cannot open file \"" + dir_.string() + "\". Is a directory");
    const std::string odd = (dir_ / "%s %d.txt").string();
    EXPECT_EQ(openError(odd), "Cannot open file \"" + odd + "\". No such file or directory");
    if (geteuid() != 0) {  // root reads regardless of permissions
        const std::string locked = write("locked.txt", "secret\n");
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(openError(locked), "Cannot open file \"" + locked + "\". Permission denied");
    }
}

TEST_F(LoadFromFileTest, RelativeNameIsJoinedToCurrentDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    const std::string message = openError("no-such.txt");
    write("here.txt", "x\n");
    StringList list;
    list.loadFromFile("here.txt");
    fs::current_path(before);
    EXPECT_EQ(message, "Cannot open file \"" + fs::canonical(dir_).string() + "/no-such.txt\". No such file or directory");
    EXPECT_EQ(list.text(), "x\r\n");
}

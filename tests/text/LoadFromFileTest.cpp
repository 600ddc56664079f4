// LoadFromFile: line cutting of real files and the open error with its full path.
#include "text/Errors.h"
#include "text/Strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

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

    std::string Write(const std::string& name, const std::string& content)
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    std::string Load(const std::string& content)
    {
        TStringList list;
        list.LoadFromFile(Write("f.txt", content));
        return list.Text();
    }

    std::string OpenError(const std::string& name, TStringList& list)
    {
        try {
            list.LoadFromFile(name);
        } catch (const EFOpenError& e) {
            return e.what();
        }
        return "no error";
    }

    fs::path dir_;
};

}  // namespace

TEST_F(LoadFromFileTest, LineEnds)
{
    EXPECT_EQ(Load("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(Load("a\r\n\r\nb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(Load("a\n\rb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(Load("a\rb\nc"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(Load("one line"), "one line\r\n");
    EXPECT_EQ(Load(""), "");
    EXPECT_EQ(Load("\n"), "\r\n");
}

TEST_F(LoadFromFileTest, StopsAtNulAndKeepsBytes)
{
    EXPECT_EQ(Load("a\r\nb\0c\r\nd"s), "a\r\nb\r\n");
    EXPECT_EQ(Load("\xEF\xBB\xBFx\xFF\r\n"), "\xEF\xBB\xBFx\xFF\r\n");
}

TEST_F(LoadFromFileTest, LargeFileInOnePiece)
{
    std::string content;
    for (int i = 0; i < 20000; ++i) {
        content += "line " + std::to_string(i) + "\n";
    }
    TStringList list;
    list.LoadFromFile(Write("big.txt", content));
    ASSERT_EQ(list.Count(), 20000);
    EXPECT_EQ(list.Get(19999), "line 19999");
}

TEST_F(LoadFromFileTest, MissingFileKeepsListAndNamesFullPath)
{
    TStringList list;
    list.Add("kept");
    const std::string missing = (dir_ / "people.txt").string();
    EXPECT_EQ(OpenError(missing, list), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(list.Text(), "kept\r\n");
}

TEST_F(LoadFromFileTest, RelativeNameIsJoinedToCurrentDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    TStringList list;
    const std::string message = OpenError("no-such.txt", list);
    Write("here.txt", "x\n");
    list.LoadFromFile("here.txt");
    fs::current_path(before);
    EXPECT_EQ(message, "Cannot open file \"" + fs::canonical(dir_).string() +
                           "/no-such.txt\". No such file or directory");
    EXPECT_EQ(list.Text(), "x\r\n");
}

TEST_F(LoadFromFileTest, DirectoryAndNoAccessFail)
{
    TStringList list;
    list.Add("kept");
    EXPECT_EQ(OpenError(dir_.string(), list), "Cannot open file \"" + dir_.string() + "\". Is a directory");
    const std::string locked = Write("locked.txt", "secret\n");
    fs::permissions(locked, fs::perms::none);
    if (geteuid() != 0) {  // root reads regardless of permissions
        EXPECT_EQ(OpenError(locked, list), "Cannot open file \"" + locked + "\". Permission denied");
    }
    EXPECT_EQ(list.Text(), "kept\r\n");
}

TEST_F(LoadFromFileTest, PlaceholderInNameIsNotExpanded)
{
    TStringList list;
    const std::string odd = (dir_ / "%s %d.txt").string();
    EXPECT_EQ(OpenError(odd, list), "Cannot open file \"" + odd + "\". No such file or directory");
}

// The state directory's choice and creation, atomic writes (and their writer thread, whose stop
// gives a write up and keeps the last file), and the envelope's loader refusing every kind of bad
// file in one line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QJsonArray>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <thread>

#include "service/ServiceErrors.h"
#include "service/StateDirectory.h"
#include "service/StateEnvelope.h"
#include "service/StateFile.h"
#include "service/StateWriter.h"

using namespace quorvane;

namespace {

class StateFilesTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return temp.path().toStdString() + "/" + name; }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    QTemporaryDir temp;
};

TEST_F(StateFilesTest, DirectoryChoice) {
    const struct {
        std::string option;
        StateEnvironment environment;
        std::string expected;
    } cases[] = {
        {"/srv/board", {"/var/lib/quorvane", "/x", "/home/a"}, "/srv/board"},
        {"", {"/var/lib/quorvane", "/x", "/home/a"}, "/var/lib/quorvane"},
        {"", {"/var/lib/quorvane:/var/lib/other", "", ""}, "/var/lib/quorvane"},
        {"", {"", "/home/a/state", "/home/a"}, "/home/a/state/quorvane"},
        {"", {"", "relative/state", "/home/a"}, "/home/a/.local/state/quorvane"},
        {"", {"", "", "/home/a/"}, "/home/a/.local/state/quorvane"},
    };
    for (const auto& c : cases) EXPECT_EQ(stateDirectoryPath(c.option, c.environment), c.expected);
    EXPECT_THROW(stateDirectoryPath("", {}), StateError);
}

TEST_F(StateFilesTest, MissingDirectoriesAreCreatedOwnerOnly) {
    const std::string directory = path("a/b/quorvane");
    ensureStateDirectory(directory);
    ensureStateDirectory(directory);  // there already: fine
    struct stat info {};
    ASSERT_EQ(stat(directory.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    put("file", "x");
    EXPECT_THROW(ensureStateDirectory(path("file")), StateError);
    EXPECT_THROW(ensureStateDirectory(path("file/below")), StateError);
}

TEST_F(StateFilesTest, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile) {
    const std::string file = path("board.json");
    writeFileAtomically(file, "first");
    writeFileAtomically(file, "second, longer");
    const FileRead read = readWholeFile(file);
    EXPECT_EQ(read.problem, FileRead::Problem::None);
    EXPECT_EQ(read.content, "second, longer");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path().toStdString()), {}), 1);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_THROW(writeFileAtomically(path("gone/board.json"), "x"), StateError);
}

TEST_F(StateFilesTest, AbandonedWriteKeepsTheLastFileAndLeavesNoTemporaryFile) {
    const std::string file = path("board.json");
    writeFileAtomically(file, "last complete");
    const std::atomic<bool> abandon{true};
    EXPECT_FALSE(writeFileAtomically(file, std::string(3 * 1024 * 1024, 'x'), abandon));
    EXPECT_EQ(readWholeFile(file).content, "last complete");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path().toStdString()), {}), 1);
}

TEST_F(StateFilesTest, WriterRunsOffTheCallersThreadAndItsStopAbandonsTheWriteUnderWay) {
    std::vector<std::string> failures;
    std::atomic<bool> started{false}, sawAbandon{false};
    std::thread::id ranOn;
    {
        StateWriter writer([&failures](const std::string& failure) { failures.push_back(failure); });
        writer.write([&](const std::atomic<bool>&) { ranOn = std::this_thread::get_id(); });
        writer.write([&](const std::atomic<bool>&) { ranOn = std::this_thread::get_id(); });  // replaces, or follows
        writer.flush();
        writer.write([](const std::atomic<bool>&) { throw StateError("cannot write x (fsync): I/O error"); });
        writer.flush();
        // A write that would go on until stopped: the writer's end stops it.
        writer.write([&](const std::atomic<bool>& abandon) {
            started = true;
            while (!abandon) std::this_thread::yield();
            sawAbandon = true;
        });
        while (!started) std::this_thread::yield();
    }
    EXPECT_NE(ranOn, std::this_thread::get_id());
    EXPECT_EQ(failures, std::vector<std::string>{"cannot write x (fsync): I/O error"});
    EXPECT_TRUE(sawAbandon);
}

TEST_F(StateFilesTest, EnvelopeRoundTrip) {
    QJsonObject data{{"people", QJsonArray{QJsonObject{{"status", "Meeting until 10:00"}}}}};
    writeStateFile(path("state.json"), {3, instantOfUnix(1767225600), data});
    const StateLoad load = readStateFile(path("state.json"), 3);
    ASSERT_EQ(load.problem, StateLoad::Problem::None) << load.reason;
    EXPECT_EQ(load.envelope->version, 3);
    EXPECT_EQ(unixSeconds(load.envelope->written), 1767225600);
    EXPECT_EQ(load.envelope->data, data);
}

TEST_F(StateFilesTest, BadFilesAreRefusedWithOneLine) {
    const std::string good = encodeStateEnvelope({1, instantOfUnix(100), QJsonObject{{"a", 1}}}).toStdString();
    const struct {
        std::string bytes;
        StateLoad::Problem problem;
        std::string reason;
    } cases[] = {
        {"", StateLoad::Problem::Corrupt, "is empty"},
        {good.substr(0, good.size() / 2), StateLoad::Problem::Corrupt, "is not JSON: "},
        {"\xff\xfe garbage", StateLoad::Problem::Corrupt, "is not JSON: "},
        {"[1,2]", StateLoad::Problem::OtherFormat, "is not a quorvane-state file"},
        {R"({"format":"other","version":1,"written":1,"data":{}})", StateLoad::Problem::OtherFormat,
         "is not a quorvane-state file"},
        {R"({"format":"quorvane-state","version":2,"written":1,"data":{}})", StateLoad::Problem::OtherVersion,
         "is version 2, not 1"},
        {R"({"format":"quorvane-state","version":"1","written":1,"data":{}})", StateLoad::Problem::OtherVersion,
         "has no version number"},
        {R"({"format":"quorvane-state","version":1,"data":{}})", StateLoad::Problem::Corrupt,
         "lacks its written time or its data"},
        {R"({"format":"quorvane-state","version":1,"written":1,"data":[]})", StateLoad::Problem::Corrupt,
         "lacks its written time or its data"},
    };
    for (const auto& c : cases) {
        put("state.json", c.bytes);
        const StateLoad load = readStateFile(path("state.json"), 1);
        EXPECT_EQ(load.problem, c.problem) << c.bytes;
        EXPECT_FALSE(load.envelope);
        EXPECT_TRUE(load.reason.starts_with("state file " + path("state.json") + " " + c.reason)) << load.reason;
        EXPECT_EQ(load.reason.find('\n'), std::string::npos);
    }
    EXPECT_EQ(readStateFile(path("none.json"), 1).reason, "state file " + path("none.json") + " is missing");
    EXPECT_EQ(readStateFile(path("none.json"), 1).problem, StateLoad::Problem::Missing);
    EXPECT_EQ(readStateFile(temp.path().toStdString(), 1).reason,
              "state file " + temp.path().toStdString() + " is unreadable: Is a directory");
}

}  // namespace

// People's own statuses and their links: tokens made, kept and renewed across two stores over one
// directory (the running board and "--status-links"), statuses kept over a restart and ended on
// time, a roster's change dropping what it drops, the per-link limit, a failed write changing nothing.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <set>

#include "service/SelfStatusStore.h"
#include "service/ServiceErrors.h"

using namespace quorvane;

namespace {

constexpr std::int64_t At0900 = 1796806800;  // 2026-12-09 09:00 UTC; the store reads no wall clock

Instant at(std::int64_t offsetSeconds) { return instantOfUnix(At0900 + offsetSeconds); }

class SelfStatusStoreTest : public ::testing::Test {
protected:
    std::string dir() const { return temp.path().toStdString(); }
    QTemporaryDir temp;
};

TEST_F(SelfStatusStoreTest, LinksAreMadeOnceKeptAndRenewedForTheRunningBoardToo) {
    SelfStatusStore board(dir()), links(dir());
    const auto first = links.tokensFor({"Ann", "Ben"});
    ASSERT_EQ(first.size(), 2u);
    for (const auto& [name, token] : first) {
        EXPECT_EQ(token.size(), 22u);
        EXPECT_EQ(token.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos);
        EXPECT_EQ(board.nameOfToken(token), name);
    }
    EXPECT_NE(first[0].second, first[1].second);
    EXPECT_EQ(SelfStatusStore(dir()).tokensFor({"Ben", "Ann"})[1], first[0]);  // kept, whatever the order

    const std::string renewed = links.renew("Ann");
    const struct {
        std::string token;
        std::optional<std::string> name;
    } cases[] = {
        {first[0].second, std::nullopt},  // the old link stops at once
        {renewed, "Ann"},
        {first[1].second, "Ben"},
        {renewed.substr(0, 21), std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(board.nameOfToken(c.token), c.name) << c.token;
    EXPECT_EQ(std::filesystem::status(links.linksPath()).permissions() & std::filesystem::perms::others_all,
              std::filesystem::perms::none);
}

TEST_F(SelfStatusStoreTest, StatusesOutliveARestartAndEndOnTime) {
    {
        SelfStatusStore store(dir());
        store.set("Ann", OwnStatus{"Working from home", at(3600)});
        store.set("Ben", OwnStatus{"Out of office", std::nullopt});
        store.set("Cy", OwnStatus{"Site visit", at(600)});
        store.set("Cy", std::nullopt);
        EXPECT_EQ(store.nextEnd(at(0)), at(3600));
    }
    const struct {
        std::int64_t restartAt;
        std::set<std::string> shown;
    } cases[] = {{0, {"Ann", "Ben"}}, {3599, {"Ann", "Ben"}}, {3600, {"Ben"}}, {86400, {"Ben"}}};
    for (const auto& c : cases) {
        SelfStatusStore store(dir());
        EXPECT_TRUE(store.load(at(c.restartAt)).empty());
        std::set<std::string> shown;
        for (const auto& [name, status] : store.statusesAt(at(c.restartAt))) shown.insert(name);
        EXPECT_EQ(shown, c.shown) << c.restartAt;
    }
    SelfStatusStore store(dir());
    store.load(at(0));
    EXPECT_EQ(store.statusOf("Ann", at(3599)), (OwnStatus{"Working from home", at(3600)}));
    EXPECT_EQ(store.statusOf("Ann", at(3600)), std::nullopt);  // ended while the board runs
    EXPECT_EQ(store.nextEnd(at(3600)), std::nullopt);
}

TEST_F(SelfStatusStoreTest, ARosterChangeDropsTheGonesStatusAndLink) {
    SelfStatusStore store(dir());
    const auto links = store.tokensFor({"Ann", "Ben"});
    store.set("Ann", OwnStatus{"Home", std::nullopt});
    store.set("Ben", OwnStatus{"Away", std::nullopt});
    EXPECT_TRUE(store.keepOnly({"Ben", "Bob"}));  // Ann gone (or renamed: names are the key)
    EXPECT_FALSE(store.keepOnly({"Ben", "Bob"}));
    SelfStatusStore restarted(dir());
    restarted.load(at(0));
    EXPECT_EQ(restarted.nameOfToken(links[0].second), std::nullopt);
    EXPECT_EQ(restarted.nameOfToken(links[1].second), "Ben");
    EXPECT_EQ(restarted.statusesAt(at(0)).count("Ann"), 0u);
    EXPECT_EQ(restarted.statusesAt(at(0)).count("Ben"), 1u);
}

TEST_F(SelfStatusStoreTest, TenChangesAMinuteThroughOneLink) {
    SelfStatusStore store(dir());
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(store.admitChange("t1", at(i), 10)) << i;
    EXPECT_FALSE(store.admitChange("t1", at(30), 10));
    EXPECT_TRUE(store.admitChange("t2", at(30), 10));  // another link has its own count
    EXPECT_TRUE(store.admitChange("t1", at(60), 10));  // the first change is a minute old
}

TEST_F(SelfStatusStoreTest, AFailedWriteChangesNothing) {
    std::ofstream(dir() + "/file") << "not a directory";
    SelfStatusStore store(dir() + "/file/state");
    EXPECT_THROW(store.set("Ann", OwnStatus{"Home", std::nullopt}), StateError);
    EXPECT_TRUE(store.statusesAt(at(0)).empty());
    EXPECT_THROW(store.tokensFor({"Ann"}), StateError);
}

TEST(StatusTokenTest, TokensDifferAndCompareWhole) {
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) seen.insert(newStatusToken());
    EXPECT_EQ(seen.size(), 100u);
    EXPECT_TRUE(tokensEqual("abc", "abc"));
    EXPECT_FALSE(tokensEqual("abc", "abd"));
    EXPECT_FALSE(tokensEqual("abc", "abcd"));
}

}  // namespace

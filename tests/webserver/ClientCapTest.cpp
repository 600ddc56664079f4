// One client cannot take every connection: the per-address cap over real sockets, and the
// open-file limit raised to the hard limit.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <thread>
#include <vector>

#include "ServerTestSupport.h"
#include "webserver/ClientCapKey.h"
#include "webserver/OpenFileLimit.h"

using namespace quorvane;

namespace {

using namespace std::chrono;

TEST(ClientCapTest, ConnectionsOverTheCapAreClosedAtOnceAndTheRestAreServed) {
    const struct {
        int cap;
        bool capLoopback;
        int refused;  // of six idle connections
    } cases[] = {{3, true, 3}, {0, true, 0}, {3, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cap);
        BoardServerFixture board;
        board.server.setMaxClientConnections(c.cap, c.capLoopback);
        const std::uint16_t port = board.start();
        std::vector<int> idle;
        for (int i = 0; i < 6; ++i) idle.push_back(connectSilently(port));
        int refused = 0;
        for (int fd : idle) refused += closedWithoutResponse(fd, 300) ? 1 : 0;
        EXPECT_EQ(refused, c.refused);
        EXPECT_TRUE(waitUntil([&] { return board.server.contextCount() == static_cast<std::size_t>(6 - c.refused); }));
        EXPECT_EQ(board.server.refusedConnections(), static_cast<std::size_t>(c.refused));
        // Once the client's connections are gone, it is served again.
        for (int fd : idle) close(fd);
        EXPECT_TRUE(waitUntil([&] { return board.server.contextCount() == 0; }));
        const ClientResult served = sendRequest(port, "GET / HTTP/1.1\r\n\r\n");
        EXPECT_NE(served.bytes.find("HTTP/1.1 200 OK"), std::string::npos) << served.bytes;
    }
}

// IPv6 clients are counted by their /64: every address of one prefix shares one count.
TEST(ClientCapTest, IPv6ClientsCountByTheirSlash64) {
    const struct {
        const char* peer;
        const char* key;
    } cases[] = {
        {"2001:db8:1:2:aaaa:bbbb:cccc:dddd", "2001:db8:1:2::/64"},
        {"2001:db8:1:2::1", "2001:db8:1:2::/64"},
        {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
        {"::1", "::/64"},
        {"::ffff:192.0.2.7", "192.0.2.7"},
        {"192.0.2.7", "192.0.2.7"},
        {"not an address", "not an address"},
    };
    for (const auto& c : cases) EXPECT_EQ(clientCapKey(c.peer), c.key) << c.peer;
}

TEST(ClientCapTest, OpenFileLimitIsRaisedToTheHardLimit) {
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit lowered = limit;
    lowered.rlim_cur = std::min<rlim_t>(limit.rlim_max, 256);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    EXPECT_EQ(raiseOpenFileLimit(), static_cast<std::uint64_t>(limit.rlim_max));
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &lowered), 0);
    EXPECT_EQ(lowered.rlim_cur, limit.rlim_max);
}

}  // namespace

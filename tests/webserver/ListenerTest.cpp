// Activation, binding conflicts, the request time-out and deactivation with clients connected.
#include <gtest/gtest.h>

#include <thread>

#include "ServerTestSupport.h"
#include "tests/support/FreePort.h"
#include "webserver/ServerErrors.h"

using namespace quorvane;

namespace {

using namespace std::chrono;

TEST(ListenerTest, BindConflictRaisesAndLeavesTheServerInactive) {
    BoardServerFixture first;
    const std::uint16_t port = first.start();
    HttpServer second;
    second.setDefaultPort(port);
    try {
        second.setActive(true);
        FAIL() << "activation on a taken port succeeded";
    } catch (const CouldNotBindError& error) {
        EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
        EXPECT_STREQ(error.className(), "EIdCouldNotBindSocket");
    }
    EXPECT_FALSE(second.active());
    EXPECT_TRUE(second.bindings().empty());
    // The first server is unharmed.
    EXPECT_TRUE(sendRequest(port, "GET / HTTP/1.1\r\n\r\n").closedByServer);
    EXPECT_EQ(first.log.snapshot().size(), 1u);
}

TEST(ListenerTest, BindFailuresOtherThanATakenPortSayWhyAndWhere) {
    struct Case {
        const char* ip;
        IpVersion family;
        const char* reason;
    };
    // Documentation addresses: on no machine.
    const Case cases[] = {
        {"192.0.2.1", IpVersion::IPv4, "Cannot assign requested address."},
        {"2001:db8::1", IpVersion::IPv6, "Cannot assign requested address."},
        {"::1", IpVersion::IPv4, "not an IP address of that family."},
    };
    const std::uint16_t port = freePort();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ip);
        if (c.family == IpVersion::IPv6 && !socketIpv6Available()) continue;
        HttpServer server;
        server.bindings().push_back({c.ip, port, c.family});
        try {
            server.setActive(true);
            ADD_FAILURE() << "bound";
        } catch (const CouldNotBindError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Could not bind socket to " + std::string(c.ip) + ", port " + std::to_string(port) + ": " + c.reason);
            EXPECT_STREQ(error.className(), "EIdCouldNotBindSocket");
        }
        EXPECT_FALSE(server.active());
    }
}

TEST(ListenerTest, DefaultBindingsShareOnePortPerFamily) {
    BoardServerFixture board;
    const std::uint16_t port = board.start();
    ASSERT_EQ(board.server.bindings().size(), socketIpv6Available() ? 2u : 1u);
    if (board.server.bindings().size() == 2) {
        EXPECT_EQ(board.server.boundPort(1), port);
    }
    board.server.setActive(false);
    EXPECT_TRUE(board.server.bindings().empty());
    EXPECT_EQ(board.server.activeThreadCount(), 0u);
}

TEST(ListenerTest, DeactivationWithSilentClientsIsPrompt) {
    BoardServerFixture board;
    const std::uint16_t port = board.start();
    std::vector<int> clients;
    for (int i = 0; i < 3; ++i) clients.push_back(connectSilently(port));
    ASSERT_TRUE(waitUntil([&] { return board.server.contextCount() == 3; }));

    const auto started = steady_clock::now();
    board.server.setActive(false);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - started).count(), 1500);
    EXPECT_EQ(board.server.contextCount(), 0u);
    EXPECT_EQ(board.server.activeThreadCount(), 0u);
    for (const int fd : clients) {
        EXPECT_TRUE(closedWithoutResponse(fd, 1000));
        close(fd);
    }
    EXPECT_TRUE(board.log.snapshot().empty());
}

TEST(ListenerTest, IncompleteRequestTimesOutFromAccept) {
    BoardServerFixture board;
    board.server.setRequestTimeoutMs(400);
    const std::uint16_t port = board.start();
    EXPECT_EQ(HttpServer().requestTimeoutMs(), 30000);

    // Silent, and trickling: both are closed unanswered once the time is up.
    const int silent = connectSilently(port);
    const int trickle = connectSilently(port);
    const auto started = steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        send(trickle, "G", 1, MSG_NOSIGNAL);
        std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_TRUE(closedWithoutResponse(silent, 3000));
    EXPECT_TRUE(closedWithoutResponse(trickle, 3000));
    const auto waited = duration_cast<milliseconds>(steady_clock::now() - started).count();
    EXPECT_GE(waited, 350);
    EXPECT_LT(waited, 2000);
    close(silent);
    close(trickle);
    EXPECT_TRUE(waitUntil([&] { return board.server.contextCount() == 0; }));

    // A request that arrives in time is answered, and the time-out does not cut the answer.
    const std::string answer = sendRequest(port, "GET / HTTP/1.1\r\n\r\n").bytes;
    EXPECT_EQ(answer.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(answer.substr(answer.size() - 808), boardHead());
    EXPECT_EQ(board.log.snapshot().size(), 1u);
}

// The port is taken again at once although the closed connections linger in TIME_WAIT.
TEST(ListenerTest, ReactivationRebindsTheSamePort) {
    BoardServerFixture board;
    const std::uint16_t port = board.start();
    board.server.setDefaultPort(port);
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(sendRequest(port, "GET / HTTP/1.1\r\n\r\n").closedByServer);
        board.server.setActive(false);
        ASSERT_NO_THROW(board.server.setActive(true)) << round;
        EXPECT_EQ(board.server.boundPort(0), port);
    }
    EXPECT_EQ(board.log.snapshot().size(), 3u);
}

}  // namespace

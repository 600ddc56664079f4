// Activation, binding conflicts, the request time-out and deactivation with clients connected.
#include <gtest/gtest.h>

#include <thread>

#include "ServerTestSupport.h"
#include "webserver/ServerErrors.h"

namespace {

using namespace std::chrono;

int ConnectSilently(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

// True when the server closed fd within timeoutMs (end of stream or reset), with nothing sent.
bool ClosedWithoutResponse(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) return false;
    char byte;
    return recv(fd, &byte, 1, 0) <= 0;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    while (!condition()) {
        if (steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

TEST(ListenerTest, BindConflictRaisesAndLeavesTheServerInactive) {
    TBoardServerFixture first;
    const std::uint16_t port = first.Start();
    TIdHTTPServer second;
    second.SetDefaultPort(port);
    try {
        second.SetActive(true);
        FAIL() << "activation on a taken port succeeded";
    } catch (const EIdCouldNotBindSocket& error) {
        EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
        EXPECT_STREQ(error.ClassName(), "EIdCouldNotBindSocket");
    }
    EXPECT_FALSE(second.Active());
    EXPECT_TRUE(second.Bindings().empty());
    // The first server is unharmed.
    EXPECT_TRUE(Exchange(port, "GET / HTTP/1.1\r\n\r\n").closedByServer);
    EXPECT_EQ(first.log.Lines().size(), 1u);
}

TEST(ListenerTest, DefaultBindingsShareOnePortPerFamily) {
    TBoardServerFixture board;
    const std::uint16_t port = board.Start();
    ASSERT_EQ(board.server.Bindings().size(), SocketIPv6Available() ? 2u : 1u);
    if (board.server.Bindings().size() == 2) {
        EXPECT_EQ(board.server.BoundPort(1), port);
    }
    board.server.SetActive(false);
    EXPECT_TRUE(board.server.Bindings().empty());
    EXPECT_EQ(board.server.ActiveThreadCount(), 0u);
}

TEST(ListenerTest, DeactivationWithSilentClientsIsPrompt) {
    TBoardServerFixture board;
    const std::uint16_t port = board.Start();
    std::vector<int> clients;
    for (int i = 0; i < 3; ++i) clients.push_back(ConnectSilently(port));
    ASSERT_TRUE(WaitUntil([&] { return board.server.ContextCount() == 3; }));

    const auto started = steady_clock::now();
    board.server.SetActive(false);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - started).count(), 1500);
    EXPECT_EQ(board.server.ContextCount(), 0u);
    EXPECT_EQ(board.server.ActiveThreadCount(), 0u);
    for (const int fd : clients) {
        EXPECT_TRUE(ClosedWithoutResponse(fd, 1000));
        close(fd);
    }
    EXPECT_TRUE(board.log.Lines().empty());
}

TEST(ListenerTest, IncompleteRequestTimesOutFromAccept) {
    TBoardServerFixture board;
    board.server.SetRequestTimeoutMs(400);
    const std::uint16_t port = board.Start();
    EXPECT_EQ(TIdHTTPServer().RequestTimeoutMs(), 30000);

    // Silent, and trickling: both are closed unanswered once the time is up.
    const int silent = ConnectSilently(port);
    const int trickle = ConnectSilently(port);
    const auto started = steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        send(trickle, "G", 1, MSG_NOSIGNAL);
        std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_TRUE(ClosedWithoutResponse(silent, 3000));
    EXPECT_TRUE(ClosedWithoutResponse(trickle, 3000));
    const auto waited = duration_cast<milliseconds>(steady_clock::now() - started).count();
    EXPECT_GE(waited, 350);
    EXPECT_LT(waited, 2000);
    close(silent);
    close(trickle);
    EXPECT_TRUE(WaitUntil([&] { return board.server.ContextCount() == 0; }));

    // A request that arrives in time is answered, and the time-out does not cut the answer.
    const std::string answer = Exchange(port, "GET / HTTP/1.1\r\n\r\n").bytes;
    EXPECT_EQ(answer.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(answer.substr(answer.size() - 808), BoardHead());
    EXPECT_EQ(board.log.Lines().size(), 1u);
}

// The port is taken again at once although the closed connections linger in TIME_WAIT.
TEST(ListenerTest, ReactivationRebindsTheSamePort) {
    TBoardServerFixture board;
    const std::uint16_t port = board.Start();
    board.server.SetDefaultPort(port);
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(Exchange(port, "GET / HTTP/1.1\r\n\r\n").closedByServer);
        board.server.SetActive(false);
        ASSERT_NO_THROW(board.server.SetActive(true)) << round;
        EXPECT_EQ(board.server.BoundPort(0), port);
    }
    EXPECT_EQ(board.log.Lines().size(), 3u);
}

}  // namespace

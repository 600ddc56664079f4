// systemd's side played by a datagram socket named in NOTIFY_SOCKET: the notifier's messages
// arrive there, the watchdog's keep-alive from the event loop's timer; without the variable,
// nothing is sent.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "service/ServiceNotifier.h"
#include "tests/support/TestDoubles.h"

namespace {

class ServiceNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(socket_, 0);
        const std::string path = dir_.path().toStdString() + "/notify";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        setenv("NOTIFY_SOCKET", path.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("NOTIFY_SOCKET");
        unsetenv("WATCHDOG_USEC");
        ::close(socket_);
    }
    std::vector<std::string> received() {
        std::vector<std::string> messages;
        char buffer[4096];
        for (ssize_t got; (got = ::recv(socket_, buffer, sizeof buffer, 0)) > 0;)
            messages.emplace_back(buffer, static_cast<std::size_t>(got));
        return messages;
    }
    static void runEventLoopFor(int ms) {
        QTimer::singleShot(ms, [] { QCoreApplication::exit(); });
        QCoreApplication::exec();
    }
    int argc_ = 1;
    char name_[8] = "service";
    char* argv_[1] = {name_};
    QCoreApplication app_{argc_, argv_};
    QTemporaryDir dir_;
    int socket_ = -1;
    RecordingLog log_;
};

TEST_F(ServiceNotifierTest, ReadyStatusWatchdogAndStoppingReachTheSocket) {
    setenv("WATCHDOG_USEC", "100000", 1);  // keep-alive every 50 ms
    ServiceNotifier notifier(log_);
    EXPECT_TRUE(notifier.enabled());
    EXPECT_EQ(notifier.watchdogIntervalMs(), 50);
    notifier.ready();
    notifier.status("Grab ok: 12 of 12 people\nat 09:00");
    runEventLoopFor(200);
    notifier.stopping();

    const std::vector<std::string> messages = received();
    ASSERT_GE(messages.size(), 4u);
    EXPECT_EQ(messages[0], "READY=1");
    EXPECT_EQ(messages[1], "STATUS=Grab ok: 12 of 12 people at 09:00");
    EXPECT_EQ(messages[2], "WATCHDOG=1");
    EXPECT_EQ(messages.back(), "STOPPING=1");
    EXPECT_TRUE(log_.snapshot().empty());
}

TEST_F(ServiceNotifierTest, WithoutNotifySocketNothingIsSentAndNoWatchdogRuns) {
    unsetenv("NOTIFY_SOCKET");
    setenv("WATCHDOG_USEC", "100000", 1);
    ServiceNotifier notifier(log_);
    EXPECT_FALSE(notifier.enabled());
    EXPECT_EQ(notifier.watchdogIntervalMs(), 0);
    notifier.ready();
    notifier.stopping();
    EXPECT_TRUE(received().empty());
}

TEST_F(ServiceNotifierTest, AFailedNotificationIsLoggedOnce) {
    setenv("NOTIFY_SOCKET", (dir_.path().toStdString() + "/nobody").c_str(), 1);
    ServiceNotifier notifier(log_);
    notifier.ready();
    notifier.status("x");
    EXPECT_EQ(log_.snapshot(), std::vector<std::string>{"Could not notify systemd (READY): No such file or directory"});
}

}  // namespace

#pragma once
// The one place that talks to the platform's sockets (POSIX here). Everything above it works
// with Transport and these few calls, so a port to another socket API touches this file only.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "webserver/Transport.h"

namespace quorvane {

enum class IpVersion { IPv4, IPv6 };
// Address reuse on a listening socket: the platform's usual choice, always, or never.
enum class ReuseSocket { SystemDefault, On, Off };

using SocketHandle = int;
constexpr SocketHandle InvalidSocket = -1;

// True when the platform can make IPv6 stream sockets.
bool socketIpv6Available();

// A listening socket bound to (ip, port); ip empty means any address. IPv6 sockets are IPv6 only
// so that both families can bind one port. Raises AddressInUseError when the address and port are
// taken, CouldNotBindError (naming the address and the system's reason) when binding fails else, and
// SocketError when creating or listening fails.
SocketHandle socketBind(IpVersion version, const std::string& ip, std::uint16_t port, ReuseSocket reuse);
void socketListen(SocketHandle handle, int backlog);
std::uint16_t socketLocalPort(SocketHandle handle);
void socketClose(SocketHandle handle) noexcept;
// Wakes a thread waiting on a listening socket; the socket is closed afterwards by socketClose.
void socketInterrupt(SocketHandle handle) noexcept;

// Waits up to timeoutMs for the socket to be readable (or closed); false on time-out.
bool socketWaitReadable(SocketHandle handle, int timeoutMs);
// Accepts one pending connection without waiting (listening sockets do not block); nullptr when
// none could be taken, with pending telling whether that was only for want of a connection.
std::unique_ptr<class SocketTransport> socketAccept(SocketHandle listener, bool& pending);

class SocketTransport final : public Transport {
public:
    SocketTransport(SocketHandle handle, std::string peer);
    ~SocketTransport() override;
    std::size_t receive(char* buffer, std::size_t size) override;
    void send(std::string_view data) override;
    void close() override;
    std::string peerAddress() const override { return peer_; }

    // Reads fail with ReadTimeoutError once this moment has passed.
    void setReadDeadline(std::chrono::steady_clock::time_point deadline) { deadline_ = deadline; }
    // From any thread: ends blocked and future reads and writes (the owner still closes).
    void disconnect() noexcept;

private:
    SocketHandle handle_;  // changed only by the owning thread, under mutex_
    mutable std::mutex mutex_;
    std::string peer_;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    std::atomic<bool> stopped_{false};
};

}  // namespace quorvane

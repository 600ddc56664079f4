#pragma once
// The one place that talks to the platform's sockets (POSIX here). Everything above it works
// with TIdConnection and these few calls, so a port to another socket API touches this file only.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "webserver/Connection.h"

enum class TIdIPVersion { Id_IPv4, Id_IPv6 };
// Address reuse on a listening socket: the platform's usual choice, always, or never.
enum class TIdReuseSocket { rsOSDependent, rsTrue, rsFalse };

using TSocketHandle = int;
constexpr TSocketHandle InvalidSocket = -1;

// True when the platform can make IPv6 stream sockets.
bool SocketIPv6Available();

// A listening socket bound to (ip, port); ip empty means any address. IPv6 sockets are IPv6 only
// so that both families can bind one port. Raises EIdCouldNotBindSocket when binding fails and
// EIdSocketError when creating or listening fails.
TSocketHandle SocketBind(TIdIPVersion version, const std::string& ip, std::uint16_t port, TIdReuseSocket reuse);
void SocketListen(TSocketHandle handle, int backlog);
std::uint16_t SocketLocalPort(TSocketHandle handle);
void SocketClose(TSocketHandle handle) noexcept;
// Wakes a thread waiting on a listening socket; the socket is closed afterwards by SocketClose.
void SocketInterrupt(TSocketHandle handle) noexcept;

// Waits up to timeoutMs for the socket to be readable (or closed); false on time-out.
bool SocketWaitReadable(TSocketHandle handle, int timeoutMs);
// Accepts one pending connection without waiting (listening sockets do not block); nullptr when
// none could be taken, with pending telling whether that was only for want of a connection.
std::unique_ptr<class TIdSocketConnection> SocketAccept(TSocketHandle listener, bool& pending);

class TIdSocketConnection final : public TIdConnection {
public:
    TIdSocketConnection(TSocketHandle handle, std::string peer);
    ~TIdSocketConnection() override;
    std::size_t Receive(char* buffer, std::size_t size) override;
    void Send(std::string_view data) override;
    void Close() override;
    std::string PeerAddress() const override { return peer_; }

    // Reads fail with EIdReadTimeout once this moment has passed.
    void SetReadDeadline(std::chrono::steady_clock::time_point deadline) { deadline_ = deadline; }
    // From any thread: ends blocked and future reads and writes (the owner still closes).
    void Disconnect() noexcept;

private:
    TSocketHandle handle_;  // changed only by the owning thread, under mutex_
    mutable std::mutex mutex_;
    std::string peer_;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    std::atomic<bool> stopped_{false};
};

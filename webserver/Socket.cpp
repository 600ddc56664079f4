#include "webserver/Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "webserver/ServerConstants.h"
#include "webserver/ServerErrors.h"

namespace quorvane {

namespace {

[[noreturn]] void raiseSocketError(int error) {
    throw SocketError("Socket Error # " + std::to_string(error) + "\r\n" + std::strerror(error));
}

// Eight upper-case hexadecimal groups without leading zeros, never shortened.
std::string ipv6Text(const in6_addr& address) {
    std::string text;
    for (int group = 0; group < 8; ++group) {
        char piece[8];
        const unsigned value = (address.s6_addr[2 * group] << 8) | address.s6_addr[2 * group + 1];
        std::snprintf(piece, sizeof piece, group == 0 ? "%X" : ":%X", value);
        text += piece;
    }
    return text;
}

// Dotted decimal, as inet_ntop writes it; by hand, because inet_ntop formats each part with a
// formatted print and was a twentieth of the instructions of a whole request.
std::string ipv4Text(const in_addr& address) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
    char text[INET_ADDRSTRLEN];
    char* at = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) *at++ = '.';
        const unsigned value = bytes[part];
        if (value >= 100) *at++ = static_cast<char>('0' + value / 100);
        if (value >= 10) *at++ = static_cast<char>('0' + value / 10 % 10);
        *at++ = static_cast<char>('0' + value % 10);
    }
    return std::string(text, static_cast<std::size_t>(at - text));
}

std::string peerText(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET6) return ipv6Text(reinterpret_cast<const sockaddr_in6&>(address).sin6_addr);
    return ipv4Text(reinterpret_cast<const sockaddr_in&>(address).sin_addr);
}

// Waits for events in slices so that a stop request is seen; false when the deadline passed.
bool waitFor(SocketHandle handle, short events, std::chrono::steady_clock::time_point deadline,
             const std::atomic<bool>& stopped) {
    for (;;) {
        if (stopped.load(std::memory_order_relaxed)) return true;  // the next call fails at once
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        pollfd entry{handle, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::min<long long>(left, ReadSliceMs)));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) raiseSocketError(errno);
    }
}

}  // namespace

bool socketIpv6Available() {
    const int probe = socket(AF_INET6, SOCK_STREAM, 0);
    if (probe < 0) return false;
    close(probe);
    return true;
}

SocketHandle socketBind(IpVersion version, const std::string& ip, std::uint16_t port, ReuseSocket reuse) {
    const int family = version == IpVersion::IPv6 ? AF_INET6 : AF_INET;
    const int handle = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) raiseSocketError(errno);
    const int one = 1;
    // Here the platform's choice is to reuse: without it a restarted server cannot bind its port
    // while connections it closed linger in TIME_WAIT (a minute), which Windows allows by
    // default. It never lets a second listener take a port that is listened on.
    if (reuse != ReuseSocket::Off) setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_storage address{};
    socklen_t length = 0;
    bool parsed = true;
    if (family == AF_INET6) {
        setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
        auto& a6 = reinterpret_cast<sockaddr_in6&>(address);
        a6.sin6_family = AF_INET6;
        a6.sin6_port = htons(port);
        a6.sin6_addr = in6addr_any;
        if (!ip.empty()) parsed = inet_pton(AF_INET6, ip.c_str(), &a6.sin6_addr) == 1;
        length = sizeof a6;
    } else {
        auto& a4 = reinterpret_cast<sockaddr_in&>(address);
        a4.sin_family = AF_INET;
        a4.sin_port = htons(port);
        a4.sin_addr.s_addr = htonl(INADDR_ANY);
        if (!ip.empty()) parsed = inet_pton(AF_INET, ip.c_str(), &a4.sin_addr) == 1;
        length = sizeof a4;
    }
    int failure = -1;  // none; 0: the address did not parse; else the system's error number
    if (!parsed) failure = 0;
    else if (bind(handle, reinterpret_cast<sockaddr*>(&address), length) != 0) failure = errno;
    if (failure >= 0) {
        close(handle);
        if (failure == EADDRINUSE) throw AddressInUseError(std::string(MsgCouldNotBind));
        // Any other reason is the system's own: the in-use text would send the operator looking
        // for another program when the address is not this machine's, or the port is privileged.
        const std::string where = !ip.empty() ? ip : family == AF_INET6 ? "::" : "0.0.0.0";
        throw CouldNotBindError(std::string(MsgCouldNotBindTo) + where + ", port " + std::to_string(port) + ": " +
                                (failure == 0 ? std::string(MsgNotAnAddress) : std::strerror(failure)) + ".");
    }
    return handle;
}

void socketListen(SocketHandle handle, int backlog) {
    if (listen(handle, backlog) != 0) raiseSocketError(errno);
    const int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0 || fcntl(handle, F_SETFL, flags | O_NONBLOCK) != 0) raiseSocketError(errno);
}

std::uint16_t socketLocalPort(SocketHandle handle) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6&>(address).sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port);
}

void socketClose(SocketHandle handle) noexcept {
    if (handle != InvalidSocket) close(handle);
}

void socketInterrupt(SocketHandle handle) noexcept {
    if (handle != InvalidSocket) shutdown(handle, SHUT_RDWR);
}

bool socketWaitReadable(SocketHandle handle, int timeoutMs) {
    pollfd entry{handle, POLLIN, 0};
    const int ready = poll(&entry, 1, timeoutMs);
    if (ready < 0 && errno != EINTR) raiseSocketError(errno);
    return ready > 0;
}

std::unique_ptr<SocketTransport> socketAccept(SocketHandle listener, bool& pending) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int handle = accept4(listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC);
    pending = handle < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED);
    if (handle < 0) return nullptr;
    return std::make_unique<SocketTransport>(handle, peerText(address));
}

SocketTransport::SocketTransport(SocketHandle handle, std::string peer)
    : handle_(handle), peer_(std::move(peer)) {}

SocketTransport::~SocketTransport() { close(); }

std::size_t SocketTransport::receive(char* buffer, std::size_t size) {
    for (;;) {
        if (stopped_.load(std::memory_order_relaxed) || handle_ == InvalidSocket) raiseSocketError(ECONNABORTED);
        const ssize_t n = recv(handle_, buffer, size, MSG_DONTWAIT);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) raiseSocketError(errno);
        if (!waitFor(handle_, POLLIN, deadline_, stopped_)) throw ReadTimeoutError(std::string(MsgReadTimeout));
    }
}

void SocketTransport::send(std::string_view data) {
    while (!data.empty()) {
        if (stopped_.load(std::memory_order_relaxed) || handle_ == InvalidSocket) raiseSocketError(ECONNABORTED);
        const ssize_t n = ::send(handle_, data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            raiseSocketError(errno);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

void SocketTransport::close() {
    std::lock_guard lock(mutex_);
    if (handle_ == InvalidSocket) return;
    shutdown(handle_, SHUT_WR);
    ::close(handle_);
    handle_ = InvalidSocket;
}

void SocketTransport::disconnect() noexcept {
    std::lock_guard lock(mutex_);
    stopped_.store(true, std::memory_order_relaxed);
    if (handle_ != InvalidSocket) shutdown(handle_, SHUT_RDWR);
}

}  // namespace quorvane

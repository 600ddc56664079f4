#include "tools/democal/DemoServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoErrors.h"

namespace quorvane {

namespace {

// Reading and writing one connection, over TLS or not.
class Channel {
public:
    Channel(int fd, SSL* ssl) : fd_(fd), ssl_(ssl) {}

    // Bytes read, 0 at the end of the stream, -1 on error or time-out.
    long read(char* buffer, std::size_t size) {
        if (ssl_) {
            int n = SSL_read(ssl_, buffer, static_cast<int>(size));
            return n > 0 ? n : (SSL_get_error(ssl_, n) == SSL_ERROR_ZERO_RETURN ? 0 : -1);
        }
        ssize_t n;
        do n = recv(fd_, buffer, size, 0);
        while (n < 0 && errno == EINTR);
        return n;
    }

    bool writeAll(const std::string& data) {
        std::size_t done = 0;
        while (done < data.size()) {
            long n;
            if (ssl_) {
                n = SSL_write(ssl_, data.data() + done, static_cast<int>(data.size() - done));
            } else {
                do n = send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
                while (n < 0 && errno == EINTR);
            }
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd_;
    SSL* ssl_;
};

void setTimeouts(int fd) {
    timeval timeout{DemoReadTimeoutMs / 1000, (DemoReadTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

int listenOn(const sockaddr* address, socklen_t length, int family) {
    // Non-blocking, so that a connection gone between poll and accept cannot stall the loop.
    int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (family == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
    if (bind(fd, address, length) != 0 || listen(fd, DemoListenBacklog) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool carriesSessionCookie(const DemoRequest& request) {
    std::optional<std::string> header = request.header("Cookie");
    return header && cookieValue(*header, DemoSessionCookie).has_value();
}

std::string errorText(std::string_view what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

DemoServer::DemoServer(DemoCalendar& calendar, const DemoTls& tls, DemoFault fault, LogSink log)
    : calendar_(calendar), tls_(tls), fault_(fault), log_(std::move(log)) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) throw DemoError(errorText("cannot make a pipe"));
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
}

DemoServer::~DemoServer() {
    for (int fd : listeners_) close(fd);
    close(wakeRead_);
    close(wakeWrite_);
}

std::uint16_t DemoServer::acceptLoop(std::uint16_t port) {
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int fd = listenOn(reinterpret_cast<sockaddr*>(&v4), sizeof v4, AF_INET);
    if (fd < 0) throw DemoError(errorText("cannot listen on 127.0.0.1 port " + std::to_string(port)));
    socklen_t length = sizeof v4;
    getsockname(fd, reinterpret_cast<sockaddr*>(&v4), &length);
    listeners_.push_back(fd);
    std::uint16_t chosen = ntohs(v4.sin_port);

    // "localhost" may resolve to ::1 first; serve it too when the host has IPv6.
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(chosen);
    v6.sin6_addr = in6addr_loopback;
    int fd6 = listenOn(reinterpret_cast<sockaddr*>(&v6), sizeof v6, AF_INET6);
    if (fd6 >= 0) listeners_.push_back(fd6);
    return chosen;
}

bool DemoServer::run() {
    std::vector<pollfd> fds;
    for (int fd : listeners_) fds.push_back({fd, POLLIN, 0});
    fds.push_back({wakeRead_, POLLIN, 0});
    while (!stopping_) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            log_(errorText("democal: poll failed"));
            break;
        }
        for (std::size_t i = 0; i + 1 < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            int fd = accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                // Out of descriptors: the pending connection stays readable, so pause rather
                // than spin on it.
                if (errno == EMFILE || errno == ENFILE)
                    std::this_thread::sleep_for(std::chrono::milliseconds(DemoAcceptPauseMs));
                continue;
            }
            std::lock_guard lock(mutex_);
            if (stopping_ || static_cast<int>(open_.size()) >= DemoMaxConnections) {
                close(fd);
                continue;
            }
            open_.insert(fd);
            std::thread([this, fd] { serve(fd); }).detach();
        }
    }
    std::unique_lock lock(mutex_);
    for (int fd : open_) shutdown(fd, SHUT_RDWR);
    return idle_.wait_for(lock, std::chrono::milliseconds(DemoStopWaitMs), [this] { return open_.empty(); });
}

void DemoServer::stop() {
    stopping_ = true;
    char byte = 0;
    [[maybe_unused]] ssize_t n = write(wakeWrite_, &byte, 1);
}

void DemoServer::lingerAndClose(int fd) {
    // Closing with unread request bytes pending would reset the connection and could destroy
    // the answer before the client reads it (an oversized head, for one): end our side, then
    // read what is left until the client closes, within a bound.
    shutdown(fd, SHUT_WR);
    char sink[4096];
    std::size_t drained = 0;
    while (drained < DemoDrainBytes && !stopping_) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, DemoDrainMs) <= 0) return;
        ssize_t n = recv(fd, sink, sizeof sink, MSG_DONTWAIT);
        if (n <= 0) return;
        drained += static_cast<std::size_t>(n);
    }
}

void DemoServer::finished(int fd) {
    std::lock_guard lock(mutex_);
    close(fd);
    open_.erase(fd);
    if (open_.empty()) idle_.notify_all();
}

void DemoServer::serve(int fd) {
    setTimeouts(fd);
    unsigned char first = 0;
    ssize_t peeked;
    do peeked = recv(fd, &first, 1, MSG_PEEK);
    while (peeked < 0 && errno == EINTR);
    if (peeked == 1 && first == DemoTlsHandshakeByte) {
        SSL* ssl = SSL_new(tls_.context());
        if (ssl && SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
            serveRequest(fd, ssl, true);
            SSL_shutdown(ssl);
        } else {
            // Browsers also end a handshake here when they do not yet trust the certificate.
            char reason[256] = "no reason given";
            if (unsigned long code = ERR_peek_last_error()) ERR_error_string_n(code, reason, sizeof reason);
            log_(std::string("democal: TLS handshake failed: ") + reason);
        }
        SSL_free(ssl);
        ERR_clear_error();
    } else if (peeked == 1) {
        serveRequest(fd, nullptr, false);
    }
    lingerAndClose(fd);
    finished(fd);
}

void DemoServer::serveRequest(int fd, ssl_st* ssl, bool tls) {
    Channel channel(fd, ssl);
    const char* scheme = tls ? "https" : "http";
    std::string data;
    std::size_t end = std::string::npos;
    char buffer[4096];
    while ((end = headEnd(data)) == std::string::npos) {
        if (data.size() > DemoMaxHeaderBytes) {
            log_(std::string("democal: request head too large over ") + scheme);
            DemoResponse response{431, "Request Header Fields Too Large", "", {}};
            channel.writeAll(serializeResponse(response, false));
            return;
        }
        long n = channel.read(buffer, sizeof buffer);
        if (n <= 0) return;  // the client went away or stalled: nothing to answer
        data.append(buffer, static_cast<std::size_t>(n));
    }
    std::optional<DemoRequest> request = parseRequestHead(std::string_view(data).substr(0, end));
    if (!request) {
        log_(std::string("democal: malformed request over ") + scheme + ": " +
             printable(std::string_view(data).substr(0, 80)));
        DemoResponse response{400, "Bad Request", "<HTML><BODY><P>Malformed request.</P></BODY></HTML>\n", {}};
        channel.writeAll(serializeResponse(response, false));
        return;
    }
    log_(printable(request->method) + " " + scheme + " " + printable(request->target) +
         (carriesSessionCookie(*request) ? " cookie=yes" : " cookie=no"));
    if (fault_ == DemoFault::NeverComplete) {
        hold(fd, -1);
        return;
    }
    if (fault_ == DemoFault::SlowItem &&
        request->target.find("resultSelect=" + std::string(DemoSlowItem)) != std::string::npos &&
        slowItemRequests_.fetch_add(1) > 0 && !hold(fd, DemoSlowItemSeconds * 1000))
        return;
    DemoResponse response = calendar_.handle(*request, tls);
    channel.writeAll(serializeResponse(response, request->method == "HEAD"));
}

bool DemoServer::hold(int fd, int limitMs) {
    // Keeps the connection open, unanswered, until the client leaves, the server stops or the
    // limit (when not negative) has passed; true in the last case.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!stopping_) {
        if (limitMs >= 0 && std::chrono::steady_clock::now() >= end) return true;
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, DemoHoldPollMs);
        if (ready < 0 && errno != EINTR) return false;
        char sink[256];
        if (ready > 0 && recv(fd, sink, sizeof sink, MSG_DONTWAIT) <= 0) return false;
    }
    return false;
}

}  // namespace quorvane

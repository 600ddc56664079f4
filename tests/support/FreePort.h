#pragma once
// A TCP port no one listens on now, on every address: the kernel's pick of a free one, asked on
// the IPv6 any-address (which covers IPv4 too), or on the IPv4 one where IPv6 is missing. 0 when
// neither gives one.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

inline std::uint16_t freePort() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        sockaddr_storage address{};
        socklen_t size = sizeof address;
        int fd = socket(AF_INET6, SOCK_STREAM, 0);
        if (fd >= 0) {
            reinterpret_cast<sockaddr_in6&>(address) = sockaddr_in6{AF_INET6, 0, 0, in6addr_any, 0};
            size = sizeof(sockaddr_in6);
        } else {
            fd = socket(AF_INET, SOCK_STREAM, 0);
            reinterpret_cast<sockaddr_in&>(address) = sockaddr_in{AF_INET, 0, {htonl(INADDR_ANY)}, {}};
            size = sizeof(sockaddr_in);
        }
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        const bool bound = fd >= 0 && bind(fd, raw, size) == 0 && getsockname(fd, raw, &size) == 0;
        if (fd >= 0) close(fd);
        // Both families keep the port at the same place.
        if (bound) return ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port);
    }
    return 0;
}

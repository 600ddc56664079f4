#include "webserver/ClientCapKey.h"

#include <arpa/inet.h>

#include <cstring>

namespace quorvane {

std::string clientCapKey(const std::string& peer) {
    in6_addr address{};
    if (inet_pton(AF_INET6, peer.c_str(), &address) != 1) return peer;
    char text[INET6_ADDRSTRLEN] = {};
    if (IN6_IS_ADDR_V4MAPPED(&address)) {
        inet_ntop(AF_INET, &address.s6_addr[12], text, sizeof text);
        return text;
    }
    std::memset(&address.s6_addr[8], 0, 8);
    inet_ntop(AF_INET6, &address, text, sizeof text);
    return std::string(text) + "/64";
}

}  // namespace quorvane

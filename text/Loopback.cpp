#include "text/Loopback.h"

#include <arpa/inet.h>

#include <string>

#include "text/TextConstants.h"

bool isLoopbackAddress(std::string_view host) {
    std::string name(host);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + CaseDistance);
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (name == "localhost") return true;
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    in_addr v4{};
    if (inet_pton(AF_INET, name.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, name.c_str(), &v6) != 1) return false;
    return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
}

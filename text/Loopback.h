#pragma once
// Whether a host names this machine.
#include <string_view>

// True for "localhost" (any letter case, with or without a final dot), an IPv4 address in
// 127.0.0.0/8, and the IPv6 loopback ::1 or an IPv4-mapped loopback (::ffff:127.x.y.z) in any
// spelling, with or without brackets.
bool isLoopbackAddress(std::string_view host);

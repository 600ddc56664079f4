#pragma once
// Which connections count together against the per-client cap.
#include <string>

namespace quorvane {

// The key a peer's connections are counted under: an IPv6 address by its /64 (one host or one
// site is given a whole /64, so counting each address apart would be no cap at all), written
// "prefix::/64"; an IPv4-mapped IPv6 address as the IPv4 address; anything else as it is.
std::string clientCapKey(const std::string& peer);

}  // namespace quorvane

#include "service/ClientRanges.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <charconv>
#include <cstring>
#include <optional>

#include "service/ServiceConstants.h"
#include "service/ServiceErrors.h"

namespace {

constexpr std::size_t Ipv4MappedOffset = 12;  // ::ffff: takes the first 12 bytes
constexpr std::uint8_t MappedMarker = 0xFF;

Address128 mapped(const in_addr& address) {
    Address128 result{};
    result[10] = MappedMarker;
    result[11] = MappedMarker;
    std::memcpy(result.data() + Ipv4MappedOffset, &address, sizeof address);
    return result;
}

Address128 wide(const in6_addr& address) {
    Address128 result{};
    std::memcpy(result.data(), &address, sizeof address);
    return result;
}

// An address in either notation, and the bits its own notation has (32 or 128). The text needs a
// terminating NUL for inet_pton, so it is copied into a small buffer first.
struct ParsedAddress {
    Address128 address;
    int bits;
};
std::optional<ParsedAddress> parseAddress(std::string_view text) {
    char buffer[INET6_ADDRSTRLEN + 1];
    if (text.empty() || text.size() >= sizeof buffer) return std::nullopt;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    in_addr v4;
    if (inet_pton(AF_INET, buffer, &v4) == 1) return ParsedAddress{mapped(v4), Ipv4Bits};
    in6_addr v6;
    if (inet_pton(AF_INET6, buffer, &v6) == 1) return ParsedAddress{wide(v6), Ipv6Bits};
    return std::nullopt;
}

[[noreturn]] void refuse(std::string_view text, std::string_view why = {}) {
    std::string message = "option " + std::string(AllowOption) + " takes " + std::string(AllowValueExample) +
                          ", not '" + std::string(text) + "'";
    if (!why.empty()) message += " (" + std::string(why) + ")";
    throw AddressRangeError(message);
}

}  // namespace

bool AddressRange::contains(const Address128& address) const noexcept {
    const int whole = prefixBits / 8;
    if (std::memcmp(address.data(), network.data(), static_cast<std::size_t>(whole)) != 0) return false;
    const int rest = prefixBits % 8;
    if (rest == 0) return true;
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return (address[whole] & mask) == network[whole];
}

AddressRange parseAddressRange(std::string_view text) {
    const auto slash = text.find('/');
    const auto parsed = parseAddress(text.substr(0, slash));
    if (!parsed) refuse(text);
    int prefix = parsed->bits;
    if (slash != std::string_view::npos) {
        const std::string_view digits = text.substr(slash + 1);
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), prefix);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || prefix < 0)
            refuse(text);
        if (prefix > parsed->bits)
            refuse(text, "a prefix of at most " + std::to_string(parsed->bits) + " bits");
    }
    AddressRange range;
    range.prefixBits = prefix + (parsed->bits == Ipv4Bits ? Ipv4MappedPrefixBits : 0);
    for (int bit = 0; bit < range.prefixBits; ++bit)
        range.network[bit / 8] |= parsed->address[bit / 8] & static_cast<std::uint8_t>(0x80 >> (bit % 8));
    return range;
}

ClientRanges ClientRanges::parse(const std::vector<std::string>& values) {
    std::vector<AddressRange> ranges;
    ranges.reserve(values.size());
    for (const std::string& value : values) ranges.push_back(parseAddressRange(value));
    return ClientRanges(std::move(ranges));
}

bool ClientRanges::allowsAddress(const Address128& address) const noexcept {
    for (const AddressRange& range : ranges_)
        if (range.contains(address)) return true;
    return false;
}

bool ClientRanges::allows(const sockaddr* peer) const noexcept {
    if (ranges_.empty()) return true;
    if (peer == nullptr) return false;
    if (peer->sa_family == AF_INET) {
        sockaddr_in v4;
        std::memcpy(&v4, peer, sizeof v4);
        return allowsAddress(mapped(v4.sin_addr));
    }
    if (peer->sa_family == AF_INET6) {
        sockaddr_in6 v6;
        std::memcpy(&v6, peer, sizeof v6);
        return allowsAddress(wide(v6.sin6_addr));
    }
    return false;
}

bool ClientRanges::allows(std::string_view peer) const noexcept {
    if (ranges_.empty()) return true;
    const auto parsed = parseAddress(peer.substr(0, peer.find('%')));  // a link-local zone is not the address
    return parsed && allowsAddress(parsed->address);
}

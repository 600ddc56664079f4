#pragma once
// Who may read the board: the address ranges of --allow (repeatable) and the check of a connected
// client against them, made for every connection before its request is read. An empty list
// allows everyone.
//
// Addresses are compared in their 128-bit IPv6 form, IPv4 ones as ::ffff:a.b.c.d, so an IPv4
// client matches the IPv4 ranges whether it reached an IPv4 or a dual-stack IPv6 socket, and
// ::1 does not match 127.0.0.0/8.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sockaddr;

using Address128 = std::array<std::uint8_t, 16>;

struct AddressRange {
    Address128 network{};  // the bits past the prefix are zero
    int prefixBits = 0;    // of the 128-bit form

    bool contains(const Address128& address) const noexcept;
    friend bool operator==(const AddressRange&, const AddressRange&) = default;
};

// "10.0.0.0/8", "192.168.1.7" (one address), "::1/128", "2001:db8::/32"; bits past the prefix are
// cleared. Throws AddressRangeError with a one-line message for anything else.
AddressRange parseAddressRange(std::string_view text);

class ClientRanges {
public:
    ClientRanges() = default;  // everyone
    explicit ClientRanges(std::vector<AddressRange> ranges) : ranges_(std::move(ranges)) {}
    // Every value of the repeated option; the first bad one throws AddressRangeError.
    static ClientRanges parse(const std::vector<std::string>& values);

    bool allowsEveryone() const noexcept { return ranges_.empty(); }
    // A connected peer as accept() or getpeername() gives it (AF_INET or AF_INET6); any other
    // family is allowed only when everyone is.
    bool allows(const sockaddr* peer) const noexcept;
    // A peer address as text ("10.1.2.3", "::1", "::ffff:10.1.2.3", "fe80::1%eth0"); text that is
    // not an address is allowed only when everyone is.
    bool allows(std::string_view peer) const noexcept;
    const std::vector<AddressRange>& ranges() const noexcept { return ranges_; }

private:
    bool allowsAddress(const Address128& address) const noexcept;
    std::vector<AddressRange> ranges_;
};

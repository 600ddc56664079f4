// --allow: ranges in both notations, peers as text and as socket addresses, and the one-line
// refusal of a bad value.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include "service/ClientRanges.h"
#include "service/ServiceErrors.h"

namespace {

TEST(ClientRangesTest, PeersAgainstRanges) {
    const struct {
        std::vector<std::string> allow;
        std::string peer;
        bool allowed;
    } cases[] = {
        {{}, "203.0.113.9", true},  // no ranges: everyone
        {{}, "not an address", true},
        {{"10.0.0.0/8"}, "10.200.3.4", true},
        {{"10.0.0.0/8"}, "11.0.0.1", false},
        {{"10.0.0.0/8"}, "::ffff:10.1.2.3", true},  // IPv4 client on a dual-stack socket
        {{"192.168.1.7"}, "192.168.1.7", true},
        {{"192.168.1.7"}, "192.168.1.8", false},
        {{"192.168.1.77/24"}, "192.168.1.1", true},  // host bits past the prefix are ignored
        {{"172.16.0.0/12"}, "172.31.255.255", true},
        {{"172.16.0.0/12"}, "172.32.0.0", false},
        {{"127.0.0.1/32"}, "127.0.0.2", false},
        {{"127.0.0.0/8"}, "::1", false},
        {{"::1/128"}, "::1", true},
        {{"::1/128"}, "127.0.0.1", false},
        {{"2001:db8::/32"}, "2001:db8:ffff::1", true},
        {{"2001:db8::/32"}, "2001:db9::1", false},
        {{"fe80::/10"}, "fe80::1%eth0", true},
        {{"0.0.0.0/0"}, "198.51.100.1", true},
        {{"0.0.0.0/0"}, "2001:db8::1", false},
        {{"::/0"}, "2001:db8::1", true},
        {{"10.0.0.0/8", "::1"}, "::1", true},
        {{"10.0.0.0/8"}, "garbage", false},
    };
    for (const auto& c : cases) {
        const ClientRanges ranges = ClientRanges::parse(c.allow);
        EXPECT_EQ(ranges.allows(c.peer), c.allowed) << c.peer << " against " << ::testing::PrintToString(c.allow);
    }
}

TEST(ClientRangesTest, SocketAddressesOfBothFamilies) {
    const ClientRanges ranges = ClientRanges::parse({"127.0.0.1", "2001:db8::/32"});
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &v4.sin_addr);
    EXPECT_TRUE(ranges.allows(reinterpret_cast<const sockaddr*>(&v4)));
    inet_pton(AF_INET, "127.0.0.2", &v4.sin_addr);
    EXPECT_FALSE(ranges.allows(reinterpret_cast<const sockaddr*>(&v4)));

    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    for (const auto& [text, allowed] : {std::pair{"::ffff:127.0.0.1", true}, {"2001:db8::5", true}, {"::1", false}}) {
        inet_pton(AF_INET6, text, &v6.sin6_addr);
        EXPECT_EQ(ranges.allows(reinterpret_cast<const sockaddr*>(&v6)), allowed) << text;
    }
}

TEST(ClientRangesTest, BadValuesAreRefusedInOneLine) {
    for (const std::string value : {"", "10.0.0.0/33", "::1/129", "10.0.0.0/", "10.0.0.0/-1", "10.0.0.0/8x",
                                    "10.0.0", "host.example.org", "10.0.0.0/8/8", "::1 "}) {
        try {
            parseAddressRange(value);
            ADD_FAILURE() << "accepted '" << value << "'";
        } catch (const AddressRangeError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.find('\n'), std::string::npos);
            EXPECT_NE(message.find("option --allow takes"), std::string::npos) << message;
            EXPECT_NE(message.find("'" + value + "'"), std::string::npos) << message;
        }
    }
    EXPECT_THROW(ClientRanges::parse({"10.0.0.0/8", "nonsense"}), AddressRangeError);
}

}  // namespace

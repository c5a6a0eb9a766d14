// Prefixes from the numeric address texts the front writes.
#include "server/ClientPrefix.h"
#include <arpa/inet.h>
#include <netinet/in.h>

namespace ScoreServer {

namespace {
constexpr int IPv4PrefixBytes = 3; // a /24
constexpr int IPv6PrefixBytes = 7; // a /56: what one home or office line is given
} // namespace

std::string ClientPrefix(const std::string& address) {
    char text[INET6_ADDRSTRLEN] = {};
    in_addr four{};
    if (inet_pton(AF_INET, address.c_str(), &four) == 1) {
        auto* bytes = reinterpret_cast<unsigned char*>(&four.s_addr);
        for (int i = IPv4PrefixBytes; i < 4; ++i) bytes[i] = 0;
        inet_ntop(AF_INET, &four, text, sizeof text);
        return std::string(text) + "/24";
    }
    in6_addr six{};
    if (inet_pton(AF_INET6, address.c_str(), &six) == 1) {
        for (int i = IPv6PrefixBytes; i < 16; ++i) six.s6_addr[i] = 0;
        inet_ntop(AF_INET6, &six, text, sizeof text);
        return std::string(text) + "/56";
    }
    return address;
}

} // namespace ScoreServer

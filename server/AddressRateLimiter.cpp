// Token buckets by address. A bucket that has filled up again is the same as no bucket, so those are dropped
// whenever the table has doubled, which keeps it to the addresses active in the last few seconds.
#include "server/AddressRateLimiter.h"
#include <algorithm>
#include <arpa/inet.h>
#include <cstring>

namespace ScoreServer {

namespace {
constexpr int Ipv4PrefixBytes = 3; // /24
constexpr int Ipv6PrefixBytes = 7; // /56
constexpr unsigned char MappedIpv4[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

std::string Ipv4Prefix(const unsigned char* bytes) {
    in_addr v4{};
    std::memcpy(&v4, bytes, 4);
    reinterpret_cast<unsigned char*>(&v4)[Ipv4PrefixBytes] = 0;
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &v4, text, sizeof text);
    return std::string(text) + "/24";
}
} // namespace

std::string ClientPrefix(const std::string& address) {
    unsigned char bytes[16];
    if (inet_pton(AF_INET, address.c_str(), bytes) == 1) return Ipv4Prefix(bytes);
    if (inet_pton(AF_INET6, address.c_str(), bytes) != 1) return address;
    if (std::memcmp(bytes, MappedIpv4, sizeof MappedIpv4) == 0) return Ipv4Prefix(bytes + sizeof MappedIpv4);
    std::memset(bytes + Ipv6PrefixBytes, 0, sizeof bytes - Ipv6PrefixBytes);
    char text[INET6_ADDRSTRLEN];
    inet_ntop(AF_INET6, bytes, text, sizeof text);
    return std::string(text) + "/56";
}

bool AddressRateLimiter::Allow(const std::string& address, double now) {
    if (PerSecond <= 0) return true;
    std::lock_guard lock(Mutex);
    if (Buckets.size() >= PruneAt) ForgetFullBuckets(now);
    auto [bucket, fresh] = Buckets.try_emplace(address, Bucket{Burst, now});
    Bucket& b = bucket->second;
    if (!fresh) {
        b.Tokens = std::min(Burst, b.Tokens + (now - b.Updated) * PerSecond);
        b.Updated = now;
    }
    if (b.Tokens < 1) return false;
    b.Tokens -= 1;
    return true;
}

void AddressRateLimiter::ForgetFullBuckets(double now) {
    std::erase_if(Buckets, [&](const auto& entry) {
        return entry.second.Tokens + (now - entry.second.Updated) * PerSecond >= Burst;
    });
    PruneAt = std::max<std::size_t>(4096, Buckets.size() * 2);
}

} // namespace ScoreServer

// Token buckets by address. A bucket that has filled up again is the same as no bucket, so those are dropped
// whenever the table has doubled, which keeps it to the addresses active in the last few seconds.
#include "server/AddressRateLimiter.h"
#include <algorithm>

namespace ScoreServer {

bool AddressRateLimiter::Allow(const std::string& address, double now, double cost) {
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
    b.Tokens -= cost;
    return true;
}

void AddressRateLimiter::ForgetFullBuckets(double now) {
    std::erase_if(Buckets, [&](const auto& entry) {
        return entry.second.Tokens + (now - entry.second.Updated) * PerSecond >= Burst;
    });
    PruneAt = std::max<std::size_t>(4096, Buckets.size() * 2);
}

} // namespace ScoreServer

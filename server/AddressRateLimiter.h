// Requests per second per client address: a token bucket each, refilled at the set rate up to a burst.
#pragma once
#include <mutex>
#include <string>
#include <unordered_map>

namespace ScoreServer {

// The network a client address belongs to, as one household or host sees it: IPv4 /24, IPv6 /56 (an IPv4 address
// mapped into IPv6 counts as IPv4). A text that is no address stands for itself.
std::string ClientPrefix(const std::string& address);

class AddressRateLimiter {
  public:
    // A rate of 0 turns the limit off (the load benchmark's setting).
    AddressRateLimiter(double perSecond, double burst) : PerSecond(perSecond), Burst(burst) {}
    // now: seconds on a steady clock.
    bool Allow(const std::string& address, double now);

  private:
    struct Bucket {
        double Tokens;
        double Updated;
    };
    void ForgetFullBuckets(double now);

    double PerSecond;
    double Burst;
    std::mutex Mutex;
    std::unordered_map<std::string, Bucket> Buckets;
    std::size_t PruneAt = 4096;
};

} // namespace ScoreServer

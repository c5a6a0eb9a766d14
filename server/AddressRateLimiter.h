// Requests per second per client address: a token bucket each, refilled at the set rate up to a burst.
#pragma once
#include <mutex>
#include <string>
#include <unordered_map>

namespace ScoreServer {

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

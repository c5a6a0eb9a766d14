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
    // now: seconds on a steady clock. cost: what this request takes from the bucket (a byte budget charges a reply's
    // bytes): it is allowed while the bucket holds a token, and a cost past what is left is a debt.
    bool Allow(const std::string& address, double now, double cost = 1);

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

// Nonces seen within the time stamp window, so that a captured request cannot be sent again. Kept in memory for
// every request; uploads are also recorded in the database (see ScoreStore::AddScore).
#pragma once
#include <cstdint>
#include <mutex>
#include <queue>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ScoreServer {

class NonceCache {
  public:
    enum class Outcome { Fresh, Seen, Full };
    NonceCache(std::int64_t windowSeconds, std::size_t capacity);
    // Remembers the nonce of a request stamped `stamp` (already checked to be within the window of `now`).
    Outcome Remember(const std::string& nonce, std::int64_t stamp, std::int64_t now);

  private:
    std::int64_t Window;
    std::size_t Capacity;
    std::mutex Mutex;
    std::unordered_map<std::string, std::int64_t> ExpiresAt;
    // The same nonces, soonest to expire on top: each request forgets the few that have expired, so no request
    // ever waits for a walk through them all.
    using Expiry = std::pair<std::int64_t, std::string>;
    std::priority_queue<Expiry, std::vector<Expiry>, std::greater<>> Expiries;
};

} // namespace ScoreServer

// Nonces seen within the time stamp window, so that a captured request cannot be sent again. Kept in memory for
// every request; uploads are also recorded in the database (see ScoreStore::AddScore).
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace ScoreServer {

class NonceCache {
  public:
    enum class Outcome { Fresh, Seen, Full };
    NonceCache(std::int64_t windowSeconds, std::size_t capacity) : Window(windowSeconds), Capacity(capacity) {}
    // Remembers the nonce of a request stamped `stamp` (already checked to be within the window of `now`).
    Outcome Remember(const std::string& nonce, std::int64_t stamp, std::int64_t now);

  private:
    std::int64_t Window;
    std::size_t Capacity;
    std::mutex Mutex;
    std::unordered_map<std::string, std::int64_t> ExpiresAt;
    std::size_t PruneAt = 4096;
};

} // namespace ScoreServer

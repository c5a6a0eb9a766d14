// A nonce need only be kept until its time stamp leaves the window: after that the stamp alone refuses it.
#include "server/NonceCache.h"
#include <algorithm>

namespace ScoreServer {

NonceCache::NonceCache(std::int64_t windowSeconds, std::size_t capacity) : Window(windowSeconds), Capacity(capacity) {
    // Never rehashed nor moved while requests wait on them.
    ExpiresAt.reserve(capacity);
    std::vector<Expiry> storage;
    storage.reserve(capacity);
    Expiries = decltype(Expiries)(std::greater<>(), std::move(storage));
}

NonceCache::Outcome NonceCache::Remember(const std::string& nonce, std::int64_t stamp, std::int64_t now) {
    std::lock_guard lock(Mutex);
    while (!Expiries.empty() && Expiries.top().first < now) {
        auto found = ExpiresAt.find(Expiries.top().second);
        if (found != ExpiresAt.end() && found->second == Expiries.top().first) ExpiresAt.erase(found);
        Expiries.pop();
    }
    auto found = ExpiresAt.find(nonce);
    if (found != ExpiresAt.end() && found->second >= now) return Outcome::Seen;
    if (found == ExpiresAt.end() && ExpiresAt.size() >= Capacity) return Outcome::Full;
    ExpiresAt[nonce] = stamp + Window;
    Expiries.emplace(stamp + Window, nonce);
    return Outcome::Fresh;
}

} // namespace ScoreServer

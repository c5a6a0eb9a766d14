// A nonce need only be kept until its time stamp leaves the window: after that the stamp alone refuses it.
#include "server/NonceCache.h"
#include <algorithm>

namespace ScoreServer {

NonceCache::Outcome NonceCache::Remember(const std::string& nonce, std::int64_t stamp, std::int64_t now) {
    std::lock_guard lock(Mutex);
    if (ExpiresAt.size() >= PruneAt || ExpiresAt.size() >= Capacity) {
        std::erase_if(ExpiresAt, [&](const auto& entry) { return entry.second < now; });
        PruneAt = std::max<std::size_t>(4096, ExpiresAt.size() * 2);
    }
    auto found = ExpiresAt.find(nonce);
    if (found != ExpiresAt.end() && found->second >= now) return Outcome::Seen;
    if (found == ExpiresAt.end() && ExpiresAt.size() >= Capacity) return Outcome::Full;
    ExpiresAt[nonce] = stamp + Window;
    return Outcome::Fresh;
}

} // namespace ScoreServer

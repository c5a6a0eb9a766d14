// Readers share the lock; a read of the database replaces one entry under the writer's lock.
#include "server/BoardCache.h"

namespace ScoreServer {

std::optional<std::string> BoardCache::Find(const std::string& key, double now) {
    if (Kept <= 0) return std::nullopt;
    {
        std::shared_lock lock(Mutex);
        auto found = Entries.find(key);
        if (found == Entries.end() || now < found->second.ReadAt) return std::nullopt;
        if (now - found->second.ReadAt < Kept) return found->second.Reply;
    }
    // Past its moment: one reader reads the database again while the others are answered as before, so that a
    // crowd of readers is never a crowd of queries. A refresh that never came back stops counting after a while.
    std::unique_lock lock(Mutex);
    auto found = Entries.find(key);
    if (found == Entries.end()) return std::nullopt;
    Entry& entry = found->second;
    if (entry.Refreshing && now - entry.ReadAt < Kept * StaleMoments) return entry.Reply;
    entry.Refreshing = true;
    return std::nullopt;
}

std::uint64_t BoardCache::Generation() {
    std::shared_lock lock(Mutex);
    return Clearings;
}

void BoardCache::Keep(const std::string& key, std::string reply, double now, std::uint64_t readInGeneration) {
    if (Kept <= 0) return;
    std::unique_lock lock(Mutex);
    if (readInGeneration != Clearings) return; // a game was added while the database was read: maybe not in it
    if (Entries.size() >= MostKept && !Entries.count(key)) Entries.clear();
    Entries[key] = {std::move(reply), now, false};
}

void BoardCache::Clear() {
    std::unique_lock lock(Mutex);
    Entries.clear();
    ++Clearings;
}

} // namespace ScoreServer

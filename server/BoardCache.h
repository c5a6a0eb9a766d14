// The top-ten replies as last read from the database, kept for a moment: reads are answered from memory, and a
// burst of them costs the database one query a board a moment. The database holds the truth: this server clears
// the cache when it adds a game, and a game another server added shows within the moment.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <unordered_map>

namespace ScoreServer {

class BoardCache {
  public:
    // secondsKept: how long a reply is served before the database is read again (0 turns the cache off).
    explicit BoardCache(double secondsKept) : Kept(secondsKept) {}
    std::optional<std::string> Find(const std::string& key, double now);
    // Which clearing the cache is at: a reply read from the database before a clearing is not kept after it.
    std::uint64_t Generation();
    void Keep(const std::string& key, std::string reply, double now, std::uint64_t readInGeneration);
    void Clear();

  private:
    static constexpr std::size_t MostKept = 1024; // boards are any short name: never let the map grow unbounded
    static constexpr double StaleMoments = 5;     // how long, in moments, an old reply stands in for one being read
    struct Entry {
        std::string Reply;
        double ReadAt;
        bool Refreshing;
    };
    double Kept;
    std::uint64_t Clearings = 0;
    std::shared_mutex Mutex;
    std::unordered_map<std::string, Entry> Entries;
};

} // namespace ScoreServer

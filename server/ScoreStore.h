// The score server's storage: the interface both back ends (SQLite, PostgreSQL) keep, and the one routine that
// picks a back end from a database location.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ScoreServer {

// One row of a top-ten board, as checked by the request rules before it reaches storage.
struct ScoreEntry {
    std::string Board; // the game's board; the difficulty text the game sends (empty today)
    std::string Name;
    std::int64_t Level = 0;
    std::int64_t Score = 0;
    std::string Date;
};

struct VersionEntry {
    std::string Product;
    std::string Version;
};

enum class AddOutcome { Added, NonceSeen };

// Storage failures (a lost connection, a full disk) reach the request handler as this, which answers 503.
struct StoreError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every member is safe to call from several request threads at once.
class ScoreStore {
  public:
    virtual ~ScoreStore() = default;
    // Adds the score and records the upload's nonce in one transaction: a replayed upload is refused even by
    // another server sharing the database, or after a restart. Nonces older than forgetBefore are dropped.
    virtual AddOutcome AddScore(const ScoreEntry& entry, const std::string& nonce, std::int64_t nonceTime,
                                std::int64_t forgetBefore) = 0;
    // The best scores of one board, best first; equal scores in the order they arrived.
    virtual std::vector<ScoreEntry> TopScores(const std::string& board, int count) = 0;
    virtual std::vector<VersionEntry> Versions(int count) = 0;
    virtual void SetVersion(const std::string& product, const std::string& version) = 0;
    virtual int SchemaVersion() = 0;
};

// The schema this build writes; start-up migrates older databases up to it.
constexpr int CurrentSchemaVersion = 2;

// "postgresql://..." or "postgres://..." opens PostgreSQL through libpq, with at most maxConnections to it;
// anything else is an SQLite file path.
constexpr int DefaultDatabaseConnections = 8;
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location,
                                           int maxConnections = DefaultDatabaseConnections);
bool IsPostgresLocation(const std::string& location);

// $XDG_DATA_HOME/kestrovar/scores.sqlite, else ~/.local/share/kestrovar/scores.sqlite (folders made as needed).
std::string DefaultDatabasePath();

} // namespace ScoreServer

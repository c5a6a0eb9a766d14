// The SQLite back end: one database file, write-ahead log, every commit synced before its reply.
#pragma once
#include "server/ScoreStore.h"
#include <mutex>

struct sqlite3;

namespace ScoreServer {

class SqliteStore : public ScoreStore {
  public:
    // The top of one board under one rules version: one walk down the index scores_board_rank, no sorting.
    static constexpr const char* TopScoresSql =
        "SELECT name, level, score, date, game_hash, frames, rules, created_at FROM scores WHERE board = ?1 AND"
        " rules = ?3"
        " ORDER BY score DESC, id ASC LIMIT ?2";

    explicit SqliteStore(const std::string& path);
    ~SqliteStore() override;
    AddOutcome AddGame(const ScoreEntry& entry, const VerifiedGame& game) override;
    std::optional<KnownGame> FindGame(const std::string& hash) override;
    int PruneBoard(const std::string& board, int rules, int keepRows) override;
    std::optional<std::string> TicketGame(const std::string& ticketHash) override;
    bool RenameGame(const std::string& hash, const std::string& ticketHash, const std::string& name) override;
    std::optional<std::string> GameScript(const std::string& hash) override;
    std::vector<ScoreEntry> TopScores(const std::string& board, int count) override;
    std::vector<ScoreEntry> ArchivedScores(const std::string& board, int count) override;
    std::string ServerSecret(const std::string& fresh) override;
    std::vector<VersionEntry> Versions(int count) override;
    void SetVersion(const std::string& product, const std::string& version) override;
    int SchemaVersion() override;

    struct Connection;

  private:
    // Connections are pooled: each request thread borrows one, with its prepared statements, and gives it back.
    class Lease;
    std::unique_ptr<Connection> OpenConnection();
    void Migrate(Connection& connection);

    std::string Path;
    std::mutex PoolMutex;
    std::vector<std::unique_ptr<Connection>> Idle;
};

} // namespace ScoreServer

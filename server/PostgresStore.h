// The PostgreSQL back end over libpq: several stateless score servers behind a load balancer share one database,
// and PostgreSQL-compatible distributed engines serve unchanged.
#pragma once
#include "server/ScoreStore.h"
#include <atomic>
#include <condition_variable>
#include <mutex>

typedef struct pg_conn PGconn;

namespace ScoreServer {

class PostgresStore : public ScoreStore {
  public:
    // The top of one board under one rules version: one walk down the index scores_board_rank, no sorting.
    static constexpr const char* TopScoresSql =
        "SELECT name, level, score, date, game_hash, frames, rules, extract(epoch FROM created_at)::bigint FROM scores"
        " WHERE board = $1 AND rules = $3"
        " ORDER BY score DESC, id ASC LIMIT $2";

    PostgresStore(const std::string& connectionString, int maxConnections);
    ~PostgresStore() override;
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
    class Lease;
    std::unique_ptr<Connection> OpenConnection();
    // A new connection with the statements prepared; fails at once for a while after a failed attempt, so that
    // requests are refused quickly while the database is away.
    PGconn* Connect();

    std::string ConnectionString;
    std::mutex PoolMutex;
    std::condition_variable PoolFree;
    std::vector<std::unique_ptr<Connection>> Idle;
    int Open = 0;
    int MaxOpen;
    std::atomic<std::int64_t> RetryAtMs = 0;
};

} // namespace ScoreServer

// The PostgreSQL back end. Every statement is prepared once per connection and run with bound parameters; an
// upload is one statement, and the unique keys make the same game one row however many servers add it at once.
#include "server/PostgresStore.h"
#include "core/Version.h"
#include "server/GameArchive.h"
#include <chrono>
#include <libpq-fe.h>
#include <utility>

namespace ScoreServer {

namespace {
// Held for the migration's transaction, so that servers starting together migrate one after the other.
constexpr const char* MigrationLock = "SELECT pg_advisory_xact_lock(8642)";

const char* const MigrationSteps[CurrentSchemaVersion] = {
    // 1: the boards and the version list.
    "CREATE TABLE scores(id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, board TEXT NOT NULL,"
    " name TEXT NOT NULL, level BIGINT NOT NULL, score BIGINT NOT NULL, date TEXT NOT NULL,"
    " created_at TIMESTAMPTZ NOT NULL DEFAULT now());"
    "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
    "CREATE TABLE versions(product TEXT PRIMARY KEY, version TEXT NOT NULL);"
    "INSERT INTO versions(product, version) VALUES('kestrovar', '" KESTROVAR_VERSION "');",
    // 2: nonces of uploads, so that a replayed upload is refused by every server and across restarts.
    "CREATE TABLE upload_nonces(nonce TEXT PRIMARY KEY, seen_at BIGINT NOT NULL);"
    "CREATE INDEX upload_nonces_age ON upload_nonces(seen_at);",
    // 3: every row is a verified game, kept compressed and unique by its hash and by the game it plays. The rows
    // from before (claims nobody checked) are set aside in scores_unverified, never shown; nonces are no longer
    // needed (the same game sent again is the same row).
    "ALTER TABLE scores RENAME TO scores_unverified;"
    "ALTER INDEX scores_board_rank RENAME TO scores_unverified_rank;"
    "ALTER INDEX scores_pkey RENAME TO scores_unverified_pkey;"
    "CREATE TABLE scores(id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, board TEXT NOT NULL,"
    " name TEXT NOT NULL, level BIGINT NOT NULL, score BIGINT NOT NULL, date TEXT NOT NULL,"
    " created_at TIMESTAMPTZ NOT NULL DEFAULT now(), game_hash TEXT NOT NULL UNIQUE,"
    " replay_end TEXT NOT NULL UNIQUE, frames BIGINT NOT NULL, game BYTEA NOT NULL);"
    "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
    "DROP TABLE upload_nonces;",
    // 4: games seeded by the server's tickets. A row keeps the hash of its ticket (one game a ticket) and its
    // rules; the rows before were played under rules 1 and stay as the archived board once the rules move on.
    // The server's secret is kept here, shared by every server of the board. Version 1.3 is the first build that
    // plays with tickets: older builds are told a new version is out.
    "ALTER TABLE scores ADD COLUMN rules INTEGER NOT NULL DEFAULT 1;"
    "ALTER TABLE scores ADD COLUMN ticket_hash TEXT UNIQUE;"
    "DROP INDEX scores_board_rank;"
    "CREATE INDEX scores_board_rank ON scores(board, rules, score DESC, id);"
    "CREATE TABLE server_secret(id INTEGER PRIMARY KEY CHECK (id = 1), secret TEXT NOT NULL);"
    "UPDATE versions SET version = '1.3' WHERE product = 'kestrovar' AND version = '1.2';",
};

struct PreparedText {
    const char* Name;
    const char* Sql;
};
const PreparedText Prepared[] = {
    // A game already on the board (by any key: its hash, its play, its ticket; added by any server) adds nothing.
    {"add_game",
     "INSERT INTO scores(board, name, level, score, date, game_hash, replay_end, frames, game, rules, ticket_hash)"
     " VALUES($1, $2, $3, $4, $5, $6, $7, $8, decode($9, 'hex'), $10, NULLIF($11, '')) ON CONFLICT DO NOTHING"},
    {"find_game", "SELECT name, board, coalesce(ticket_hash, '') FROM scores WHERE game_hash = $1"},
    {"prune",
     // Past the board's top rows, only each name's best stays.
     "DELETE FROM scores WHERE id IN (SELECT id FROM (SELECT id, ROW_NUMBER() OVER (ORDER BY score DESC, id) AS place,"
     " ROW_NUMBER() OVER (PARTITION BY name ORDER BY score DESC, id) AS own FROM scores WHERE board = $1 AND rules = "
     "$2)"
     " AS ranked WHERE place > $3 AND own > 1)"},
    {"find_ticket", "SELECT game_hash FROM scores WHERE ticket_hash = $1"},
    {"rename_game", "UPDATE scores SET name = $3 WHERE game_hash = $1 AND ticket_hash = $2 AND name <> $3"},
    {"read_game", "SELECT encode(game, 'hex') FROM scores WHERE game_hash = $1"},
    {"top", PostgresStore::TopScoresSql},
    {"archived", "SELECT name, level, score, date, game_hash, frames, rules, extract(epoch FROM created_at)::bigint"
                 " FROM scores WHERE board = $1"
                 " AND rules < $3 ORDER BY rules DESC, score DESC, id ASC LIMIT $2"},
    {"read_secret", "SELECT secret FROM server_secret WHERE id = 1"},
    {"keep_secret", "INSERT INTO server_secret(id, secret) VALUES(1, $1) ON CONFLICT DO NOTHING"},
    {"versions", "SELECT product, version FROM versions ORDER BY product LIMIT $1"},
    {"put_version", "INSERT INTO versions(product, version) VALUES($1, $2)"
                    " ON CONFLICT(product) DO UPDATE SET version = EXCLUDED.version"},
};

// A database that stops answering holds a request no longer than these: a connection attempt, a silent peer
// (keep-alive probes, unacknowledged data), a statement; and a request waits no longer for a free connection.
constexpr const char* ConnectTimeoutSeconds = "2";
constexpr const char* KeepAliveIdleSeconds = "2";
constexpr const char* KeepAliveIntervalSeconds = "1";
constexpr const char* KeepAliveCount = "2";
constexpr const char* UnacknowledgedLimitMs = "3000";
constexpr const char* StatementTimeoutOption = "-c statement_timeout=3000";
constexpr auto PoolWait = std::chrono::seconds(1);
// While the database is away, requests are refused at once; one tries again after this long.
constexpr std::int64_t RetryConnectAfterMs = 500;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

PGconn* ConnectBounded(const std::string& location) {
    // The location's own settings come after these defaults, so a URI may still choose its own.
    const char* const keywords[] = {"connect_timeout",
                                    "keepalives",
                                    "keepalives_idle",
                                    "keepalives_interval",
                                    "keepalives_count",
                                    "tcp_user_timeout",
                                    "options",
                                    "dbname",
                                    nullptr};
    const char* const values[] = {ConnectTimeoutSeconds,
                                  "1",
                                  KeepAliveIdleSeconds,
                                  KeepAliveIntervalSeconds,
                                  KeepAliveCount,
                                  UnacknowledgedLimitMs,
                                  StatementTimeoutOption,
                                  location.c_str(),
                                  nullptr};
    return PQconnectdbParams(keywords, values, 1);
}

struct ResultHolder {
    PGresult* R;
    explicit ResultHolder(PGresult* r) : R(r) {}
    ~ResultHolder() { PQclear(R); }
    ResultHolder(const ResultHolder&) = delete;
    ResultHolder& operator=(const ResultHolder&) = delete;
};
} // namespace

struct PostgresStore::Connection {
    PGconn* Conn = nullptr;
    PostgresStore* Store = nullptr;
    bool MayRetry = false; // taken from the pool and not yet used: it may have died with a database restart
    ~Connection() { PQfinish(Conn); }

    [[noreturn]] void Fail(const std::string& what) {
        std::string message = PQerrorMessage(Conn);
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
        throw StoreError("postgresql: " + what + ": " + message);
    }
    void Exec(const char* sql) {
        ResultHolder result(PQexec(Conn, sql));
        ExecStatusType status = PQresultStatus(result.R);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(sql);
    }
    // Runs a prepared statement with text parameters; the result must be a command or rows. The first statement
    // on a pooled connection that turns out dead is run once more on a new connection: a restarted database
    // never saw it.
    PGresult* Run(const char* name, std::initializer_list<const char*> values) {
        PGresult* result =
            PQexecPrepared(Conn, name, static_cast<int>(values.size()), values.begin(), nullptr, nullptr, 0);
        ExecStatusType status = PQresultStatus(result);
        bool retry = std::exchange(MayRetry, false) && PQstatus(Conn) == CONNECTION_BAD;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            PQclear(result);
            if (!retry) Fail(name);
            PQfinish(std::exchange(Conn, nullptr));
            Conn = Store->Connect();
            return Run(name, values);
        }
        return result;
    }
};

// Borrows a pooled connection; one found broken (the database restarted) is closed instead of returned.
class PostgresStore::Lease {
  public:
    // Waits while all of the server's connections are busy, so that servers sharing one database stay within
    // its connection limit; but not for ever.
    explicit Lease(PostgresStore& store) : Store(store) {
        std::unique_lock lock(Store.PoolMutex);
        if (!Store.PoolFree.wait_for(lock, PoolWait, [&] { return !Store.Idle.empty() || Store.Open < Store.MaxOpen; }))
            throw StoreError("postgresql: no free connection within the wait");
        if (!Store.Idle.empty()) {
            Held = std::move(Store.Idle.back());
            Store.Idle.pop_back();
            Held->MayRetry = true;
            return;
        }
        ++Store.Open;
        lock.unlock();
        try {
            Held = Store.OpenConnection();
        } catch (...) {
            lock.lock();
            --Store.Open;
            Store.PoolFree.notify_one();
            throw;
        }
    }
    ~Lease() {
        bool healthy =
            Held->Conn && PQstatus(Held->Conn) == CONNECTION_OK && PQtransactionStatus(Held->Conn) == PQTRANS_IDLE;
        std::unique_ptr<Connection> broken;
        {
            std::lock_guard lock(Store.PoolMutex);
            if (healthy) {
                Store.Idle.push_back(std::move(Held));
            } else {
                broken = std::move(Held);
                --Store.Open;
            }
        }
        Store.PoolFree.notify_one();
    }
    Connection* operator->() { return Held.get(); }

  private:
    PostgresStore& Store;
    std::unique_ptr<Connection> Held;
};

PGconn* PostgresStore::Connect() {
    if (NowMs() < RetryAtMs) throw StoreError("postgresql: unavailable (the last attempt to connect failed)");
    Connection connection;
    connection.Conn = ConnectBounded(ConnectionString);
    if (PQstatus(connection.Conn) != CONNECTION_OK) {
        RetryAtMs = NowMs() + RetryConnectAfterMs;
        connection.Fail("cannot connect");
    }
    connection.Exec("SET client_min_messages = warning");
    for (const PreparedText& statement : Prepared) {
        ResultHolder result(PQprepare(connection.Conn, statement.Name, statement.Sql, 0, nullptr));
        if (PQresultStatus(result.R) != PGRES_COMMAND_OK) connection.Fail(statement.Name);
    }
    return std::exchange(connection.Conn, nullptr);
}

std::unique_ptr<PostgresStore::Connection> PostgresStore::OpenConnection() {
    auto connection = std::make_unique<Connection>();
    connection->Store = this;
    connection->Conn = Connect();
    return connection;
}

PostgresStore::PostgresStore(const std::string& connectionString, int maxConnections)
    : ConnectionString(connectionString), MaxOpen(maxConnections) {
    auto connection = std::make_unique<Connection>();
    connection->Conn = ConnectBounded(ConnectionString);
    if (PQstatus(connection->Conn) != CONNECTION_OK) connection->Fail("cannot connect");
    connection->Exec("SET client_min_messages = warning");
    connection->Exec("BEGIN");
    try {
        connection->Exec(MigrationLock);
        connection->Exec("CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)");
        ResultHolder current(PQexec(connection->Conn, "SELECT version FROM schema_version"));
        if (PQresultStatus(current.R) != PGRES_TUPLES_OK) connection->Fail("schema version");
        int version = PQntuples(current.R) > 0 ? std::atoi(PQgetvalue(current.R, 0, 0)) : 0;
        if (version > CurrentSchemaVersion)
            throw StoreError("database has schema " + std::to_string(version) + ", newer than this server's " +
                             std::to_string(CurrentSchemaVersion));
        for (int step = version; step < CurrentSchemaVersion; ++step) connection->Exec(MigrationSteps[step]);
        connection->Exec("DELETE FROM schema_version");
        connection->Exec(("INSERT INTO schema_version VALUES(" + std::to_string(CurrentSchemaVersion) + ")").c_str());
        connection->Exec("COMMIT");
    } catch (...) {
        PQclear(PQexec(connection->Conn, "ROLLBACK"));
        throw;
    }
    Idle.push_back(OpenConnection());
    Open = 1;
}

PostgresStore::~PostgresStore() = default;

namespace {
// Bytes travel as hex text, so that every parameter stays a text parameter.
std::string Hex(std::string_view bytes) {
    static const char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += Digits[c >> 4];
        hex += Digits[c & 15];
    }
    return hex;
}
std::string Unhex(std::string_view hex) {
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
    return bytes;
}
} // namespace

AddOutcome PostgresStore::AddGame(const ScoreEntry& entry, const VerifiedGame& game) {
    std::string packed = Hex(CompressScript(game.Script));
    std::string level = std::to_string(entry.Level), score = std::to_string(entry.Score);
    std::string frames = std::to_string(game.Frames), rules = std::to_string(entry.Rules);
    Lease connection(*this);
    ResultHolder result(
        connection->Run("add_game", {entry.Board.c_str(), entry.Name.c_str(), level.c_str(), score.c_str(),
                                     entry.Date.c_str(), game.Hash.c_str(), game.ReplayEnd.c_str(), frames.c_str(),
                                     packed.c_str(), rules.c_str(), game.TicketHash.c_str()}));
    return std::atoi(PQcmdTuples(result.R)) == 1 ? AddOutcome::Added : AddOutcome::Known;
}

std::optional<KnownGame> PostgresStore::FindGame(const std::string& hash) {
    Lease connection(*this);
    ResultHolder result(connection->Run("find_game", {hash.c_str()}));
    if (PQntuples(result.R) == 0) return std::nullopt;
    return KnownGame{PQgetvalue(result.R, 0, 0), PQgetvalue(result.R, 0, 1), PQgetvalue(result.R, 0, 2)};
}

int PostgresStore::PruneBoard(const std::string& board, int rules, int keepRows) {
    std::string rulesText = std::to_string(rules), keep = std::to_string(keepRows);
    Lease connection(*this);
    ResultHolder result(connection->Run("prune", {board.c_str(), rulesText.c_str(), keep.c_str()}));
    return std::atoi(PQcmdTuples(result.R));
}

std::optional<std::string> PostgresStore::TicketGame(const std::string& ticketHash) {
    Lease connection(*this);
    ResultHolder result(connection->Run("find_ticket", {ticketHash.c_str()}));
    if (PQntuples(result.R) == 0) return std::nullopt;
    return std::string(PQgetvalue(result.R, 0, 0));
}

bool PostgresStore::RenameGame(const std::string& hash, const std::string& ticketHash, const std::string& name) {
    Lease connection(*this);
    ResultHolder result(connection->Run("rename_game", {hash.c_str(), ticketHash.c_str(), name.c_str()}));
    return std::atoi(PQcmdTuples(result.R)) == 1;
}

std::optional<std::string> PostgresStore::GameScript(const std::string& hash) {
    Lease connection(*this);
    ResultHolder result(connection->Run("read_game", {hash.c_str()}));
    if (PQntuples(result.R) == 0) return std::nullopt;
    return ExpandScript(Unhex(PQgetvalue(result.R, 0, 0)));
}

namespace {
std::vector<ScoreEntry> ReadRows(PGresult* result, const std::string& board) {
    std::vector<ScoreEntry> rows;
    for (int i = 0; i < PQntuples(result); ++i) {
        ScoreEntry row;
        row.Board = board;
        row.Name = PQgetvalue(result, i, 0);
        row.Level = std::stoll(PQgetvalue(result, i, 1));
        row.Score = std::stoll(PQgetvalue(result, i, 2));
        row.Date = PQgetvalue(result, i, 3);
        row.GameHash = PQgetvalue(result, i, 4);
        row.Frames = std::stoll(PQgetvalue(result, i, 5));
        row.Rules = std::atoi(PQgetvalue(result, i, 6));
        row.Uploaded = std::stoll(PQgetvalue(result, i, 7)); // the server's own time of the upload
        rows.push_back(std::move(row));
    }
    return rows;
}
} // namespace

std::vector<ScoreEntry> PostgresStore::TopScores(const std::string& board, int count) {
    Lease connection(*this);
    std::string limit = std::to_string(count), rules = std::to_string(RulesVersion);
    ResultHolder result(connection->Run("top", {board.c_str(), limit.c_str(), rules.c_str()}));
    return ReadRows(result.R, board);
}

std::vector<ScoreEntry> PostgresStore::ArchivedScores(const std::string& board, int count) {
    Lease connection(*this);
    std::string limit = std::to_string(count), rules = std::to_string(RulesVersion);
    ResultHolder result(connection->Run("archived", {board.c_str(), limit.c_str(), rules.c_str()}));
    return ReadRows(result.R, board);
}

std::string PostgresStore::ServerSecret(const std::string& fresh) {
    Lease connection(*this);
    PQclear(connection->Run("keep_secret", {fresh.c_str()}));
    ResultHolder result(connection->Run("read_secret", {}));
    if (PQntuples(result.R) != 1) throw StoreError("postgresql: the server's secret is missing");
    return PQgetvalue(result.R, 0, 0);
}

std::vector<VersionEntry> PostgresStore::Versions(int count) {
    Lease connection(*this);
    std::string limit = std::to_string(count);
    ResultHolder result(connection->Run("versions", {limit.c_str()}));
    std::vector<VersionEntry> rows;
    for (int i = 0; i < PQntuples(result.R); ++i)
        rows.push_back({PQgetvalue(result.R, i, 0), PQgetvalue(result.R, i, 1)});
    return rows;
}

void PostgresStore::SetVersion(const std::string& product, const std::string& version) {
    Lease connection(*this);
    PQclear(connection->Run("put_version", {product.c_str(), version.c_str()}));
}

int PostgresStore::SchemaVersion() {
    Lease connection(*this);
    ResultHolder result(PQexec(connection->Conn, "SELECT version FROM schema_version"));
    if (PQresultStatus(result.R) != PGRES_TUPLES_OK || PQntuples(result.R) != 1) return -1;
    return std::atoi(PQgetvalue(result.R, 0, 0));
}

} // namespace ScoreServer

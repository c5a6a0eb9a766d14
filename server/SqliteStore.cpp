// The SQLite back end. An upload is one INSERT that the unique keys turn into nothing for a known game; the
// write-ahead log with synchronous=FULL makes a commit durable before the reply is sent.
#include "server/SqliteStore.h"
#include "core/Version.h"
#include "server/GameArchive.h"
#include <sqlite3.h>

namespace ScoreServer {

namespace {
constexpr int BusyTimeoutMs = 5000;

// Each step takes the schema from the version before it to its own number.
const char* const MigrationSteps[CurrentSchemaVersion] = {
    // 1: the boards and the version list.
    "CREATE TABLE scores(id INTEGER PRIMARY KEY, board TEXT NOT NULL, name TEXT NOT NULL, level INTEGER NOT NULL,"
    " score INTEGER NOT NULL, date TEXT NOT NULL, created_at INTEGER NOT NULL DEFAULT (strftime('%s','now')));"
    "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
    "CREATE TABLE versions(product TEXT PRIMARY KEY, version TEXT NOT NULL);"
    "INSERT INTO versions(product, version) VALUES('kestrovar', '" KESTROVAR_VERSION "');",
    // 2: nonces of uploads, so that a replayed upload is refused across restarts.
    "CREATE TABLE upload_nonces(nonce TEXT PRIMARY KEY, seen_at INTEGER NOT NULL);"
    "CREATE INDEX upload_nonces_age ON upload_nonces(seen_at);",
    // 3: every row is a verified game, kept compressed and unique by its hash and by the game it plays. The rows
    // from before (claims nobody checked) are set aside in scores_unverified, never shown; nonces are no longer
    // needed (the same game sent again is the same row).
    "DROP INDEX scores_board_rank;"
    "ALTER TABLE scores RENAME TO scores_unverified;"
    "CREATE TABLE scores(id INTEGER PRIMARY KEY, board TEXT NOT NULL, name TEXT NOT NULL, level INTEGER NOT NULL,"
    " score INTEGER NOT NULL, date TEXT NOT NULL, created_at INTEGER NOT NULL DEFAULT (strftime('%s','now')),"
    " game_hash TEXT NOT NULL UNIQUE, replay_end TEXT NOT NULL UNIQUE, frames INTEGER NOT NULL, game BLOB NOT NULL);"
    "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
    "DROP TABLE upload_nonces;",
    // 4: games seeded by the server's tickets. A row keeps the hash of its ticket (one game a ticket) and its
    // rules; the rows before were played under rules 1 and stay as the archived board once the rules move on.
    // The server's secret is kept here for every server sharing the board. Version 1.3 is the first build that
    // plays with tickets: older builds are told a new version is out.
    "ALTER TABLE scores ADD COLUMN rules INTEGER NOT NULL DEFAULT 1;"
    "ALTER TABLE scores ADD COLUMN ticket_hash TEXT;"
    "CREATE UNIQUE INDEX scores_ticket ON scores(ticket_hash);"
    "DROP INDEX scores_board_rank;"
    "CREATE INDEX scores_board_rank ON scores(board, rules, score DESC, id);"
    "CREATE TABLE server_secret(id INTEGER PRIMARY KEY CHECK (id = 1), secret TEXT NOT NULL);"
    "UPDATE versions SET version = '1.3' WHERE product = 'kestrovar' AND version = '1.2';",
};

enum Statement {
    InsertGame,
    LookUpGame,
    Prune,
    LookUpTicket,
    Rename,
    ReadGame,
    Top,
    Archived,
    ReadSecret,
    KeepSecret,
    ListVersions,
    PutVersion
};
const char* const StatementTexts[] = {
    // One statement: a game already on the board (by any key: its hash, its play, its ticket) adds nothing, without
    // a read before the write.
    "INSERT INTO scores(board, name, level, score, date, game_hash, replay_end, frames, game, rules, ticket_hash)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11) ON CONFLICT DO NOTHING",
    "SELECT name, board, ticket_hash FROM scores WHERE game_hash = ?1",
    // Past the board's top rows, only each name's best stays.
    "DELETE FROM scores WHERE id IN (SELECT id FROM (SELECT id, ROW_NUMBER() OVER (ORDER BY score DESC, id) AS place,"
    " ROW_NUMBER() OVER (PARTITION BY name ORDER BY score DESC, id) AS own FROM scores WHERE board = ?1 AND rules = ?2)"
    " AS ranked WHERE place > ?3 AND own > 1)",
    "SELECT game_hash FROM scores WHERE ticket_hash = ?1",
    "UPDATE scores SET name = ?3 WHERE game_hash = ?1 AND ticket_hash = ?2 AND name <> ?3",
    "SELECT game FROM scores WHERE game_hash = ?1",
    SqliteStore::TopScoresSql,
    "SELECT name, level, score, date, game_hash, frames, rules, created_at FROM scores WHERE board = ?1 AND rules < ?3"
    " ORDER BY rules DESC, score DESC, id ASC LIMIT ?2",
    "SELECT secret FROM server_secret WHERE id = 1",
    "INSERT INTO server_secret(id, secret) VALUES(1, ?1) ON CONFLICT DO NOTHING",
    "SELECT product, version FROM versions ORDER BY product LIMIT ?1",
    "INSERT INTO versions(product, version) VALUES(?1, ?2) ON CONFLICT(product) DO UPDATE SET version = ?2",
};
constexpr int StatementCount = sizeof StatementTexts / sizeof StatementTexts[0];

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw StoreError("sqlite: " + what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}
} // namespace

struct SqliteStore::Connection {
    sqlite3* Db = nullptr;
    sqlite3_stmt* Statements[StatementCount] = {};
    ~Connection() {
        for (sqlite3_stmt* statement : Statements) sqlite3_finalize(statement);
        sqlite3_close(Db);
    }
    void Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(Db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : "unknown error";
            sqlite3_free(message);
            throw StoreError(std::string("sqlite: ") + text);
        }
    }
    // Resets the statement on the way in and on the way out, so that no read stays open on the file.
    struct Use {
        sqlite3_stmt* S;
        explicit Use(sqlite3_stmt* s) : S(s) { sqlite3_reset(S), sqlite3_clear_bindings(S); }
        ~Use() { sqlite3_reset(S); }
    };
    void Prepare() {
        for (int i = 0; i < StatementCount; ++i)
            if (sqlite3_prepare_v3(Db, StatementTexts[i], -1, SQLITE_PREPARE_PERSISTENT, &Statements[i], nullptr) !=
                SQLITE_OK)
                Fail(Db, StatementTexts[i]);
    }
    sqlite3_stmt* operator[](Statement which) { return Statements[which]; }
    void Run(Statement which) {
        Use use(Statements[which]);
        if (sqlite3_step(use.S) != SQLITE_DONE) Fail(Db, StatementTexts[which]);
    }
};

class SqliteStore::Lease {
  public:
    explicit Lease(SqliteStore& store) : Store(store) {
        {
            std::lock_guard lock(Store.PoolMutex);
            if (!Store.Idle.empty()) {
                Held = std::move(Store.Idle.back());
                Store.Idle.pop_back();
            }
        }
        if (!Held) {
            Held = Store.OpenConnection();
            Held->Prepare();
        }
    }
    ~Lease() {
        std::lock_guard lock(Store.PoolMutex);
        Store.Idle.push_back(std::move(Held));
    }
    Connection* operator->() { return Held.get(); }
    Connection& operator*() { return *Held; }

  private:
    SqliteStore& Store;
    std::unique_ptr<Connection> Held;
};

SqliteStore::SqliteStore(const std::string& path) : Path(path) {
    auto first = OpenConnection();
    // The journal mode is a property of the file: set once, every later connection finds it.
    first->Exec("PRAGMA journal_mode=WAL");
    Migrate(*first);
    first->Prepare();
    Idle.push_back(std::move(first));
}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteStore::Connection> SqliteStore::OpenConnection() {
    auto connection = std::make_unique<Connection>();
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(Path.c_str(), &connection->Db, flags, nullptr) != SQLITE_OK)
        Fail(connection->Db, "cannot open " + Path);
    sqlite3_busy_timeout(connection->Db, BusyTimeoutMs);
    connection->Exec("PRAGMA synchronous=FULL");
    return connection;
}

void SqliteStore::Migrate(Connection& connection) {
    connection.Exec("BEGIN IMMEDIATE");
    try {
        int version = 0;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(connection.Db, "PRAGMA user_version", -1, &statement, nullptr) != SQLITE_OK)
            Fail(connection.Db, "user_version");
        if (sqlite3_step(statement) == SQLITE_ROW) version = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
        if (version > CurrentSchemaVersion)
            throw StoreError("database " + Path + " has schema " + std::to_string(version) +
                             ", newer than this server's " + std::to_string(CurrentSchemaVersion));
        for (; version < CurrentSchemaVersion; ++version) connection.Exec(MigrationSteps[version]);
        connection.Exec(("PRAGMA user_version=" + std::to_string(CurrentSchemaVersion)).c_str());
        connection.Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(connection.Db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

namespace {
void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}
} // namespace

AddOutcome SqliteStore::AddGame(const ScoreEntry& entry, const VerifiedGame& game) {
    std::string packed = CompressScript(game.Script);
    Lease connection(*this);
    Connection::Use use((*connection)[InsertGame]);
    BindText(use.S, 1, entry.Board);
    BindText(use.S, 2, entry.Name);
    sqlite3_bind_int64(use.S, 3, entry.Level);
    sqlite3_bind_int64(use.S, 4, entry.Score);
    BindText(use.S, 5, entry.Date);
    BindText(use.S, 6, game.Hash);
    BindText(use.S, 7, game.ReplayEnd);
    sqlite3_bind_int64(use.S, 8, game.Frames);
    sqlite3_bind_blob(use.S, 9, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(use.S, 10, entry.Rules);
    if (!game.TicketHash.empty()) BindText(use.S, 11, game.TicketHash); // else NULL: games of old builds
    if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "insert game");
    return sqlite3_changes(connection->Db) == 1 ? AddOutcome::Added : AddOutcome::Known;
}

namespace {
std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

std::vector<ScoreEntry> ReadRows(sqlite3_stmt* statement, const std::string& board, int& step) {
    std::vector<ScoreEntry> rows;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        ScoreEntry row;
        row.Board = board;
        row.Name = ColumnText(statement, 0);
        row.Level = sqlite3_column_int64(statement, 1);
        row.Score = sqlite3_column_int64(statement, 2);
        row.Date = ColumnText(statement, 3);
        row.GameHash = ColumnText(statement, 4);
        row.Frames = sqlite3_column_int64(statement, 5);
        row.Rules = sqlite3_column_int(statement, 6);
        row.Uploaded = sqlite3_column_int64(statement, 7); // the server's own time of the upload
        rows.push_back(std::move(row));
    }
    return rows;
}
} // namespace

int SqliteStore::PruneBoard(const std::string& board, int rules, int keepRows) {
    Lease connection(*this);
    Connection::Use use((*connection)[Prune]);
    BindText(use.S, 1, board);
    sqlite3_bind_int(use.S, 2, rules);
    sqlite3_bind_int(use.S, 3, keepRows);
    if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "prune board");
    return sqlite3_changes(connection->Db);
}

std::optional<KnownGame> SqliteStore::FindGame(const std::string& hash) {
    Lease connection(*this);
    Connection::Use use((*connection)[LookUpGame]);
    BindText(use.S, 1, hash);
    int step = sqlite3_step(use.S);
    if (step == SQLITE_DONE) return std::nullopt;
    if (step != SQLITE_ROW) Fail(connection->Db, "find game");
    return KnownGame{ColumnText(use.S, 0), ColumnText(use.S, 1), ColumnText(use.S, 2)};
}

std::optional<std::string> SqliteStore::TicketGame(const std::string& ticketHash) {
    Lease connection(*this);
    Connection::Use use((*connection)[LookUpTicket]);
    BindText(use.S, 1, ticketHash);
    int step = sqlite3_step(use.S);
    if (step == SQLITE_DONE) return std::nullopt;
    if (step != SQLITE_ROW) Fail(connection->Db, "find ticket");
    return ColumnText(use.S, 0);
}

bool SqliteStore::RenameGame(const std::string& hash, const std::string& ticketHash, const std::string& name) {
    Lease connection(*this);
    Connection::Use use((*connection)[Rename]);
    BindText(use.S, 1, hash);
    BindText(use.S, 2, ticketHash);
    BindText(use.S, 3, name);
    if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "rename game");
    return sqlite3_changes(connection->Db) == 1;
}

std::optional<std::string> SqliteStore::GameScript(const std::string& hash) {
    Lease connection(*this);
    Connection::Use use((*connection)[ReadGame]);
    BindText(use.S, 1, hash);
    int step = sqlite3_step(use.S);
    if (step == SQLITE_DONE) return std::nullopt;
    if (step != SQLITE_ROW) Fail(connection->Db, "read game");
    const char* bytes = static_cast<const char*>(sqlite3_column_blob(use.S, 0));
    return ExpandScript(std::string_view(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(use.S, 0))));
}

std::vector<ScoreEntry> SqliteStore::TopScores(const std::string& board, int count) {
    Lease connection(*this);
    Connection::Use use((*connection)[Top]);
    BindText(use.S, 1, board);
    sqlite3_bind_int(use.S, 2, count);
    sqlite3_bind_int(use.S, 3, RulesVersion);
    int step;
    std::vector<ScoreEntry> rows = ReadRows(use.S, board, step);
    if (step != SQLITE_DONE) Fail(connection->Db, "top scores");
    return rows;
}

std::vector<ScoreEntry> SqliteStore::ArchivedScores(const std::string& board, int count) {
    Lease connection(*this);
    Connection::Use use((*connection)[Archived]);
    BindText(use.S, 1, board);
    sqlite3_bind_int(use.S, 2, count);
    sqlite3_bind_int(use.S, 3, RulesVersion);
    int step;
    std::vector<ScoreEntry> rows = ReadRows(use.S, board, step);
    if (step != SQLITE_DONE) Fail(connection->Db, "archived scores");
    return rows;
}

std::string SqliteStore::ServerSecret(const std::string& fresh) {
    Lease connection(*this);
    {
        Connection::Use use((*connection)[KeepSecret]);
        BindText(use.S, 1, fresh);
        if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "keep secret");
    }
    Connection::Use use((*connection)[ReadSecret]);
    if (sqlite3_step(use.S) != SQLITE_ROW) Fail(connection->Db, "read secret");
    return ColumnText(use.S, 0);
}

std::vector<VersionEntry> SqliteStore::Versions(int count) {
    Lease connection(*this);
    Connection::Use use((*connection)[ListVersions]);
    sqlite3_bind_int(use.S, 1, count);
    std::vector<VersionEntry> rows;
    int step;
    while ((step = sqlite3_step(use.S)) == SQLITE_ROW)
        rows.push_back({reinterpret_cast<const char*>(sqlite3_column_text(use.S, 0)),
                        reinterpret_cast<const char*>(sqlite3_column_text(use.S, 1))});
    if (step != SQLITE_DONE) Fail(connection->Db, "versions");
    return rows;
}

void SqliteStore::SetVersion(const std::string& product, const std::string& version) {
    Lease connection(*this);
    Connection::Use use((*connection)[PutVersion]);
    sqlite3_bind_text(use.S, 1, product.data(), static_cast<int>(product.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(use.S, 2, version.data(), static_cast<int>(version.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "set version");
}

int SqliteStore::SchemaVersion() {
    Lease connection(*this);
    sqlite3_stmt* statement = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(connection->Db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return version;
}

} // namespace ScoreServer

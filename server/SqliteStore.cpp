// The SQLite back end. An upload is one INSERT that the unique keys turn into nothing for a known game; the
// write-ahead log with synchronous=FULL makes a commit durable before the reply is sent.
#include "server/SqliteStore.h"
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
    "INSERT INTO versions(product, version) VALUES('kestrovar', '1.2');",
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
};

enum Statement { InsertGame, FindGame, ReadGame, Top, ListVersions, PutVersion };
const char* const StatementTexts[] = {
    // One statement: a game already on the board (by either key) adds nothing, without a read before the write.
    "INSERT INTO scores(board, name, level, score, date, game_hash, replay_end, frames, game)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9) ON CONFLICT DO NOTHING",
    "SELECT 1 FROM scores WHERE game_hash = ?1",
    "SELECT game FROM scores WHERE game_hash = ?1",
    SqliteStore::TopScoresSql,
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
    if (sqlite3_step(use.S) != SQLITE_DONE) Fail(connection->Db, "insert game");
    return sqlite3_changes(connection->Db) == 1 ? AddOutcome::Added : AddOutcome::Known;
}

bool SqliteStore::HasGame(const std::string& hash) {
    Lease connection(*this);
    Connection::Use use((*connection)[FindGame]);
    BindText(use.S, 1, hash);
    int step = sqlite3_step(use.S);
    if (step != SQLITE_ROW && step != SQLITE_DONE) Fail(connection->Db, "find game");
    return step == SQLITE_ROW;
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
    sqlite3_bind_text(use.S, 1, board.data(), static_cast<int>(board.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(use.S, 2, count);
    std::vector<ScoreEntry> rows;
    int step;
    while ((step = sqlite3_step(use.S)) == SQLITE_ROW) {
        ScoreEntry row;
        row.Board = board;
        row.Name = reinterpret_cast<const char*>(sqlite3_column_text(use.S, 0));
        row.Level = sqlite3_column_int64(use.S, 1);
        row.Score = sqlite3_column_int64(use.S, 2);
        row.Date = reinterpret_cast<const char*>(sqlite3_column_text(use.S, 3));
        row.GameHash = reinterpret_cast<const char*>(sqlite3_column_text(use.S, 4));
        row.Frames = sqlite3_column_int64(use.S, 5);
        row.Uploaded = sqlite3_column_int64(use.S, 6); // the server's own time of the upload
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) Fail(connection->Db, "top scores");
    return rows;
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

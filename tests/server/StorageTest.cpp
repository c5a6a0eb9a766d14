// Storage on both back ends: an old database migrated at start-up, a game one row however it comes, the top ten
// read straight off its index, and no acknowledged upload lost when the server is killed in the middle of a burst.
#include "ServerTestSupport.h"
#include "server/PostgresStore.h"
#include "server/SqliteStore.h"
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <mutex>
#include <set>
#include <sqlite3.h>
#include <thread>

using namespace ScoreServer;
using namespace ServerTests;

namespace {
class StorageTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        std::string skip;
        Location = FreshLocation(GetParam(), Folder, skip);
        if (Location.empty()) GTEST_SKIP() << skip;
    }
    bool OnSqlite() const { return GetParam() == "sqlite"; }
    // Runs SQL straight on the database, as an older server or an administrator would; returns the text of the
    // first column of every row.
    std::vector<std::string> RawSql(const std::string& sql) {
        std::vector<std::string> rows;
        if (OnSqlite()) {
            sqlite3* db = nullptr;
            sqlite3_open(Location.c_str(), &db);
            sqlite3_exec(
                db, sql.c_str(),
                [](void* out, int, char** values, char**) {
                    static_cast<std::vector<std::string>*>(out)->push_back(values[0] ? values[0] : "");
                    return 0;
                },
                &rows, nullptr);
            sqlite3_close(db);
        } else {
            PGconn* conn = PQconnectdb(Location.c_str());
            PGresult* result = PQexec(conn, sql.c_str());
            for (int i = 0; i < PQntuples(result); ++i) rows.push_back(PQgetvalue(result, i, 0));
            PQclear(result);
            PQfinish(conn);
        }
        return rows;
    }
    TempFolder Folder;
    std::string Location;
};

TEST_P(StorageTest, MigratesADatabaseOfTheFirstSchema) {
    if (OnSqlite())
        RawSql("CREATE TABLE scores(id INTEGER PRIMARY KEY, board TEXT NOT NULL, name TEXT NOT NULL,"
               " level INTEGER NOT NULL, score INTEGER NOT NULL, date TEXT NOT NULL,"
               " created_at INTEGER NOT NULL DEFAULT (strftime('%s','now')));"
               "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
               "CREATE TABLE versions(product TEXT PRIMARY KEY, version TEXT NOT NULL);"
               "INSERT INTO versions VALUES('kestrovar', '1.2');"
               "INSERT INTO scores VALUES(1, '', 'old', 2, 4000, '01 Jan 2026', 0);"
               "PRAGMA user_version=1;");
    else
        RawSql("CREATE TABLE scores(id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, board TEXT NOT NULL,"
               " name TEXT NOT NULL, level BIGINT NOT NULL, score BIGINT NOT NULL, date TEXT NOT NULL,"
               " created_at TIMESTAMPTZ NOT NULL DEFAULT now());"
               "CREATE INDEX scores_board_rank ON scores(board, score DESC, id);"
               "CREATE TABLE versions(product TEXT PRIMARY KEY, version TEXT NOT NULL);"
               "INSERT INTO versions VALUES('kestrovar', '1.2');"
               "INSERT INTO scores(board, name, level, score, date) VALUES('', 'old', 2, 4000, '01 Jan 2026');"
               "CREATE TABLE schema_version(version INTEGER NOT NULL); INSERT INTO schema_version VALUES(1);");
    auto store = OpenScoreStore(Location);
    EXPECT_EQ(store->SchemaVersion(), CurrentSchemaVersion);
    // The old rows were claims nobody checked: set aside, never shown.
    EXPECT_TRUE(store->TopScores("", 10).empty());
    EXPECT_EQ(RawSql("SELECT name FROM scores_unverified"), std::vector<std::string>{"old"});
    // Builds before tickets are told a new version is out; the secret first kept is the board's for good.
    EXPECT_EQ(store->Versions(1)[0].Version, "1.3");
    EXPECT_EQ(store->ServerSecret("first"), "first");
    EXPECT_EQ(store->ServerSecret("second"), "first");

    const TestGame& game = FirstGame();
    const std::string closing = "end=game-over frame=3893 score=5060";
    EXPECT_EQ(store->AddGame({"", "new", 3, 5060, "02 Jan 2026", {}, 0}, {game.Hash, game.Script, closing, 3893}),
              AddOutcome::Added);
    // The same script again, and another script that plays the same game, add nothing.
    EXPECT_EQ(
        store->AddGame({"", "again", 3, 5060, "02 Jan 2026", {}, 0}, {game.Hash, game.Script, closing + "x", 3893}),
        AddOutcome::Known);
    EXPECT_EQ(store->AddGame({"", "again", 3, 5060, "02 Jan 2026", {}, 0}, {std::string(64, 'a'), "x", closing, 3893}),
              AddOutcome::Known);
    ASSERT_EQ(store->TopScores("", 10).size(), 1u);
    // A listing names the game behind each row and its length, for watching it.
    EXPECT_EQ(store->TopScores("", 10)[0].GameHash, game.Hash);
    EXPECT_EQ(store->TopScores("", 10)[0].Frames, 3893);
    EXPECT_EQ(store->FindGame(game.Hash)->Name, "new");
    EXPECT_EQ(store->GameScript(game.Hash), game.Script);
    // Kept compressed: the script in well under half its size.
    EXPECT_LT(
        std::stoul(RawSql(OnSqlite() ? "SELECT length(game) FROM scores" : "SELECT octet_length(game) FROM scores")[0]),
        game.Script.size() / 2);
    store.reset();
    auto reopened = OpenScoreStore(Location);
    EXPECT_EQ(reopened->SchemaVersion(), CurrentSchemaVersion); // a second start changes nothing
    EXPECT_EQ(reopened->ServerSecret("third"), "first");
}

TEST_P(StorageTest, TheTopTenIsOneWalkDownAnIndex) {
    auto store = OpenScoreStore(Location);
    std::string plan;
    if (OnSqlite()) {
        sqlite3* db = nullptr;
        sqlite3_open(Location.c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, (std::string("EXPLAIN QUERY PLAN ") + SqliteStore::TopScoresSql).c_str(), -1, &statement,
                           nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            plan += reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)) + std::string("\n"); // detail
        sqlite3_finalize(statement);
        sqlite3_close(db);
        EXPECT_NE(plan.find("USING INDEX scores_board_rank"), std::string::npos) << plan;
        EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
    } else {
        // With few rows the planner would rather scan the table; forbid that to see whether the index serves the
        // order.
        for (const std::string& row :
             RawSql(std::string("SET enable_seqscan = off; SET enable_bitmapscan = off; PREPARE top AS ") +
                    PostgresStore::TopScoresSql + "; EXPLAIN EXECUTE top('', 10, 1)"))
            plan += row + "\n";
        EXPECT_NE(plan.find("Index Scan using scores_board_rank"), std::string::npos) << plan;
        EXPECT_EQ(plan.find("Sort"), std::string::npos) << plan;
    }
}

TEST_P(StorageTest, ABoardKeepsItsTopRowsAndEachNamesBest) {
    auto store = OpenScoreStore(Location);
    int added = 0;
    auto add = [&](const std::string& board, const std::string& name, std::int64_t score) {
        std::string n = std::to_string(++added);
        store->AddGame({board, name, 1, score, "08 Dec 2026", {}, 0},
                       {std::string(63, 'a') + n.substr(n.size() - 1), "seed 1\n", "end " + n, 60});
    };
    for (auto [name, score] : {std::pair{"ada", 100}, {"bob", 90}, {"ada", 80}, {"cy", 70}, {"bob", 60}})
        add("", name, score);
    add("other", "ada", 10);
    add("other", "ada", 5);
    // The best two stay, and each name's best below them; a name's lesser games past the top go.
    EXPECT_EQ(store->PruneBoard("", RulesVersion, 2), 2);
    std::vector<std::string> kept;
    for (const ScoreEntry& row : store->TopScores("", 10)) kept.push_back(row.Name + " " + std::to_string(row.Score));
    EXPECT_EQ(kept, (std::vector<std::string>{"ada 100", "bob 90", "cy 70"}));
    EXPECT_EQ(store->TopScores("other", 10).size(), 2u); // another board is its own
}

TEST_P(StorageTest, ManyRequestsAtOnceShareTheServersFewConnections) {
    if (OnSqlite()) GTEST_SKIP() << "an SQLite file has no connection limit to keep";
    constexpr int MaxConnections = 2, Threads = 8, Reads = 20;
    auto store = OpenScoreStore(Location, MaxConnections);
    std::atomic<int> answered = 0;
    std::vector<std::thread> readers;
    for (int t = 0; t < Threads; ++t)
        readers.emplace_back([&] {
            for (int i = 0; i < Reads; ++i) answered += store->TopScores("", 10).empty();
        });
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(answered, Threads * Reads);
    // The pool keeps its connections open: what the database sees now is every connection the store made.
    auto open = RawSql("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database()"
                       " AND pid <> pg_backend_pid()");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_LE(std::stoi(open[0]), MaxConnections);
}

TEST_P(StorageTest, KillNineLosesNoAcknowledgedUpload) {
    constexpr int Senders = 4, Games = 48;
    std::vector<TestGame> games;
    {
        auto board = OpenScoreStore(Location);
        for (const TestGame& game : CutGames(Games)) games.push_back(Ticketed(*board, game, NowSeconds() - 600));
    }
    std::set<std::string> acknowledged;
    std::mutex mutex;
    {
        ServerProcess server(Location, Folder.Path() + "/server.log", {"--rate-limit", "0"});
        ASSERT_GT(server.Port(), 0) << server.Log();
        std::atomic<bool> stop = false;
        std::vector<std::thread> senders;
        for (int s = 0; s < Senders; ++s)
            senders.emplace_back([&, s] {
                for (int i = s; !stop && i < Games; i += Senders) {
                    std::string name = "d" + std::to_string(i);
                    const TestGame& game = games[static_cast<std::size_t>(i)];
                    HttpResult result = HttpPost(
                        server.Port(),
                        "/Kestrovar_scores.php?" + UploadQuery(name, game.Level, game.Score, game.Script), game.Script);
                    if (result.Status == 0) return; // the server is gone
                    std::lock_guard lock(mutex);
                    if (result.Status == 200) acknowledged.insert(name);
                }
            });
        // Kill it once a good number of uploads has been answered, with more on their way.
        constexpr std::size_t EnoughAnswered = 16;
        constexpr int GiveUpMs = 20'000;
        for (int waited = 0; waited < GiveUpMs; waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::lock_guard lock(mutex);
            if (acknowledged.size() >= EnoughAnswered) break;
        }
        server.Signal(SIGKILL);
        EXPECT_EQ(server.Wait(), 128 + SIGKILL);
        stop = true;
        for (std::thread& sender : senders) sender.join();
        EXPECT_GE(acknowledged.size(), EnoughAnswered) << server.Log();
        EXPECT_LT(acknowledged.size(), static_cast<std::size_t>(Games)) << "killed after the last upload";
    }
    std::set<std::string> stored;
    for (const ScoreEntry& entry : OpenScoreStore(Location)->TopScores("", 1'000'000)) stored.insert(entry.Name);
    for (const std::string& name : acknowledged) EXPECT_TRUE(stored.count(name)) << name << " was lost";
}

INSTANTIATE_TEST_SUITE_P(Backends, StorageTest, testing::Values("sqlite", "postgresql"),
                         [](const auto& param) { return param.param; });
} // namespace

// The score server's storage: the interface both back ends (SQLite, PostgreSQL) keep, and the one routine that
// picks a back end from a database location.
#pragma once
#include "game/replay/ReplayScript.h"
#include <cstdint>
#include <memory>
#include <optional>
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
    // As a listing reads them: the game behind the row (its hash, empty for none) and its length in frames.
    std::string GameHash;
    std::int64_t Frames = 0;
    int Rules = RulesVersion;  // the rules it was played under: rows of older rules are the archived board
    std::int64_t Uploaded = 0; // when the server took the game, in seconds since 1970 (UTC); 0 when it did not keep it
};

struct VersionEntry {
    std::string Product;
    std::string Version;
};

// The game behind a row: the script as uploaded and what playing it again gave.
struct VerifiedGame {
    std::string Hash;      // SHA-256 of the script, lowercase hex
    std::string Script;    // as uploaded; stored compressed
    std::string ReplayEnd; // the replay's closing line: two scripts that play the same game end on the same line
    std::int64_t Frames = 0;
    std::string TicketHash = {}; // SHA-256 of the ticket that seeded it (never the ticket itself); empty for none
};

// A game the board has, as an upload of it is answered: under which name, and whose ticket it was.
struct KnownGame {
    std::string Name;
    std::string Board;
    std::string TicketHash;
};

// Known: the board already has this game (by its script's hash or by the game it plays); nothing was added.
enum class AddOutcome { Added, Known };

// Storage failures (a lost connection, a full disk) reach the request handler as this, which answers 503.
struct StoreError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every member is safe to call from several request threads at once.
class ScoreStore {
  public:
    virtual ~ScoreStore() = default;
    // Adds a verified game's row; the database's unique keys make the same game one row, whichever server (or
    // however many at once) adds it.
    virtual AddOutcome AddGame(const ScoreEntry& entry, const VerifiedGame& game) = 0;
    virtual std::optional<KnownGame> FindGame(const std::string& hash) = 0;
    // Keeps the board bounded: of one board's rows under one rules version, those past the best `keepRows` go,
    // except each name's best. Returns how many went.
    virtual int PruneBoard(const std::string& board, int rules, int keepRows) = 0;
    // The game seeded by this ticket (by the ticket's hash), when the board has one.
    virtual std::optional<std::string> TicketGame(const std::string& ticketHash) = 0;
    // Gives the row of this game and ticket another name; false when there is no such row or it has that name.
    virtual bool RenameGame(const std::string& hash, const std::string& ticketHash, const std::string& name) = 0;
    // The stored script of a game, expanded; nothing when the board has no such game.
    virtual std::optional<std::string> GameScript(const std::string& hash) = 0;
    // The best scores of one board under the rules this build plays, best first; equal scores in the order they
    // arrived.
    virtual std::vector<ScoreEntry> TopScores(const std::string& board, int count) = 0;
    // The board's games of older rules, which this build no longer plays: newest rules first, then best first.
    virtual std::vector<ScoreEntry> ArchivedScores(const std::string& board, int count) = 0;
    // The server's secret that tickets are made with: the one kept, or `fresh` when none is kept yet (then kept),
    // so that every server sharing a board makes and reads the same tickets.
    virtual std::string ServerSecret(const std::string& fresh) = 0;
    virtual std::vector<VersionEntry> Versions(int count) = 0;
    virtual void SetVersion(const std::string& product, const std::string& version) = 0;
    virtual int SchemaVersion() = 0;
};

// The schema this build writes; start-up migrates older databases up to it.
constexpr int CurrentSchemaVersion = 4;

// "postgresql://..." or "postgres://..." opens PostgreSQL through libpq, with at most maxConnections to it;
// anything else is an SQLite file path.
constexpr int DefaultDatabaseConnections = 8;
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location,
                                           int maxConnections = DefaultDatabaseConnections);
bool IsPostgresLocation(const std::string& location);

// $XDG_DATA_HOME/kestrovar/scores.sqlite, else ~/.local/share/kestrovar/scores.sqlite (folders made as needed).
std::string DefaultDatabasePath();

} // namespace ScoreServer

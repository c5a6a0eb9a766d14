// What the score server's tests share: temporary folders, a PostgreSQL server of their own, signed queries, real
// games to upload, the server binary run as a child process, and HTTP GET and POST.
#pragma once
#include "server/ScoreStore.h"
#include "server/VerifierPool.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ServerTests {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return Folder; }

  private:
    std::string Folder;
};

// A PostgreSQL server started in a temporary folder for this test process, listening on a socket in that folder
// only, stopped when the process ends. Run as "nobody" when the tests run as root (initdb refuses root).
class PostgresCluster {
  public:
    // Nothing when PostgreSQL cannot be started here; WhyNot() then says why.
    static PostgresCluster* Shared();
    static const std::string& WhyNot();
    // A fresh, empty database; each call drops and recreates it.
    std::string FreshDatabase();
    // Stops the server (fast: its connections are cut), and starts it again on the same data.
    bool Stop();
    bool Start();
    ~PostgresCluster();

  private:
    PostgresCluster() = default;
    bool Create(std::string& error);
    std::string Folder, BinDir, RunAs;
    bool Started = false;
};

// Whether `holds` comes true within a generous bound (a minute), asked every 20 ms: for what a check on a busy
// machine brings about after its upload was answered.
bool Eventually(const std::function<bool()>& holds);

// A file's whole text; empty when it can't be read.
std::string FileText(const std::string& path);

std::int64_t NowSeconds();
std::string RandomNonce();
// The query as the network component sends it: ts, nonce and sig appended.
std::string Signed(const std::string& query, const std::string& script = "Kestrovar_scores.php",
                   std::int64_t stamp = NowSeconds(), const std::string& nonce = RandomNonce(),
                   const std::string& key = "");

// A game to upload: its script and what playing it gives.
struct TestGame {
    std::string Script;
    std::string Hash; // its id
    std::int64_t Score = 0, Level = 0;
    std::string Stored = {}; // the script as the board keeps it and getgame gives it
};
// tests/replay/FirstGame.txt: a bot game that ends at game over with 5060 points at level 3.
const TestGame& FirstGame();
constexpr std::int64_t FirstGameScore = 5060, FirstGameLevel = 3;
// Distinct games: the first game cut short at different frames (each ends "script-ended" with its own score).
const std::vector<TestGame>& CutGames(int count);
// The script with a "ticket T" line after its seed line, as the game keeps a game it played with a ticket.
std::string WithTicketLine(const std::string& script, const std::string& ticket);
// The game as a player of this board keeps it: with a ticket for its seed, made with the board's secret (read from
// the store, or made and kept there, as the server does) and dealt at issuedAt. Its Hash stays the game's id.
TestGame Ticketed(ScoreServer::ScoreStore& store, const TestGame& game, std::int64_t issuedAt);
// The same for a board at a database location (opened for the moment, before or beside the server using it).
TestGame Ticketed(const std::string& location, const TestGame& game, std::int64_t issuedAt);
// The checker the tests' servers use (the real kestrovar-verify), and a stand-in: a shell script of our own.
ScoreServer::VerifierSettings RealVerifier();
std::string FakeVerifier(const TempFolder& folder, const std::string& name, const std::string& shellLines);
// The upload's query as the game builds it, with the game's hash appended as the component appends it (unsigned).
std::string UploadQuery(const std::string& name, std::int64_t level, std::int64_t score, const std::string& script,
                        const std::string& date = "08%20Dec%202026");

// A database location for the back end named "sqlite" or "postgresql" (empty, with a skip reason, when the
// back end is not available here).
std::string FreshLocation(const std::string& backend, const TempFolder& folder, std::string& skipReason);

// kestrovar-scores as a child process on a free port; its standard error is kept in a file for the tests to read.
class ServerProcess {
  public:
    // patient: uploads wait a minute for their checks (the tests' default); otherwise the server's own wait.
    // launcher: a command that starts the server in its place (setpriv, as a service manager would), if any.
    ServerProcess(const std::string& database, const std::string& logFile, const std::vector<std::string>& extra,
                  const std::string& dataHome = "", bool patient = true, const std::vector<std::string>& launcher = {});
    ~ServerProcess();
    int Port() const { return BoundPort; }
    pid_t Pid() const { return Child; }
    void Signal(int signal);
    int Wait(); // exit status, or 128 + signal (-1 when never started)
    std::string Log() const;

  private:
    pid_t Child = -1;
    int BoundPort = -1;
    int Ended = -1; // how it ended, when it ended before it listened
    std::string LogFile;
};

struct HttpResult {
    int Status = 0; // 0: no reply (connection refused or cut)
    std::string Body;
};
HttpResult HttpGet(int port, const std::string& target);
HttpResult HttpPost(int port, const std::string& target, const std::string& body);
// A GET or POST on a connection of its own from the given loopback address (another address than the tests'
// others, so that the server's per-address limits do not count it with them); no reply within timeoutMs is Status 0.
HttpResult HttpGetFrom(const std::string& source, int port, const std::string& target, int timeoutMs);
HttpResult HttpPostFrom(const std::string& source, int port, const std::string& target, const std::string& body,
                        int timeoutMs);
// The request's text as given, sent whole, and the reply read to the end.
HttpResult HttpRequestFrom(const std::string& source, int port, const std::string& request, int timeoutMs);

} // namespace ServerTests

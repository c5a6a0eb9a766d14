// What the score server's tests share: temporary folders, a PostgreSQL server of their own, signed queries, the
// server binary run as a child process, and an HTTP GET.
#pragma once
#include "server/ScoreStore.h"
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

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

std::int64_t NowSeconds();
std::string RandomNonce();
// The query as the network component sends it: ts, nonce and sig appended.
std::string Signed(const std::string& query, const std::string& script = "Kestrovar_scores.php",
                   std::int64_t stamp = NowSeconds(), const std::string& nonce = RandomNonce(),
                   const std::string& key = "");

// A database location for the back end named "sqlite" or "postgresql" (empty, with a skip reason, when the
// back end is not available here).
std::string FreshLocation(const std::string& backend, const TempFolder& folder, std::string& skipReason);

// kestrovar-scores as a child process on a free port; its standard error is kept in a file for the tests to read.
class ServerProcess {
  public:
    ServerProcess(const std::string& database, const std::string& logFile, std::initializer_list<std::string> extra,
                  const std::string& dataHome = "");
    ~ServerProcess();
    int Port() const { return BoundPort; }
    void Signal(int signal);
    int Wait(); // exit status, or 128 + signal
    std::string Log() const;

  private:
    pid_t Child = -1;
    int BoundPort = -1;
    std::string LogFile;
};

struct HttpResult {
    int Status = 0; // 0: no reply (connection refused or cut)
    std::string Body;
};
HttpResult HttpGet(int port, const std::string& target);
// A GET on a connection of its own from the given loopback address (another address than the tests' others, so
// that the server's per-address limits do not count it with them); no reply within timeoutMs is Status 0.
HttpResult HttpGetFrom(const std::string& source, int port, const std::string& target, int timeoutMs);

} // namespace ServerTests

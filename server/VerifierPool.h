// The replay checks: a bounded queue of uploaded scripts and a few threads that each hand one at a time to a worker
// process (kestrovar-verify) and read its verdict. Game code never runs in the server's own threads: a worker that
// crashes or runs over its time is a refusal, not an outage.
#pragma once
#include "core/ScoreProtocol.h"
#include "server/CheckQueue.h"
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ScoreServer {

struct VerifierSettings {
    std::string WorkerPath;      // empty: no checks, every upload refused
    int Workers = 0;             // checks at once; 0: one per processor core
    std::size_t QueueLimit = 64; // checks waiting for a worker
    std::size_t PerAddress = 4;  // checks one client prefix may have waiting or running
    // A worker still running after this long is killed: wall-clock time, less what it spent waiting for a
    // processor (checks run in the idle class, after everything else on the machine).
    double DeadlineSeconds = 20;
    // The worker's own processor-time limit, and the longest game checked.
    int CpuSeconds = ScoreProtocol::CheckProcessorSeconds;
    int MaxFrames = ScoreProtocol::MostCheckedFrames;
    CheckCost Cost;                      // what each client prefix may have checked a minute, in frames
    long long UserId = -1, GroupId = -1; // the check user, when it is not the server's; -1: as the server's
};

// What a check found.
struct ReplayVerdict {
    bool Played = false;     // the worker played the script to its end
    std::string Refusal;     // otherwise why not
    std::string Ending;      // game-over, game-left or script-ended
    std::string ClosingLine; // the worker's whole closing line
    std::int64_t Frames = 0, Score = 0, Level = 0;
};

// Runs one worker on one script, waiting at most the deadline; safe from any thread.
ReplayVerdict RunVerifier(const VerifierSettings& settings, const std::string& script);
// Whether the worker can fence itself in as for a check (its user, with no capability left, its limits and its
// system-call filter, which must end it when it tries a socket): empty when it can, else why not. Run once at the
// server's start.
std::string ProbeFence(const VerifierSettings& settings);

class VerifierPool {
  public:
    using Done = std::function<void(const ReplayVerdict&, const std::string& script)>;
    explicit VerifierPool(VerifierSettings settings);
    // Stops taking checks, kills none: the checks already running finish, the waiting ones are dropped.
    ~VerifierPool();
    VerifierPool(const VerifierPool&) = delete;
    VerifierPool& operator=(const VerifierPool&) = delete;
    // Queues a check, charged the frames it may play to the client's prefix; `done` runs on a pool thread once it
    // is over. False when the queue is full or the client's prefix already holds its share of it.
    bool Submit(std::string script, const std::string& address, Done done);
    bool Enabled() const { return !Settings.WorkerPath.empty(); }

  private:
    struct Job {
        std::string Script, Prefix;
        std::int64_t Charged = 0;
        Done Finished;
    };
    void Serve();

    VerifierSettings Settings;
    std::mutex Mutex;
    std::condition_variable Ready;
    CheckQueue Queue;
    std::map<std::uint64_t, Job> Waiting;
    std::uint64_t LastId = 0;
    bool Stopping = false;
    std::vector<std::thread> Threads;
};

} // namespace ScoreServer

// The order replay checks are run in, fair by cost: a check is charged the frames it plays, each client prefix has a
// bucket of frames that refills by the minute, and the prefixes with checks waiting are served in turn. A party with
// many addresses in one prefix, or many hour-long games, gets its share of the checkers and no more.
#pragma once
#include "core/ScoreProtocol.h"
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace ScoreServer {

struct CheckCost {
    double FramesPerMinute =
        ScoreProtocol::MostCheckedFrames;                   // what a prefix's bucket gains a minute: the longest game
    double BucketFrames = ScoreProtocol::MostCheckedFrames; // what it holds when full
};

class CheckQueue {
  public:
    CheckQueue(CheckCost cost, std::size_t limit, std::size_t perPrefix);
    // Queues a check costing `frames`; false when the queue is full or the prefix holds its share of it (waiting or
    // running). now: seconds on a steady clock.
    bool Push(std::uint64_t id, const std::string& prefix, std::int64_t frames, double now);
    // The next check to run: the next prefix in turn whose first check its bucket pays for. A check larger than what
    // is left is still taken when the bucket is full, and its excess carries over as debt. Nothing when no check
    // may run yet; `wakeAt` then says when one may (infinity when none waits).
    std::optional<std::uint64_t> Next(double now, double& wakeAt);
    // A check taken by Next is over: `played` is what it played (less than charged for a game that ended early,
    // which the bucket gets back), and its place in the prefix's share is free again.
    void Finished(const std::string& prefix, std::int64_t charged, std::int64_t played, double now);
    std::size_t Waiting() const { return Count; }

  private:
    struct Check {
        std::uint64_t Id;
        std::int64_t Frames;
    };
    struct Party {
        std::deque<Check> Queue;
        std::size_t Held = 0; // waiting or running
        double Frames = 0;    // in the bucket; below 0 is debt
        double Updated = 0;
    };
    Party& Refilled(const std::string& prefix, double now);
    bool MayRun(const Party& party, const Check& check) const;

    CheckCost Cost;
    std::size_t Limit, PerPrefix;
    std::size_t Count = 0;
    std::map<std::string, Party> Parties;
    std::string LastServed; // the turn goes to the next prefix after this one
    std::size_t PruneAt = 1024;
};

} // namespace ScoreServer

// Buckets refill continuously at their rate per minute, up to full; a prefix with nothing held and a full bucket is
// forgotten, as one that never came.
#include "server/CheckQueue.h"
#include <algorithm>
#include <limits>

namespace ScoreServer {

namespace {
constexpr double SecondsAMinute = 60;
}

CheckQueue::CheckQueue(CheckCost cost, std::size_t limit, std::size_t perPrefix)
    : Cost(cost), Limit(limit), PerPrefix(perPrefix) {}

CheckQueue::Party& CheckQueue::Refilled(const std::string& prefix, double now) {
    auto [found, added] = Parties.try_emplace(prefix);
    Party& party = found->second;
    if (added) {
        party.Frames = Cost.BucketFrames;
    } else if (now > party.Updated) {
        party.Frames =
            std::min(Cost.BucketFrames, party.Frames + (now - party.Updated) * Cost.FramesPerMinute / SecondsAMinute);
    }
    party.Updated = std::max(party.Updated, now);
    return party;
}

bool CheckQueue::MayRun(const Party& party, const Check& check) const {
    return party.Frames >= static_cast<double>(check.Frames) || party.Frames >= Cost.BucketFrames;
}

bool CheckQueue::Push(std::uint64_t id, const std::string& prefix, std::int64_t frames, double now) {
    if (Count >= Limit) return false;
    if (Parties.size() >= PruneAt) {
        // Prefixes still paying off a debt with nothing held: forgotten once their buckets are full again.
        for (auto it = Parties.begin(); it != Parties.end();) {
            Party& old = Refilled(it->first, now);
            it = old.Held == 0 && old.Frames >= Cost.BucketFrames ? Parties.erase(it) : std::next(it);
        }
        PruneAt = std::max(PruneAt, 2 * Parties.size());
    }
    Party& party = Refilled(prefix, now);
    if (party.Held >= PerPrefix) return false;
    party.Queue.push_back({id, std::max<std::int64_t>(frames, 0)});
    ++party.Held;
    ++Count;
    return true;
}

std::optional<std::uint64_t> CheckQueue::Next(double now, double& wakeAt) {
    wakeAt = std::numeric_limits<double>::infinity();
    if (Count == 0) return std::nullopt;
    // From the prefix after the last one served, round to it again.
    auto start = Parties.upper_bound(LastServed);
    for (std::size_t step = 0; step < Parties.size(); ++step, ++start) {
        if (start == Parties.end()) start = Parties.begin();
        if (start->second.Queue.empty()) continue;
        Party& party = Refilled(start->first, now);
        const Check& check = party.Queue.front();
        if (!MayRun(party, check)) {
            double missing = std::min(static_cast<double>(check.Frames), Cost.BucketFrames) - party.Frames;
            wakeAt = std::min(wakeAt, now + missing * SecondsAMinute / Cost.FramesPerMinute);
            continue;
        }
        std::uint64_t id = check.Id;
        party.Frames -= static_cast<double>(check.Frames);
        party.Queue.pop_front();
        --Count;
        LastServed = start->first;
        return id;
    }
    return std::nullopt;
}

void CheckQueue::Finished(const std::string& prefix, std::int64_t charged, std::int64_t played, double now) {
    auto found = Parties.find(prefix);
    if (found == Parties.end()) return;
    Party& party = Refilled(prefix, now);
    if (played >= 0 && played < charged) party.Frames = std::min(Cost.BucketFrames, party.Frames + (charged - played));
    if (party.Held > 0) --party.Held;
    if (party.Held == 0 && party.Frames >= Cost.BucketFrames) Parties.erase(found);
}

} // namespace ScoreServer

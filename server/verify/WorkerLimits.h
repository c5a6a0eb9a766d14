// The fences a replay-checking worker puts up around itself: the check user and no capability, processor time,
// memory, files, child processes, no new privileges and the network before it reads a byte of a player's script;
// then, once the script is read, a system-call allow-list; and the idle scheduling class, below the server's reads.
#pragma once
#include "core/ScoreProtocol.h"
#include <string>

namespace VerifyWorker {

struct Limits {
    // The kernel ends the worker past this much processor time.
    int CpuSeconds = ScoreProtocol::CheckProcessorSeconds;
    long long AddressSpaceBytes = 1LL << 30; // the game's lists stay far below; a runaway one meets this wall
    int MaxFrames = ScoreProtocol::MostCheckedFrames;
    std::size_t MaxEvents = ScoreProtocol::MostCheckedEvents;
    std::size_t MaxScriptBytes = ScoreProtocol::MostGameBytes;
    long long UserId = -1, GroupId = -1; // the check user, when it is not the server's; -1: stay who we are
};

// Applies the limits to this process. Returns what could not be applied of what a check requires (another user
// when asked, no capability left, processor time, address space, file size, descriptors, processes, no new
// privileges), empty when all took: a worker that cannot fence itself in refuses to check. The network namespace
// and the priority are best effort (the system-call filter refuses sockets anyway). `ranAs`: the user it became.
std::string FenceIn(const Limits& limits, long long& ranAs);
// The system-call allow-list, for what is left once the input is read: memory, the two pipes, and ending (a
// crash's own signal included). Anything else ends the worker with SIGSYS. Returns why it could not be loaded.
std::string AllowOnlyReplaySystemCalls();

} // namespace VerifyWorker

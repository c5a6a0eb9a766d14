// The fences a replay-checking worker puts up around itself: the check user and no capability, processor time,
// memory, files, child processes, no new privileges and the network before it reads a byte of a player's script;
// then, once the script is read, a system-call allow-list; and a lower priority than the server's reads.
#pragma once
#include <string>

namespace VerifyWorker {

struct Limits {
    int CpuSeconds = 10;                     // the kernel ends the worker past this much processor time
    long long AddressSpaceBytes = 1LL << 30; // the game's lists stay far below; a runaway one meets this wall
    int MaxFrames = 60 * 60 * 60;            // an hour of play at 60 frames a second
    std::size_t MaxEvents = 400'000;         // a hundred key changes a second for an hour of play
    std::size_t MaxScriptBytes = 1 << 20;    // a ten-minute game's script is well under this
    long long UserId = -1, GroupId = -1;     // the check user, when it is not the server's; -1: stay who we are
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

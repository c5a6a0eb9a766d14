// The fences a replay-checking worker puts up around itself before it reads a byte of a player's script: processor
// time, memory, files, child processes and the network; and a lower priority than the server's reads.
#pragma once
#include <string>

namespace VerifyWorker {

struct Limits {
    int CpuSeconds = 10;                     // the kernel ends the worker past this much processor time
    long long AddressSpaceBytes = 1LL << 30; // the game's lists stay far below; a runaway one meets this wall
    int MaxFrames = 60 * 60 * 60;            // an hour of play at 60 frames a second
    std::size_t MaxEvents = 400'000;         // a hundred key changes a second for an hour of play
    std::size_t MaxScriptBytes = 1 << 20;    // a ten-minute game's script is well under this
};

// Applies the limits to this process. Returns what could not be applied (best effort: the network namespace needs
// a privilege or user namespaces; the rest never fails on Linux), empty when everything took.
std::string FenceIn(const Limits& limits);

} // namespace VerifyWorker

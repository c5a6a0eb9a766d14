// The few capabilities a score server under its unit holds (to change user, for its checks only), read and dropped
// with the kernel's own calls: the server keeps them for starting checks, a check drops every one.
#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace Capabilities {

// One bit per capability, as /proc/self/status shows them.
struct Held {
    std::uint64_t Effective = 0, Permitted = 0, Inheritable = 0, Ambient = 0;
    bool None() const { return (Effective | Permitted | Inheritable | Ambient) == 0; }
};

// CAP_SETUID and CAP_SETGID: all a server needs to run its checks as another user.
std::uint64_t ForChecks();
Held Own();
// Every capability of this thread dropped, the ambient ones included; true when none is left.
bool DropAll();
// Only ForChecks() kept, permitted and ambient (so that a started checker has them) but not effective (the server
// itself never uses them); false, changing nothing, when this process does not hold both.
bool KeepOnlyForChecks();
// Sends `signal` to a process that has become `user`: a check user's processes answer only to that user, so a short
// child of ours becomes it (with the kept CAP_SETUID) to send it. Safe to call from any thread.
bool SignalAs(pid_t process, uid_t user, int signal);

} // namespace Capabilities

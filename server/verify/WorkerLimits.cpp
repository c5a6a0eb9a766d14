// The worker's own limits: setrlimit for processor time, address space, file sizes and descriptors, and a network
// namespace of its own where the kernel lets it have one.
#include "server/verify/WorkerLimits.h"
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace VerifyWorker {

namespace {
// AddressSanitizer reserves terabytes of address space for its shadow before main: under it (the sanitizer build's
// tests) an address-space limit would fail the worker's every allocation, so there it is left out.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UnderAddressSanitizer = true;
#else
constexpr bool UnderAddressSanitizer = false;
#endif
#else
constexpr bool UnderAddressSanitizer = false;
#endif

constexpr rlim_t FewDescriptors = 16;     // standard input, output and error, and what the C library opens
constexpr rlim_t FewFileBytes = 64 << 10; // the closing line and a note, should either land in a file
constexpr int CheckNiceness = 10;         // a check yields the processor to the server's reads

bool Cap(int resource, rlim_t value) {
    rlimit limit{value, value};
    return setrlimit(resource, &limit) == 0;
}
} // namespace

std::string FenceIn(const Limits& limits) {
    std::string missed;
    auto note = [&](const char* what) {
        missed += std::string(missed.empty() ? "" : ", ") + what + ": " + std::strerror(errno);
    };
    // The soft and hard limits alike, so that nothing the worker runs can raise them again.
    if (!Cap(RLIMIT_CPU, static_cast<rlim_t>(limits.CpuSeconds))) note("processor time");
    if (!UnderAddressSanitizer && !Cap(RLIMIT_AS, static_cast<rlim_t>(limits.AddressSpaceBytes))) note("address space");
    if (!Cap(RLIMIT_FSIZE, FewFileBytes)) note("file size"); // a replay writes no file of its own
    if (!Cap(RLIMIT_CORE, 0)) note("core dumps");
    if (!Cap(RLIMIT_NOFILE, FewDescriptors)) note("descriptors");
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) note("no new privileges");
    // A burst of checks must not slow the top ten the game reads: the server's threads go first.
    if (setpriority(PRIO_PROCESS, 0, CheckNiceness) != 0) note("priority");
    // The replay's set-up is offline already (no network component is loaded); a namespace with no interfaces
    // but loopback makes sure. A user namespace lets an unprivileged worker have one where the kernel allows it.
    if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) note("network namespace");
    // Children are the last thing a replay needs: none may be started.
    if (!Cap(RLIMIT_NPROC, 0)) note("processes");
    return missed;
}

} // namespace VerifyWorker

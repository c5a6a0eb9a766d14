// The worker's own limits: the user and no capability, setrlimit for processor time, address space, file sizes,
// descriptors and processes, no new privileges, a network namespace of its own where the kernel lets it have one, and
// libseccomp's allow-list.
#include "server/verify/WorkerLimits.h"
#include "server/verify/Capabilities.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

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
constexpr int LowestNiceness = 19;        // where the idle class is refused

bool Cap(int resource, rlim_t value) {
    rlimit limit{value, value};
    return setrlimit(resource, &limit) == 0;
}

// Root's processes are not held by RLIMIT_NPROC, and a server's own user owns its board: checks become another
// user first, for good, with no supplementary group. A root server's worker loses root's capabilities in setuid;
// one started with the unit's CAP_SETUID and CAP_SETGID keeps them through a change between two other users, so
// they are dropped here before anything else happens.
bool BecomeUser(long long user, long long group) {
    if (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(group)) != 0 || setuid(static_cast<uid_t>(user)) != 0)
        return false;
    Capabilities::DropAll();
    return getuid() == static_cast<uid_t>(user) && geteuid() == static_cast<uid_t>(user) &&
           getgid() == static_cast<gid_t>(group) && getgroups(0, nullptr) == 0 && setuid(0) != 0;
}
} // namespace

std::string FenceIn(const Limits& limits, long long& ranAs) {
    std::string missed;
    auto note = [&](const char* what) {
        missed += std::string(missed.empty() ? "" : ", ") + what + ": " + std::strerror(errno);
    };
    if (limits.UserId >= 0 && !BecomeUser(limits.UserId, limits.GroupId)) note("another user");
    ranAs = getuid(); // a user namespace of its own, below, shows the check another number for itself
    // The soft and hard limits alike, so that nothing the worker runs can raise them again.
    if (!Cap(RLIMIT_CPU, static_cast<rlim_t>(limits.CpuSeconds))) note("processor time");
    if (!UnderAddressSanitizer && !Cap(RLIMIT_AS, static_cast<rlim_t>(limits.AddressSpaceBytes))) note("address space");
    if (!Cap(RLIMIT_FSIZE, FewFileBytes)) note("file size"); // a replay writes no file of its own
    Cap(RLIMIT_CORE, 0);
    if (!Cap(RLIMIT_NOFILE, FewDescriptors)) note("descriptors");
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) note("no new privileges");
    // A burst of checks must not slow the top ten the game reads: a check runs on the processor time nothing else
    // wants, and any of the server's threads that wakes takes the processor from it at once. The server's deadline
    // does not count the time a check waits for a processor, so a busy machine delays a check but never fails it.
    sched_param idle{};
    if (sched_setscheduler(0, SCHED_IDLE, &idle) != 0) setpriority(PRIO_PROCESS, 0, LowestNiceness);
    // The worker's session, when the server started it in one of its own (never a caller's shell), takes the lowest
    // share where the kernel shares the processors out by sessions first.
    std::FILE* group = getsid(0) == getpid() ? std::fopen("/proc/self/autogroup", "w") : nullptr;
    if (group) {
        std::fprintf(group, "%d", LowestNiceness);
        std::fclose(group);
    }
    // The replay's set-up is offline already (no network component is loaded); a namespace with no interfaces
    // but loopback makes sure. A user namespace lets an unprivileged worker have one where the kernel allows it.
    if (unshare(CLONE_NEWNET) != 0) unshare(CLONE_NEWUSER | CLONE_NEWNET);
    // A new user namespace gives its first process every capability inside it: they go too.
    errno = EPERM;
    if (!Capabilities::DropAll()) note("no capability");
    // Children are the last thing a replay needs: none may be started.
    if (!Cap(RLIMIT_NPROC, 0)) note("processes");
    return missed;
}

std::string AllowOnlyReplaySystemCalls() {
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
    if (!filter) return "the system-call filter: no memory";
    int failed = 0;
    auto allow = [&](int call) { failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0); };
    // Memory, never executable: the game allocates as it plays.
    for (int call : {SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise)}) allow(call);
    for (int call : {SCMP_SYS(mmap), SCMP_SYS(mprotect)})
        failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1, SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    // The script's pipe, the closing line's, and the C library's look at them; threads' locks.
    for (int call : {SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(close), SCMP_SYS(fstat), SCMP_SYS(newfstatat),
                     SCMP_SYS(lseek), SCMP_SYS(futex), SCMP_SYS(clock_gettime)})
        allow(call);
    // The C library asks whether an output that is a device (a closing line sent to /dev/null) is a terminal:
    // the answer is "no", not the end of the check.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOTTY), SCMP_SYS(ioctl), 0);
    // Ending, and a crash ending by its own signal (abort raises it), so that the server names it.
    for (int call : {SCMP_SYS(exit), SCMP_SYS(exit_group), SCMP_SYS(rt_sigreturn), SCMP_SYS(rt_sigprocmask),
                     SCMP_SYS(rt_sigaction), SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(tgkill)})
        allow(call);
    // AddressSanitizer's runtime probes memory through a pipe of its own and looks at its limits and stacks: in the
    // sanitizer build (tests only) those calls are let through too.
    if (UnderAddressSanitizer)
        for (int call : {SCMP_SYS(pipe2), SCMP_SYS(pipe), SCMP_SYS(sched_yield), SCMP_SYS(prlimit64),
                         SCMP_SYS(getrlimit), SCMP_SYS(sigaltstack), SCMP_SYS(readlink), SCMP_SYS(openat),
                         SCMP_SYS(sched_getaffinity), SCMP_SYS(uname), SCMP_SYS(getrusage)})
            allow(call);
    if (!failed) failed = seccomp_load(filter);
    seccomp_release(filter);
    return failed ? std::string("the system-call filter: ") + std::strerror(-failed) : "";
}

} // namespace VerifyWorker

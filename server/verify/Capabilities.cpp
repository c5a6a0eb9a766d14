// capget, capset and the ambient set's prctl, called directly: the calls are three and the C library's wrappers
// (libcap) would be a dependency for that much.
#include "server/verify/Capabilities.h"
#include <csignal>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Capabilities {

namespace {
constexpr int LastCapability = 63; // the ambient set is asked one bit at a time, up to where the kernel says no

// The two 32-bit words of each set, as the version 3 calls take them.
struct Words {
    __user_cap_data_struct Data[_LINUX_CAPABILITY_U32S_3] = {};
};

bool Get(Words& words) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, words.Data) == 0;
}

bool Set(std::uint64_t effective, std::uint64_t permitted, std::uint64_t inheritable) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    Words words;
    for (int i = 0; i < _LINUX_CAPABILITY_U32S_3; ++i) {
        words.Data[i].effective = static_cast<std::uint32_t>(effective >> (32 * i));
        words.Data[i].permitted = static_cast<std::uint32_t>(permitted >> (32 * i));
        words.Data[i].inheritable = static_cast<std::uint32_t>(inheritable >> (32 * i));
    }
    return syscall(SYS_capset, &header, words.Data) == 0;
}

std::uint64_t Joined(std::uint32_t low, std::uint32_t high) { return low | (static_cast<std::uint64_t>(high) << 32); }
} // namespace

std::uint64_t ForChecks() { return (1ULL << CAP_SETUID) | (1ULL << CAP_SETGID); }

Held Own() {
    Held held;
    Words words;
    if (!Get(words)) return {~0ULL, ~0ULL, ~0ULL, ~0ULL}; // unknown is never taken for "none"
    held.Effective = Joined(words.Data[0].effective, words.Data[1].effective);
    held.Permitted = Joined(words.Data[0].permitted, words.Data[1].permitted);
    held.Inheritable = Joined(words.Data[0].inheritable, words.Data[1].inheritable);
    for (int cap = 0; cap <= LastCapability; ++cap) {
        int set = prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_IS_SET, cap, 0, 0);
        if (set < 0) break; // past the last capability this kernel knows
        if (set > 0) held.Ambient |= 1ULL << cap;
    }
    return held;
}

bool DropAll() {
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    Set(0, 0, 0);
    return Own().None();
}

bool KeepOnlyForChecks() {
    Held held = Own();
    if ((held.Permitted & ForChecks()) != ForChecks()) return false;
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    // Inheritable first: the ambient set may hold only what is both permitted and inheritable.
    if (!Set(0, ForChecks(), ForChecks())) return false;
    for (int cap : {CAP_SETUID, CAP_SETGID})
        if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_RAISE, cap, 0, 0) != 0) return false;
    held = Own();
    return held.Effective == 0 && held.Permitted == ForChecks() && held.Ambient == ForChecks();
}

bool SignalAs(pid_t process, uid_t user, int signal) {
    pid_t child = fork();
    if (child == 0) {
        // Only raw system calls here: the server has other threads, whose locks the child shares.
        Words words;
        Get(words);
        words.Data[0].effective = words.Data[0].permitted;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capset, &header, words.Data);
        bool sent = syscall(SYS_setresuid, user, user, user) == 0 && syscall(SYS_kill, process, signal) == 0;
        _exit(sent ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace Capabilities

// Worker processes started with posix_spawn: the script goes in on a pipe, one line comes back on another, and a
// worker past its deadline is killed. Pipes are written and read together, so a worker that stops reading early (it
// refused a script too large) never leaves the writer stuck.
#include "server/VerifierPool.h"
#include "server/CanonicalScript.h"
#include "server/ClientPrefix.h"
#include "server/verify/Capabilities.h"
#include "server/verify/WorkerReply.h"
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ScoreServer {

namespace {
constexpr std::size_t MostReplyBytes = 4096;
constexpr int ReapPollMs = 2;

using Clock = std::chrono::steady_clock;

struct Pipe {
    int Ends[2] = {-1, -1};
    ~Pipe() {
        for (int end : Ends)
            if (end >= 0) close(end);
    }
    void Close(int which) {
        if (Ends[which] >= 0) close(Ends[which]);
        Ends[which] = -1;
    }
};

// Writing to a worker that has stopped reading raises SIGPIPE on the writing thread: blocked while a check runs
// (write then fails with EPIPE), and any that came taken before the thread's mask is put back, so that no process
// that runs checks needs to ignore the signal for itself.
class PipeSignalBlocked {
  public:
    PipeSignalBlocked() {
        sigemptyset(&Pipe);
        sigaddset(&Pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &Pipe, &Before);
    }
    ~PipeSignalBlocked() {
        timespec none{};
        while (sigtimedwait(&Pipe, nullptr, &none) == SIGPIPE) {
        }
        pthread_sigmask(SIG_SETMASK, &Before, nullptr);
    }

  private:
    sigset_t Pipe, Before;
};

// How long a process has been runnable but waiting for a processor (the second field of /proc/PID/schedstat, in
// nanoseconds); zero where the kernel does not say.
std::chrono::milliseconds WaitedForProcessor(pid_t process) {
    std::FILE* file = std::fopen(("/proc/" + std::to_string(process) + "/schedstat").c_str(), "r");
    if (!file) return {};
    unsigned long long ran = 0, waited = 0;
    bool read = std::fscanf(file, "%llu %llu", &ran, &waited) == 2;
    std::fclose(file);
    constexpr unsigned long long NanosecondsPerMillisecond = 1'000'000;
    return std::chrono::milliseconds(read ? waited / NanosecondsPerMillisecond : 0);
}

// A check runs in the idle class: on a machine busy with the server's reads (or anything else) it waits for a
// processor, and that wait is not its own running over. Its deadline moves by the time it waited, up to this much
// in all; a check starved longer is refused, a refusal the player can send again.
constexpr std::chrono::seconds MostProcessorWait{300};

double SteadySeconds() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The value of "name=" among a closing line's space-separated fields, or an empty text.
std::string Field(const std::string& line, const std::string& name) {
    std::string key = name + "=";
    for (std::size_t start = 0; start < line.size();) {
        std::size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        if (line.compare(start, key.size(), key) == 0) return line.substr(start + key.size(), end - start - key.size());
        start = end + 1;
    }
    return {};
}

bool ReadNumber(const std::string& text, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    bool negative = text[0] == '-';
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    return text.size() > (negative ? 1u : 0u);
}

ReplayVerdict Refused(std::string reason) {
    ReplayVerdict verdict;
    verdict.Refusal = std::move(reason);
    return verdict;
}

// The verdict from what the worker printed and how it ended.
ReplayVerdict ReadVerdict(const std::string& output, int status, bool overran) {
    std::string line = output.substr(0, output.find('\n'));
    if (overran || (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL)))
        return Refused("replay ran past the time a check may take");
    if (WIFSIGNALED(status)) return Refused("replay check crashed (signal " + std::to_string(WTERMSIG(status)) + ")");
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == VerifyWorker::RefusedStatus && line.rfind(VerifyWorker::RefusedMark, 0) == 0)
        return Refused(line.substr(VerifyWorker::RefusedMark.size()));
    ReplayVerdict verdict;
    verdict.Ending = Field(line, "end");
    verdict.ClosingLine = line;
    if (code != VerifyWorker::PlayedStatus || verdict.Ending.empty() ||
        !ReadNumber(Field(line, "frame"), verdict.Frames) || !ReadNumber(Field(line, "score"), verdict.Score) ||
        !ReadNumber(Field(line, "level"), verdict.Level))
        return Refused("replay check failed (status " + std::to_string(code) + ")");
    verdict.Played = true;
    return verdict;
}
} // namespace

namespace {
struct WorkerRun {
    bool Started = false;
    std::string Output;
    int Status = 0;
    bool Overran = false;
};

// A worker that became the check user answers only to that user (or to root): a server running as its own user,
// holding nothing but CAP_SETUID and CAP_SETGID, sends the signal as the check user.
void EndWorker(pid_t child, const VerifierSettings& settings) {
    if (kill(child, SIGKILL) != 0 && errno == EPERM && settings.UserId >= 0)
        Capabilities::SignalAs(child, static_cast<uid_t>(settings.UserId), SIGKILL);
}

WorkerRun RunWorker(const VerifierSettings& settings, const std::string& script, bool probe) {
    PipeSignalBlocked quiet;
    WorkerRun run;
    Pipe in, out;
    if (pipe2(in.Ends, O_CLOEXEC) != 0 || pipe2(out.Ends, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.Ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.Ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Nothing else of the server's: not its database, not its clients' connections.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // The server blocks its stop signals and ignores SIGPIPE; the worker starts with neither.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // The idle class from the worker's first instruction: its start (the loader, the game's tables) yields to the
    // server's reads as its check does. Where the kernel refuses that, the worker is started as before and puts
    // itself in the idle class (or at the lowest priority) as it fences itself in.
    sched_param idle{};
    posix_spawnattr_setschedpolicy(&attributes, SCHED_IDLE);
    posix_spawnattr_setschedparam(&attributes, &idle);
    // A session of its own (a process group of its own with it): where the kernel shares the processors out by
    // sessions first (autogroups), a check's time comes out of its own session's share, not the server's.
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, static_cast<short>(flags | POSIX_SPAWN_SETSCHEDULER));
    std::vector<std::string> words = {settings.WorkerPath, "--max-frames", std::to_string(settings.MaxFrames),
                                      "--cpu-seconds", std::to_string(settings.CpuSeconds)};
    if (settings.UserId >= 0)
        words.insert(words.end(),
                     {"--user-id", std::to_string(settings.UserId), "--group-id", std::to_string(settings.GroupId)});
    if (probe) words.push_back("--fence-probe");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    char* environment[] = {nullptr}; // nothing of the server's environment reaches a worker
    pid_t child = -1;
    int spawned = posix_spawn(&child, words[0].c_str(), &actions, &attributes, argv.data(), environment);
    if (spawned == EPERM || spawned == EINVAL) {
        posix_spawnattr_setflags(&attributes, flags);
        spawned = posix_spawn(&child, words[0].c_str(), &actions, &attributes, argv.data(), environment);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return run;
    run.Started = true;
    in.Close(0);
    out.Close(1);
    fcntl(in.Ends[1], F_SETFL, O_NONBLOCK);

    auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long long>(settings.DeadlineSeconds * 1000));
    std::chrono::milliseconds forgiven{0};
    // Whether the deadline has come, once the time the worker spent waiting for a processor is added to it.
    auto pastDeadline = [&] {
        if (MillisecondsLeft(deadline) > 0) return false;
        std::chrono::milliseconds waited =
            std::min<std::chrono::milliseconds>(WaitedForProcessor(child), MostProcessorWait);
        if (waited <= forgiven) return true;
        deadline += waited - forgiven;
        forgiven = waited;
        return MillisecondsLeft(deadline) == 0;
    };
    std::size_t written = 0;
    if (script.empty()) in.Close(1);
    std::string output;
    bool overran = false;
    while (out.Ends[0] >= 0) {
        pollfd watched[2] = {{out.Ends[0], POLLIN, 0}, {in.Ends[1], POLLOUT, 0}};
        int count = in.Ends[1] >= 0 ? 2 : 1;
        if (pastDeadline()) {
            overran = true;
            break;
        }
        if (poll(watched, static_cast<nfds_t>(count), MillisecondsLeft(deadline)) < 0 && errno != EINTR) break;
        if (count == 2 && watched[1].revents) {
            ssize_t sent = write(in.Ends[1], script.data() + written, script.size() - written);
            if (sent > 0) written += static_cast<std::size_t>(sent);
            if ((sent < 0 && errno != EAGAIN) || written == script.size()) in.Close(1); // done, or the worker hung up
        }
        if (watched[0].revents) {
            char buffer[512];
            ssize_t got = read(out.Ends[0], buffer, sizeof buffer);
            if (got <= 0 && !(got < 0 && errno == EINTR)) {
                out.Close(0);
            } else if (got > 0 && output.size() < MostReplyBytes) {
                output.append(buffer, static_cast<std::size_t>(got));
            }
        }
    }
    int status = 0;
    for (;;) {
        if (overran) EndWorker(child, settings); // before a blocking wait: a worker past its deadline is ended
        pid_t reaped = waitpid(child, &status, overran ? 0 : WNOHANG);
        if (reaped == child) break;
        if (reaped < 0 && errno != EINTR) break;
        if (pastDeadline()) overran = true;
        if (!overran) usleep(ReapPollMs * 1000);
    }
    run.Output = std::move(output);
    run.Status = status;
    run.Overran = overran;
    return run;
}
} // namespace

ReplayVerdict RunVerifier(const VerifierSettings& settings, const std::string& script) {
    WorkerRun run = RunWorker(settings, script, false);
    if (!run.Started) return Refused("the replay checker cannot be started");
    return ReadVerdict(run.Output, run.Status, run.Overran);
}

std::string ProbeFence(const VerifierSettings& settings) {
    WorkerRun run = RunWorker(settings, "", true);
    if (!run.Started) return "the replay checker cannot be started";
    std::string line = run.Output.substr(0, run.Output.find('\n'));
    if (run.Overran) return "the replay checker did not answer";
    if (line.rfind(VerifyWorker::RefusedMark, 0) == 0) return line.substr(VerifyWorker::RefusedMark.size());
    if (line.rfind("fenced ", 0) != 0 || !WIFSIGNALED(run.Status) || WTERMSIG(run.Status) != SIGSYS)
        return "the replay checker's system-call filter did not stop a socket";
    long long meant = settings.UserId >= 0 ? settings.UserId : static_cast<long long>(getuid());
    if (line != "fenced uid=" + std::to_string(meant))
        return "the replay checker ran as " + line.substr(7) + ", not uid=" + std::to_string(meant);
    return "";
}

VerifierPool::VerifierPool(VerifierSettings settings)
    : Settings(std::move(settings)), Queue(Settings.Cost, Settings.QueueLimit, Settings.PerAddress) {
    if (!Enabled()) return;
    int workers = Settings.Workers > 0 ? Settings.Workers : static_cast<int>(std::thread::hardware_concurrency());
    for (int i = 0; i < std::max(workers, 1); ++i) Threads.emplace_back([this] { Serve(); });
}

VerifierPool::~VerifierPool() {
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Ready.notify_all();
    for (std::thread& thread : Threads) thread.join();
}

bool VerifierPool::Submit(std::string script, const std::string& address, Done done) {
    {
        std::lock_guard lock(Mutex);
        if (!Enabled() || Stopping) return false;
        std::string prefix = ClientPrefix(address);
        std::int64_t frames = ScriptFrames(script, Settings.MaxFrames);
        if (!Queue.Push(++LastId, prefix, frames, SteadySeconds())) return false;
        Waiting.emplace(LastId, Job{std::move(script), std::move(prefix), frames, std::move(done)});
    }
    Ready.notify_one();
    return true;
}

void VerifierPool::Serve() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(Mutex);
            for (;;) {
                if (Stopping) return;
                double wakeAt = 0;
                if (auto id = Queue.Next(SteadySeconds(), wakeAt)) {
                    auto taken = Waiting.find(*id);
                    job = std::move(taken->second);
                    Waiting.erase(taken);
                    break;
                }
                // Nothing may run until a bucket refills (or a check comes).
                if (std::isinf(wakeAt))
                    Ready.wait(lock);
                else
                    Ready.wait_for(lock, std::chrono::duration<double>(wakeAt - SteadySeconds()));
            }
        }
        ReplayVerdict verdict = RunVerifier(Settings, job.Script);
        job.Finished(verdict, job.Script);
        {
            std::lock_guard lock(Mutex);
            Queue.Finished(job.Prefix, job.Charged, verdict.Played ? verdict.Frames : job.Charged, SteadySeconds());
        }
        Ready.notify_one(); // a refund may let another prefix's check run
    }
}

} // namespace ScoreServer

// kestrovar-verify: the score server's replay checker. Fences itself in, reads one input script on standard input,
// refuses what it will not play, steps the rest headless without drawing and prints the closing line.
//   kestrovar-verify [--max-frames N] [--cpu-seconds N]
#include "fortress/World.h"
#include "game/replay/ReplayEngine.h"
#include "server/verify/WorkerLimits.h"
#include "server/verify/WorkerReply.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using namespace VerifyWorker;

// What the server checks is a part of what any replay reads.
static_assert(ScoreProtocol::MostCheckedFrames <= ReplayMostFrames &&
              ScoreProtocol::MostCheckedEvents <= ReplayMostEvents);

namespace {
int Refuse(const std::string& reason) {
    std::printf("%.*s%s\n", static_cast<int>(RefusedMark.size()), RefusedMark.data(), reason.c_str());
    std::fflush(stdout);
    return RefusedStatus;
}

// The whole of standard input, or false when it holds more than `most` bytes.
bool ReadInput(std::size_t most, std::string& text) {
    char buffer[1 << 16];
    for (;;) {
        ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) return false;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > most) return false;
    }
}

// The sanitizer build's leak check runs a tracer at exit, which the system-call filter forbids; the checks' memory
// is the game's, whose leaks the game's own tests look for.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

bool ReadLimit(const char* text, long long lowest, long long highest, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value >= lowest && value <= highest;
}
} // namespace

int main(int argc, char** argv) {
    Limits limits;
    bool probe = false;
    constexpr long long HighestId = 0x7fffffff;
    for (int i = 1; i < argc; i += 2) {
        std::string option = argv[i];
        long long value = 0;
        if (option == "--fence-probe") {
            probe = true;
            --i;
            continue;
        }
        if (i + 1 >= argc) return Refuse("worker misconfigured: a value is missing");
        if (option == "--max-frames" && ReadLimit(argv[i + 1], 1, ReplayMostFrames, value))
            limits.MaxFrames = static_cast<int>(value);
        else if (option == "--cpu-seconds" && ReadLimit(argv[i + 1], 1, 3600, value))
            limits.CpuSeconds = static_cast<int>(value);
        else if (option == "--user-id" && ReadLimit(argv[i + 1], 0, HighestId, value))
            limits.UserId = value;
        else if (option == "--group-id" && ReadLimit(argv[i + 1], 0, HighestId, value))
            limits.GroupId = value;
        else
            return Refuse("worker misconfigured: " + option);
    }
    if ((limits.UserId < 0) != (limits.GroupId < 0)) return Refuse("worker misconfigured: a user needs its group");
    long long ranAs = -1;
    std::string missed = FenceIn(limits, ranAs);
    if (!missed.empty()) return Refuse("the check cannot be fenced in: " + missed);

    std::string text;
    bool read = probe || ReadInput(limits.MaxScriptBytes, text);
    // From here on the worker reads no file and starts nothing: what a hostile script could make it do is bounded
    // by what the filter allows.
    if (std::string unfiltered = AllowOnlyReplaySystemCalls(); !unfiltered.empty())
        return Refuse("the check cannot be fenced in: " + unfiltered);
    if (probe) {
        std::printf("fenced uid=%lld\n", ranAs); // the server checks that its checks run as whom it meant
        std::fflush(stdout);
        [[maybe_unused]] int opened = socket(AF_INET, SOCK_STREAM, 0); // ends the worker here
        return Refuse("the filter let a socket through");
    }
    if (!read) return Refuse("replay larger than " + std::to_string(limits.MaxScriptBytes) + " bytes");
    std::istringstream in(text);
    ReplayScript script;
    std::string error;
    if (!ParseReplayScript(in, script, error)) return Refuse("replay unreadable: " + error);
    if (script.Rules != RulesVersion)
        return Refuse("replay from rules " + std::to_string(script.Rules) + ", this server plays rules " +
                      std::to_string(RulesVersion));
    if (script.EndFrame > limits.MaxFrames)
        return Refuse("replay of " + std::to_string(script.EndFrame) + " frames, more than the " +
                      std::to_string(limits.MaxFrames) + " this server plays");
    if (script.Events.size() > limits.MaxEvents)
        return Refuse("replay of " + std::to_string(script.Events.size()) + " events, more than the " +
                      std::to_string(limits.MaxEvents) + " this server plays");

    World world;
    ReplayOutcome outcome = RunReplay(world, script, {}, ReplayFrames::SteppedOnly);
    if (outcome.How == ReplayOutcome::Ending::ProgramEnded)
        return Refuse("the game ended the program (status " + std::to_string(outcome.ExitStatus) + ")");
    std::printf("%s\n", ReplayFinalLine(world, outcome).c_str());
    std::fflush(stdout);
    return PlayedStatus;
}

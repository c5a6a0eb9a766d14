// kestrovar_replay: plays an input script headless and prints the game's state every K frames, then a closing line.
//   kestrovar_replay SCRIPT [--every K] [--seed N]      (SCRIPT "-" reads standard input)
#include "ReplayEngine.h"
#include "fortress/World.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {
constexpr int DefaultEvery = 60;
constexpr int UsageStatus = 2;

int Usage(const std::string& problem) {
    std::fprintf(stderr, "kestrovar_replay: %s\nusage: kestrovar_replay SCRIPT [--every K] [--seed N]\n",
                 problem.c_str());
    return UsageStatus;
}

bool ReadNumber(const char* text, long long lowest, long long highest, long long& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= lowest && value <= highest;
}
} // namespace

int main(int argc, char** argv) {
    std::string path;
    long long every = DefaultEvery;
    long long seed = 0;
    bool seedGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--every" || argument == "--seed") {
            if (i + 1 >= argc) return Usage(argument + " needs a value");
            const char* value = argv[++i];
            if (argument == "--every" && !ReadNumber(value, 1, ReplayMostFrames, every))
                return Usage("--every takes a whole number of frames from 1");
            if (argument == "--seed") {
                if (!ReadNumber(value, -2147483648LL, 4294967295LL, seed)) return Usage("--seed takes a 32-bit number");
                seedGiven = true;
            }
        } else if (path.empty() && (argument == "-" || argument.rfind("--", 0) != 0)) {
            path = argument;
        } else {
            return Usage("unexpected argument " + argument);
        }
    }
    if (path.empty()) return Usage("no script given");

    ReplayScript script;
    std::string error;
    bool parsed = false;
    if (path == "-") {
        parsed = ParseReplayScript(std::cin, script, error);
    } else {
        std::ifstream file(path);
        if (!file) return Usage("cannot read " + path);
        parsed = ParseReplayScript(file, script, error);
    }
    if (!parsed) {
        std::fprintf(stderr, "kestrovar_replay: %s: %s\n", path.c_str(), error.c_str());
        return UsageStatus;
    }
    // Played by other rules it would be another game, its lines no proof of anything: refused by name.
    std::string rules = OtherRules(script);
    if (!rules.empty()) {
        std::fprintf(stderr, "kestrovar_replay: %s: %s\n", path.c_str(), rules.c_str());
        return UsageStatus;
    }
    if (seedGiven) script.Seed = static_cast<int>(static_cast<unsigned int>(seed));

    World world;
    ReplayOutcome outcome = RunReplay(
        world, script,
        [every, &world](int frame) {
            if (frame % every == 0) std::printf("%s\n", ReplayStateLine(world, frame).c_str());
        },
        ReplayFrames::SteppedOnly);
    std::printf("%s\n", ReplayFinalLine(world, outcome).c_str());
    std::fflush(stdout);
    if (outcome.How == ReplayOutcome::Ending::ProgramEnded && outcome.ExitStatus != 0) return 1;
    return 0;
}

// The top floor's other way in, watching a kept game again: its script read whole first, then the watch opened in the
// owner's loop, the game played from the script's seed with the script's input in the game's own window, until the
// game-over page, the script's end or Escape.
#include "core/GameState.h"
#include "fortress/World.h"
#include "frontend/Watching.h"
#include "game/replay/ReplaySetup.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Streams.h"
#include "platform/System.h"
#include "platform/Time.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <cstdio>
#include <sstream>

namespace {
constexpr int RefusedStatus = 2;
constexpr std::size_t ReadChunk = 1 << 20;
// A script of the most events a script may hold stays well inside this.
constexpr std::size_t LargestScriptBytes = 256u << 20;

bool ReadScript(const std::string& path, ReplayScript& script, std::string& error) {
    Stream* stream = ReadFile(path.c_str());
    if (!stream) {
        error = "can't be read";
        return false;
    }
    std::string text;
    while (!Eof(stream) && text.size() <= LargestScriptBytes) {
        std::string chunk = ReadBytes(stream, ReadChunk);
        if (chunk.empty()) break;
        text += chunk;
    }
    CloseStream(stream);
    if (text.size() > LargestScriptBytes) {
        error = "too large for a replay";
        return false;
    }
    std::istringstream in(text);
    return ParseReplayScript(in, script, error);
}

// The file's own name, without its folders: what the caption calls the game.
std::string FileName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

int StartWatch(World& watched, const std::string& path, Loop& loop) {
    ReplayScript script;
    std::string error;
    if (!ReadScript(path, script, error)) {
        ReportFileProblem("Kestrovar: " + path + ": " + error);
        return RefusedStatus;
    }
    // A game of other rules would play as another game: the player is told which rules it needs instead.
    std::string rules = OtherRules(script);
    if (!rules.empty()) {
        ReportFileProblem("Kestrovar: " + path + ": " + rules);
        return RefusedStatus;
    }
    SetUpProgram(StartupFor::Watch);
    loop.Open(OpenWatch(watched, script, FileName(path), [&watched](const WatchOutcome& outcome) {
        // Escape stops watching with no closing line; every other end prints the line the replay tool prints, then
        // shows the card.
        if (outcome.How == WatchEnding::Escape) return false;
        std::printf("%s\n", WatchEndLine(watched, outcome).c_str());
        std::fflush(stdout);
        return true;
    }));
    return 0;
}

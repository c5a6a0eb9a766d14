// The top floor's other way in, watching a kept game again: its script read whole first, then the game played from the
// script's seed with the script's input in the game's own window, until the game-over page, the script's end or Escape.
#include "core/GameState.h"
#include "frontend/MainMenu.h"
#include "game/replay/ReplaySetup.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Streams.h"
#include "platform/System.h"
#include "platform/Time.h"
#include "program/Startup.h"
#include <cstdio>
#include <sstream>

namespace {
constexpr int RefusedStatus = 2;
constexpr std::size_t ReadChunk = 1 << 20;
// A script of the most events a script may hold stays well inside this.
constexpr std::size_t LargestScriptBytes = 256u << 20;
// The last picture stays up a moment before the window closes.
constexpr int LastFramePauseMs = 2000;

int WatchEndFrame = 0;

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

void AfterWatchedFrame() {
    if (PlaybackEscapePressed()) EndProgram(0);
    // Where the replay tool stops: the game-over page's first frame, or the script's end.
    int frame = InputFramesSinceStart();
    if (ShipsLeft < 0 || frame >= WatchEndFrame) {
        // The same closing line the replay tool prints, for comparing the two.
        std::printf("%s\n", ReplayEndLine(ShipsLeft < 0 ? "game-over" : "script-ended", frame).c_str());
        std::fflush(stdout);
        Delay(LastFramePauseMs);
        EndProgram(0);
    }
}
} // namespace

int WatchReplay(const std::string& path) {
    ReplayScript script;
    std::string error;
    if (!ReadScript(path, script, error)) {
        ReportFileProblem("Kestrovar: " + path + ": " + error);
        return RefusedStatus;
    }
    SetUpProgram(StartupFor::Watch);
    ApplyReplaySetup(script);
    WatchEndFrame = script.EndFrame;
    StartInputPlayback(script.Events);
    SetFlipObserver(AfterWatchedFrame);
    SeedRnd(script.Seed);
    StartGameFromMenu();
    // Left through the exit prompt, as the player left it.
    std::printf("%s\n", ReplayEndLine("game-left", InputFramesSinceStart()).c_str());
    std::fflush(stdout);
    SetFlipObserver(nullptr);
    StopInputPlayback();
    return 0;
}

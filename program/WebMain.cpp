// The browser's way in, on the top floor: the page calls one function a frame and the program runs whole frames at
// exactly 60 a second, whatever the screen's rate, so a game played here is the game the server's check plays.
//   (no arguments)      the program: the intro, the menu and all it opens
//   --watch FILE        a game's script played from its start (the board's games: the page fetches the script)
#include "frontend/Watching.h"
#include "game/replay/ReplaySetup.h"
#include "platform/System.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <cstdio>
#include <emscripten.h>
#include <fstream>
#include <string>

namespace {
constexpr double FrameMs = 1000.0 / 60;
// A slow machine (software GL) shows fewer frames than the game makes: the frames behind are made without drawing
// (drawing changes nothing), up to this many at once; after a longer stall (a tab in the background) the game goes
// on rather than racing to catch up.
constexpr double MostBehindMs = 10 * FrameMs;
constexpr int UsageStatus = 2;

double Behind = 0;
double LastCall = -1;
Loop Program;
WatchRun Watched;

// The page's figures for the benchmark: when the first frame was shown (ms since the page began to load), how many
// have been shown since, and the milliseconds the calls that made them took.
EM_JS(void, NoteShownFrame, (double busyMs), {
    var figures =
        Module.kestrovarFrames || (Module.kestrovarFrames = {first : performance.now(), shown : 0, busyMs : 0});
    figures.shown += 1;
    figures.busyMs += busyMs;
});

// How many whole frames are due since the last call.
int FramesDue() {
    double now = emscripten_get_now();
    if (LastCall < 0) LastCall = now - FrameMs;
    Behind += now - LastCall;
    LastCall = now;
    if (Behind > MostBehindMs) Behind = FrameMs;
    int due = 0;
    for (; Behind >= FrameMs; Behind -= FrameMs) ++due;
    return due;
}

// Makes the frames due, drawing only the last: frame(drawn) makes one and is false once there are no more.
template <class MakeFrame> void MakeDueFrames(MakeFrame frame) {
    double began = emscripten_get_now();
    int due = FramesDue();
    if (due == 0) return;
    for (; due > 0; --due)
        if (!frame(due == 1)) return;
    NoteShownFrame(emscripten_get_now() - began);
}

void ProgramFrames() {
    MakeDueFrames([](bool drawn) {
        Program.Drawn = drawn;
        if (RunFrame(Program)) return true;
        FinishProgram();
        EndProgram(0);
    });
}

void WatchFrames() {
    MakeDueFrames([](bool drawn) {
        Watched.Frames.Drawn = drawn;
        if (StepWatch(Watched)) return true;
        // Escape leaves the page, as it leaves the desktop's watch; every other end shows the line the replay tool
        // closes with, over the game's last frame.
        if (Watched.Outcome.How == WatchEnding::Escape) EndProgram(0);
        const char* ending = Watched.Outcome.How == WatchEnding::GameOver      ? "game-over"
                             : Watched.Outcome.How == WatchEnding::ScriptEnded ? "script-ended"
                                                                               : "game-left";
        std::printf("%s\n", ReplayEndLine(ending, Watched.Outcome.Frames).c_str());
        std::fflush(stdout);
        emscripten_cancel_main_loop();
        return false;
    });
}

int StartWatching(const std::string& path) {
    std::ifstream file(path);
    ReplayScript script;
    std::string error;
    if (!file || !ParseReplayScript(file, script, error)) {
        std::fprintf(stderr, "Kestrovar: %s: %s\n", path.c_str(), file ? error.c_str() : "can't be read");
        return UsageStatus;
    }
    std::string rules = OtherRules(script);
    if (!rules.empty()) {
        std::fprintf(stderr, "Kestrovar: %s: %s\n", path.c_str(), rules.c_str());
        return UsageStatus;
    }
    SetUpProgram(StartupFor::Watch);
    std::size_t slash = path.find_last_of('/');
    StartWatch(Watched, script, slash == std::string::npos ? path : path.substr(slash + 1));
    emscripten_set_main_loop(WatchFrames, 0, false);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        Program = StartProgram();
        emscripten_set_main_loop(ProgramFrames, 0, false);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--watch") return StartWatching(argv[2]);
    std::fprintf(stderr, "usage: kestrovar [--watch REPLAY]\n");
    return UsageStatus;
}

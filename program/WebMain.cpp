// The browser's way in, on the top floor: the page returns to the browser between frames, so the program hands its
// frames to the back end, which makes them at exactly 60 a second whatever the screen's rate.
//   (no arguments)      the program: the intro, the menu and all it opens
//   --watch FILE        a game's script played from its start (the board's games: the page fetches the script)
#include "fortress/World.h"
#include "frontend/Watching.h"
#include "game/replay/ReplaySetup.h"
#include "platform/FrameLoop.h"
#include "platform/System.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <cstdio>
#include <fstream>
#include <string>

namespace {
constexpr int UsageStatus = 2;

// The browser calls back once a frame, so what the frames play lives here, beside the page's own loop.
World ProgramWorld;
Loop Program;
World WatchedWorld;
Loop Watched;
bool WatchEscaped = false;

bool ProgramFrame(bool drawn) {
    Program.Drawn = drawn;
    if (RunFrame(Program)) return true;
    FinishProgram();
    EndProgram(0);
}

bool WatchFrame(bool drawn) {
    Watched.Drawn = drawn;
    if (RunFrame(Watched)) return true;
    // Escape leaves the page, as it leaves the desktop's watch.
    if (WatchEscaped) EndProgram(0);
    return false;
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
    // Every end but Escape shows the line the replay tool closes with, over the game's last frame, and no card.
    Watched.Open(OpenWatch(WatchedWorld, script, slash == std::string::npos ? path : path.substr(slash + 1),
                           [](const WatchOutcome& outcome) {
                               WatchEscaped = outcome.How == WatchEnding::Escape;
                               if (WatchEscaped) return false;
                               std::printf("%s\n", WatchEndLine(WatchedWorld, outcome).c_str());
                               std::fflush(stdout);
                               return false;
                           }));
    MakeFramesAtSixtyHertz(WatchFrame);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        Program = StartProgram(ProgramWorld);
        MakeFramesAtSixtyHertz(ProgramFrame);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--watch") return StartWatching(argv[2]);
    std::fprintf(stderr, "usage: kestrovar [--watch REPLAY]\n");
    return UsageStatus;
}

// A watched game: the script's input played to the game in place of the keyboard, and the game stopped from the flip
// observer when it reaches its end or the watcher presses Escape.
#include "Watching.h"
#include "MainMenu.h"
#include "core/GameState.h"
#include "game/replay/ReplaySetup.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Time.h"

namespace {
// The last picture stays up a moment before the watching ends.
constexpr int LastFramePauseMs = 2000;

struct WatchStopped {
    WatchEnding How;
};
int WatchEndFrame = 0;

void AfterWatchedFrame() {
    if (PlaybackEscapePressed()) throw WatchStopped{WatchEnding::Escape};
    // Where the replay tool stops: the game-over page's first frame, or the script's end.
    if (ShipsLeft < 0 || InputFramesSinceStart() >= WatchEndFrame) {
        Delay(LastFramePauseMs);
        throw WatchStopped{ShipsLeft < 0 ? WatchEnding::GameOver : WatchEnding::ScriptEnded};
    }
}
} // namespace

WatchOutcome WatchGame(const ReplayScript& script) {
    ApplyReplaySetup(script);
    WatchEndFrame = script.EndFrame;
    StartInputPlayback(script.Events);
    SetFlipObserver(AfterWatchedFrame);
    SeedRnd(script.Seed);
    WatchOutcome outcome;
    try {
        StartGameFromMenu();
    } catch (const WatchStopped& stopped) {
        outcome.How = stopped.How;
    }
    outcome.Frames = InputFramesSinceStart();
    SetFlipObserver(nullptr);
    return outcome;
}

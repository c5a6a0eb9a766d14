// A watched game: the script's input played to the game in place of the keyboard, and the game's loop stopped after
// the flip that reaches its end or finds the watcher's Escape.
#include "Watching.h"
#include "MainMenu.h"
#include "core/GameState.h"
#include "game/replay/ReplaySetup.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Time.h"

namespace {
// The last picture stays up a moment before the watching ends.
constexpr int LastFramePauseMs = 2000;
} // namespace

WatchOutcome WatchGame(const ReplayScript& script) {
    ApplyReplaySetup(script);
    StartInputPlayback(script.Events);
    SeedRnd(script.Seed);
    WatchOutcome outcome;
    auto atEnd = [&outcome, &script]() {
        if (PlaybackEscapePressed()) {
            outcome.How = WatchEnding::Escape;
            return true;
        }
        // Where the replay tool stops: the game-over page's first frame, or the script's end.
        if (ShipsLeft < 0 || InputFramesSinceStart() >= script.EndFrame) {
            Delay(LastFramePauseMs);
            outcome.How = ShipsLeft < 0 ? WatchEnding::GameOver : WatchEnding::ScriptEnded;
            return true;
        }
        return false;
    };
    if (StartGameFromMenu(atEnd) == GameEnding::Left) outcome.How = WatchEnding::GameLeft;
    outcome.Frames = InputFramesSinceStart();
    return outcome;
}

// Turning the one loop from a test, as the program's own main does: a frame at a time, with a plain check after each
// frame deciding whether the test has seen enough.
#pragma once
#include "game/Loop.h"
#include "platform/ScriptedRun.h"
#include <memory>
#include <utility>

// Turns the loop until it ends (true) or `stop()` holds after a frame (false).
template <typename Stop> bool TurnUntil(Loop& loop, Stop stop) {
    while (RunFrame(loop))
        if (stop()) return false;
    return true;
}

// Turns the loop until it ends (true) or the machine has made `stopFrame` flips in all (false; -1: never).
inline bool TurnToFrame(Loop& loop, int stopFrame) {
    return TurnUntil(loop, [stopFrame] { return stopFrame >= 0 && ScriptedRun::FrameCount() >= stopFrame; });
}

// A screen alone in a loop of its own, turned until it closes (a wait that ends on its own).
inline void TurnScreen(std::unique_ptr<Screen> screen) {
    Loop loop;
    loop.Open(std::move(screen));
    TurnToFrame(loop, -1);
}

// A screen alone in a loop of its own: true when it closed by itself within `frames` more flips.
inline bool ScreenReturns(std::unique_ptr<Screen> screen, int frames) {
    Loop loop;
    loop.Open(std::move(screen));
    return TurnToFrame(loop, ScriptedRun::FrameCount() + frames);
}

// The one loop: a frame is the top screen's step, with its sounds gathered and made once it is done, then its draw,
// then the flip; a screen opened or returned to in a step takes its turn in the same frame.
#include "Loop.h"
#include "core/Sound.h"
#include "platform/Display.h"
#include <utility>

namespace {
// A chain of screens opening and closing at once that never settles is a fault, not a frame.
constexpr int MostChangesAFrame = 64;
} // namespace

void Loop::Open(std::unique_ptr<Screen> screen) {
    Screens.push_back(std::move(screen));
    Last = Change::Opened;
}

void Loop::Close() {
    if (Screens.empty()) return;
    Closed.push_back(std::move(Screens.back()));
    Screens.pop_back();
    Last = Change::Closed;
}

void Loop::End() {
    while (!Screens.empty()) {
        Closed.push_back(std::move(Screens.back()));
        Screens.pop_back();
    }
    Last = Change::Closed;
}

bool RunFrame(Loop& loop) {
    if (loop.Screens.empty()) return false;
    Sound::GatherEvents();
    bool resume = false;
    for (int turn = 0; turn < MostChangesAFrame && !loop.Screens.empty(); ++turn) {
        loop.Last = Loop::Change::None;
        Screen* top = loop.Screens.back().get();
        if (resume)
            top->Resume(loop);
        else
            top->Step(loop);
        if (loop.Last == Loop::Change::None) break;
        // The screen now on top takes its turn: a new one steps, one returned to resumes.
        resume = loop.Last == Loop::Change::Closed;
    }
    Sound::HandOnEvents(loop.Heard);
    loop.Closed.clear();
    if (loop.Screens.empty()) return false;
    if (loop.Drawn) loop.Screens.back()->Draw();
    Flip(-1);
    return true;
}

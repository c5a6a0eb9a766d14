// The frame clock behind Flip(-1).
#include "FramePacing.h"
#include "Time.h"
#include <algorithm>

void FrameClock::Reset(int now, int hertz) {
    Rate = hertz > 0 ? hertz : 60;
    MsPerFrame = 1000 / Rate;
    Remainder = 1000 - MsPerFrame * Rate;
    Accumulator = 0;
    NextFrame = now;
}

namespace {
constexpr int LowestSixtyHz = 59, HighestSixtyHz = 61;
constexpr double PageFrameMs = 1000.0 / 60;
// A slow machine (software GL) shows fewer frames than the game makes: the frames behind are made without drawing
// (drawing changes nothing), up to this many at once, so the game keeps its pace down to 3 shown frames a second;
// after a longer stall (a tab in the background) the game makes these and goes on rather than racing to catch up.
constexpr double MostBehindMs = 20 * PageFrameMs;
} // namespace

bool VblankKeepsSixty(const ListedMode& current, const std::vector<ListedMode>& listed) {
    if (current.Hertz < LowestSixtyHz || current.Hertz > HighestSixtyHz) return false;
    for (const ListedMode& mode : listed)
        if (mode.Width == current.Width && mode.Height == current.Height && mode.Hertz == current.Hertz) return true;
    return false;
}

int FrameClock::Advance(int now) {
    NextFrame = MilliSecsAfter(NextFrame, MsPerFrame);
    Accumulator += Remainder;
    if (Accumulator >= Rate) {
        Accumulator -= Rate;
        NextFrame = MilliSecsAfter(NextFrame, 1);
    }
    int wait = MilliSecsBetween(now, NextFrame);
    if (wait > 0) return wait;
    // Late: the next frame is due a whole frame from now, not sooner.
    NextFrame = now;
    return 0;
}

int PageFrames::Due(double now) {
    Held = false;
    if (LastCall < 0) { // the first call makes a frame at once
        LastCall = now;
        Behind = PageFrameMs;
    }
    Behind += now - LastCall;
    LastCall = now;
    if (Behind > MostBehindMs) Behind = MostBehindMs;
    int due = 0;
    for (; Behind >= PageFrameMs; Behind -= PageFrameMs) ++due;
    return due;
}

void PageFrames::Hold(double now, double ms) {
    if (ms <= 0) return;
    // Pauses one after another add up, as the desktop's sleeps do; the frames that were behind are dropped, as the
    // frame clock drops a late frame's debt.
    LastCall = std::max(now, LastCall) + ms;
    Behind = 0;
    Held = true;
}

// The frame clock behind Flip(-1).
#include "FramePacing.h"
#include "Time.h"

void FrameClock::Reset(int now, int hertz) {
    Rate = hertz > 0 ? hertz : 60;
    MsPerFrame = 1000 / Rate;
    Remainder = 1000 - MsPerFrame * Rate;
    Accumulator = 0;
    NextFrame = now;
}

namespace {
constexpr int LowestSixtyHz = 59, HighestSixtyHz = 61;
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

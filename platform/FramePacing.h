// Pacing of Flip(-1): exactly 60 frames in each 1000 ms when the machine keeps up, and a late frame never makes the
// following frames hurry.
#pragma once
#include <vector>

struct FrameClock {
    int MsPerFrame = 16;
    int Remainder = 40;
    int Accumulator = 0;
    int Rate = 60;
    int NextFrame = 0;

    void Reset(int now, int hertz);
    // Advances to the next frame's due time and returns how long to wait for it (0 when late).
    int Advance(int now);
};

// A display mode as the monitor lists it: its size and refresh rate in Hz (0 when unknown).
struct ListedMode {
    int Width = 0, Height = 0, Hertz = 0;
};
// Whether presenting in step with the vertical blank keeps 60 frames a second in the current mode: it runs at 59 to
// 61 Hz and the monitor lists that size at that rate (SDL fills an unknown rate in from the rate asked for, so only a
// rate the monitor lists is believed).
bool VblankKeepsSixty(const ListedMode& current, const std::vector<ListedMode>& listed);

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

// The frames of a page that the browser calls once a screen refresh (60, 120 or 144 times a second, or fewer on a
// slow machine): how many whole 1/60 s frames are due at each call, and the pauses a frame asks for. A page cannot
// block, so a pause holds the frames instead: the frame after it is due a whole frame after the pause ends, as the
// desktop's frame clock makes it after a Delay.
struct PageFrames {
    double Behind = 0;    // ms of frames due and not yet made; below 0 while a pause holds them
    double LastCall = -1; // ms: the last call's time, or the end of the pause that holds the frames
    bool Held = false;    // a frame made since the last call paused: the frames still due then are not made

    int Due(double now);
    void Hold(double now, double ms);
};

// A display mode as the monitor lists it: its size and refresh rate in Hz (0 when unknown).
struct ListedMode {
    int Width = 0, Height = 0, Hertz = 0;
};
// Whether presenting in step with the vertical blank keeps 60 frames a second in the current mode: it runs at 59 to
// 61 Hz and the monitor lists that size at that rate (SDL fills an unknown rate in from the rate asked for, so only a
// rate the monitor lists is believed).
bool VblankKeepsSixty(const ListedMode& current, const std::vector<ListedMode>& listed);

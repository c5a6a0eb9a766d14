// Pacing of Flip(-1): exactly 60 frames in each 1000 ms when the machine keeps up, and a late frame never makes the
// following frames hurry.
#pragma once

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

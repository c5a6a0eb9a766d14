// The busy neon frame's figures: its draw calls, the time our code takes to turn it into vertices, its time drawn
// and finished, and how the batched drawing compares with one primitive a segment.
#pragma once

struct NeonFrameFigures {
    int Strips = 0;           // glow strips in the frame
    int DrawCalls = 0;        // GL draw calls it took
    double BuildUs = 0;       // our CPU time, GL left out (median)
    double WallUs = 0;        // drawn and finished (median)
    double BatchedCpuUs = 0;  // the drawing thread's CPU time, batched (median)
    double OneByOneCpuUs = 0; // the same, one immediate-mode primitive a segment (median)
    bool Compared = false;    // false when no compatibility context could be had for the one-by-one way
};

// Needs SDL's video driver chosen; opens and leaves open a display of its own.
NeonFrameFigures MeasureNeonFrame();

// Changing the display mode from the options: the size, the playfield offsets and window or full screen, opened at
// once, and never left without a picture when a mode can't be had.
#pragma once

struct DisplayMode {
    int Width, Height, OffsetX, OffsetY, SavedOffsetY, Full;
};

// The mode the settings hold now.
DisplayMode CurrentDisplayMode();
// Takes the mode into the settings and opens the display in it, with the style's drawing state and the playfield's
// viewport. A mode that can't be had (a full-screen size the monitor lacks, a refused mode switch) brings the mode
// before back, or at worst the smallest window; then false, with one line on stderr saying why.
bool ChangeDisplayMode(const DisplayMode& wanted);

// Helpers for the display tests: the picture read back from the GL buffer, and small pictures made by hand.
#pragma once
#include "platform/Display.h"
#include <cstdint>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

struct Rgb {
    int Red = 0, Green = 0, Blue = 0;
    bool operator==(const Rgb&) const = default;
};
inline void PrintTo(const Rgb& colour, std::ostream* out) {
    *out << "(" << colour.Red << ", " << colour.Green << ", " << colour.Blue << ")";
}

// A picture read back, top row first.
struct ReadBack {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgba;

    Rgb At(int x, int y) const;
    bool Lit(int x, int y) const { return !(At(x, y) == Rgb{}); }
    // Every pixel that isn't black, as (x, y).
    std::set<std::pair<int, int>> LitPixels() const;
};

// The picture drawn so far this frame.
ReadBack ReadScreen();
// The picture the last Flip showed (needs SdlControl::SetKeepBackBuffer(true) before it).
ReadBack ShownScreen();

// The pixels of a width x height rectangle at (x, y).
std::set<std::pair<int, int>> RectanglePixels(int x, int y, int width, int height);

// A picture of one frame, every texel the given colour (0xAARRGGBB).
Image SolidImage(int width, int height, std::uint32_t argb, bool filtered = false);
void SetTexel(Image& image, int x, int y, std::uint32_t argb);

// The four vertices of an axis-aligned quad as a strip, the whole frame mapped across it.
std::vector<StripVertex> QuadStrip(float x, float y, float width, float height, std::uint32_t argb);
// True when the two colours differ by at most `slack` in each channel.
bool Near(const Rgb& colour, const Rgb& expected, int slack = 2);

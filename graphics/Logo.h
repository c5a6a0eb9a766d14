// The title wordmark, drawn whole or as its two outlines turned by their own angles, and the regular polygon the
// glow screen shows its levels with.
#pragma once
#include <cstdint>

constexpr int LogoDataSize = 2100;
constexpr int LogoValuesPerLine = 8; // packed colour, x1, y1, x2, y2, red, green, blue
constexpr int LogoOuterLines = 122;  // lines 0 … 121 are the outer outline, the rest the inner one
constexpr float LogoCentreX = 512, LogoCentreY = 386;

// The logo's lines from its data table, read once at start-up.
void ReadLogo();
// No logo, as before start-up.
void ResetLogo();
// Every logo line turned by angle degrees about the logo's centre.
void DrawLogo(int angle);
// The outer outline only.
void DrawLogoOuter(int angle);
// The inner outline only.
void DrawLogoInner(int angle);
// A regular polygon of `sides` sides of length `size` centred on (x, y) in playfield units; its first corner is
// straight above the centre at angle 0. colour is the neon style's; the wireframe style knows two of them.
void DrawPolygonShape(float x, float y, int angle, int sides, float size, std::uint32_t colour);

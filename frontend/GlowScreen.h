// The glow screen: the player picks the amount of glow from seven levels while watching its effect. A screen the
// options open, so it lives with the other screens in frontend/.
#pragma once
#include "game/Loop.h"
#include <memory>
#include <string>

constexpr int LeastGlow = -3, MostGlow = 3;

// One line of the glow screen's text, padded with spaces on both sides so that it sits in the middle; rows are one
// and a half text lines apart, row 0 at line 25.
void GlowInfoLine(const std::string& text, int row);
// The glow screen as a screen of the loop, closing when the player leaves it; GlowAmount and the glow widths change
// as the level does.
std::unique_ptr<Screen> OpenGlowScreen();

// The options screen: display, style, palette, backdrop, sound, music, controls, name, keys and glow.
#pragma once

#include "game/Loop.h"
#include <memory>

// The options as a screen of the loop, closing when the player returns to the menu; and the same alone in a loop of
// its own (a test's).
std::unique_ptr<Screen> OpenOptions();
void OptionsScreen();

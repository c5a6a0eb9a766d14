// The one world of this process, as the screens above reach it.
#pragma once
#include "fortress/World.h"

// A named global for one reason: the screens above the game (the menu's attract play, the high scores' ship, a kept
// or watched game, the replay engine and its state line, the tests) still reach the fight here until the one loop owns
// the world. Nothing in core/, fortress/ or the game's rules names it: every step and draw there is handed its world.
extern World TheWorld;

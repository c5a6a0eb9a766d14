// The program as one loop: start-up, the loop of every screen (the intro, then the menu and all it opens), and the
// orderly end; or a kept game watched again in the same kind of loop. The desktop turns the loop until it ends; a
// browser calls RunFrame once a frame.
#pragma once
#include "game/Loop.h"
#include <string>

struct World;

// Start-up in its fixed order and the program's first screen, in a fresh loop. The menu's attract play and every game
// started from it play in `world`, which the caller keeps for as long as it turns the loop.
Loop StartProgram(World& world);
// After the loop's last frame: what the player changed is kept.
void FinishProgram();

// A kept game's script watched in the game's window, at its pace and with its sounds, until it ends or Escape is
// pressed: the watch opened in `loop` for its owner to turn, the game played in `watched`, which the owner keeps.
// Returns 0, or 2 for a script that cannot be read or was played by other rules: refused with its reason named
// before anything else happens, and nothing opened.
int StartWatch(World& watched, const std::string& path, Loop& loop);

// The program as one loop: start-up, the loop of every screen (the intro, then the menu and all it opens), and the
// orderly end. The desktop turns the loop until it ends; a browser calls RunFrame once a frame.
#pragma once
#include "game/Loop.h"

struct World;

// Start-up in its fixed order and the program's first screen, in a fresh loop. The menu's attract play and every game
// started from it play in `world`, which the caller keeps for as long as it turns the loop.
Loop StartProgram(World& world);
// After the loop's last frame: what the player changed is kept.
void FinishProgram();

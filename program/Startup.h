// The program on top of every floor: start-up (resources, tables, settings, display), the intro and the hand-over
// to the menu, the orderly end, and watching a kept game again.
#pragma once
#include "game/Boot.h"        // start-up boots the game
#include "graphics/Images.h"  // start-up loads the pictures
#include "graphics/Palette.h" // and sets the palette
#include <cstdint>
#include <string>

enum class StartupFor {
    Player, // the real program: network component, the player's settings file, saved again on a window close
    Replay, // a replay: the defaults of a fresh install, no network, nothing written
    Watch,  // a kept game watched again: the player's settings for the display, no network, nothing written
};
// Start-up's set-up in its fixed order, up to the menu's rings: everything the intro and the menu take for granted.
void SetUpProgram(StartupFor purpose);
// Runs the whole program once: start-up, the game, and the orderly end. Every game the player plays is kept. The menu
// and its games play in `world`, the caller's.
void RunProgram(World& world);
// Plays a kept game's script in the game's window, at its pace and with its sounds, until it ends or Escape is
// pressed; returns the program's exit status. A script that cannot be read is refused with its line named before
// anything else happens (status 2). The game plays in `watched`, the caller's.
int WatchReplay(World& watched, const std::string& path);
// Every module's state back to how a fresh process finds it.
void ResetAllState();

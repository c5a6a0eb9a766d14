// The program on top of every floor: start-up (resources, tables, settings, display), the intro and the hand-over
// to the menu, and the orderly end.
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
// Every module's state back to how a fresh process finds it.
void ResetAllState();

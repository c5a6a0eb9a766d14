// Playing a script's game in the game's own window, at its own pace and with its sounds: a kept game watched again,
// or a game of the online board.
#pragma once
#include "game/replay/ReplayScript.h"

enum class WatchEnding {
    GameOver,    // the game-over page came up
    ScriptEnded, // the script's last frame was played with the game still on
    GameLeft,    // the player of the game left it through the exit prompt
    Escape,      // the watcher pressed Escape
};

struct WatchOutcome {
    WatchEnding How = WatchEnding::GameLeft;
    int Frames = 0; // flips since the game started
};

// Plays the script from its seed with its input, keys, controls, style and palette, as the menu's start game starts a
// game, until one of the endings above; the last picture of a game over or a script's end stays up a moment. The
// game's state is left as the last frame had it, its controls and style as the script set them.
WatchOutcome WatchGame(const ReplayScript& script);

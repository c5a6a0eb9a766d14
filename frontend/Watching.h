// Playing a script's game in the game's own window, at its own pace and with its sounds: a kept game watched again,
// or a game of the online board. A caption says whose game it is while it plays, and a card of ours ends it.
#pragma once
#include "game/Loop.h"
#include "game/replay/ReplayScript.h"
#include <functional>
#include <memory>
#include <string>

struct World;

enum class WatchEnding {
    GameOver,    // the game's last ship was lost
    ScriptEnded, // the script's last frame was played with the game still on
    GameLeft,    // the player of the game left it through the exit prompt
    Escape,      // the watcher pressed Escape
};

struct WatchOutcome {
    WatchEnding How = WatchEnding::GameLeft;
    int Frames = 0; // flips since the game started
    int Score = 0;  // as the last frame had them
    int Level = 0;
};

// The characters of a name the caption and the card show; a longer file name is cut.
constexpr std::size_t WatchNameShown = 28;
// The card stays up this many frames when no key takes it away sooner: an unattended watch still ends.
constexpr int WatchCardFrames = 600;

// The replay tool's closing line for a watch that ended other than by Escape, with the frames it played.
std::string WatchEndLine(const World& w, const WatchOutcome& outcome);

// What the watcher does once the watched game has stopped, its input no longer played back: true to show the card.
using WatchStopped = std::function<bool(const WatchOutcome&)>;
// The watch as a screen of the loop: plays the script from its seed with its input, keys, controls, style and
// palette, as the menu's start game starts a game, until one of the endings above, with the caption naming `whose`
// game it is over every frame. The recorded player's game-over page never shows: the frame that would show it shows
// the card instead. The game plays in `w`, which the watcher owns. Then `stopped` is told the outcome, and the card it
// asks for stays up until any key or WatchCardFrames. The game's state is left as the last frame had it, its controls
// and style as the script set them.
std::unique_ptr<Screen> OpenWatch(World& w, const ReplayScript& script, const std::string& whose, WatchStopped stopped);

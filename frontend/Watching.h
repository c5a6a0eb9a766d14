// Playing a script's game in the game's own window, at its own pace and with its sounds: a kept game watched again,
// or a game of the online board. A caption says whose game it is while it plays, and a card of ours ends it.
#pragma once
#include "game/Loop.h"
#include "game/replay/ReplayScript.h"
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

// Plays the script from its seed with its input, keys, controls, style and palette, as the menu's start game starts a
// game, until one of the endings above, with the caption naming `whose` game it is over every frame. The recorded
// player's game-over page never shows: the frame that would show it shows the card instead (ShowWatchCard then
// keeps it up). The game plays in `w`, which the watcher owns and finds as the last frame had it; its controls and
// style are left as the script set them, and its input still played back.
WatchOutcome WatchGame(World& w, const ReplayScript& script, const std::string& whose);
// The same watch a frame at a time, for a caller that owns the frames (the browser's page): StartWatch sets it up,
// each StepWatch makes one frame and is false once the watch has ended, with its outcome kept in the run.
struct WatchRun {
    World* Fight = nullptr; // the watcher's
    Loop Frames;
    WatchOutcome Outcome;
    bool Ended = false;
};
void StartWatch(WatchRun& run, World& w, const ReplayScript& script, const std::string& whose);
bool StepWatch(WatchRun& run);
// The card a watched game ends on: whose game, its score, level and length, until any key or WatchCardFrames.
// Reads the keyboard, so the script's input must be stopped first. Not for a watch stopped with Escape.
void ShowWatchCard(const std::string& whose, const WatchOutcome& outcome);

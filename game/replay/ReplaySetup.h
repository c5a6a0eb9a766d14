// What a replay shares with the game that kept it: the controls, keys and look the script names, and the state line
// that says where a game stands.
#pragma once
#include "ReplayScript.h"
#include <string>

struct World;

// The controls, keys, style and palette the script was played with, set as the options screen sets them.
void ApplyReplaySetup(const ReplayScript& script);
// The script's set-up taken from the settings as they stand, for a game about to be kept.
void TakeReplaySetup(ReplayScript& script);

// "frame=120 score=40 ships=3 level=1 x=900.00 y=256.00 angle=270.00 sections=36 missiles=1 enemy-bullets=0
// explosions=2 hash=2f543d006a08df9d": where the game in `w` stands now, as the replay tool prints it.
std::string ReplayStateLine(const World& w, int frame);
// "end=game-over " and the state line: how a replay ended and where the game stood.
std::string ReplayEndLine(const World& w, const char* ending, int frame);

// The level page and the level-end and death sequences: phases of a game, each opened by the checks after a flip,
// with a step, a draw and its own checks after the flip that name the next phase.
#pragma once
#include "GameLoop.h"
#include "core/Score.h"

struct World;

// The level page for `Level`: at the game's start (`opensPlay`, the play begins after it) or after a level's end.
void OpenLevelPage(World& w, GameRun& run, bool opensPlay);
void StepLevelPage();
void DrawLevelPage(const World& w);
// A key, a held pad button or the page's time limit leaves it, with the level's fortress and the ship set up.
void FinishLevelPageFrame(World& w, GameRun& run);
// The fortress and the ship at the start of a level: the three rings at the level's speed, the ship at its spawn.
void SetUpLevel(World& w);

// The cannon was hit: the fortress blows up and the rings collapse, then the next level's page.
void BeginLevelEnd(World& w, GameRun& run);
void StepLevelEnd(World& w);
void DrawLevelEnd(const World& w);
void FinishLevelEndFrame(World& w, GameRun& run);

// The ship was hit: its blast and fragments, then the ship-lost or game-over page.
void BeginDeath(World& w, GameRun& run);
void StepDeath(World& w);
void DrawDeath(const World& w);
void FinishDeathFrame(World& w, GameRun& run);

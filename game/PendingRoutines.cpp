// Routines the frame loop and start-up already call whose subsystems are still being built: until each lands it
// draws and changes nothing, so the game around it can already be run and seen.
#include "frontend/HighScores.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"

void SyncScores() {}
void CheckVersion() {}
void HighscoreScreen() {}

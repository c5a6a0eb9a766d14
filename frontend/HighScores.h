// The online score service as the game's pages call it: the sync, the version check and the high-score screen.
#pragma once

void SyncScores();
void CheckVersion();
void HighscoreScreen();

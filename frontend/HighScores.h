// The online score service as the game's pages call it: the sync, the version check and the high-score screen.
#pragma once
#include <string>

// Uploads the last score (when there is one) with the kept game that scored it, then fetches the top ten, behind
// the wait screen. Run one at a time in that order, so the top ten read holds the upload.
void SyncScores();
// Asks for the version list and puts the new-version notice on the menu's bottom line when a newer one is out.
void CheckVersion();
void HighscoreScreen();

// One row of the online table as the screen writes it: name, level in three digits, score.
std::string HighscoreRowText(int row);
// Only rows holding a score are shown: the placeholders sort before "0" and a score of "0" is no score.
bool HighscoreRowShown(int row);
// Forgets what the last upload's reply said, before the high-score screen has shown it.
void ResetSyncNote();

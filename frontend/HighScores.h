// The online score service as the game's pages call it: the sync, the version check and the high-score screen.
#pragma once
#include "core/Settings.h"
#include "game/Loop.h"
#include <memory>
#include <string>

struct World;

// Uploads the last score (when there is one) with the kept game that scored it, then fetches the top ten, behind
// the wait screen. Run one at a time in that order, so the top ten read holds the upload. A screen of the loop that
// looks at the component once a frame and closes once both are answered. The score and level are those of the game
// in `w`, whose ship the wait screen shows.
std::unique_ptr<Screen> OpenSync(const World& w);
// Asks for the version list behind the wait screen and puts the new-version notice on the menu's bottom line when a
// newer one is out.
std::unique_ptr<Screen> OpenVersionCheck(const World& w);
// The sync, then the version check, behind one wait screen: what every sync the player asks for is.
std::unique_ptr<Screen> OpenSyncAndVersionCheck(const World& w);
// The high-score screen, a screen of the loop; it notes what came of the sync that led to it, where it left a note
// (TakeSyncNote). The last score shown is that of the game in `w`.
std::unique_ptr<Screen> OpenHighscores(World& w);

// The online table as the last good reply left it, kept while a sync empties it for its reply: a failed sync puts it
// back.
struct OnlineTable {
    std::string Names[OnlineRows], Levels[OnlineRows], Scores[OnlineRows], Dates[OnlineRows];
};
OnlineTable TakeOnlineTable();
void PutBackOnlineTable(const OnlineTable& table);
// Whether the last sync fetched the top ten.
bool SyncFetchedTopTen();
// What the last sync came to when not all went well (no answer, a busy server, the server's refusal of the top ten or
// of the score, or its reply to the score when that was not "ok"), once: empty when all went well, or when the note
// was taken already.
std::string TakeSyncNote();

// One row of the online table as the screen writes it: name, level in three digits, score.
std::string HighscoreRowText(int row);
// Only rows holding a score are shown: the placeholders sort before "0" and a score of "0" is no score.
bool HighscoreRowShown(int row);
// Forgets the last sync's note, where no screen took it.
void ResetSyncNote();

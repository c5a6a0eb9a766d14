// The games behind the online top ten: each row's game as the server names it, fetched through the network
// component and watched in the game's own window from the high-score screen.
#pragma once
#include "core/Settings.h"
#include <string>

// Whether a reply's line names a game: 16 to 64 lowercase hex digits.
bool IsOnlineGameName(const std::string& text);

// Whether a row of the online table is shown and names a game to watch.
bool OnlineRowHasGame(int row);

// Fetches and watches the game behind a shown row of the online table; returns the one line the high-score screen
// shows when it can't (no game behind the row, a failed download, a script the game can't play), empty when the
// game was watched. A watched game is never kept nor uploaded, and leaves the player's score, best, controls and
// style as they were.
std::string WatchRowGame(int row);

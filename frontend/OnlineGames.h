// The games behind the online top ten: each row's game as the server names it, fetched through the network
// component and watched in the game's own window from the high-score screen.
#pragma once
#include "core/Settings.h"
#include "game/Loop.h"
#include <string>

struct World;
// Whether a reply's line names a game: 16 to 64 lowercase hex digits.
bool IsOnlineGameName(const std::string& text);

// Whether a row of the online table is shown and names a game to watch.
bool OnlineRowHasGame(int row);

// The game behind a shown row of the online table, fetched with one look at the component a frame behind the
// high-score screen, then watched in a screen opened over it. A watched game is never kept nor uploaded, and leaves the
// player's score, best, controls and style as they were.
class RowGameFetch {
  public:
    // Asks the server for the row's game: the one line the high-score screen shows when there is none to ask for,
    // empty when the request went out.
    std::string Start(int row);
    bool Fetching() const { return Row >= 0; }
    // One look at the component: false while the game is on its way. Once the fetch is over, the watch is open over
    // the screen and `notice` is empty (the game watched in a world of its own; the fortress of `menu`, the world
    // behind the menu, stands afresh after it), or `notice` says why it can't be watched (a failed download, a script
    // the game can't play).
    bool Look(Loop& loop, World& menu, std::string& notice);

  private:
    std::string Watch(int row, Loop& loop, World& menu);
    int Row = -1;
    bool Fetched = false;
    std::string Text;
};

// Every game a player plays, kept as a replay script beside the settings file: the last game, the best-scoring
// game and a short history of the games before the last.
#pragma once
#include <string>
#include <vector>

struct World;

constexpr int KeptHistoryGames = 8;

// At the start of a player's game: the seed taken (the held ticket's, when it is fresh), the input recorded from
// here on.
void BeginKeptGame();
// After each frame of the kept game has been shown, told by the game: the next game's ticket moves on, and the
// first frame of the game-over page is where the kept game ends, the line its replay stops with.
void KeptGameFrameShown(const World& w);
// When the game has returned to the menu: the script written as the last game, and as the best when it made the
// personal highscore; the next game's ticket is asked for.
void EndKeptGame();
// When the window closes during a game: what was played so far, kept as the last game.
void KeepGameInProgress();

// Where the kept games live: beside the settings file, named after it ("Kestrovar-last-game.txt").
std::string LastGamePath();
std::string BestGamePath();
std::string HistoryGamePath(int n); // 1 the game before the last, up to KeptHistoryGames
// Every file the kept games may leave, their half-written ".new" files included.
std::vector<std::string> KeptGameFiles();
// The score a kept game's file says it reached; false when it says none.
bool KeptGameScore(const std::string& path, int& score);
// The script of the game that scored `score` at `level`, as the sync uploads it: the game just over, still on its
// game-over page and not yet written, or else the last game kept beside the settings. False when neither is that
// game (a game still being played, no kept game, one that scored otherwise, a file that cannot be read whole).
bool KeptGameForScore(int score, int level, std::string& script);

// Whether the games started from the menu are the player's own, to be kept: the program's own run keeps them, a
// replay or a watched game does not.
void SetKeepPlayerGames(bool on);
bool KeepingPlayerGames();

void ResetKeptGames();

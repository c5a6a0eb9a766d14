// One game as a state of the loop: its phases (the level page, play, the exit prompt, the level's end, a lost ship's
// blast, the ship-lost and game-over page), each with a step and a draw, and the checks after each flip that name
// the next phase; the loop that plays a game; and the frame-rate counter.
#pragma once
#include <functional>

struct World;

enum class GamePhase {
    LevelPage,    // "get ready player...": the level's number, until a key or 241 frames
    Playing,      // the fight
    ExitPrompt,   // "exit game (y/n)" over the standing fortress
    LevelEnd,     // the fortress's blast and the rings' collapse
    Death,        // the ship's blast and fragments
    ShipLostPage, // the ship-lost page, or the game-over page once the last ship is gone
    Syncing,      // the game-over page asked for the online sync: the screens above run it, then the page ends
    Over          // the game is left: the loop ends
};

// Where a game stands between two frames. The fight itself lives in the game state; this is only the game's place
// in its sequence and the frame counts of the phase it is in.
struct GameRun {
    GamePhase Phase = GamePhase::LevelPage;
    bool PageOpensPlay = false; // the level page at the game's start, which starts the music and the play
    int Frames = 0;             // frames shown of the current page or sequence
    int Leave = 0;              // the ship-lost page is left once the sync it asked for has run
};

// What the loop needs from whoever plays the game: whether frames are drawn and heard (a check steps them only), what
// is drawn
// over each frame (a watched game's caption), the online sync the game-over page may ask for (none: the page just
// ends), and the check after every flip that may stop the game where it stands (a replay or a watched game at its
// end).
struct GameDriver {
    bool Drawn = true;
    bool Heard = true; // the sounds the steps ask for are made; a check drops them
    std::function<void()> Overlay;
    std::function<void()> Sync;
    std::function<bool()> StopAfterFlip;
};

enum class GameEnding { Left, Stopped };

// A new game from the menu's "start game": three spare ships at level 1, the pad's rest position sampled.
void PrepareNewGame(World& w);
// The loop of one game: step, draw, flip, then the checks that name the next phase, until the game is left (its end
// made, the menu's music back) or stopped from outside (left as the last frame had it).
GameEnding PlayGame(World& w, const GameDriver& driver = {});

// The game's start up to its first level page; no frame is made.
GameRun StartGame(World& w);
// One frame of the phase the game is in: the step changes the game and draws nothing, the draw changes nothing.
void StepGame(World& w, GameRun& run);
void DrawGame(const World& w, const GameRun& run);
// The cleared frame with the fight's backdrop, stars, rings, cannon and explosions, behind each phase's own pieces.
void DrawFortressScene(const World& w);
// The checks after the frame's flip: the page's keys, the ends of the sequences, the Escape key; they name the next
// phase. A sync asked for stops them halfway (phase Syncing); called again after the sync, they finish.
void FinishGameFrame(World& w, GameRun& run);

// What the game does after a frame of play, and after the level page or ship-lost page that ends a sequence: Escape
// or a lost focus opens the exit prompt; otherwise play goes on, or the game ends when it is being left.
void CheckEscape(World& w, GameRun& run);
// The play begins after the game's first level page: the game's music, and play.
void StartPlaying(World& w, GameRun& run);

// The game's end as the loop makes it when the game is left: the menu's music and demo mode back. Also for a game
// cut short from outside the loop (a watched game stopped).
void EndGame(World& w);
void UpdateFrameRate();
// The exit prompt's answer for one pass: 1 leave, 2 stay, 0 none yet.
int ReadExitAnswer();

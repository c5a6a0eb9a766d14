// One game as a state of the loop: its phases (the level page, play, the exit prompt, the level's end, a lost ship's
// blast, the ship-lost and game-over page), each with a step and a draw, and the checks after each flip that name
// the next phase; the screen that plays a game; and the frame-rate counter.
#pragma once
#include "Loop.h"
#include <functional>
#include <utility>

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

// What a game needs from whoever plays it: what is drawn over each frame (a watched game's caption), the online
// sync the game-over page may ask for (none: the page just ends), which opens its screens over the game, what its
// owner does once each of the game's frames has been shown (a kept game learns there that the game-over page is up),
// told before the game's next step, and where a game played from outside stops (a watch): asked after that, before
// the game's own checks, true closes the screen with the game standing as the last frame left it, its end not made.
struct GameDriver {
    std::function<void()> Overlay;
    std::function<void(Loop&)> Sync;
    std::function<void(const World&)> FrameShown;
    std::function<bool()> Stop;
};

// One game as a screen of the loop: each step makes the checks after the last flip that name the next phase (the
// sync the game-over page asks for opens over the game), then steps the phase the game is in; the draw shows it. The
// screen closes once the game is left, its end made (the menu's music back), or where its driver stops it. A replay
// that stops it where it stands simply stops turning the loop.
class GameScreen : public Screen {
  public:
    // The screen plays in `world`, which its owner keeps.
    explicit GameScreen(World& world, GameDriver driver = {}) : Fight(world), Driver(std::move(driver)) {}
    void Step(Loop& loop) override;
    void Resume(Loop& loop) override;
    void Draw() const override;
    const GameRun& Run() const { return State; }

  private:
    // The checks after a flip; true when the game has left this frame to another screen or has ended.
    bool CheckAfterFlip(Loop& loop, bool synced);
    World& Fight;
    GameDriver Driver;
    GameRun State;
    bool Started = false;
};

// A new game from the menu's "start game": three spare ships at level 1, the pad's rest position sampled.
void PrepareNewGame(World& w);

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
void UpdateFrameRate(World& w);
// The exit prompt's answer for one pass: 1 leave, 2 stay, 0 none yet.
int ReadExitAnswer();

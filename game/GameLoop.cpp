// One game in the loop: its start, the frame of play and the exit prompt (each a step and a draw), the checks after
// each flip that name the next phase, the game's screen, and the game's end.
#include "GameLoop.h"
#include "Levels.h"
#include "PadRest.h"
#include "Pages.h"
#include "Ship.h"
#include "ShipLost.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Missiles.h"
#include "fortress/World.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <utility>

// What every phase of a fight shows behind its own pieces: the backdrop, the stars, the rings, the cannon and the
// explosions, on a cleared frame.
void DrawFortressScene(const World& w) {
    Cls();
    DrawBackdrop();
    DrawStars();
    DrawSections(w);
    DrawCannon(w);
    DrawExplosions(w);
}

namespace {
constexpr int KeyEscape = 27;
constexpr int KeyY = 89;
constexpr int KeyN = 78;
constexpr int FpsWindowMs = 500;
constexpr int StateLeave = 3;
constexpr float PromptPulseStart = 25;
constexpr int StartGameDelayMs = 250;
constexpr int LeavePromptDelayMs = 100;

// A frame of play. The step moves the fight on and draws nothing; the draw shows what the step left.
void StepGameFrame(World& w) {
    UpdateShipControls(w);
    MoveShip(w);
    MoveSections(w);
    UpdateSections(w);
    UpdateCannon(w);
    UpdateExplosions(w);
    UpdatePlayerBullets(w);
    UpdateEnemyBullets(w);
    CountMissiles(w);
    UpdateMissiles(w);
    UpdateParticles(w);
    PickShipFlicker(w);
    UpdateFrameRate(w);
}

void DrawGameFrame(const World& w) {
    DrawFortressScene(w);
    DrawPlayerBullets(w);
    DrawEnemyBullets(w);
    DrawMissiles(w);
    DrawParticles(w);
    DrawShip(w);
    DrawFrameRate(w);
    DrawVectorText("score: " + IntToText(w.Score), 20, 1, 0xFFFFFF00, 0, 0.75f, 0.75f, 0, 255, 255, 0);
}

// The fortress stands still behind the prompt: nothing moves, bullets and particles are not drawn.
void StepExitPromptFrame(World& w) {
    UpdateSections(w);
    UpdateCannon(w);
    UpdateExplosions(w);
    CountMissiles(w);
    PickShipFlicker(w);
    UpdateFrameRate(w);
}

void DrawExitPromptFrame(const World& w) {
    DrawFortressScene(w);
    DrawMissiles(w);
    DrawShip(w);
    DrawFrameRate(w);
    DrawZoomText("exit game (y/n)", 11.5f, 20, 0xFFFFFFFF, w.PromptPulse, 1.0f, 1.0f, 0, 255, 255, 255);
    DrawVectorText("press right key for no", 14, 28.5f, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
    DrawVectorText("press left key for yes", 14, 30, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
}

void OpenExitPrompt(World& w, GameRun& run) {
    if (TheSettings.SoundFXOn == 1) Sound::Play("BlipSND", 0);
    w.PromptPulse = PromptPulseStart;
    w.ExitPromptShown = 1;
    FlushKeys();
    run.Phase = GamePhase::ExitPrompt;
}

// Play goes on, or the game ends once it is being left.
void PlayOnOrEnd(World& w, GameRun& run) {
    run.Phase = w.GameState == StateLeave ? GamePhase::Over : GamePhase::Playing;
}

void FinishExitPromptFrame(World& w, GameRun& run) {
    int answer = ReadExitAnswer();
    if (w.PromptPulse > 0) w.PromptPulse -= 1;
    if (answer == 0) return;
    w.GameState = answer == 1 ? StateLeave : 0;
    w.PromptPulse = PromptPulseStart;
    w.ExitPromptShown = 0;
    Delay(LeavePromptDelayMs);
    FlushKeys();
    WindowFocusLost(); // a focus lost while the prompt was up needs no second prompt
    PlayOnOrEnd(w, run);
}

} // namespace

void PrepareNewGame(World& w) {
    w.ShipsLeft = 3;
    w.Level = 1;
    w.Score = 0;
    w.DemoMode = 0;
    FlushKeys();
    FlushJoy();
    Delay(StartGameDelayMs);
    // The pad's rest position is taken as the game starts: any push away from it steers.
    SamplePadRest();
    FlushJoy();
    if (TheSettings.SoundFXOn == 1) Sound::Play("SectionHit", 0);
}

GameRun StartGame(World& w) {
    WindowFocusLost(); // the focus lost before this game is no reason to pause it
    // A fresh world: nothing of the game or attract play before (a turn in progress, bullets and debris in the air, a
    // game being left while a game is watched from its game-over page) reaches this one. The ships and the demo flag
    // are what the menu's start game set.
    World fresh;
    fresh.ShipsLeft = w.ShipsLeft;
    fresh.DemoMode = w.DemoMode;
    fresh.ParticlesUnseen = w.ParticlesUnseen; // whether anyone watches is the replay's, not the game's
    w = std::move(fresh);
    SetShipTuning(w);
    w.FpsTimer = MilliSecs();
    w.Level = 1;
    w.ShipX = SpawnX;
    w.ShipY = SpawnY;
    w.ShipAngle = SpawnAngle; // nose to the left, toward the fortress
    w.CannonFireDelay = SpawnCannonDelay;
    w.SpawnGrace = SpawnGraceFrames;
    BuildMenuRings(w);
    CreateStars();
    GameRun run;
    OpenLevelPage(w, run, true);
    return run;
}

void StartPlaying(World& w, GameRun& run) {
    w.DemoMode = 0;
    w.BonusCounter = 0;
    if (TheSettings.MusicOn == 1 && Sound::IsPlaying("menu-loop")) Sound::Stop("menu-loop");
    if (TheSettings.MusicOn == 1) Sound::Play("ingame-loop", 1);
    if (TheSettings.NeonMode == 1) TPoly::_Begin();
    run.Phase = GamePhase::Playing;
}

void StepGame(World& w, GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: StepLevelPage(); break;
    case GamePhase::Playing: StepGameFrame(w); break;
    case GamePhase::ExitPrompt: StepExitPromptFrame(w); break;
    case GamePhase::LevelEnd: StepLevelEnd(w); break;
    case GamePhase::Death: StepDeath(w); break;
    case GamePhase::ShipLostPage: StepShipLostPage(w, run); break;
    case GamePhase::Syncing:
    case GamePhase::Over: break;
    }
}

void DrawGame(const World& w, const GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: DrawLevelPage(w); break;
    case GamePhase::Playing: DrawGameFrame(w); break;
    case GamePhase::ExitPrompt: DrawExitPromptFrame(w); break;
    case GamePhase::LevelEnd: DrawLevelEnd(w); break;
    case GamePhase::Death: DrawDeath(w); break;
    case GamePhase::ShipLostPage: DrawShipLostPage(w); break;
    case GamePhase::Syncing:
    case GamePhase::Over: break;
    }
}

void FinishGameFrame(World& w, GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: FinishLevelPageFrame(w, run); break;
    case GamePhase::Playing:
        // The level's end first: a frame that destroys the cannon and the ship wins the level.
        if (w.CannonDestroyed == 1)
            BeginLevelEnd(w, run);
        else if (w.PlayerDead == 1)
            BeginDeath(w, run);
        else
            CheckEscape(w, run);
        break;
    case GamePhase::ExitPrompt: FinishExitPromptFrame(w, run); break;
    case GamePhase::LevelEnd: FinishLevelEndFrame(w, run); break;
    case GamePhase::Death: FinishDeathFrame(w, run); break;
    case GamePhase::ShipLostPage:
    case GamePhase::Syncing: FinishShipLostFrame(w, run); break;
    case GamePhase::Over: break;
    }
}

void CheckEscape(World& w, GameRun& run) {
    // Losing the window's focus (another window in front) pauses as Escape does, so it never costs a ship.
    if (KeyHit(KeyEscape) || (w.GameState != StateLeave && WindowFocusLost() > 0))
        OpenExitPrompt(w, run);
    else
        PlayOnOrEnd(w, run);
}

bool GameScreen::CheckAfterFlip(Loop& loop, bool synced) {
    if (!synced) FinishGameFrame(Fight, State);
    while (State.Phase == GamePhase::Syncing) {
        if (Driver.Sync && !synced) {
            Driver.Sync(loop);
            // The sync's screens run over the game: the page's checks finish once they close.
            if (loop.Top() != this) return true;
        }
        synced = false;
        FinishGameFrame(Fight, State);
    }
    if (State.Phase != GamePhase::Over) return false;
    EndGame(Fight);
    loop.Close();
    return true;
}

void GameScreen::Step(Loop& loop) {
    if (!Started) {
        Started = true;
        State = StartGame(Fight);
    } else {
        if (Driver.FrameShown) Driver.FrameShown(Fight);
        if (Driver.Stop && Driver.Stop()) {
            loop.Close();
            return;
        }
        if (CheckAfterFlip(loop, false)) return;
    }
    StepGame(Fight, State);
}

void GameScreen::Resume(Loop& loop) {
    if (CheckAfterFlip(loop, true)) return;
    StepGame(Fight, State);
}

void GameScreen::Draw() const {
    DrawGame(Fight, State);
    if (Driver.Overlay) Driver.Overlay();
}

void EndGame(World& w) {
    if (TheSettings.NeonMode == 1) TPoly::_End();
    w.GameState = 0;
    w.DemoMode = 1;
    if (TheSettings.MusicOn == 1 && Sound::IsPlaying("ingame-loop")) Sound::Stop("ingame-loop");
    if (TheSettings.MusicOn == 1) Sound::Play("menu-loop", 1);
}

int ReadExitAnswer() {
    // Each group stops at its first hit; when both groups are hit in one pass, staying wins.
    int answer = 0;
    if (KeyHit(KeyY) || KeyHit(TheSettings.KeyTurnLeft) || KeyHit(KeyReturn)) answer = 1;
    if (KeyHit(KeyN) || KeyHit(TheSettings.KeyTurnRight) || KeyHit(KeyEscape)) answer = 2;
    return answer;
}

void UpdateFrameRate(World& w) {
    w.FpsFrames += 1;
    // The timer moves on by whole windows, so after a stall several frames in a row each close one.
    if (MilliSecsBetween(w.FpsTimer, MilliSecs()) > FpsWindowMs) {
        w.FpsTimer = MilliSecsAfter(w.FpsTimer, FpsWindowMs);
        w.Fps = static_cast<int>(w.FpsFrames * 2);
        w.FpsFrames = 0;
    }
}

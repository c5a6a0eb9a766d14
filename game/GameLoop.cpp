// One game in the loop: its start, the frame of play and the exit prompt (each a step and a draw), the checks after
// each flip that name the next phase, the loop itself, and the game's end.
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
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"

// What every phase of a fight shows behind its own pieces: the backdrop, the stars, the rings, the cannon and the
// explosions, on a cleared frame.
void DrawFortressScene() {
    Cls();
    DrawBackdrop();
    DrawStars();
    DrawSections();
    DrawCannon();
    DrawExplosions();
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
void StepGameFrame() {
    UpdateShipControls();
    MoveShip();
    MoveSections();
    UpdateSections();
    UpdateCannon();
    UpdateExplosions();
    UpdatePlayerBullets();
    UpdateEnemyBullets();
    CountMissiles();
    UpdateMissiles();
    UpdateParticles();
    PickShipFlicker();
    UpdateFrameRate();
}

void DrawGameFrame() {
    DrawFortressScene();
    DrawPlayerBullets();
    DrawEnemyBullets();
    DrawMissiles();
    DrawParticles();
    DrawShip();
    DrawFrameRate();
    DrawVectorText("score: " + IntToText(Score), 20, 1, 0xFFFFFF00, 0, 0.75f, 0.75f, 0, 255, 255, 0);
}

// The fortress stands still behind the prompt: nothing moves, bullets and particles are not drawn.
void StepExitPromptFrame() {
    UpdateSections();
    UpdateCannon();
    UpdateExplosions();
    CountMissiles();
    PickShipFlicker();
    UpdateFrameRate();
}

void DrawExitPromptFrame() {
    DrawFortressScene();
    DrawMissiles();
    DrawShip();
    DrawFrameRate();
    DrawZoomText("exit game (y/n)", 11.5f, 20, 0xFFFFFFFF, PromptPulse, 1.0f, 1.0f, 0, 255, 255, 255);
    DrawVectorText("press right key for no", 14, 28.5f, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
    DrawVectorText("press left key for yes", 14, 30, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
}

void OpenExitPrompt(GameRun& run) {
    if (SoundFXOn == 1) Sound::Play("BlipSND", 0);
    PromptPulse = PromptPulseStart;
    ExitPromptShown = 1;
    FlushKeys();
    run.Phase = GamePhase::ExitPrompt;
}

// Play goes on, or the game ends once it is being left.
void PlayOnOrEnd(GameRun& run) { run.Phase = GameState == StateLeave ? GamePhase::Over : GamePhase::Playing; }

void FinishExitPromptFrame(GameRun& run) {
    int answer = ReadExitAnswer();
    if (PromptPulse > 0) PromptPulse -= 1;
    if (answer == 0) return;
    GameState = answer == 1 ? StateLeave : 0;
    PromptPulse = PromptPulseStart;
    ExitPromptShown = 0;
    Delay(LeavePromptDelayMs);
    FlushKeys();
    WindowFocusLost(); // a focus lost while the prompt was up needs no second prompt
    PlayOnOrEnd(run);
}

// Everything a frame of play reads that the game's start below does not set, as a fresh program has it: the ship's
// turn, speed, shape, gun cooldown and bullets, the cannon's swing and the chevrons' and sparks' animation, the
// debris and the counters of missiles and explosions. Without it a turn in progress when one game ended would spin
// the next game's ship, and a kept game would no longer play the same from a fresh start.
void StartFromFreshState() {
    ResetShip();
    SetShipTuning();
    ResetCannon();
    ResetMissiles();
    ResetEffects();
    MissileCount = 0;
    ExplosionsActive = 0;
    ExitPromptShown = 0;
    PromptPulse = PromptPulseStart;
    GameState = 0; // a game watched from the game-over page starts inside one that is leaving
}
} // namespace

void PrepareNewGame() {
    ShipsLeft = 3;
    Level = 1;
    Score = 0;
    DemoMode = 0;
    FlushKeys();
    FlushJoy();
    Delay(StartGameDelayMs);
    // The pad's rest position is taken as the game starts: any push away from it steers.
    SamplePadRest();
    FlushJoy();
    if (SoundFXOn == 1) Sound::Play("SectionHit", 0);
}

GameRun StartGame() {
    WindowFocusLost(); // the focus lost before this game is no reason to pause it
    StartFromFreshState();
    FpsTimer = MilliSecs();
    PlayerDead = 0;
    Score = 0;
    Level = 1;
    ShipXSpeed = ShipYSpeed = 0;
    ShipX = 900;
    ShipY = 256;
    ShipAngle = 270; // nose to the left, toward the fortress
    CannonFireDelay = SpawnCannonDelay;
    SpawnGrace = SpawnGraceFrames;
    ClearFortress();
    BuildMenuRings();
    CannonAngle = 0;
    CreateStars();
    MenuLogoA = MenuLogoB = 180;
    CannonDestroyed = 0;
    GameRun run;
    OpenLevelPage(run, true);
    return run;
}

void StartPlaying(GameRun& run) {
    DemoMode = 0;
    BonusCounter = 0;
    if (MusicOn == 1 && Sound::IsPlaying("menu-loop")) Sound::Stop("menu-loop");
    if (MusicOn == 1) Sound::Play("ingame-loop", 1);
    if (NeonMode == 1) TPoly::_Begin();
    run.Phase = GamePhase::Playing;
}

void StepGame(GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: StepLevelPage(); break;
    case GamePhase::Playing: StepGameFrame(); break;
    case GamePhase::ExitPrompt: StepExitPromptFrame(); break;
    case GamePhase::LevelEnd: StepLevelEnd(); break;
    case GamePhase::Death: StepDeath(); break;
    case GamePhase::ShipLostPage: StepShipLostPage(run); break;
    case GamePhase::Syncing:
    case GamePhase::Over: break;
    }
}

void DrawGame(const GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: DrawLevelPage(); break;
    case GamePhase::Playing: DrawGameFrame(); break;
    case GamePhase::ExitPrompt: DrawExitPromptFrame(); break;
    case GamePhase::LevelEnd: DrawLevelEnd(); break;
    case GamePhase::Death: DrawDeath(); break;
    case GamePhase::ShipLostPage: DrawShipLostPage(); break;
    case GamePhase::Syncing:
    case GamePhase::Over: break;
    }
}

void FinishGameFrame(GameRun& run) {
    switch (run.Phase) {
    case GamePhase::LevelPage: FinishLevelPageFrame(run); break;
    case GamePhase::Playing:
        // The level's end first: a frame that destroys the cannon and the ship wins the level.
        if (CannonDestroyed == 1)
            BeginLevelEnd(run);
        else if (PlayerDead == 1)
            BeginDeath(run);
        else
            CheckEscape(run);
        break;
    case GamePhase::ExitPrompt: FinishExitPromptFrame(run); break;
    case GamePhase::LevelEnd: FinishLevelEndFrame(run); break;
    case GamePhase::Death: FinishDeathFrame(run); break;
    case GamePhase::ShipLostPage:
    case GamePhase::Syncing: FinishShipLostFrame(run); break;
    case GamePhase::Over: break;
    }
}

void CheckEscape(GameRun& run) {
    // Losing the window's focus (another window in front) pauses as Escape does, so it never costs a ship.
    if (KeyHit(KeyEscape) || (GameState != StateLeave && WindowFocusLost() > 0))
        OpenExitPrompt(run);
    else
        PlayOnOrEnd(run);
}

bool GameScreen::CheckAfterFlip(Loop& loop, bool synced) {
    if (!synced) FinishGameFrame(State);
    while (State.Phase == GamePhase::Syncing) {
        if (Driver.Sync && !synced) {
            Driver.Sync(loop);
            // The sync's screens run over the game: the page's checks finish once they close.
            if (loop.Top() != this) return true;
        }
        synced = false;
        FinishGameFrame(State);
    }
    if (State.Phase != GamePhase::Over) return false;
    EndGame();
    loop.Close();
    return true;
}

void GameScreen::Step(Loop& loop) {
    if (!Started) {
        Started = true;
        State = StartGame();
    } else if (CheckAfterFlip(loop, false)) {
        return;
    }
    StepGame(State);
}

void GameScreen::Resume(Loop& loop) {
    if (CheckAfterFlip(loop, true)) return;
    StepGame(State);
}

void GameScreen::Draw() const {
    DrawGame(State);
    if (Driver.Overlay) Driver.Overlay();
}

void PlayGame(const GameDriver& driver) {
    Loop loop;
    loop.Open(std::make_unique<GameScreen>(driver));
    while (RunFrame(loop)) {
    }
}

void EndGame() {
    if (NeonMode == 1) TPoly::_End();
    GameState = 0;
    DemoMode = 1;
    if (MusicOn == 1 && Sound::IsPlaying("ingame-loop")) Sound::Stop("ingame-loop");
    if (MusicOn == 1) Sound::Play("menu-loop", 1);
}

int ReadExitAnswer() {
    // Each group stops at its first hit; when both groups are hit in one pass, staying wins.
    int answer = 0;
    if (KeyHit(KeyY) || KeyHit(KeyTurnLeft) || KeyHit(KeyReturn)) answer = 1;
    if (KeyHit(KeyN) || KeyHit(KeyTurnRight) || KeyHit(KeyEscape)) answer = 2;
    return answer;
}

void UpdateFrameRate() {
    FpsFrames += 1;
    // The timer moves on by whole windows, so after a stall several frames in a row each close one.
    if (MilliSecsBetween(FpsTimer, MilliSecs()) > FpsWindowMs) {
        FpsTimer = MilliSecsAfter(FpsTimer, FpsWindowMs);
        Fps = static_cast<int>(FpsFrames * 2);
        FpsFrames = 0;
    }
}

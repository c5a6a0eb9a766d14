// The game's frame loop: every step in its fixed order, then every draw in the same order, the flip, and the
// level-end, death and Escape checks after it.
#include "GameLoop.h"
#include "Levels.h"
#include "Pages.h"
#include "Ship.h"
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

namespace {
constexpr int KeyEscape = 27;
constexpr int KeyY = 89;
constexpr int KeyN = 78;
constexpr int FpsWindowMs = 500;
constexpr int StateLeave = 3;
constexpr float PromptPulseStart = 25;

bool FramesShown = true; // off where nobody sees the frames: the score server's checker and the replay tool

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
    Cls();
    DrawBackdrop();
    DrawStars();
    DrawSections();
    DrawCannon();
    DrawExplosions();
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
    Cls();
    DrawBackdrop();
    DrawStars();
    DrawSections();
    DrawCannon();
    DrawExplosions();
    DrawMissiles();
    DrawShip();
    DrawFrameRate();
    DrawZoomText("exit game (y/n)", 11.5f, 20, 0xFFFFFFFF, PromptPulse, 1.0f, 1.0f, 0, 255, 255, 255);
    DrawVectorText("press right key for no", 14, 28.5f, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
    DrawVectorText("press left key for yes", 14, 30, 0xFFFF40FF, 0, 0.75f, 0.75f, 0, 255, 64, 255);
}

void ExitPrompt() {
    if (SoundFXOn == 1) Sound::Play("BlipSND", 0);
    PromptPulse = PromptPulseStart;
    ExitPromptShown = 1;
    FlushKeys();
    int answer = 0;
    do {
        StepExitPromptFrame();
        if (FramesShown) DrawExitPromptFrame();
        Flip(-1);
        answer = ReadExitAnswer();
        if (PromptPulse > 0) PromptPulse -= 1;
    } while (answer == 0);
    GameState = answer == 1 ? StateLeave : 0;
    PromptPulse = PromptPulseStart;
    ExitPromptShown = 0;
    Delay(100);
    FlushKeys();
    WindowFocusLost(); // a focus lost while the prompt was up needs no second prompt
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

void StartGame() {
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
    StartLevel();
    DemoMode = 0;
    BonusCounter = 0;
    if (MusicOn == 1 && Sound::IsPlaying("menu-loop")) Sound::Stop("menu-loop");
    if (MusicOn == 1) Sound::Play("ingame-loop", 1);
    if (NeonMode == 1) TPoly::_Begin();
}

} // namespace

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

void ShowGameFrames(bool show) { FramesShown = show; }
bool GameFramesShown() { return FramesShown; }

void UpdateFrameRate() {
    FpsFrames += 1;
    // The timer moves on by whole windows, so after a stall several frames in a row each close one.
    if (MilliSecsBetween(FpsTimer, MilliSecs()) > FpsWindowMs) {
        FpsTimer = MilliSecsAfter(FpsTimer, FpsWindowMs);
        Fps = static_cast<int>(FpsFrames * 2);
        FpsFrames = 0;
    }
}

void PlayGame() {
    StartGame();
    while (GameState != StateLeave) {
        StepGameFrame();
        if (FramesShown) DrawGameFrame();
        Flip(-1);
        CompleteLevel();
        PlayerDeath();
        // Losing the window's focus (another window in front) pauses as Escape does, so it never costs a ship.
        if (KeyHit(KeyEscape) || (GameState != StateLeave && WindowFocusLost() > 0)) ExitPrompt();
    }
    EndGame();
}

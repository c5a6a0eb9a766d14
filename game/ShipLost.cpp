// The ship-lost page, which puts the next ship on the field, and the game-over page, which ends the game or asks the
// screens above for the online sync: a phase of the game with its step, draw and checks after the flip.
#include "ShipLost.h"
#include "Pages.h"
#include "Ship.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/World.h"
#include "graphics/Stars.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"

namespace {
constexpr int StateLeave = 3;
constexpr int PadGraceFrames = 60;
constexpr int LeaveDelayMs = 100;

void DrawShipsLeftTexts(const World& w) {
    DrawPageText("get ready player...", 10, 18, PageBlue, PageFullText);
    if (w.ShipsLeft > 1)
        DrawPageText("you still have " + IntToText(w.ShipsLeft) + " ships left", 11.5f, 16, PageCyan, PageSmallText);
    if (w.ShipsLeft == 1)
        DrawPageText("you have " + IntToText(w.ShipsLeft) + " ship left", 15, 16, PageCyan, PageSmallText);
    if (w.ShipsLeft == 0) DrawPageText("final ship", 20, 16, PageCyan, PageSmallText);
    DrawPageScore(w, 24);
}

void DrawGameOverTexts(const World& w) {
    DrawPageScore(w, 20);
    if (w.Score == 0) {
        DrawPageText("seriously " + TheSettings.PlayerName + "...", 11, 16, PageCyan, PageSmallText);
        DrawPageText("0 points?", 11, 18, PageCyan, PageSmallText);
        DrawPageText("...is that the best you can do?", 11, 20, PageCyan, PageSmallText);
        DrawCentredText(" press any key to go back to mainmenu.", 35, PageGreen.Argb, PageSmallText, PageGreen.Red,
                        PageGreen.Green, PageGreen.Blue);
    }
    if (w.NewPersonalBest == 1) {
        DrawPageText("you have beaten your own score.", 9, 16, PageCyan, PageSmallText);
        DrawPageText("sync it online to compare yours", 9, 18, PageCyan, PageSmallText);
        DrawPageText("with other players highscores.", 9, 20, PageCyan, PageSmallText);
        DrawPageText("press thrust to sync your highscore", 7.5f, 34, PageWhite, PageSmallText);
        DrawPageText("....or any other key to continue.", 8.5f, 35.5f, PageWhite, PageSmallText);
    }
}

void PrepareNextShip(World& w) {
    w.FpsTimer = MilliSecs();
    w.ShipX = SpawnX;
    w.ShipY = SpawnY;
    w.ShipXSpeed = w.ShipYSpeed = 0;
    w.ShipAngle = SpawnAngle;
    w.CannonAngle = 0;
    w.CannonFireDelay = SpawnCannonDelay;
    w.SpawnGrace = SpawnGraceFrames;
    ClearEnemyBullets(w);
    ClearExplosions(w);
    w.PlayerBulletsList.Clear();
    ClearMissiles(w);
}
} // namespace

void OpenShipLostPage(World& w, GameRun& run) {
    if (TheSettings.SoundFXOn == 1) Sound::Play("SwooshSND", 0);
    FlushKeys();
    CharsList.Clear();
    TextCharCount = 0;
    if (w.ShipsLeft >= 0) TypeHeadline("ShipLostText", LevelText(w.Level));
    if (w.ShipsLeft < 0) TypeHeadline("GameOverText", "");
    w.NewPersonalBest = 0;
    if (w.ShipsLeft < 0 && w.Score > TheSettings.PersonalHighscore) {
        w.NewPersonalBest = 1;
        TheSettings.PersonalHighscore = w.Score;
    }
    run.Phase = GamePhase::ShipLostPage;
    run.Frames = 0;
    run.Leave = 0;
}

void StepShipLostPage(World& w, GameRun& run) {
    StepChars();
    if (w.ShipsLeft < 0) {
        // The game-over page waits for a key: it never times out and never takes the pad's fire button.
        w.GameState = StateLeave;
        run.Frames = 0;
    }
}

void DrawShipLostPage(const World& w) {
    Cls();
    DrawBackdrop();
    DrawStars();
    ShowChars();
    if (w.ShipsLeft >= 0) DrawShipsLeftTexts(w);
    if (w.ShipsLeft < 0) DrawGameOverTexts(w);
}

void FinishShipLostFrame(World& w, GameRun& run) {
    if (run.Phase == GamePhase::Syncing) {
        // Back from the sync the page asked for: it ends.
        run.Phase = GamePhase::ShipLostPage;
    } else {
        int held = TheControls.ControlMode > 0 && JoyDown(TheControls.PadThrustButton, 0) ? 1 : 0;
        if (w.GameState == StateLeave && w.Score > 0 &&
            (KeyHit(TheSettings.KeyThrust) || KeyHit(KeyReturn) || held == 1)) {
            TheControls.KeyPressed = 0;
            run.Leave = 1;
            run.Phase = GamePhase::Syncing;
            return;
        }
        ScanKeys();
    }
    if (TheControls.KeyPressed > 0 && TheControls.KeyPressed < LastKeyCode) run.Leave = 1;
    if (TheControls.ControlMode > 0 && run.Frames == PadGraceFrames) FlushJoy();
    if (TheControls.ControlMode > 0 && run.Frames > PadGraceFrames && JoyHit(TheControls.PadFireButton, 0))
        run.Leave = 1;
    run.Frames += 1;
    if (KeyHit(KeyReturn) || KeyHit(TheSettings.KeyFire) || run.Frames > PageFrameLimit) run.Leave = 1;
    if (run.Leave != 1) return;
    PrepareNextShip(w);
    Delay(LeaveDelayMs);
    FlushKeys();
    CheckEscape(w, run); // the lost ship's sequence is over: back to the game's checks after a frame of play
}

// The ship-lost page, which puts the next ship on the field, and the game-over page, which ends the game.
#include "ShipLost.h"
#include "GameLoop.h"
#include "Pages.h"
#include "Ship.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "frontend/HighScores.h"
#include "graphics/Stars.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"

int NewPersonalBest;

namespace {
constexpr int StateLeave = 3;
constexpr int PadGraceFrames = 60;
constexpr int SyncDelayMs = 150;

void DrawShipsLeftTexts() {
    DrawPageText("get ready player...", 10, 18, PageBlue, PageFullText);
    if (ShipsLeft > 1)
        DrawPageText("you still have " + IntToText(ShipsLeft) + " ships left", 11.5f, 16, PageCyan, PageSmallText);
    if (ShipsLeft == 1)
        DrawPageText("you have " + IntToText(ShipsLeft) + " ship left", 15, 16, PageCyan, PageSmallText);
    if (ShipsLeft == 0) DrawPageText("final ship", 20, 16, PageCyan, PageSmallText);
    DrawPageScore(24);
}

void DrawGameOverTexts() {
    DrawPageScore(20);
    if (Score == 0) {
        DrawPageText("seriously " + PlayerName + "...", 11, 16, PageCyan, PageSmallText);
        DrawPageText("0 points?", 11, 18, PageCyan, PageSmallText);
        DrawPageText("...is that the best you can do?", 11, 20, PageCyan, PageSmallText);
        DrawCentredText(" press any key to go back to mainmenu.", 35, PageGreen.Argb, PageSmallText, PageGreen.Red,
                        PageGreen.Green, PageGreen.Blue);
    }
    if (NewPersonalBest == 1) {
        DrawPageText("you have beaten your own score.", 9, 16, PageCyan, PageSmallText);
        DrawPageText("sync it online to compare yours", 9, 18, PageCyan, PageSmallText);
        DrawPageText("with other players highscores.", 9, 20, PageCyan, PageSmallText);
        DrawPageText("press thrust to sync your highscore", 7.5f, 34, PageWhite, PageSmallText);
        DrawPageText("....or any other key to continue.", 8.5f, 35.5f, PageWhite, PageSmallText);
    }
}

// The top ten shows placeholders until the sync has fetched it again.
void ClearOnlineRowsForSync() {
    for (int row = 0; row < OnlineRows; ++row) {
        OnlineNames[row] = "..........";
        OnlineLevels[row] = "0";
        OnlineScores[row] = ".";
        OnlineDates[row] = " ";
    }
}

void StartSync() {
    KeyPressed = 0;
    OnlineTable shown = TakeOnlineTable();
    ClearOnlineRowsForSync();
    if (SoundFXOn == 1) Sound::Play("BlipSND", 0);
    SyncScores();
    if (!SyncFetchedTopTen()) PutBackOnlineTable(shown); // a failed sync keeps the table it had
    CheckVersion();
    FlushKeys();
    if (ControlMode > 0) {
        FlushJoy();
        Delay(SyncDelayMs);
    }
    HighscoreScreen();
}

void PrepareNextShip() {
    FpsTimer = MilliSecs();
    ShipX = SpawnX;
    ShipY = SpawnY;
    ShipXSpeed = ShipYSpeed = 0;
    ShipAngle = SpawnAngle;
    CannonAngle = 0;
    CannonFireDelay = SpawnCannonDelay;
    SpawnGrace = SpawnGraceFrames;
    ClearEnemyBullets();
    ClearExplosions();
    PlayerBulletsList.Clear();
    ClearMissiles();
}
} // namespace

void ShipLostScreen() {
    if (SoundFXOn == 1) Sound::Play("SwooshSND", 0);
    FlushKeys();
    CharsList.Clear();
    TextCharCount = 0;
    if (ShipsLeft >= 0) TypeHeadline("ShipLostText", LevelText(Level));
    if (ShipsLeft < 0) TypeHeadline("GameOverText", "");
    NewPersonalBest = 0;
    if (ShipsLeft < 0 && Score > PersonalHighscore) {
        NewPersonalBest = 1;
        PersonalHighscore = Score;
    }
    int frames = 0;
    int leave = 0;
    do {
        StepChars();
        if (ShipsLeft < 0) {
            // The game-over page waits for a key: it never times out and never takes the pad's fire button.
            GameState = StateLeave;
            frames = 0;
        }
        if (GameFramesShown()) {
            Cls();
            DrawBackdrop();
            DrawStars();
            ShowChars();
            if (ShipsLeft >= 0) DrawShipsLeftTexts();
            if (ShipsLeft < 0) DrawGameOverTexts();
        }
        Flip(-1);
        int held = ControlMode > 0 && JoyDown(PadThrustButton, 0) ? 1 : 0;
        if (GameState == StateLeave && Score > 0 && (KeyHit(KeyThrust) || KeyHit(KeyReturn) || held == 1)) {
            StartSync();
            leave = 1;
        } else {
            ScanKeys();
        }
        if (KeyPressed > 0 && KeyPressed < LastKeyCode) leave = 1;
        if (ControlMode > 0 && frames == PadGraceFrames) FlushJoy();
        if (ControlMode > 0 && frames > PadGraceFrames && JoyHit(PadFireButton, 0)) leave = 1;
        frames += 1;
        if (KeyHit(KeyReturn) || KeyHit(KeyFire) || frames > PageFrameLimit) leave = 1;
    } while (leave != 1);
    PrepareNextShip();
}

void ResetShipLost() { NewPersonalBest = 0; }

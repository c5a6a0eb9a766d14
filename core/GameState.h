// The fight's score, ships, level and the flags its steps pass around, as one plain value (a part of the World); and
// the run's controls, which outlive a game. Ground floor: every floor above reads them.
#pragma once

// A fresh value is a fresh process's: a new field needs no line in any reset.
struct FightState {
    int Score = 0;
    int ShipsLeft = 0;
    int Level = 0;
    int BonusCounter = 0;
    int GameState = 0; // 0 playing, 2 ship lost, 3 leave
    int PlayerDead = 0;
    int CannonDestroyed = 0;
    int ExplosionsActive = 0;
    int DemoMode = 1; // 1 whenever no player game runs
    int ExitPromptShown = 0;
    int SpawnGrace = 0;
    int CannonFireDelay = 0;
    float CannonAngle = 0;
    int MissileCount = 0;
    float PromptPulse = 25;  // 25 down to 0: the pop-in of a prompt's headline
    int NewPersonalBest = 0; // the game-over page's score beat the personal best
    // The frame-rate counter the fight's frames keep.
    int Fps = 0;
    int FpsTimer = 0; // a MilliSecs reading: a float would round a reading of hours to tens of milliseconds
    float FpsFrames = 0;
};

// The controls a run plays with, which are not saved: a fresh value is a new run's.
struct PlayerControls {
    int ControlMode = 0; // 0 keyboard, 1 pad, 2 pad with swapped buttons
    int PadActive = 0;
    int PadFireButton = 0;
    int PadThrustButton = 1;
    float PadZeroPositionX = 0;
    float PadZeroPositionY = 0;
    float PadMenuRestY = 0; // the pad's y axis at rest, for moving through menus
    int RestPad = 0;        // the pad the rest position belongs to, 0 for none
    int ShowFrameRate = 0;
    int KeyPressed = 0; // the key the last scan of the key table found, 0 when none
};

// A named global for one reason: like the settings, the run's controls are read by every screen and by the ship's
// controls in the fight, and outlive every game; the reset of the game floors makes them afresh.
extern PlayerControls TheControls;

// The fight's score, ships, level and the flags its steps pass around, as one plain value (a part of the World); and
// the controls and the frame-rate counter, which outlive a game. Ground floor: every floor above reads them.
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
    float PromptPulse = 25; // 25 down to 0: the pop-in of a prompt's headline
};

extern int Fps;
extern int FpsTimer; // a MilliSecs reading: a float would round a reading of hours to tens of milliseconds
extern float FpsFrames;
extern int MenuLogoA;
extern int MenuLogoB;

// Controls that are not saved: they start afresh each run.
extern int ControlMode; // 0 keyboard, 1 pad, 2 pad with swapped buttons
extern int PadActive;
extern int PadFireButton;
extern int PadThrustButton;
extern float PadZeroPositionX;
extern float PadZeroPositionY;
extern float PadMenuRestY; // the pad's y axis at rest, for moving through menus
extern int ShowFrameRate;

void ResetGameState();

// The shared state of a game: score, ships, level and the flags the frame loop and its sequences pass around. It
// stands on the ground floor, core/, since every floor above reads it.
#pragma once

extern int Score;
extern int ShipsLeft;
extern int Level;
extern int BonusCounter;
extern int GameState; // 0 playing, 2 ship lost, 3 leave
extern int PlayerDead;
extern int CannonDestroyed;
extern int ExplosionsActive;
extern int DemoMode; // 1 whenever no player game runs
extern int ExitPromptShown;
extern int SpawnGrace;
extern int CannonFireDelay;
extern float CannonAngle;
extern int MissileCount;
extern float PromptPulse; // 25 down to 0: the pop-in of a prompt's headline
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

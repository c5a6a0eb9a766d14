// The shared game state and its reset.
#include "GameState.h"

int Score, ShipsLeft, Level, BonusCounter, GameState, PlayerDead, CannonDestroyed, ExplosionsActive;
int DemoMode = 1;
int ExitPromptShown, SpawnGrace, CannonFireDelay;
float CannonAngle;
int MissileCount;
float PromptPulse = 25;
int Fps;
int FpsTimer;
float FpsFrames;
int MenuLogoA = 180, MenuLogoB = 180;

int ControlMode, PadActive;
int PadFireButton = 0, PadThrustButton = 1;
float PadZeroPositionX, PadZeroPositionY, PadMenuRestY;
int ShowFrameRate;

void ResetGameState() {
    Score = ShipsLeft = Level = BonusCounter = GameState = PlayerDead = CannonDestroyed = ExplosionsActive = 0;
    DemoMode = 1;
    ExitPromptShown = SpawnGrace = CannonFireDelay = 0;
    CannonAngle = 0;
    MissileCount = 0;
    PromptPulse = 25;
    Fps = 0;
    FpsTimer = FpsFrames = 0;
    MenuLogoA = MenuLogoB = 180;
    ControlMode = PadActive = 0;
    PadFireButton = 0;
    PadThrustButton = 1;
    PadZeroPositionX = PadZeroPositionY = PadMenuRestY = 0;
    ShowFrameRate = 0;
}

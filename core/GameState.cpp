// The controls and the frame-rate counter, and their reset.
#include "GameState.h"

int Fps;
int FpsTimer;
float FpsFrames;
int MenuLogoA = 180, MenuLogoB = 180;

int ControlMode, PadActive;
int PadFireButton = 0, PadThrustButton = 1;
float PadZeroPositionX, PadZeroPositionY, PadMenuRestY;
int ShowFrameRate;

void ResetGameState() {
    Fps = 0;
    FpsTimer = FpsFrames = 0;
    MenuLogoA = MenuLogoB = 180;
    ControlMode = PadActive = 0;
    PadFireButton = 0;
    PadThrustButton = 1;
    PadZeroPositionX = PadZeroPositionY = PadMenuRestY = 0;
    ShowFrameRate = 0;
}

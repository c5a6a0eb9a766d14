// The pad's rest position and the pad it was taken from.
#include "PadRest.h"
#include "core/GameState.h"
#include "platform/Input.h"

void SamplePadRest() {
    TheControls.RestPad = JoyId(0);
    TheControls.PadZeroPositionX = JoyX(0);
    TheControls.PadZeroPositionY = JoyY(0);
    TheControls.PadMenuRestY = JoyY(0);
}

void FollowPadChange() {
    int pad = JoyId(0);
    if (pad == TheControls.RestPad) return;
    if (pad == 0) {
        // No pad reads 0 on both axes: with the rest there too, it steers nowhere.
        TheControls.RestPad = 0;
        TheControls.PadZeroPositionX = TheControls.PadZeroPositionY = TheControls.PadMenuRestY = 0;
        return;
    }
    SamplePadRest();
}

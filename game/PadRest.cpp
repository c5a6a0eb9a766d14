// The pad's rest position and the pad it was taken from.
#include "PadRest.h"
#include "core/GameState.h"
#include "platform/Input.h"

namespace {
int RestPad = 0; // the pad the rest position belongs to, 0 for none
}

void SamplePadRest() {
    RestPad = JoyId(0);
    PadZeroPositionX = JoyX(0);
    PadZeroPositionY = JoyY(0);
    PadMenuRestY = JoyY(0);
}

void FollowPadChange() {
    int pad = JoyId(0);
    if (pad == RestPad) return;
    if (pad == 0) {
        // No pad reads 0 on both axes: with the rest there too, it steers nowhere.
        RestPad = 0;
        PadZeroPositionX = PadZeroPositionY = PadMenuRestY = 0;
        return;
    }
    SamplePadRest();
}

void ResetPadRest() { RestPad = 0; }

// The switch between the neon and the wireframe style.
#include "TPoly.h"
#include "frontend/Settings.h"

void ApplyDisplayStyle() {
    if (NeonMode == 0) SetBlend(SOLIDBLEND);
    if (NeonMode == 1) {
        SetBlend(LIGHTBLEND);
        TPoly::Initialise();
        TPoly::_Begin();
    }
}

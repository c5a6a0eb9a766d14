// The switch between the neon and the wireframe style, and the drawing state a new display starts from.
#include "TPoly.h"
#include "core/Settings.h"

void ApplyDisplayStyle() {
    if (TheSettings.NeonMode == 0) SetBlend(SOLIDBLEND);
    if (TheSettings.NeonMode == 1) {
        SetBlend(LIGHTBLEND);
        TPoly::Initialise();
        TPoly::_Begin();
    }
}

namespace {
constexpr int PlayfieldWidth = 1024, PlayfieldHeight = 768;
}

void SetDrawingState() {
    SetColor(255, 255, 255);
    ApplyDisplayStyle();
    SetViewport(TheSettings.PlayfieldOffsetX, TheSettings.PlayfieldOffsetY, PlayfieldWidth, PlayfieldHeight);
}

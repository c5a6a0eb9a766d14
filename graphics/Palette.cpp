// The palette, set from the colours setting at start-up and whenever the setting changes.
#include "Palette.h"
#include "core/Settings.h"

std::uint32_t PaletteColor0, PaletteColor1, RingColor0, RingColor1, RingColor2;

void SetPalette() {
    if (TheSettings.ColorsOn == 1) {
        PaletteColor0 = 0xFFFF8080;
        PaletteColor1 = 0xFFE47C0C;
        RingColor0 = 0xFF74740E;
        RingColor1 = 0xFF773B07;
        RingColor2 = 0xFF770E0E;
    } else {
        PaletteColor0 = 0xFF808080;
        PaletteColor1 = 0xFFFFFFFF;
        RingColor0 = 0xFF404040;
        RingColor1 = 0xFF606060;
        RingColor2 = 0xFF808080;
    }
}

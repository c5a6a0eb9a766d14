// The palette: the cannon's two colours and the three rings' colours, coloured or grey by the colours setting.
#pragma once
#include <cstdint>

extern std::uint32_t PaletteColor0, PaletteColor1, RingColor0, RingColor1, RingColor2;

// Takes the coloured palette when ColorsOn is 1, the grey one otherwise.
void SetPalette();

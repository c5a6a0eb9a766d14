// The palette: the cannon's two colours and the three rings' colours, coloured or grey by the colours setting.
#pragma once
#include <cstdint>

// Named because the fortress, the pages and the rings read them at many places; they change only with the colours
// setting, through SetPalette.
extern std::uint32_t PaletteColor0, PaletteColor1, RingColor0, RingColor1, RingColor2;

// Takes the coloured palette when ColorsOn is 1, the grey one otherwise.
void SetPalette();

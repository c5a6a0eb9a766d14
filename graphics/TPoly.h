// The glow renderer: segments drawn as additively blended strips of the glow sprite, the glow widths, and the
// switch between the neon and the wireframe style.
#pragma once
#include "platform/Display.h"
#include <cstdint>

struct TPoly {
    static void Initialise();
    static void _Begin();
    static void _End();
};

extern int GlowWidth1, GlowWidth2, GlowWidth3, GlowWidth4, GlowWidth5;
extern int GlowWidth6, GlowWidth7, GlowWidth8, GlowWidth9, GlowWidth10;

void UpdateGlowWidths();
void ResetGlowWidths();
// SOLIDBLEND for the wireframe style; LIGHTBLEND and a fresh glow batch for the neon style.
void ApplyDisplayStyle();

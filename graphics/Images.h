// The pictures the drawing code draws with: the glow sprite, the player's bullet cells and the backdrop.
#pragma once
#include "Art.h"

// Loads the three from the built-in resources, the sprite and the bullets handled at their middle.
void LoadImages();
// No picture loaded, as a fresh process starts.
void ResetImages();

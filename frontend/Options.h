// The options screen: display, style, palette, backdrop, sound, music, controls, name, keys and glow.
#pragma once

void OptionsScreen();

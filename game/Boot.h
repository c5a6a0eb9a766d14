// The game's boot: what a game needs made before its first frame, in start-up's order, and nothing of the screens
// above it (no network, no settings file); and every game floor's state back to a fresh process's. Start-up on the
// top floor wires these together with the screens' own; a replay boots the game alone.
#pragma once

struct World;

extern const char* const WindowTitle;
extern const char* const SoundResources[15];

// The audio system, the shape and zoom tables, the window's title.
void BootGameTables();
// The pictures and the sounds, and the random generator seeded from the clock.
void BootGameMedia();
// The display at the settings' size and style, the font, the trig tables, the logo, the menu's ghost flight and the
// palette: everything the first frame takes for granted.
void BootGameDisplay();
// The world the menu's attract plays in, made afresh as start-up leaves it: the ship's tuning and the fortress's three
// rings.
void BootMenuWorld(World& w);
// A replay's whole boot: a fresh install's settings, no network, nothing read or written.
void BootGameForReplay();
// The state of every floor up to game/ back to how a fresh process finds it (a world is its owner's, fresh when made).
void ResetGameFloors();

// The browser's keys to Windows virtual-key codes, as the desktop's table gives them.
#pragma once

// From a KeyboardEvent's key (what the layout prints) and code (where the key sits): letters and digits follow the
// layout, everything else goes by position. 0 for a key the game has no code for.
int KeyCodeFromBrowser(const char* key, const char* code);

// Turning SDL's key events into the Windows virtual-key codes the game and its stored key settings use.
#pragma once
#include <SDL.h>

// Letters and digits follow the keyboard layout (the key labelled Y gives 89 on any layout); every other key, and a
// letter or digit key whose layout gives no Latin letter or digit, goes by its physical position. 0: a key the game
// has no code for.
int KeyCodeFromSdl(SDL_Scancode scancode, SDL_Keycode keycode);

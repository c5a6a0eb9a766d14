// The options screen: display, style, palette, backdrop, sound, music, controls, name, keys and glow.
#pragma once

#include "game/Loop.h"
#include <memory>

struct World;

// The options as a screen of the loop, closing when the player returns to the menu. A new palette shows at once on
// the rings of `menu`, the world behind the menu.
std::unique_ptr<Screen> OpenOptions(World& menu);

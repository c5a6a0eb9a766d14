// The game's version, written here and nowhere else: the window's title, the intro and the menu show it, the version
// check compares with it, the network component names it, a new score database starts with it, and the build reads
// it from this line for the project's version.
#pragma once

// A macro so that fixed texts can be joined with it where they are written ("Kestrovar v" KESTROVAR_VERSION).
#define KESTROVAR_VERSION "1.3"

inline constexpr const char* GameVersion = KESTROVAR_VERSION;

// Name entry and key redefinition, opened from the options and high-score screens, and the key-name table they
// show keys by.
#pragma once
#include "game/Loop.h"
#include <memory>
#include <string>

// Edits PlayerName: capital letters, digits and spaces, ten at most; an empty name leaves as "noname". A screen of
// the loop.
std::unique_ptr<Screen> OpenNameEntry();
// Shows the four game keys and, while the player answers Y, asks for all four anew: each is the first key of the
// key-name table held while its line asks for it (it goes to KeyPressed too). A screen of the loop.
std::unique_ptr<Screen> OpenRedefineKeys();
// The label at (column, row) and, unless hideName is 1, the key's name twelve columns further on.
void DrawKeyLine(const std::string& label, int code, float column, float row, int hideName);
// The key's name from the table: the first row with that code, "n/a" for a code the table lacks.
std::string KeyName(int code);

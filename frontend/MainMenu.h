// The main menu over its attract demonstration, and the bottom line it shares with the version check.
#pragma once
#include <string>

// Runs the menu until the player confirms leaving.
void MainMenu();

// The credit line naming the game's makers.
extern const std::string CreditLine;
// What the menu's bottom line shows in turn with the credit line: the credit line itself until a version check
// finds a newer version, then the notice of it.
extern std::string VersionNotice;
void ResetVersionNotice();

// The main menu over its attract demonstration, and the bottom line it shares with the version check.
#pragma once
#include "game/GameLoop.h"
#include <memory>
#include <string>

// The menu as a screen of the loop: it closes once the player confirms leaving. Its attract play, and every game
// started from it, play in `world`, which the menu's opener keeps.
std::unique_ptr<Screen> OpenMainMenu(World& world);

constexpr int MenuItems = 5;
constexpr int MenuMoveLockFrames = 15; // frames between two moves of the carousel, a held key included
constexpr int GhostRecordValues = 5;   // x, y, angle, fire flag, shape
constexpr int GhostLastIndex = 9975;   // the first value of the flight's last whole record
constexpr int CreditPeriodLast = 180;  // the bottom line changes after 181 frames

// The menu's own state, as a new process has it: a reset is a fresh value.
struct MenuState {
    int MenuItem = 0;     // the carousel item shown, 0 … 4
    int CreditTimer = 0;  // frames the bottom line has shown its text
    int CreditToggle = 0; // 0 the credit line, 1 the version notice
    int GhostIndex = 0;   // the first value of the ghost's current record
    int MenuLogoA = 180;  // the logo's outer ring's turn as it flies in
    int MenuLogoB = 180;  // and its inner ring's
    int MoveLock = 0;     // frames before the carousel moves again
};
// The menu's state by name: its attract play goes on under the screens opened over it and is started over from
// outside it (watching a board row's game resets the ghost's flight), and the bottom line's turn lasts the run.
extern MenuState TheMenu;
void ResetMainMenu();

// The credit line naming the game's makers.
extern const std::string CreditLine;
// What the menu's bottom line shows in turn with the credit line: the credit line itself until a version check
// finds a newer version, then the notice of it. A fact of the run that the high-score screen's sync learns and the
// menu shows, so it outlives both screens and is kept by name.
extern std::string VersionNotice;
void ResetVersionNotice();
// The menu's "start game" as a screen of the loop: the player's game kept from here on where the program keeps them,
// a new game of three spare ships at level 1, the pad's rest position sampled. The game-over page's sync is the
// menu's own. FinishGameFromMenu keeps the game once it has closed (or been stopped where it stood).
std::unique_ptr<Screen> OpenGameFromMenu(World& w, GameDriver driver = {});
void FinishGameFromMenu();
// The online sync the game-over page asks for: the top ten cleared, the score sent, the version checked, then the
// high-score screen, which shows the score of the game in `w`.
std::unique_ptr<Screen> OpenGameOverSync(World& w);
// The menu's fortress as it stands behind the logo: the three rings and nothing in the air, the ghost at its start.
void ResetMenuWorld(World& w);

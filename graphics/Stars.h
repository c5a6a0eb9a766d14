// The background starfield: 24 fixed glowing dots behind the play and menu screens.
#pragma once
#include "core/EntityList.h"

struct Stars {
    float x = 0, y = 0;
};

// The one starfield, placed with the run's random numbers when the menu or a game starts and drawn by both: shared
// by two screens, so kept by name.
extern EntityList<Stars> StarsList;

void CreateStars();
void DrawStars();
// No stars, as before the first game or menu.
void ResetStars();

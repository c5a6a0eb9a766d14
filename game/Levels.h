// The level page and the level-end and death sequences.
#pragma once
#include "core/Score.h"

void StartLevel();
void CompleteLevel();
void PlayerDeath();

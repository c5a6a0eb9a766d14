// Points, bonus ships, the level page and the level-end and death sequences.
#pragma once

void AddScore(int points);
void StartLevel();
void CompleteLevel();
void PlayerDeath();

constexpr int BonusShipPoints = 10000;

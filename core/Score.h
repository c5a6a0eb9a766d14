// Points: the only way a game awards them, with a bonus ship every 10000.
#pragma once

struct FightState;

constexpr int BonusShipPoints = 10000;

// Adds to the score and to the bonus counter; a full counter gives a spare ship with its sound.
void AddScore(FightState& w, int points);

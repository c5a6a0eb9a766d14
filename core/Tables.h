// The tables every floor reads, filled once at start-up: Sin and Cos of the whole degrees, and the menu's recorded
// ghost flight.
#pragma once

constexpr int TrigTableSize = 361;
constexpr int GhostMovementSize = 10000;
constexpr int GhostMovementValues = 9981;

// Named globals for one reason: filled once at start-up and only read after, the same numbers for every world and
// every run, so no world carries a copy of them.
extern float SinTable[TrigTableSize];
extern float CosTable[TrigTableSize];
extern float GhostMovement[GhostMovementSize];

// Sin and Cos of every whole degree 0 to 360.
void FillTrigTables();

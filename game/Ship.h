// The player's ship in play: its tuning, its controls (turn, thrust, fire, wrap), its movement, its gun and its
// drawing.
#pragma once
#include "core/ShipState.h"

struct World;

void SetShipTuning(World& w);
void UpdateShipControls(World& w);
void MoveShip(World& w);
void FirePlayerBullet(World& w, int withSound);
// The flame's flicker the ship shows this frame, picked at the ship's place in the frame's step.
void PickShipFlicker(World& w);
// The ship where it is, with the flicker picked for this frame.
void DrawShip(const World& w);

// The player's ship in play: its tuning, its controls (turn, thrust, fire, wrap), its movement, its gun and its
// drawing.
#pragma once
#include "core/ShipState.h"

void SetShipTuning();
void UpdateShipControls();
void MoveShip();
void FirePlayerBullet(int withSound);
// The flame's flicker the ship shows this frame, picked at the ship's place in the frame's step.
void PickShipFlicker();
// The ship where it is, with the flicker picked for this frame.
void DrawShip();

// The player's ship in play: its tuning, its controls (turn, thrust, fire, wrap), its movement and its gun.
#pragma once
#include "core/ShipState.h"

void SetShipTuning();
void UpdateShipControls();
void MoveShip();
void FirePlayerBullet(int withSound);

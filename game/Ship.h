// The player's ship: its state, its tuning and its frame steps.
#pragma once

extern float ShipX, ShipY, ShipXSpeed, ShipYSpeed, ShipAngle, TurnSpeed;
extern int ShipShape, ShotCooldown, PlayerBulletCount;
extern float ShipMaxSpeed, ShipFriction, ShipThrust, TurnAccel, TurnFriction, TurnMax;

void SetShipTuning();
void UpdateShipControls();
void MoveShip();

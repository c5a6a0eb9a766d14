// The ship's state and the tuning set once at start-up.
#include "Ship.h"

float ShipX, ShipY, ShipXSpeed, ShipYSpeed, ShipAngle, TurnSpeed;
int ShipShape, ShotCooldown, PlayerBulletCount;
float ShipMaxSpeed, ShipFriction, ShipThrust, TurnAccel, TurnFriction, TurnMax;

void SetShipTuning() {
    ShipMaxSpeed = 13.0f;
    ShipFriction = 0.04f;
    ShipThrust = 0.3f;
    TurnAccel = 1.5f;
    TurnFriction = 0.5f;
    TurnMax = 5.0f;
    ShipXSpeed = ShipYSpeed = 0;
    TurnSpeed = 0;
    ShipAngle = 0;
}

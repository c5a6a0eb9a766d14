// The ship's state and the list of its bullets, and their reset.
#include "ShipState.h"

float ShipX, ShipY, ShipXSpeed, ShipYSpeed, ShipAngle, TurnSpeed;
float ShipOldX, ShipOldY, ShipSpeed;
int ShipDirIndex;
int ShipShape, ShotCooldown, PlayerBulletCount;
float ShipMaxSpeed, ShipFriction, ShipThrust, TurnAccel, TurnFriction, TurnMax;
EntityList<PlayerBullets> PlayerBulletsList;

void ResetShip() {
    ShipX = ShipY = ShipXSpeed = ShipYSpeed = ShipAngle = TurnSpeed = 0;
    ShipOldX = ShipOldY = ShipSpeed = 0;
    ShipDirIndex = 0;
    ShipShape = ShotCooldown = PlayerBulletCount = 0;
    ShipMaxSpeed = ShipFriction = ShipThrust = TurnAccel = TurnFriction = TurnMax = 0;
    PlayerBulletsList.Clear();
}

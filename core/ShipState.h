// The player's ship as every floor reads it: its position, speed, angle and shape, its tuning, and the bullets it
// has fired. Its controls and movement live in game/.
#pragma once
#include "core/EntityList.h"

extern float ShipX, ShipY, ShipXSpeed, ShipYSpeed, ShipAngle, TurnSpeed;
extern float ShipOldX, ShipOldY, ShipSpeed;
extern int ShipDirIndex;
extern int ShipShape, ShotCooldown, PlayerBulletCount;
extern float ShipMaxSpeed, ShipFriction, ShipThrust, TurnAccel, TurnFriction, TurnMax;

struct PlayerBullets {
    float x = 0, y = 0;
    float x_old = 0, y_old = 0;
    float xspeed = 0, yspeed = 0;
    int life = 0;
};

extern EntityList<PlayerBullets> PlayerBulletsList;

constexpr int PlainShipShape = 9;
constexpr int ThrustShipShape = 12;
constexpr float PlayerBulletSpeed = 10.0f;
constexpr int MostPlayerBullets = 3;
constexpr int ShotCooldownFrames = 4;
constexpr int SpawnGraceFrames = 60;
constexpr float SpawnX = 900, SpawnY = 256, SpawnAngle = 270;

// The ship at rest at the origin with no tuning and no bullets, as before start-up.
void ResetShip();

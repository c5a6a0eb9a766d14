// The player's ship as every floor reads it: its position, speed, angle and shape, its tuning, and the bullets it
// has fired, as one plain value (a part of the World). Its controls and movement live in game/.
#pragma once
#include "core/EntityList.h"

struct PlayerBullets {
    float x = 0, y = 0;
    float x_old = 0, y_old = 0;
    float xspeed = 0, yspeed = 0;
    int life = 0;
};

// A fresh value is the ship at rest at the origin with no tuning and no bullets, as before start-up.
struct ShipState {
    float ShipX = 0, ShipY = 0, ShipXSpeed = 0, ShipYSpeed = 0, ShipAngle = 0, TurnSpeed = 0;
    float ShipOldX = 0, ShipOldY = 0, ShipSpeed = 0;
    int ShipDirIndex = 0;
    int ShipShape = 0, ShotCooldown = 0, PlayerBulletCount = 0;
    float ShipMaxSpeed = 0, ShipFriction = 0, ShipThrust = 0, TurnAccel = 0, TurnFriction = 0, TurnMax = 0;
    EntityList<PlayerBullets> PlayerBulletsList;
};

constexpr int PlainShipShape = 9;
constexpr int ThrustShipShape = 12;
constexpr float PlayerBulletSpeed = 10.0f;
constexpr int MostPlayerBullets = 3;
constexpr int ShotCooldownFrames = 4;
constexpr int SpawnGraceFrames = 60;
constexpr float SpawnX = 900, SpawnY = 256, SpawnAngle = 270;

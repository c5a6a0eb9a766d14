// The cannon at the fortress centre and its enemy bullets: aiming, the line of fire, the missile quota, drawing.
#pragma once
#include "core/EntityList.h"

struct EnemyBullets {
    float x = 0, y = 0;
    float x_old = 0, y_old = 0;
    float xspeed = 0, yspeed = 0; // 16 units a frame in total
    int life = 0;                 // never used
};

extern EntityList<EnemyBullets> EnemyBulletsList;
extern float CannonTurn;
extern int ChevronFrame;
extern int ChevronFrameTimer;

constexpr int CannonShotDelay = 30;
constexpr int SpawnCannonDelay = 120; // frames the cannon holds its fire when a ship appears
constexpr float EnemyBulletSpeed = 16;
constexpr int EnemyBulletHitRadius = 32;

// The signed shortest turn from a to b, -180 <= d < 180.
float AngleDiff(float a, float b);
// The bearing from the fortress centre to (x, y), 0 up and clockwise, in 0 … 360.
float CentreBearing(float x, float y);
// How many section chords cross the line from the centre to (x, y).
int LineOfFireBlockers(float x, float y);
void FireEnemyBullet(int angle);
// The cannon's own state back to a fresh run's.
void ResetCannon();

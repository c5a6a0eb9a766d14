// The cannon at the fortress centre and its enemy bullets: aiming, the line of fire, the missile quota, drawing.
#pragma once
#include "core/EntityList.h"
#include <cstdint>

struct World;

constexpr int BurstStepDegrees = 20;
constexpr int BurstRays = 360 / BurstStepDegrees + 1; // the upward ray is drawn twice

struct EnemyBullets {
    float x = 0, y = 0;
    float x_old = 0, y_old = 0;
    float xspeed = 0, yspeed = 0; // 16 units a frame in total
    int life = 0;                 // never used
    // The burst this frame shows, picked by the step: each ray's length and its wireframe colour.
    int RayLength[BurstRays] = {};
    std::uint8_t RayRed[BurstRays] = {}, RayGreen[BurstRays] = {}, RayBlue[BurstRays] = {};
};

constexpr int CannonShotDelay = 30;
constexpr int SpawnCannonDelay = 120; // frames the cannon holds its fire when a ship appears
constexpr float EnemyBulletSpeed = 16;
constexpr int EnemyBulletHitRadius = 32;

// The signed shortest turn from a to b, -180 <= d < 180.
float AngleDiff(float a, float b);
// The bearing from the fortress centre to (x, y), 0 up and clockwise, in 0 … 360.
float CentreBearing(float x, float y);
// Whether no section chord crosses the line from the centre to (x, y).
bool LineOfFireClear(const World& w, float x, float y);
void FireEnemyBullet(World& w, int angle);

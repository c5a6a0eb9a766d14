// Every hit test of the game and the points they award: bullets against sections and the cannon, the ship against
// the fortress, and the rule for a ship that is struck.
#pragma once

struct World;

struct PlayerBullets;

bool WithinDistance(int x1, int y1, int x2, int y2, int r);
bool SegmentsCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void BounceShipOffRings(World& w);
// A thing within `radius` of the ship has struck it; returns whether it did.
bool ShipStruckWithin(World& w, float x, float y, int radius);
// The bullet against every missile within reach of it.
void BulletHitsMissiles(World& w, PlayerBullets& bullet);

constexpr int BounceRadius = 120;
constexpr int CannonHitRadius = 28;
constexpr int CannonPoints = 1710;

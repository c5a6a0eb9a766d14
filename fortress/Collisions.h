// Every hit test of the game and the points they award: bullets against sections and the cannon, the ship against
// the fortress, and the rule for a ship that is struck.
#pragma once

struct World;

struct PlayerBullets;

// Whether the whole-unit points lie less than r apart, by the float square root of the squared distance. Asked
// for every bullet and missile every frame, so it is made where it is asked.
bool WithinLongDistance(int squared, int r);
inline bool WithinDistance(int x1, int y1, int x2, int y2, int r) {
    int dx = x1 < x2 ? x2 - x1 : x1 - x2;
    int dy = y1 < y2 ? y2 - y1 : y1 - y2;
    int squared = dx * dx + dy * dy;
    // Below this radius the root says what the whole numbers say (r * r is exact, and the root of r * r - 1 is more
    // than a float's step below r), without taking it.
    constexpr int ExactRadiusLimit = 2048;
    if (r > 0 && r < ExactRadiusLimit) return squared < r * r;
    return WithinLongDistance(squared, r);
}
bool SegmentsCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void BounceShipOffRings(World& w);
// A thing within `radius` of the ship has struck it; returns whether it did.
bool ShipStruckWithin(World& w, float x, float y, int radius);
// The bullet against every missile within reach of it.
void BulletHitsMissiles(World& w, PlayerBullets& bullet);

constexpr int BounceRadius = 120;
constexpr int CannonHitRadius = 28;
constexpr int CannonPoints = 1710;

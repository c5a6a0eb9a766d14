// The rings of the fortress: the section record, its list, and the growth, speed-up and collapse of the rings.
#pragma once
#include "core/EntityList.h"
#include <cstdint>

struct World;

struct Sections {
    float x0 = 0, y0 = 0; // midpoint of the chord on the ring, when not owed: read it through Midpoint
    float x1 = 0, y1 = 0; // start end point
    float x2 = 0, y2 = 0; // finish end point
    float Angle0 = 0, Angle1 = 0, Angle2 = 0;
    float Radius = 0;
    float speed = 0; // degrees a frame, positive clockwise
    std::uint32_t Color = 0;
    int Life = 0;
    int Ring = 0; // 0 inner, 1 middle, 2 outer
    int GrowToThisSize = 0;
    int Missile = 0;
    // The turn leaves the midpoint owed: only the missiles' reach and the state hash read it, and working it out
    // for every section every frame cost a sine and cosine each. Owed, it is where Angle0 and PlacedRadius put it.
    bool MidpointOwed = false;
    float PlacedRadius = 0; // the radius at the last turn
    int Score = 0;
    int rcol = 0, gcol = 0, bcol = 0;
};

constexpr float FortressX = 512;
constexpr float FortressY = 384;
constexpr int RingSections = 12;
constexpr float RingSpeedStep = 0.1f;
constexpr float RingSpeedLimit = 3.4f;

struct RingPoint {
    float X, Y;
};
// The section's midpoint as the last turn placed it, bit for bit as if worked out then.
RingPoint Midpoint(const Sections& s);

void GrowRings(World& w);
void SpeedUpRings(World& w);
void CollapseRings(World& w);

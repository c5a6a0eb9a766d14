// The rings of the fortress: the section record, its list, and the growth, speed-up and collapse of the rings.
#pragma once
#include "core/EntityList.h"
#include <cstdint>

struct World;

struct Sections {
    float x0 = 0, y0 = 0; // midpoint of the chord on the ring
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
    float MissileX = 0, MissileY = 0; // 3 units inside the midpoint, where a riding missile sits
    int Score = 0;
    int rcol = 0, gcol = 0, bcol = 0;
};

constexpr float FortressX = 512;
constexpr float FortressY = 384;
constexpr int RingSections = 12;
constexpr float RingSpeedStep = 0.1f;
constexpr float RingSpeedLimit = 3.4f;

void GrowRings(World& w);
void SpeedUpRings(World& w);
void CollapseRings(World& w);

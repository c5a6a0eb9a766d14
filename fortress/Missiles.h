// The homing missiles: launch from the cannon's muzzle, the ride on the rings, the hunt, drawing and the ship test.
#pragma once
#include "Effects.h"
#include "core/EntityList.h"
#include "graphics/Shapes.h"

struct World;

struct Missiles {
    float x = 0, y = 0;
    float Angle = 0; // heading while hunting or deflected, whole degrees
    float speed = 0; // set at launch, never read: the hunting speed follows the level
    int Wait = 0;
    float xspeed = 0, yspeed = 0;
    float xspeed2 = 0, yspeed2 = 0;
    int Life = 0; // counts down only above mode 5
    int Mode = 0; // 1 to the inner ring, 2 out to the middle ring, 6 riding, 7 deflected, 9 straight out, 10 hunting
    int Inwards_Outwards = 0;
    int RingLocked = 0;
    float RingSpeed = 0;
    float RingAngle = 0;
    int RingDistance = 0; // the ridden ring's radius; a frame counter in modes 1, 2 and 9
    int RingNumber = 0;
    int CurrentRing = 0;
    int TargetRing = 0;
    int HangAround = 0;
    int BeenHunting = 0;
    // The spark this frame shows, picked when the missiles are counted (before they move): where, which of the
    // spark's frames, turned to which row, and each stroke's wireframe flicker colour.
    float ShownX = 0, ShownY = 0;
    int ShownFrame = 0;
    int ShownRow = 0;
    Flicker Shade[StrokesPerFrame];
};

constexpr int MissileToInnerRing = 1;
constexpr int MissileToMiddleRing = 2;
constexpr int MissileRiding = 6;
constexpr int MissileDeflected = 7;
constexpr int MissileStraightOut = 9;
constexpr int MissileHunting = 10;
constexpr int MissileShipHitRadius = 28;
constexpr int MissileBulletHitRadius = 14;

void LaunchMissile(World& w, int angle);
// The hunting speed at the current level.
float MissileHuntSpeed(const World& w);

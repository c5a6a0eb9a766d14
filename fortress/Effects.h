// Explosions, particles and ship fragments: their records, lists, and the routines that start, move and draw them.
#pragma once
#include "core/EntityList.h"
#include <cstdint>

struct World;

constexpr int SmallExplosion = 0;
constexpr int BigExplosion = 1;
constexpr int ShockwaveExplosion = 2;

// A wireframe piece's flicker colour for the frame, picked by the step.
struct Flicker {
    int Red = 0, Green = 0, Blue = 0;
};

struct Explosions {
    float x1 = 0, y1 = 0; // the ray's origin, or a spark's or streak's position
    float Angle1 = 0;
    float Angle2 = 0;
    float Length = 0;
    float speed = 0;
    int Count = 0; // frames left, counted down before each draw
    int Ring = 0;
    int Steps = 0; // how much a ray shrinks a frame
    std::uint32_t color = 0;
    int ExplosionType = 0;
    // What this frame shows, as the step left it: the piece's start, a ray's length, the flicker colour.
    float ShownX = 0, ShownY = 0;
    float ShownLength = 0;
    Flicker Shade;
};

struct Particles {
    float x = 0, y = 0;
    float xspeed = 0, yspeed = 0;
    int life = 0;
    std::uint32_t color = 0;
    float ShownX = 0, ShownY = 0; // where this frame shows the dot
    Flicker Shade;
    int Stamp = 0; // the particles' clock when this one was last moved (or made)
};

struct frags {
    float x = 0, y = 0;
    float Angle = 0;
    int WhichOne = 0; // direction of flight, degrees
    int Data = 0;     // which line set it is drawn from
    float RotateSpeed = 0;
    float Distance = 0;                           // flight speed, growing every frame
    float ShownX = 0, ShownY = 0, ShownAngle = 0; // where and how this frame shows it
};

constexpr int FragLineSets = 3;
constexpr int FragLinesPerSet = 7;
constexpr int FragLineInts = 4;
// The fragments' line sets, read from the data tables at these labels.
extern const char* const FragLineLabels[FragLineSets];

void CreateExplosion(World& w, int x, int y, std::uint32_t color, int type);
void CreateParticles(World& w, int x, int y);
void UpdateParticles(World& w);
// Makes every step the particles owe (none unless ParticlesUnseen was set): after it they stand as if stepped each
// frame.
void SettleParticles(World& w);
void CreateFrag(World& w, int index);
void UpdateFrags(World& w);
void DrawParticles(const World& w);
void DrawFrags(const World& w);
void ClearExplosions(World& w);
void ClearParticles(World& w);
void ClearFrags(World& w);

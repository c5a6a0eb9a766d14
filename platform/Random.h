// The game's one random generator, and arithmetic in the game's terms (degrees, truncation toward zero).
#pragma once
#include "ExactFloats.h"

void SeedRnd(int seed);
int RndSeed();
double RndDraw(); // the raw draw in [0, 1)
float Rnd(float a, float b);
int Rand(int a, int b);

// Sine, cosine and arc tangent in degrees, our own (platform/Trigonometry.cpp): the same bits on every machine.
float Sin(float degrees);
float Cos(float degrees);
void SinCos(float degrees, float& sine, float& cosine); // both of one angle, for the price of about one
// Both of a whole number of degrees, 0 to 359, as Sin and Cos give them for that many degrees: read from a table.
void WholeSinCos(int degrees, float& sine, float& cosine);
float ATan2(float y, float x);
// The slow series Sin, Cos and ATan2 equal bit for bit (tables take most angles the quick way): for the tests.
float SeriesSin(float degrees);
float SeriesCos(float degrees);
float SeriesATan2(float y, float x);
float Sqr(float x);
int Trunc(double value); // float to integer, toward zero

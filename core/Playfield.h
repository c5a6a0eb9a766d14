// The playfield every moving thing lives on and the angles they turn by: 1024 x 768 units, degrees with 0 straight
// up and growing clockwise; and the colour values the flickering things are drawn in. Ground floor: every floor
// that moves or draws a thing reads them.
#pragma once
#include "platform/ExactFloats.h" // every floor that moves a thing moves it with the same float arithmetic
#include <cmath>

constexpr float FieldWidth = 1024, FieldHeight = 768;
constexpr float FieldRight = 1023, FieldBottom = 767; // the last unit across and down
constexpr float FullTurn = 360, HalfTurn = 180, QuarterTurn = 90, ThreeQuarterTurn = 270;
constexpr float LastWholeDegree = 359;

// std::fmod(degrees, FullTurn), bit for bit, without the library's call for the angles the game meets: inside a
// turn either way fmod gives the angle itself, and between one turn and two a turn taken away is exact (the two
// lie within a factor of two). Minus a whole turn (whose remainder is minus zero) and the rest go to fmod.
inline float TurnRemainder(float degrees) {
    if (degrees > -FullTurn && degrees < FullTurn) return degrees;
    if (degrees >= FullTurn && degrees < 2 * FullTurn) return degrees - FullTurn;
    if (degrees < -FullTurn && degrees > -2 * FullTurn) return degrees + FullTurn;
    return std::fmod(degrees, FullTurn);
}
constexpr int White = 255;                         // a colour channel at full strength
constexpr int FlickerLow = 128, FlickerHigh = 255; // the brightness range shots and sparks flicker through

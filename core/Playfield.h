// The playfield every moving thing lives on and the angles they turn by: 1024 x 768 units, degrees with 0 straight
// up and growing clockwise; and the colour values the flickering things are drawn in. Ground floor: every floor
// that moves or draws a thing reads them.
#pragma once
#include "platform/ExactFloats.h" // every floor that moves a thing moves it with the same float arithmetic

constexpr float FieldWidth = 1024, FieldHeight = 768;
constexpr float FieldRight = 1023, FieldBottom = 767; // the last unit across and down
constexpr float FullTurn = 360, HalfTurn = 180, QuarterTurn = 90, ThreeQuarterTurn = 270;
constexpr float LastWholeDegree = 359;
constexpr int White = 255;                         // a colour channel at full strength
constexpr int FlickerLow = 128, FlickerHigh = 255; // the brightness range shots and sparks flicker through

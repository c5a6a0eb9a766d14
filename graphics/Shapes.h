// The rotated stroke tables of the ship, the cannon, its chevrons and the sparks, and the ship drawer.
#pragma once
#include <cstdint>

constexpr int ShapeRows = 360; // one row per whole degree
constexpr int ShipStrokes = 13;
constexpr int CannonStrokes = 12;
constexpr int ChevronStrokes = 24;
constexpr int SparkStrokes = 16;
constexpr int ShipHullLastStroke = 9;   // ShipShape without thrust
constexpr int ShipFlameLastStroke = 12; // ShipShape while thrusting
constexpr int StrokesPerFrame = 4;      // a chevron or spark frame

// One stroke of a table row: 9 ints, in the order the table stores them.
struct ShapeStroke {
    int LastStroke;       // the shape's last stroke index, the same in every record
    int Colour;           // packed 0xAARRGGBB for the neon style
    int X1, Y1, X2, Y2;   // the rotated end points, truncated toward zero
    int Red, Green, Blue; // for the wireframe style
};
constexpr int ShapeStrokeInts = 9;
static_assert(sizeof(ShapeStroke) == ShapeStrokeInts * sizeof(int));

// Fills all rows of a table of `strokes` records a row from the stored shape at `label`; a stored stroke count that
// does not match the table is a runtime failure.
void BuildShapeTable(const char* label, ShapeStroke* table, int strokes);
template <int Strokes> void BuildShapeTable(const char* label, ShapeStroke (&table)[ShapeRows][Strokes]) {
    BuildShapeTable(label, &table[0][0], Strokes);
}
// The four tables in their start-up order.
void BuildShapeTables();
// Every table back to zeros, as before start-up.
void ResetShapeTables();

// The thrust flame's flicker for one frame: the packed colour the neon style shows, and the wireframe colour.
struct ShipFlame {
    std::uint32_t Colour = 0;
    int Red = 0, Green = 0, Blue = 0;
};
// Draws the flicker as drawing the ship with `lastStroke` strokes takes it: the packed colour every time, flame or
// not and in either style, so both styles stay in step; the wireframe colour only where the flame is drawn in colour.
ShipFlame PickShipFlame(int lastStroke);
// Records 0 … lastStroke of ShipShapes row `row` at (x, y) with the given flicker.
void DrawShipShape(const ShipFlame& flame, int lastStroke, float x, float y, int row);
// The same with a flicker picked on the spot, for screens that step and draw the ship together.
void DrawShipShape(int lastStroke, float x, float y, int row);
// One stroke of a table row with its centre at (x, y) in playfield units, in the display style; the colour and
// half-width are the caller's, after its own grey or white substitution.
void DrawShapeStroke(const ShapeStroke& stroke, float x, float y, std::uint32_t colour, int glowWidth, int red,
                     int green, int blue);

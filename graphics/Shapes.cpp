// The shape tables: each stored stroke list turned to every whole degree once at start-up, and the ship drawn from
// its table with the flickering thrust flame, whose flicker the frame's step picks.
#include "Shapes.h"
#include "Art.h"
#include "Images.h"
#include "TPoly.h"
#include "core/Settings.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/System.h"
#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr double DegreesPerRadian = 57.295779513082320876798154814105;
constexpr int FlameColourLowest = -40000;
constexpr int FlameColourHighest = 40000;
constexpr std::uint32_t GreyShipColour = 0xFFF0F0F0;

// Rotated in double precision, then rounded to single precision before truncation: a coordinate a hair below a
// whole number after the rotation (Cos(90) is not quite 0) lands on the whole number, as the table was designed.
int RotatedCoordinate(double value) { return static_cast<int>(static_cast<float>(value)); }

float Screen(int offset, float centre, int relative) {
    return static_cast<float>(offset) + centre + static_cast<float>(relative);
}
} // namespace

void BuildShapeTable(const char* label, ShapeStroke* table, int strokes) {
    // The stored strokes are read once and turned to every whole degree.
    struct StoredStroke {
        int Colour;
        double X1, Y1, X2, Y2;
        int Red, Green, Blue;
    };
    RestoreData(label);
    int last = ReadDataInt();
    if (last + 1 != strokes) {
        std::string message = std::string("Shape ") + label + " has " + std::to_string(last + 1) +
                              " strokes where its table holds " + std::to_string(strokes);
        RuntimeError(message.c_str());
    }
    std::vector<StoredStroke> stored(static_cast<std::size_t>(strokes));
    for (StoredStroke& stroke : stored) {
        stroke.Colour = ReadDataInt();
        stroke.X1 = ReadDataFloat();
        stroke.Y1 = ReadDataFloat();
        stroke.X2 = ReadDataFloat();
        stroke.Y2 = ReadDataFloat();
        stroke.Red = ReadDataInt();
        stroke.Green = ReadDataInt();
        stroke.Blue = ReadDataInt();
    }
    for (int angle = 0; angle < ShapeRows; ++angle) {
        double radians = angle / DegreesPerRadian;
        double cosine = std::cos(radians);
        double sine = std::sin(radians);
        ShapeStroke* row = table + angle * strokes;
        for (int k = 0; k <= last; ++k) {
            const StoredStroke& from = stored[static_cast<std::size_t>(k)];
            ShapeStroke& stroke = row[k];
            stroke.LastStroke = last;
            stroke.Colour = from.Colour;
            stroke.Red = from.Red;
            stroke.Green = from.Green;
            stroke.Blue = from.Blue;
            stroke.X1 = RotatedCoordinate(from.X1 * cosine - from.Y1 * sine);
            stroke.Y1 = RotatedCoordinate(from.X1 * sine + from.Y1 * cosine);
            stroke.X2 = RotatedCoordinate(from.X2 * cosine - from.Y2 * sine);
            stroke.Y2 = RotatedCoordinate(from.X2 * sine + from.Y2 * cosine);
        }
    }
}

void BuildShapeTables() {
    BuildShapeTable("ShipShapes", TheArt.ShipShapes);
    BuildShapeTable("CannonShapes", TheArt.CannonShapes);
    BuildShapeTable("ChevronShapes", TheArt.ChevronShapes);
    BuildShapeTable("SparkShapes", TheArt.SparkShapes);
}

void ResetShapeTables() {
    for (auto& row : TheArt.ShipShapes)
        for (ShapeStroke& stroke : row) stroke = {};
    for (auto& row : TheArt.CannonShapes)
        for (ShapeStroke& stroke : row) stroke = {};
    for (auto& row : TheArt.ChevronShapes)
        for (ShapeStroke& stroke : row) stroke = {};
    for (auto& row : TheArt.SparkShapes)
        for (ShapeStroke& stroke : row) stroke = {};
}

void DrawShapeStroke(const ShapeStroke& stroke, float x, float y, std::uint32_t colour, int glowWidth, int red,
                     int green, int blue) {
    DrawScreenSegment(Screen(TheSettings.PlayfieldOffsetX, x, stroke.X1),
                      Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y1),
                      Screen(TheSettings.PlayfieldOffsetX, x, stroke.X2),
                      Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y2), colour, glowWidth, red, green, blue);
}

ShipFlame PickShipFlame(int lastStroke) {
    ShipFlame flame;
    flame.Colour = static_cast<std::uint32_t>(Rand(FlameColourLowest, FlameColourHighest));
    if (lastStroke > ShipFlameLastStroke) lastStroke = ShipFlameLastStroke;
    if (TheSettings.NeonMode == 0 && TheSettings.ColorsOn == 1 && lastStroke > ShipHullLastStroke) {
        flame.Blue = Rand(64, 128);
        flame.Green = Rand(64, 128);
        flame.Red = Rand(192, 255);
    }
    return flame;
}

void DrawShipShape(int lastStroke, float x, float y, int row) {
    DrawShipShape(PickShipFlame(lastStroke), lastStroke, x, y, row);
}

void DrawShipShape(const ShipFlame& flame, int lastStroke, float x, float y, int row) {
    row = ((row % ShapeRows) + ShapeRows) % ShapeRows;
    if (lastStroke > ShipFlameLastStroke) lastStroke = ShipFlameLastStroke;
    const ShapeStroke* strokes = TheArt.ShipShapes[row];
    if (TheSettings.NeonMode == 1) {
        float width = static_cast<float>(GlowWidth6);
        for (int k = 0; k <= lastStroke; ++k) {
            const ShapeStroke& stroke = strokes[k];
            std::uint32_t colour = static_cast<std::uint32_t>(stroke.Colour);
            if (TheSettings.ColorsOn == 0) {
                colour = GreyShipColour;
                width = static_cast<float>(GlowWidth4);
            } else if (k > ShipHullLastStroke) {
                // Negative draws are opaque warm colours, the rest have alpha 0: the flame flickers.
                colour = flame.Colour;
            }
            TPoly::Line(TheArt.GlowDotImage, 0, Screen(TheSettings.PlayfieldOffsetX, x, stroke.X1),
                        Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y1), colour,
                        Screen(TheSettings.PlayfieldOffsetX, x, stroke.X2),
                        Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y2), colour, width, true, false);
        }
    }
    if (TheSettings.NeonMode == 0) {
        if (TheSettings.ColorsOn == 0) SetColor(192, 192, 192);
        if (TheSettings.ColorsOn == 1) SetColor(64, 64, 255);
        for (int k = 0; k <= lastStroke; ++k) {
            const ShapeStroke& stroke = strokes[k];
            if (TheSettings.ColorsOn == 1 && k == ShipHullLastStroke + 1) SetColor(flame.Red, flame.Green, flame.Blue);
            DrawLine(Screen(TheSettings.PlayfieldOffsetX, x, stroke.X1),
                     Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y1),
                     Screen(TheSettings.PlayfieldOffsetX, x, stroke.X2),
                     Screen(TheSettings.PlayfieldOffsetY, y, stroke.Y2), 1);
        }
        SetColor(255, 255, 255);
    }
}

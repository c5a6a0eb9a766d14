// The art the game draws with: the shapes turned to every whole degree, the font's glyphs and pop-in zoom, the
// logo's lines and the three pictures. Made once at start-up from the built-in tables and resources, then only read.
#pragma once
#include "Logo.h"
#include "Shapes.h"
#include "VectorFont.h"
#include "platform/Display.h"

struct Art {
    ShapeStroke ShipShapes[ShapeRows][ShipStrokes];
    ShapeStroke CannonShapes[ShapeRows][CannonStrokes];
    ShapeStroke ChevronShapes[ShapeRows][ChevronStrokes];
    ShapeStroke SparkShapes[ShapeRows][SparkStrokes];
    // Row g: column 0 the glyph's last stroke index, then x1, y1, x2, y2 per stroke.
    int FontGlyphs[FontGlyphCount][FontGlyphColumns];
    float ZoomTable[ZoomTableSize];
    int LogoLineCount;
    int LogoData[LogoDataSize];
    Image* GlowDotImage;
    Image* PlayerShotsImage;
    Image* BackdropImage;
};

// The one set of art: the boot makes it before the first frame and every draw of every floor above reads it. It is
// the same for every screen and every game of a run, and 850 KB of turned shapes is not a value to copy or pass, so
// it is a named instance; only the boot's loaders and the reset routines write it.
extern Art TheArt;

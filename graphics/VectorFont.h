// The vector font: text drawn stroke by stroke, the pop-in zoom and the letter-by-letter pages.
#pragma once
#include "core/EntityList.h"
#include <cstdint>
#include <deque>
#include <string>

// The characters the font draws, by glyph number. Texts are byte strings; glyph 27, the boxed "C" that opens the
// credit line, is the byte 0xA4 (U+00A4 in Latin-1).
extern const std::string FontCharset;
constexpr char FontBoxedC = '\xA4';
constexpr int FontGlyphCount = 55;
constexpr int FontGlyphColumns = 60;
constexpr int FontMostStrokes = 14;
constexpr int ZoomTableSize = 32;
constexpr int ZoomSteps = 26;
constexpr float TextCell = 28.0f; // font units a character cell is wide and high
constexpr int ZoomStepStart = 25; // a new animated character's zoom step

// Row g: column 0 the glyph's last stroke index, then x1, y1, x2, y2 per stroke.

// One character of a text page that appears after its pause and pops in to full size.
struct chars {
    int x = 0, y = 0; // column and row
    std::string Char; // one character, lower-cased ("char" is reserved in C++)
    int angle = 0;    // zoom step, ZoomStepStart down to 0
    int pause = 0;    // frames before it appears
    float xscale = 0, yscale = 0;
    std::uint32_t color = 0; // packed colour for the neon style
    int rcol = 0, gcol = 0, bcol = 0;
};
// The one text page on show and its count of queued characters: the level, ship-lost and instructions pages fill it
// in turn, and only one of them shows at a time.
extern EntityList<chars> CharsList;
extern int TextCharCount;

void LoadZoomTable();
void LoadFontGlyphs();
// The glyph number of one character of a text (upper-case letters as lower-case), -1 when the font lacks it.
int FontGlyphIndex(char character);

// Positions are character cells, or playfield units with pixelPosition 1; colour is the neon style's, red, green
// and blue the wireframe style's.
void DrawVectorText(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                    float rowScale, int pixelPosition, int red, int green, int blue);
void DrawVectorTextBold(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                        float rowScale, int pixelPosition, int red, int green, int blue);
void DrawZoomText(const std::string& text, float x, float y, std::uint32_t colour, float zoomStep, float scale,
                  float rowScale, int pixelPosition, int red, int green, int blue);
// Padded with spaces to at least 48 characters and drawn from column 0, so it sits in the middle of the playfield.
void DrawCentredText(const std::string& text, float y, std::uint32_t colour, float scale, int red, int green, int blue);
// Queues a line of a text page on CharsList, one character a frame after the last one queued.
void TypeChars(int column, int row, const std::string& text, float scale, float rowScale, std::uint32_t colour, int red,
               int green, int blue);
// Advances the page's letters by a frame: each waits its pause, then turns upright.
void StepChars();
// Draws the letters whose pause is over, as they stand.
void ShowChars();
// Both, for the screens that step and draw together.
void DrawChars();
// The latest different texts the font was asked to draw or queue, oldest first: a short memory of what the
// pages showed.
const std::deque<std::string>& RecentTexts();
// The page emptied and the font's tables back to zeros, as before start-up.
void ResetVectorText();
